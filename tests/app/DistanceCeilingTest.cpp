#include <app/DistanceCeiling.h>

#include <osgGA/TrackballManipulator>

#include <gtest/gtest.h>

namespace
{

TEST(DistanceCeiling, PullsTheTrackballBackOnlyWhenItIsFartherThanTheCeiling)
{
    struct Case
    {
        double distance;
        float ceiling;
        bool changed;
        double after;
    };
    const Case cases[] = {{120.0, 100.0f, true, 100.0}, {100.0, 100.0f, false, 100.0},
                          {40.0, 100.0f, false, 40.0},  {100.00001, 100.0f, true, 100.0},
                          {1e9, 0.5f, true, 0.5},       {0.25, 0.5f, false, 0.25}};
    for (const Case& c : cases)
    {
        osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
        trackball->setCenter(osg::Vec3d(50.0, 0.0, 0.0));
        trackball->setDistance(c.distance);
        EXPECT_EQ(limitDistance(*trackball, c.ceiling), c.changed) << c.distance;
        EXPECT_DOUBLE_EQ(trackball->getDistance(), c.after) << c.distance;
        EXPECT_EQ(trackball->getCenter(), osg::Vec3d(50.0, 0.0, 0.0)) << "only the distance moves";
    }
}

} // namespace
