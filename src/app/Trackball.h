#ifndef LINKMAP_APP_TRACKBALL
#define LINKMAP_APP_TRACKBALL 1

#include <osg/Vec3>
#include <osgGA/TrackballManipulator>

#include <vector>

/** The slowest a throw may turn the view, in radians a second: a turn in 20 s. A release slower than that was
 *  a hand coming to rest, not a throw. */
constexpr double slowestThrow = 6.283185307179586 / 20.0;

/** The window's trackball: the toolkit's, of size 1, except that letting go of a drag whose pointer only
 *  creeps ends the motion instead of throwing the view at a speed no one would notice. */
class Trackball : public osgGA::TrackballManipulator
{
public:
    Trackball();

    /** How fast, in radians a second, the view would turn if the drag whose last two pointer places are given
     *  (in the window's normalised coordinates, at times in seconds) were thrown. */
    double throwSpeed(float x0, float y0, double t0, float x1, float y1, double t1);

    /** Frames points, rather than the bounding sphere of the scene, when the trackball goes home: looking
     *  along +y at the centre of their box, from as near as keeps every one in view with a twentieth of the
     *  frame to spare at the side they reach first, and clear of a band on the frame's left as wide as
     *  sideBand hundredths of its height (where the colour key stands), the eye moved left to leave it free.
     *  No points frame the scene as the toolkit does. */
    void framePoints(std::vector<osg::Vec3> points, double sideBand = 0.0);

    void computeHomePosition(const osg::Camera* camera = nullptr, bool useBoundingBox = false) override;

protected:
    ~Trackball() override = default;

    bool handleMouseRelease(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action) override;

private:
    std::vector<osg::Vec3> framed;
    double band = 0.0;
};

#endif
