#ifndef LINKMAP_SCENE_GLYPHS
#define LINKMAP_SCENE_GLYPHS 1

#include <network/RegionKind.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>

#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osg/Vec3>

#include <string>

/** A new sphere of the sizes' radius at position, coloured by the region kind; not yet attached. */
osg::ref_ptr<osg::ShapeDrawable> createSiteSphere(const osg::Vec3& position, RegionKind kind,
                                                  const GlyphSizes& sizes = GlyphSizes());

/** A new sphere of the sizes' radius at position, in color; not yet attached. */
osg::ref_ptr<osg::ShapeDrawable> createSiteSphere(const osg::Vec3& position, const osg::Vec4& color,
                                                  const GlyphSizes& sizes);

/** A circle of radius round centre in color, two pixels wide and unlit, that always faces the eye, drawn over
 *  the spheres and links. */
osg::ref_ptr<osg::Node> createRing(const osg::Vec3& centre, float radius, const osg::Vec4& color);

/** A geode holding a site's name beside the site at position, drawn over everything; with a halo, outlined in
 *  style's halo colour, so that it reads over whatever it covers. */
osg::ref_ptr<osg::Geode> createSiteLabel(const osg::Vec3& position, const std::string& name,
                                         const LabelStyle& style, const GlyphSizes& sizes = GlyphSizes(),
                                         bool halo = false);

/** A cylinder joining the centres a and b, coloured by the sign and size of weight. */
osg::ref_ptr<osg::ShapeDrawable> createLink(const osg::Vec3& a, const osg::Vec3& b, float weight,
                                            const GlyphSizes& sizes = GlyphSizes());

#endif
