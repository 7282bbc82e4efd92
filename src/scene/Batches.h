#ifndef LINKMAP_SCENE_BATCHES
#define LINKMAP_SCENE_BATCHES 1

#include <osg/Array>
#include <osg/BoundingBox>
#include <osg/Geometry>
#include <osg/PrimitiveSet>
#include <osg/Program>
#include <osg/ref_ptr>
#include <osgText/Font>
#include <osgText/Text>

#include <string>
#include <vector>

/** The first vertex attribute slot of the values each instance of a batch has of its own: clear of the slots
 *  that the fixed names alias on some drivers. */
constexpr unsigned int instanceAttribute = 7;

/** How many elements one instance draws: a drawing of many small instances costs the renderer more than one
 *  of fewer, larger ones. Each element's values take a slot an attribute, and the slots end at 16. */
constexpr unsigned int linksPerInstance = 4;
constexpr unsigned int spheresPerInstance = 4;
constexpr unsigned int glyphsPerInstance = 3;

/** A program of the given shader sources, each given the GLSL version and defines first; without a fragment
 *  shader the fixed pipeline colours the fragments. The attributes are bound to the shaders' own slots in
 *  order. */
osg::ref_ptr<osg::Program> createProgram(const char* name, const std::string& vertex,
                                         const std::string& fragment,
                                         const std::vector<const char*>& attributes,
                                         const std::string& defines = std::string());

/** Gives array a buffer object of its own, unless it has one. */
void useOwnBuffer(osg::Array* array);

/** One geometry that draws every element of a batch as an instance of the same corners: the corners are its
 *  vertices, and each of the instances' arrays gives one value an element, in the slots from
 *  instanceAttribute on. The shaders draw up to margin beyond the box of the elements' places; near and far
 *  planes and culling must know. */
osg::ref_ptr<osg::Geometry> createInstances(osg::Array* corners, const std::vector<osg::Array*>& instances,
                                            osg::PrimitiveSet* primitives, const osg::BoundingBox& box,
                                            float margin);

/** A text that lays out one label after another exactly as a site's own text object of characterHeight
 *  would, never drawn. */
osg::ref_ptr<osgText::Text> createLabelLayout(osgText::Font* font, float characterHeight);

#endif
