#include <app/Display.h>
#include <app/Output.h>
#include <network/ValidText.h>

#include <osg/DisplaySettings>
#include <osg/GLExtensions>
#include <osg/GraphicsContext>
#include <osgViewer/config/SingleWindow>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{

// Made before the display can go away: the handler that prints it may not allocate.
std::string lostMessage;

// The connection the run holds to its display, kept open until the process ends: closing it at the end could
// only report a display that went away after the work was done.
::Display* held = nullptr;

// How long a connection the display refuses is asked again, and how long between two asks.
const std::chrono::milliseconds connectPatience(2000);
const std::chrono::milliseconds connectPause(100);

bool isNamed(const char* name)
{
    return name != nullptr && *name != '\0';
}

// Xlib calls this when the connection to the display breaks, and ends the process itself if it returns: this
// is the one place below main that ends the run, as nothing can be thrown through Xlib. Nothing of
// the toolkit's can be trusted any more, so the run ends here, with what was logged kept.
int displayLost(::Display*)
{
    std::fflush(stdout);
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, lostMessage.data(), lostMessage.size());
    _exit(1);
}

bool hasDisplayName()
{
    return isNamed(std::getenv("DISPLAY"));
}

// The screen OSG_SCREEN names, or the display's default one.
int chosenScreen()
{
    int screen = -1;
    const char* setting = std::getenv("OSG_SCREEN");
    if (setting != nullptr && std::sscanf(setting, "%d", &screen) == 1 && screen >= 0)
        return screen;
    return held != nullptr ? DefaultScreen(held) : 0;
}

// Sets the viewer's window up at place and opens it. The toolkit's own set-up would ask the screen's size on
// connections of its own, and make a window of no size when they are refused.
bool openAt(osgViewer::Viewer& viewer, const WindowPlace& place)
{
    osg::ref_ptr<osgViewer::SingleWindow> window =
        new osgViewer::SingleWindow(place.x, place.y, place.width, place.height, place.screen);
    window->setWindowDecoration(place.framed);
    viewer.apply(window.get());
    if (viewer.getCamera()->getGraphicsContext() == nullptr)
        return false;
    // A failed attempt ends the run; this one starts it again.
    viewer.setDone(false);
    viewer.realize();
    return viewer.isRealized();
}

// A connection to the display name (DISPLAY's when null), asked once: Xlib's own XOpenDisplay, which the one
// below stands in front of.
::Display* connectOnce(const char* name)
{
    using Open = ::Display* (*)(const char*);
    static const Open connect = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    return connect != nullptr ? connect(name) : nullptr;
}

} // namespace

// Every connection the process makes to a display, the toolkit's own among them, is made here: one that the
// display refuses is asked again for a while, as a server that has just reset (its last client left) refuses
// connections for a moment. The connection the run holds keeps the server from resetting once it is made;
// this covers the moment before it, and the toolkit's window, which uses a second connection of its own
// without looking whether it was made.
extern "C" ::Display* XOpenDisplay(const char* name)
{
    // A display never named is told at once: the name the toolkit then asks for (":0.0") is its guess.
    ::Display* display = connectOnce(name);
    if (display != nullptr || !hasDisplayName())
        return display;
    const auto giveUp = std::chrono::steady_clock::now() + connectPatience;
    while (display == nullptr && std::chrono::steady_clock::now() < giveUp)
    {
        std::this_thread::sleep_for(connectPause);
        display = connectOnce(name);
    }
    return display;
}

bool readWindowSetting(const char* setting, WindowPlace& place)
{
    WindowPlace read;
    if (setting == nullptr ||
        std::sscanf(setting, "%d %d %d %d", &read.x, &read.y, &read.width, &read.height) != 4 ||
        read.width <= 0 || read.height <= 0)
        return false;
    read.screen = place.screen;
    read.framed = true;
    place = read;
    return true;
}

