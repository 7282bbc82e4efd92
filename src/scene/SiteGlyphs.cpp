#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>

#include <osg/AutoTransform>
#include <osg/Geometry>
#include <osg/LineWidth>
#include <osgText/Text>

#include <cmath>

osg::ref_ptr<osg::ShapeDrawable> createSiteSphere(const osg::Vec3& position, RegionKind kind,
                                                  const GlyphSizes& sizes)
{
    // A kind without a colour keeps the shape's own, white.
    osg::Vec4 color(1.0f, 1.0f, 1.0f, 1.0f);
    regionColor(kind, color);
    return createSiteSphere(position, color, sizes);
}

osg::ref_ptr<osg::ShapeDrawable> createSiteSphere(const osg::Vec3& position, const osg::Vec4& color,
                                                  const GlyphSizes& sizes)
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(GlyphStyle::sphereDetail);

    osg::ref_ptr<osg::Sphere> sphere = new osg::Sphere;
    sphere->setCenter(position);
    sphere->setRadius(sizes.siteRadius);

    osg::ref_ptr<osg::ShapeDrawable> drawable = new osg::ShapeDrawable(sphere.get(), hints.get());
    drawable->setColor(color);
    return drawable;
}

osg::ref_ptr<osg::Geode> createSiteLabel(const osg::Vec3& position, const std::string& name,
                                         const LabelStyle& style, const GlyphSizes& sizes, bool halo)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;

    osg::ref_ptr<osgText::Text> text = new osgText::Text;
    text->setText(name, osgText::String::ENCODING_UTF8);
    text->setCharacterSize(sizes.labelHeight, 1.0f);
    text->setFont(style.font.get());
    text->setAlignment(osgText::Text::CENTER_CENTER);
    text->setColor(style.textColor);
    text->setPosition(sizes.labelAnchor(position));
    text->setAutoRotateToScreen(true);
    if (halo)
    {
        text->setBackdropType(osgText::Text::OUTLINE);
        text->setBackdropColor(style.haloColor);
        text->setBackdropOffset(LabelStyle::haloWidth);
    }
    geode->addDrawable(text);

    // Labels are drawn last and without the depth test, so no sphere or link ever hides one.
    osg::StateSet* stateSet = geode->getOrCreateStateSet();
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setRenderBinDetails(11, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    return geode;
}

osg::ref_ptr<osg::Node> createRing(const osg::Vec3& centre, float radius, const osg::Vec4& color)
{
    const int corners = 48;
    osg::ref_ptr<osg::Vec3Array> points = new osg::Vec3Array;
    for (int corner = 0; corner < corners; ++corner)
    {
        const double angle = 6.283185307179586 * corner / corners;
        points->push_back(osg::Vec3(radius * static_cast<float>(std::cos(angle)),
                                    radius * static_cast<float>(std::sin(angle)), 0.0f));
    }
    osg::ref_ptr<osg::Geometry> ring = new osg::Geometry;
    ring->setVertexArray(points.get());
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array(1, &color);
    ring->setColorArray(colors.get(), osg::Array::BIND_OVERALL);
    ring->addPrimitiveSet(new osg::DrawArrays(GL_LINE_LOOP, 0, corners));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(ring.get());
    osg::StateSet* state = geode->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    state->setAttributeAndModes(new osg::LineWidth(2.0f));
    // Over the links round it, as a figure's is painted after its sphere, and under the labels.
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setRenderBinDetails(10, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    osg::ref_ptr<osg::AutoTransform> facing = new osg::AutoTransform;
    facing->setAutoRotateMode(osg::AutoTransform::ROTATE_TO_SCREEN);
    facing->setPosition(centre);
    facing->addChild(geode.get());
    return facing;
}
