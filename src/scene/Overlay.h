#ifndef LINKMAP_SCENE_OVERLAY
#define LINKMAP_SCENE_OVERLAY 1

#include <osg/Node>
#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Font>
#include <osgText/Text>

#include <string>

/** The height of the window in an overlay's own units; what is laid out in them scales with the window. */
constexpr float overlayWindowHeight = 100.0f;

/** The height of an overlay's text, in its units. */
constexpr float overlayTextHeight = 2.2f;

/** Draws content over the scene, after everything else and without the depth test, in a camera of its own
 *  whose units are a hundredth of the window's height with the origin in the bottom left corner. It takes no
 *  events and adds nothing to the scene's bound. */
osg::ref_ptr<osg::Node> createOverlay(osg::Node* content, const std::string& name);

/** Lines of text in the window's top left corner, over the scene: the node to add, and its text. */
struct CornerText
{
    osg::ref_ptr<osg::Node> node;
    osg::ref_ptr<osgText::Text> text;
};

/** Empty corner text in font and color, standing on a box of backdrop (its alpha how opaque) when it has
 *  text, so that it reads over whatever the scene draws beneath it. */
CornerText createCornerText(osgText::Font* font, const osg::Vec4& color,
                            const osg::Vec4& backdrop = osg::Vec4(0.0f, 0.0f, 0.0f, 0.0f));

/** A panel of text halfway up the window's left side, over the scene, in font and color on a box of backdrop;
 *  hidden until its node's mask is set. */
CornerText createTextPanel(osgText::Font* font, const osg::Vec4& color, const osg::Vec4& backdrop,
                           const std::string& text);

#endif