bool screenSize(int screen, int& width, int& height)
{
    // A figure can do without the screen's size: it does not wait for a display that refuses.
    ::Display* display = held != nullptr ? held : hasDisplayName() ? connectOnce(nullptr) : nullptr;
    const bool known = display != nullptr && screen >= 0 && screen < ScreenCount(display) &&
                       DisplayWidth(display, screen) > 0 && DisplayHeight(display, screen) > 0;
    if (known)
    {
        width = DisplayWidth(display, screen);
        height = DisplayHeight(display, screen);
    }
    if (display != nullptr && display != held)
        XCloseDisplay(display);
    return known;
}

bool openWindow(osgViewer::Viewer& viewer)
{
    if (held == nullptr)
        return false;
    WindowPlace place;
    place.screen = chosenScreen();
    if (!readWindowSetting(std::getenv("OSG_WINDOW"), place) &&
        !screenSize(place.screen, place.width, place.height))
        return false;
    // A display without the samples asked for makes no window; it gets one without them.
    const int samples = static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples());
    if (samples > 0)
    {
        if (openAt(viewer, place))
            return true;
        std::fprintf(stderr,
                     "Warning: the display offers no window with %d samples; the window is drawn without "
                     "multisampling\n",
                     samples);
        osg::DisplaySettings::instance()->setNumMultiSamples(0);
    }
    return openAt(viewer, place);
}

bool displayRunsShaders()
{
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->readDISPLAY();
    traits->setUndefinedScreenDetailsToDefaultScreen();
    traits->width = 1;
    traits->height = 1;
    traits->pbuffer = true;
    traits->doubleBuffer = false;
    osg::ref_ptr<osg::GraphicsContext> context = osg::GraphicsContext::createGraphicsContext(traits.get());
    if (!context.valid() || !context->realize())
        return true;
    bool usable = true;
    if (context->makeCurrent())
    {
        const unsigned int contextID = context->getState()->getContextID();
        const osg::GLExtensions* extensions = osg::GLExtensions::Get(contextID, true);
        // Links are drawn as instances of one cylinder front, so the display must also draw instances.
        usable = extensions != nullptr && extensions->isGlslSupported &&
                 extensions->glslLanguageVersion >= 1.2f && extensions->glVertexAttribDivisor != nullptr &&
                 extensions->glDrawElementsInstanced != nullptr;
        // The window's context may take the same number; it reads its own extensions.
        osg::GLExtensions::Set(contextID, nullptr);
        context->releaseContext();
    }
    context->close();
    return usable;
}

void watchDisplay(const Output& output)
{
    if (!needsDisplay(output.kind))
        return;
    // The window's place is the toolkit's setting, so a bad one is no reason to refuse the run; but it is
    // said.
    const char* windowSetting = std::getenv("OSG_WINDOW");
    WindowPlace unused;
    if (windowSetting != nullptr && !readWindowSetting(windowSetting, unused))
        std::printf(
            "Warning: OSG_WINDOW is \"%s\", not \"x y width height\" with a width and height above 0; "
            "the window takes its default place and size\n",
            validText(windowSetting).c_str());
    if (held == nullptr && hasDisplayName())
        held = XOpenDisplay(nullptr);
    lostMessage = "Error: the display went away; linkmap stopped";
    if (output.kind == OutputKind::RasterImage)
        lostMessage += " and wrote no image " + output.file;
    lostMessage += "\n";
    XSetIOErrorHandler(displayLost);
}

SceneDetail sceneDetailForDisplay()
{
    SceneDetail detail;
    detail.shadersRun = [] {
        // Without a display to hold there is no window to draw in, and nothing to ask.
        if (held == nullptr || displayRunsShaders())
            return true;
        std::fprintf(stderr, "linkmap: this display's OpenGL has no GLSL 1.20 or instanced drawing for the "
                             "shaders that draw large networks; every sphere, link and label is drawn as an "
                             "object of its own instead, which is slower\n");
        return false;
    };
    return detail;
}
