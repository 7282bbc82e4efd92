#include <app/Trackball.h>

Trackball::Trackball()
{
    setTrackballSize(1.0);
}

double Trackball::throwSpeed(float x0, float y0, double t0, float x1, float y1, double t1)
{
    // A throw repeats the last move, from the place before to the last, once in the time it took.
    osg::Vec3d axis;
    float angle = 0.0f;
    trackball(axis, angle, x1, y1, x0, y0);
    const double seconds = t1 - t0;
    return seconds > 0.0 ? static_cast<double>(angle) / seconds : 0.0;
}

bool Trackball::handleMouseRelease(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    const bool handled = osgGA::TrackballManipulator::handleMouseRelease(event, action);
    if (_thrown && _ga_t0.valid() && _ga_t1.valid() &&
        throwSpeed(_ga_t1->getXnormalized(), _ga_t1->getYnormalized(), _ga_t1->getTime(),
                   _ga_t0->getXnormalized(), _ga_t0->getYnormalized(), _ga_t0->getTime()) < slowestThrow)
    {
        _thrown = false;
        action.requestContinuousUpdate(false);
    }
    return handled;
}
