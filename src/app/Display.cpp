#include <app/Display.h>

#include <osg/DisplaySettings>
#include <osg/GLExtensions>
#include <osg/GraphicsContext>

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace
{

// Made before the display can go away: the handler that prints it may not allocate.
std::string lostMessage;

// Xlib calls this when the connection to the display breaks, and ends the process itself if it returns: this
// is the one place below main that ends the run, as nothing can be thrown through Xlib. Nothing of
// the toolkit's can be trusted any more, so the run ends here, with what was logged kept.
int displayLost(Display*)
{
    std::fflush(stdout);
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, lostMessage.data(), lostMessage.size());
    _exit(1);
}

} // namespace

bool openWindow(osgViewer::Viewer& viewer)
{
    const int samples = static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples());
    viewer.realize();
    if (!viewer.isRealized() && samples > 0)
    {
        std::fprintf(stderr,
                     "Warning: the display offers no window with %d samples; the window is drawn without "
                     "multisampling\n",
                     samples);
        osg::DisplaySettings::instance()->setNumMultiSamples(0);
        // The failed attempt ended the run; the second one starts it again.
        viewer.setDone(false);
        viewer.realize();
    }
    return viewer.isRealized();
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
        if (displayRunsShaders())
            return true;
        std::fprintf(stderr, "linkmap: this display's OpenGL has no GLSL 1.20 or instanced drawing for the "
                             "shaders that draw large networks; every sphere, link and label is drawn as an "
                             "object of its own instead, which is slower\n");
        return false;
    };
    return detail;
}
