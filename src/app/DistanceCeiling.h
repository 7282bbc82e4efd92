#ifndef LINKMAP_APP_DISTANCECEILING
#define LINKMAP_APP_DISTANCECEILING 1

#include <osgGA/OrbitManipulator>

/** Sets the trackball's distance back to ceiling when it has moved farther away; zooming in is left free.
 *  Returns whether the distance was changed. */
bool limitDistance(osgGA::OrbitManipulator& trackball, float ceiling);

#endif
