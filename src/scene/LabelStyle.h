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
};

/** The label font, "arial.ttf", found first where the program's own fonts are. */
osg::ref_ptr<osgText::Font> readLabelFont();

#endif
