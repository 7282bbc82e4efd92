#ifndef LINKMAP_APP_WINDOWRUN
#define LINKMAP_APP_WINDOWRUN 1

#include <app/Stage.h>
#include <network/LoadProgress.h>

#include <osg/ArgumentParser>

/** Shows the stage in a window: the interactive window until Escape, or for an image run one second, after
 *  which the last frame is saved. The viewer takes what is left of arguments; waiting ends with the first
 *  frame. Returns the exit status. */
int showInWindow(osg::ArgumentParser& arguments, const RunInput& input, Stage& stage, LoadProgress& waiting);

#endif
