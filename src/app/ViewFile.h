#ifndef LINKMAP_APP_VIEWFILE
#define LINKMAP_APP_VIEWFILE 1

#include <osg/Vec3d>
#include <osgGA/OrbitManipulator>

#include <string>

/** A view of the scene: where the eye stands, the point it looks at, and the direction that is up. */
struct CameraView
{
    osg::Vec3d eye;
    osg::Vec3d centre;
    osg::Vec3d up;
};

/** The text of a .view file: one line of nine numbers, the eye's x y z, the centre's, then up's, each in the
 *  shortest form that reads back as the same number. */
std::string formatView(const CameraView& view);

/** Reads the text of a .view file, with any spaces, tabs and line ends around and between its nine numbers;
 *  false for anything else, including numbers that make no view: an eye on the centre, no up direction, or
 *  up along the line of sight. */
bool parseView(const std::string& text, CameraView& view);

/** The view trackball shows. */
CameraView viewOf(const osgGA::OrbitManipulator& trackball);

/** Turns trackball to view. */
void setView(osgGA::OrbitManipulator& trackball, const CameraView& view);

/** Turns trackball to the view its text makes, as a script setting that text would: the view shown and the
 *  view saved are then the same to the last bit. Returns the text. */
std::string settleView(osgGA::OrbitManipulator& trackball);

#endif
