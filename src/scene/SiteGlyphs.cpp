#include <network/CorrelationNetwork>

#include <osgText/Text>

osg::ShapeDrawable* CorrelationNetwork::createSiteSphere(osg::Vec3 position, RegionKind kind) const
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(0.5f);

    osg::ref_ptr<osg::Sphere> sphere = new osg::Sphere;
    sphere->setCenter(position);
    sphere->setRadius(2.0f);

    osg::ref_ptr<osg::ShapeDrawable> drawable = new osg::ShapeDrawable(sphere.get(), hints.get());
    switch (kind)
    {
    case RegionKind::None:
        drawable->setColor(osg::Vec4(0.7f, 0.7f, 0.7f, 1.0f));
        break;
    case RegionKind::Positive:
        drawable->setColor(osg::Vec4(1.0f, 0.0f, 0.0f, 1.0f));
        break;
    case RegionKind::Negative:
        drawable->setColor(osg::Vec4(0.1f, 1.0f, 0.1f, 1.0f));
        break;
    case RegionKind::Accelerated:
        drawable->setColor(osg::Vec4(0.2f, 0.2f, 0.7f, 1.0f));
        break;
    }
    return drawable.release();
}

void CorrelationNetwork::createSiteLabel(osg::Vec3 position, std::string name)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;

    osg::ref_ptr<osgText::Text> text = new osgText::Text;
    text->setText(name);
    text->setCharacterSize(2.0f, 1.0f);
    text->setFont(font.get());
    text->setAlignment(osgText::Text::CENTER_CENTER);
    text->setColor(textColor);
    text->setPosition(osg::Vec3(position.x(), position.y() - 2.0f, position.z()));
    text->setAutoRotateToScreen(true);
    geode->addDrawable(text);

    // Labels are drawn last and without the depth test, so no sphere or link ever hides one.
    osg::StateSet* stateSet = geode->getOrCreateStateSet();
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setRenderBinDetails(11, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);

    root->addChild(geode);
}
