#include <app/ViewFile.h>
#include <network/NumberText.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace
{

const int viewNumbers = 9;

} // namespace

std::string formatView(const CameraView& view)
{
    std::string text;
    const osg::Vec3d* const vectors[] = {&view.eye, &view.centre, &view.up};
    for (const osg::Vec3d* vector : vectors)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            if (!text.empty())
                text += ' ';
            text += shortestText((*vector)[axis]);
        }
    }
    return text + "\n";
}

bool parseView(const std::string& text, CameraView& view)
{
    double numbers[viewNumbers];
    const char* place = text.c_str();
    for (double& number : numbers)
    {
        char* end = nullptr;
        number = std::strtod(place, &end);
        // Each number stands alone, apart from the next by white space.
        if (end == place || !std::isfinite(number) || (*end != '\0' && !std::isspace(*end)))
            return false;
        place = end;
    }
    while (std::isspace(static_cast<unsigned char>(*place)))
        ++place;
    if (*place != '\0')
        return false;

    const CameraView read{osg::Vec3d(numbers[0], numbers[1], numbers[2]),
                          osg::Vec3d(numbers[3], numbers[4], numbers[5]),
                          osg::Vec3d(numbers[6], numbers[7], numbers[8])};
    osg::Vec3d sight = read.centre - read.eye;
    osg::Vec3d up = read.up;
    if (!(sight.normalize() > 0.0) || !(up.normalize() > 0.0) || std::fabs(sight * up) > 1.0 - 1e-9)
        return false;
    view = read;
    return true;
}

CameraView viewOf(const osgGA::OrbitManipulator& trackball)
{
    CameraView view;
    trackball.getTransformation(view.eye, view.centre, view.up);
    return view;
}

void setView(osgGA::OrbitManipulator& trackball, const CameraView& view)
{
    trackball.setTransformation(view.eye, view.centre, view.up);
}

std::string settleView(osgGA::OrbitManipulator& trackball)
{
    const std::string text = formatView(viewOf(trackball));
    CameraView view;
    if (parseView(text, view))
        setView(trackball, view);
    return text;
}
