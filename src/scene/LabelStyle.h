#ifndef LINKMAP_SCENE_LABELSTYLE
#define LINKMAP_SCENE_LABELSTYLE 1

#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Font>

/** How the labels look. */
struct LabelStyle
{
    osg::ref_ptr<osgText::Font> font;
    osg::Vec4 textColor{1.0f, 1.0f, 1.0f, 1.0f};
    /** A figure's labels are outlined in the background's colour, haloWidth of their height wide, so that
     *  they read over the spheres and links they cover as over the background. */
    osg::Vec4 haloColor{0.2f, 0.2f, 0.4f, 1.0f};
    static constexpr float haloWidth = 0.15f;
};

/** The label font, "arial.ttf", found first where the program's own fonts are. */
osg::ref_ptr<osgText::Font> readLabelFont();

#endif
