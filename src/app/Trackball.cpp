#include <app/Trackball.h>

#include <algorithm>
#include <cmath>

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

void Trackball::framePoints(std::vector<osg::Vec3> points, double sideBand)
{
    framed = std::move(points);
    band = sideBand;
}

void Trackball::computeHomePosition(const osg::Camera* camera, bool useBoundingBox)
{
    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double top = 0.0;
    double zNear = 0.0;
    double zFar = 0.0;
    if (framed.empty() || camera == nullptr ||
        !camera->getProjectionMatrixAsFrustum(left, right, bottom, top, zNear, zFar) || !(zNear > 0.0))
        return osgGA::TrackballManipulator::computeHomePosition(camera, useBoundingBox);
    // Seen along +y from the eye at distance before the centre, a point dy beyond it and dx across stands
    // dx / (distance + dy) of the way to the frame's edge, in units of the half angle's tangent. A band on
    // the left (the key) moves the middle of what is free to the right, by shift in those units: the eye
    // stands shift × distance to the left of the centre, and a point then stands within free of that middle
    // when |dx - shift dy| <= free (distance + dy).
    osg::BoundingBox box;
    for (const osg::Vec3& point : framed)
        box.expandBy(point);
    const osg::Vec3d centre = box.center();
    const double halfHeight = std::fabs(top - bottom) / zNear / 2.0;
    const double halfWidth = std::fabs(right - left) / zNear / 2.0;
    const double bandWidth = std::min(band / 100.0 * 2.0 * halfHeight, halfWidth);
    const double shift = bandWidth / 2.0;
    const double across = 0.9 * (halfWidth - shift);
    const double upward = 0.9 * halfHeight;
    double distance = 1e-6;
    for (const osg::Vec3& point : framed)
    {
        const osg::Vec3d offset = osg::Vec3d(point) - centre;
        distance = std::max({distance, std::fabs(offset.x() - shift * offset.y()) / across - offset.y(),
                             std::fabs(offset.z()) / upward - offset.y(), 1e-3 - offset.y()});
    }
    const osg::Vec3d looked = centre - osg::Vec3d(shift * distance, 0.0, 0.0);
    setHomePosition(looked + osg::Vec3d(0.0, -distance, 0.0), looked, osg::Vec3d(0.0, 0.0, 1.0),
                    _autoComputeHomePosition);
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
