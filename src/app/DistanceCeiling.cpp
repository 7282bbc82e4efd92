#include <app/DistanceCeiling.h>

bool limitDistance(osgGA::OrbitManipulator& trackball, float ceiling)
{
    if (!(trackball.getDistance() > static_cast<double>(ceiling)))
        return false;
    trackball.setDistance(static_cast<double>(ceiling));
    return true;
}
