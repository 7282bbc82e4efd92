#ifndef LINKMAP_APP_IMAGECAMERA
#define LINKMAP_APP_IMAGECAMERA 1

#include <osg/Camera>
#include <osg/Image>
#include <osg/ref_ptr>

/** Whether the saved image must be drawn offscreen rather than read from the window: when samples are asked
 *  for, or when the window is larger than its screen, whose parts beyond the screen a display need not draw.
 */
bool needsOffscreenImage(int samples, int windowWidth, int windowHeight, int screenWidth, int screenHeight);

/** How many times larger, across and down, a frame is drawn so that each pixel of the image gets at least
 *  samples samples, evenly spread: 1 for none, 2 for up to 4, 3 for up to 9. */
int samplesAcross(int samples);

/** A camera that draws what master draws, with master's view, projection and state, into image at width by
 *  height pixels, in a frame buffer object of master's context; added to the viewer as a slave, it draws
 *  before master every frame. */
osg::ref_ptr<osg::Camera> createImageCamera(osg::Camera& master, int width, int height, osg::Image* image);

/** The image of frame made factor times smaller across and down, each pixel the mean of the factor by factor
 *  pixels it covers, in RGB. */
osg::ref_ptr<osg::Image> shrinkImage(const osg::Image& frame, int factor);

#endif
