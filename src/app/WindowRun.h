#ifndef LINKMAP_APP_WINDOWRUN
#define LINKMAP_APP_WINDOWRUN 1

#include <app/Stage.h>

#include <osg/ArgumentParser>

#include <string>

/** Shows the stage in a window: the interactive window until Escape, or, when input's output is a raster
 *  image, for one second, after which the last frame is saved as its file. The viewer takes what is left of
 *  arguments. Throws OutputError when no window opens or the image cannot be written. */
void showInWindow(osg::ArgumentParser& arguments, const RunInput& input, Stage stage);

#endif
