#ifndef LINKMAP_APP_OUTPUTRUN
#define LINKMAP_APP_OUTPUTRUN 1

#include <app/Stage.h>

#include <osg/ArgumentParser>

/** Makes the output input asks for, by its kind: the window or its saved image (which the window reads its
 *  toolkit's options from arguments for), a vector figure, the web page, the glTF scene, the PyMOL script,
 *  GraphML, or the measured structure. Throws OutputError, saying why, when it cannot be made. */
void makeOutput(osg::ArgumentParser& arguments, const RunInput& input);

#endif
