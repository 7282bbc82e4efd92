#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>

#include <osgText/Text>

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
                                         const LabelStyle& style, const GlyphSizes& sizes)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;

    osg::ref_ptr<osgText::Text> text = new osgText::Text;
    text->setText(name);
    text->setCharacterSize(sizes.labelHeight, 1.0f);
    text->setFont(style.font.get());
    text->setAlignment(osgText::Text::CENTER_CENTER);
    text->setColor(style.textColor);
    text->setPosition(sizes.labelAnchor(position));
    text->setAutoRotateToScreen(true);
    geode->addDrawable(text);

    // Labels are drawn last and without the depth test, so no sphere or link ever hides one.
    osg::StateSet* stateSet = geode->getOrCreateStateSet();
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setRenderBinDetails(11, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    return geode;
}
