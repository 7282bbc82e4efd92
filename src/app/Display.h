#ifndef LINKMAP_APP_DISPLAY
#define LINKMAP_APP_DISPLAY 1

#include <app/Output.h>
#include <scene/SceneBuilder.h>

#include <osgViewer/Viewer>

#include <string>

/** Opens the viewer's window. A display that cannot give the multisampled window asked for gets a plain one,
 *  and a warning on standard error; false when no window could be opened at all. */
bool openWindow(osgViewer::Viewer& viewer);

/** Whether the display's OpenGL runs the shaders that draw large networks in batches (GLSL 1.20 and
 *  instanced drawing), told by a
 *  small offscreen context of its own; true when no such context can be made, so that the window decides. */
bool displayRunsShaders();

/** The detail networks are drawn at on this display: one that cannot run the batches' shaders is asked so
 *  only for a large network, and a line on standard error tells what drawing it otherwise costs. */
SceneDetail sceneDetailForDisplay();

/** From now on, a display that goes away (its server ends, or the connection to it breaks) ends the run with
 *  one message on standard output and exit status 1, naming the image of a raster image output that was then
 *  not written. */
void watchDisplay(const Output& output);

#endif
