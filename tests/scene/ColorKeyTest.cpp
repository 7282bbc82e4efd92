#include <app/Settings.h>
#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/NetworkScene.h>
#include <support/TestSupport.h>

#include <osg/Geometry>
#include <osgText/Text>

#include <gtest/gtest.h>

namespace
{

// The key's camera and the geode it draws.
const osg::Camera* keyCamera(const osg::Node& key)
{
    const osg::Group* group = key.asGroup();
    return group != nullptr && group->getNumChildren() == 1 ? group->getChild(0)->asCamera() : nullptr;
}

TEST(ColorKey, ShowsTheWeightBarAndASwatchPerRegionGivenInTheLabelColour)
{
    ColorKeyInfo info;
    info.font = readLabelFont();
    info.textColor = osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    info.regions = {{RegionKind::Positive, "hot.txt"}, {RegionKind::Accelerated, "fast.txt"}};
    osg::ref_ptr<osg::Node> key = createColorKey(info);

    const osg::Camera* camera = keyCamera(*key);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->getReferenceFrame(), osg::Transform::ABSOLUTE_RF);
    EXPECT_EQ(camera->getRenderOrder(), osg::Camera::NESTED_RENDER);
    EXPECT_EQ(camera->getChild(0)->getStateSet()->getBinNumber(), 12);
    EXPECT_FALSE(camera->getAllowEventFocus());
    const osg::Geode* geode = camera->getChild(0)->asGeode();
    ASSERT_NE(geode, nullptr);

    std::vector<std::string> texts;
    for (unsigned int i = 0; i < geode->getNumDrawables(); ++i)
        if (const auto* text = dynamic_cast<const osgText::Text*>(geode->getDrawable(i)))
        {
            texts.push_back(text->getText().createUTF8EncodedString());
            EXPECT_EQ(text->getColor(), info.textColor);
            EXPECT_EQ(text->getFont(), info.font.get());
        }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"-1", "0", "+1", "link weight", "no region", "hot.txt", "fast.txt"}));

    // Without region lists there are no swatches, not even the grey one.
    EXPECT_TRUE(keySwatches({}).empty());

    // Two halves of the bar, red to yellow and yellow to green, then a square per region in its colour.
    const osg::Geometry* shapes = geode->getDrawable(0)->asGeometry();
    ASSERT_NE(shapes, nullptr);
    const auto* colors = dynamic_cast<const osg::Vec4Array*>(shapes->getColorArray());
    ASSERT_NE(colors, nullptr);
    ASSERT_EQ(colors->size(), 5u * 4u);
    EXPECT_EQ((*colors)[0], weightColor(-1.0f, 0.0f));
    EXPECT_EQ((*colors)[1], weightColor(0.0f, 0.0f));
    EXPECT_EQ((*colors)[5], weightColor(1.0f, 0.0f));
    osg::Vec4 grey, red, blue;
    ASSERT_TRUE(regionColor(RegionKind::None, grey) && regionColor(RegionKind::Positive, red) &&
                regionColor(RegionKind::Accelerated, blue));
    EXPECT_EQ((*colors)[8], grey);
    EXPECT_EQ((*colors)[12], red);
    EXPECT_EQ((*colors)[16], blue);

    // It takes no part in framing the first view.
    const auto drawn = drawNetwork("H12 K45 0.35 R78 -0.20 0.80\n");
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->addChild(drawn->scene.root.get());
    const osg::BoundingSphere without = scene->getBound();
    scene->addChild(key.get());
    scene->dirtyBound();
    EXPECT_EQ(scene->getBound().center(), without.center());
    EXPECT_EQ(scene->getBound().radius(), without.radius());
}

TEST(ColorKey, IsAskedForByAnyValueButEmptyZeroNoAndOff)
{
    const std::pair<const char*, bool> cases[] = {{nullptr, false}, {"", false},    {"0", false},
                                                  {"no", false},    {"off", false}, {"OFF", false},
                                                  {"1", true},      {"yes", true},  {"on", true}};
    for (const auto& [setting, wanted] : cases)
        EXPECT_EQ(wantsColorKey(setting), wanted) << (setting ? setting : "unset");
}

} // namespace

TEST(ColorKey, ListsTheCommunitiesFromTheFirstDownAndTheGreyOnesInOneSwatch)
{
    // Communities of 3, 2, 1… sites as the analyses number them; beyond the palette they share its grey.
    const struct
    {
        std::vector<std::uint32_t> communities;
        std::vector<std::string> names;
    } cases[] = {
        {{0, 0, 1}, {"Community 1 (2 sites)", "Community 2 (1 site)"}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         {"Community 1 (1 site)", "Community 2 (1 site)", "Community 3 (1 site)", "Community 4 (1 site)",
          "Community 5 (1 site)", "Community 6 (1 site)", "Community 7 (1 site)", "Community 8 (1 site)",
          "Community 9 (1 site)", "Community 10 (1 site)"}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 11},
         {"Community 1 (1 site)", "Community 2 (1 site)", "Community 3 (1 site)", "Community 4 (1 site)",
          "Community 5 (1 site)", "Community 6 (1 site)", "Community 7 (1 site)", "Community 8 (1 site)",
          "Community 9 (1 site)", "Communities 10 to 12 (4 sites)"}},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.names.back());
        const std::vector<KeyEntry> key = communityKey(test.communities);
        std::vector<std::string> names;
        for (const KeyEntry& entry : key)
            names.push_back(entry.name);
        EXPECT_EQ(names, test.names);
        // Each its own colour, the last of many in the grey the rest share.
        for (std::size_t at = 0; at < key.size(); ++at)
            EXPECT_EQ(key[at].color, communityColor(at)) << at;
        for (std::size_t at = 1; at < key.size(); ++at)
            EXPECT_NE(key[at].color, key[at - 1].color) << at;

        // Laid out bottom up under the weight bar, the first community at the top; no region swatch beside.
        const ColorKeyLayout laidOut = layOutColorKey({{RegionKind::Positive, "positive.txt"}}, key);
        ASSERT_EQ(laidOut.swatches.size(), key.size());
        EXPECT_EQ(laidOut.swatches.back().name.text, names.front());
        EXPECT_EQ(laidOut.swatches.front().name.text, names.back());
        for (std::size_t at = 1; at < laidOut.swatches.size(); ++at)
            EXPECT_GT(laidOut.swatches[at].box.bottom, laidOut.swatches[at - 1].box.top);
    }
}
