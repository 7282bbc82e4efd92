#ifndef LINKMAP_APP_DISPLAY
#define LINKMAP_APP_DISPLAY 1

#include <app/Output.h>
#include <scene/SceneBuilder.h>

#include <osgViewer/Viewer>

#include <string>

/** Where the window opens and how large it is. */
struct WindowPlace
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    /** The screen of the display, from 0. */
    int screen = 0;
    /** A window given by OSG_WINDOW has the window manager's frame; one that fills the screen has none. */
    bool framed = false;
};

/** Reads OSG_WINDOW's "x y width height" (null when unset); false when it is unset or gives no size. */
bool readWindowSetting(const char* setting, WindowPlace& place);

/** The size of a screen of the display, in pixels, asked of the connection the run holds, or of a connection
 *  of its own when it holds none; false when no display answers, or the screen has no size. */
bool screenSize(int screen, int& width, int& height);

/** Opens the viewer's window where OSG_WINDOW says, or over the whole screen of OSG_SCREEN, on the display
 * the run holds. A connection the display refuses is asked again for a while. A display that cannot give the
 *  multisampled window asked for gets a plain one, and a warning on standard error; false when no window
 *  could be opened at all, or the screen has no size. */
bool openWindow(osgViewer::Viewer& viewer);

/** Whether the display's OpenGL runs the shaders that draw large networks in batches (GLSL 1.20 and
 *  instanced drawing), told by a
 *  small offscreen context of its own; true when no such context can be made, so that the window decides. */
bool displayRunsShaders();

/** The detail networks are drawn at on this display: one that cannot run the batches' shaders is asked so
 *  only for a large network, and a line on standard error tells what drawing it otherwise costs. */
SceneDetail sceneDetailForDisplay();

/** For an output that needs a display: holds a connection to it until the run ends, so that the server never
 *  sees its last client leave while the run opens and closes others (a server started without -noreset, as
 *  xvfb-run starts it, then resets and refuses connections for a moment); a connection refused is asked
 *  again for about two seconds. From then on, a display that goes away (its server ends, or the connection to
 *  it breaks) ends the run with one message on standard output and exit status 1, naming the image of a
 *  raster image output that was then not written. A display that cannot be reached is told later, when the
 *  window cannot open. */
void watchDisplay(const Output& output);

#endif
