#include <scene/Glyphs.h>
#include <support/TestSupport.h>

#include <osgText/Text>

#include <gtest/gtest.h>

namespace
{

TEST(SiteGlyphs, MakesASphereOfRadiusTwoInTheColourOfItsRegion)
{
    const std::pair<RegionKind, osg::Vec4> cases[] = {
        {RegionKind::None, {0.7f, 0.7f, 0.7f, 1.0f}},
        {RegionKind::Positive, {1.0f, 0.0f, 0.0f, 1.0f}},
        {RegionKind::Negative, {0.1f, 1.0f, 0.1f, 1.0f}},
        {RegionKind::Accelerated, {0.2f, 0.2f, 0.7f, 1.0f}},
        // Any other kind keeps the drawable's own colour.
        {static_cast<RegionKind>(7), osg::ref_ptr<osg::ShapeDrawable>(new osg::ShapeDrawable)->getColor()}};
    for (const auto& [kind, colour] : cases)
    {
        osg::ref_ptr<osg::ShapeDrawable> drawable = createSiteSphere(osg::Vec3(12, 0, -40), kind);
        EXPECT_EQ(drawable->getColor(), colour) << static_cast<int>(kind);
        EXPECT_EQ(drawable->getNumParents(), 0u);
        const auto* sphere = dynamic_cast<const osg::Sphere*>(drawable->getShape());
        ASSERT_NE(sphere, nullptr);
        EXPECT_EQ(sphere->getCenter(), osg::Vec3(12, 0, -40));
        EXPECT_EQ(sphere->getRadius(), 2.0f);
        ASSERT_NE(drawable->getTessellationHints(), nullptr);
        EXPECT_EQ(drawable->getTessellationHints()->getDetailRatio(), 0.5f);
        // What is drawn is that sphere, not the default one at the origin.
        const osg::BoundingBox box = drawable->getBoundingBox();
        EXPECT_NEAR(box.xMin(), 10.0f, 1e-3f);
        EXPECT_NEAR(box.xMax(), 14.0f, 1e-3f);
        EXPECT_NEAR(box.zMin(), -42.0f, 1e-3f);
        EXPECT_NEAR(box.zMax(), -38.0f, 1e-3f);
    }
}

TEST(SiteGlyphs, LabelsASiteWithItsNameBelowIt)
{
    const LabelStyle white{readLabelFont()};
    const LabelStyle black{readLabelFont(), osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f)};
    const struct
    {
        const char* name;
        osg::Vec3 site;
        const LabelStyle& style;
        osg::Vec3 position;
    } cases[] = {{"K215", {12.0f, 0.0f, -40.0f}, white, {12.0f, -2.0f, -40.0f}},
                 {"H12", {1.5f, 0.0f, 3.0f}, black, {1.5f, -2.0f, 3.0f}}};
    for (const auto& c : cases)
    {
        osg::ref_ptr<osg::Geode> geode = createSiteLabel(c.site, c.name, c.style);
        ASSERT_EQ(geode->getNumDrawables(), 1u);
        const auto* text = dynamic_cast<const osgText::Text*>(geode->getDrawable(0));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->getText().createUTF8EncodedString(), c.name);
        EXPECT_EQ(text->getPosition(), c.position);
        EXPECT_EQ(text->getColor(), c.style.textColor);
        EXPECT_EQ(text->getCharacterHeight(), 2.0f);
        EXPECT_EQ(text->getCharacterAspectRatio(), 1.0f);
        EXPECT_EQ(text->getFont(), c.style.font.get());
        EXPECT_EQ(text->getAlignment(), osgText::Text::CENTER_CENTER);
        EXPECT_TRUE(text->getAutoRotateToScreen());

        const osg::StateSet* stateSet = geode->getStateSet();
        ASSERT_NE(stateSet, nullptr);
        EXPECT_EQ(stateSet->getMode(GL_DEPTH_TEST), osg::StateAttribute::OFF);
        EXPECT_EQ(stateSet->getBinNumber(), 11);
        EXPECT_EQ(stateSet->getBinName(), "RenderBin");
        EXPECT_EQ(stateSet->getRenderingHint(), osg::StateSet::DEFAULT_BIN);
        EXPECT_EQ(stateSet->getRenderBinMode(), osg::StateSet::USE_RENDERBIN_DETAILS);
    }
}

} // namespace
