#ifndef LINKMAP_APP_FIGUREPAGE
#define LINKMAP_APP_FIGUREPAGE 1

#include <app/Stage.h>
#include <scene/ColorKey.h>
#include <scene/VectorFigure.h>

#include <osg/Camera>
#include <osg/Vec4>

/** The size of the window a figure stands for, in pixels, from the setting of OSG_WINDOW (null when unset):
 *  its width and height; unset or unreadable, the screen's when a display answers, and 1280 by 1024 without
 *  one. */
void readPageSize(const char* windowSetting, int& width, int& height);

/** Gives camera the viewport of a window of width by height pixels, and the projection the viewer gives its
 *  camera when it opens such a window, so that a figure is computed from the view the window would show. */
void shapeLikeWindow(osg::Camera& camera, int width, int height);

/** What a figure of input shows: its sites and links as the window draws them, with the cutoff, filter,
 *  emphasis and corner text of input's view, and key when not null. */
FigureContent describeFigure(const RunInput& input, const ColorKeyInfo* key);

/** Writes the vector figure of the stage, with no window. Throws OutputError when the file cannot be written,
 *  having said why on standard error. */
void writeFigure(const RunInput& input, Stage stage);

/** Writes the web page of the stage's first view, with no window: the figure's content, and what the page's
 *  script needs to describe it as the window does. Throws OutputError when the page cannot be written. */
void writePage(const RunInput& input, Stage stage);

/** Writes the scene file of input's records and view, opening on the first view of the stage, with no window.
 * Throws OutputError when it cannot be written. */
void writeScene(const RunInput& input, Stage stage);

/** Writes the PyMOL script of the first view of input on its structure, with the paths its view asks for, if
 *  any, found and listed first. Throws OutputError, saying why, when it cannot be written. */
void writePymolScript(const RunInput& input, Stage stage);

#endif
