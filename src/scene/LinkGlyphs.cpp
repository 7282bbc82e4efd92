#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>

osg::ref_ptr<osg::ShapeDrawable> createLink(const osg::Vec3& a, const osg::Vec3& b, float weight,
                                            const GlyphSizes& sizes)
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(GlyphStyle::cylinderDetail);

    // The cylinder gets its final shape before the drawable is made: a shape drawable builds its geometry
    // when it is made and does not follow later changes to its shape.
    const osg::Vec3 direction = a - b;
    const float height = direction.length();
    osg::ref_ptr<osg::Cylinder> cylinder = new osg::Cylinder(
        (a + b) * 0.5f, sizes.linkRadius * LinkLook::linkWidth(weight, sizes.thinnestWeight, sizes.weightTop),
        height);
    cylinder->setRotation(linkRotation(direction, height));

    osg::ref_ptr<osg::ShapeDrawable> drawable = new osg::ShapeDrawable(cylinder.get(), hints.get());
    drawable->setColor(weightColor(weight, sizes.weightTop));
    // Recoloured and hidden while the window runs, so it is never merged with another.
    drawable->setDataVariance(osg::Object::DYNAMIC);
    return drawable;
}
