#include <scene/NetworkScene.h>
#include <support/TestSupport.h>

#include <osgText/Text>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

namespace
{

TEST(NetworkScene, DrawsLinksFirstThenEachRingsLabelsAndSpheres)
{
    // Ring 1 repeats every name of ring 0 and adds one; ring 2 is empty; ring 3 only repeats.
    const auto drawn = drawNetwork("A1 B2 C3 0.1 0.2 0.3\nB2 D4 A1 0.4 0.5 0.6\n\nC3 A1 0.7\n");
    ASSERT_EQ(drawn->scene.path, RenderPath::OneGlyphPerElement);
    const osg::Group* root = drawn->scene.root.get();
    const unsigned ringSizes[] = {3, 1, 0, 0};
    ASSERT_EQ(root->getNumChildren(), 1u + (3 + 1) + (1 + 1) + (0 + 1) + (0 + 1));
    const osg::Geode* links = root->getChild(0)->asGeode();
    ASSERT_NE(links, nullptr);
    ASSERT_EQ(links->getNumDrawables(), 3u + 3u + 0u + 1u);
    for (unsigned i = 0; i < links->getNumDrawables(); ++i)
        EXPECT_EQ(links->getDrawable(i), drawn->scene.linkGlyphs[i].get()) << "link " << i;

    unsigned child = 1;
    std::vector<std::string> labels;
    for (int g = 0; g < 4; ++g)
    {
        for (unsigned k = 0; k < ringSizes[g]; ++k)
        {
            const osg::Geode* label = root->getChild(child++)->asGeode();
            ASSERT_NE(label, nullptr);
            const auto* text = dynamic_cast<const osgText::Text*>(label->getDrawable(0));
            ASSERT_NE(text, nullptr);
            labels.push_back(text->getText().createUTF8EncodedString());
        }
        const osg::Geode* spheres = root->getChild(child++)->asGeode();
        ASSERT_NE(spheres, nullptr);
        ASSERT_EQ(spheres->getNumDrawables(), ringSizes[g]) << "ring " << g;
        for (unsigned k = 0; k < ringSizes[g]; ++k)
            EXPECT_NE(dynamic_cast<const osg::Sphere*>(spheres->getDrawable(k)->getShape()), nullptr);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"A1", "B2", "C3", "D4"}));
}

TEST(NetworkScene, ColoursEachSphereByTheNumberAfterTheFirstCharacterOfItsName)
{
    // The ranges pick out one number each, so that the sphere's colour tells which number was read.
    RegionLists lists;
    lists.positiveRanges = {{215, 215}, {0, 0}};
    lists.negativeRanges = {{-5, -5}, {INT_MAX, INT_MAX}};
    lists.acceleratedRanges = {{2, 2}, {12, 12}};
    const std::pair<const char*, osg::Vec4> cases[] = {
        {"K215", {1.0f, 0.0f, 0.0f, 1.0f}},         {"X-5", {0.1f, 1.0f, 0.1f, 1.0f}},
        {"12", {0.2f, 0.2f, 0.7f, 1.0f}},           {"A", {1.0f, 0.0f, 0.0f, 1.0f}},
        {"B12x", {0.2f, 0.2f, 0.7f, 1.0f}},         {"Zabc", {1.0f, 0.0f, 0.0f, 1.0f}},
        {"Q99999999999", {0.1f, 1.0f, 0.1f, 1.0f}}, {"W7", {0.7f, 0.7f, 0.7f, 1.0f}}};
    for (const auto& [name, colour] : cases)
    {
        const auto drawn = drawNetwork(std::string(name) + "\n", std::nullopt, lists);
        const auto* sphere = dynamic_cast<const osg::ShapeDrawable*>(
            drawn->scene.root->getChild(2)->asGeode()->getDrawable(0));
        ASSERT_NE(sphere, nullptr);
        EXPECT_EQ(sphere->getColor(), colour) << name;
    }
}

TEST(NetworkScene, ChoosesItsPathOnceAndAsksTheDisplayOnlyForALargeNetwork)
{
    int asked = 0;
    bool runs = true;
    SceneDetail detail;
    detail.shadersRun = [&] {
        ++asked;
        return runs;
    };
    const struct
    {
        std::size_t links;
        std::size_t sites;
        bool shadersRun;
        RenderPath path;
        int asked;
    } cases[] = {{1000, 2000, true, RenderPath::OneGlyphPerElement, 0},
                 {1001, 10, true, RenderPath::Batched, 1},
                 {10, 2001, true, RenderPath::Batched, 1},
                 {1001, 10, false, RenderPath::OneGlyphPerElement, 1}};
    for (const auto& c : cases)
    {
        asked = 0;
        runs = c.shadersRun;
        EXPECT_EQ(chooseRenderPath(c.links, c.sites, detail), c.path) << c.links << " links, " << c.sites;
        EXPECT_EQ(asked, c.asked) << c.links << " links, " << c.sites;
    }
    EXPECT_EQ(chooseRenderPath(5000, 5000, SceneDetail()), RenderPath::Batched);
}

TEST(NetworkScene, ReadsLiberationSansUnderTheNameArial)
{
    const osg::ref_ptr<osgText::Font> font = readLabelFont();
    ASSERT_TRUE(font.valid());
    // Left to the system's font matching, "arial.ttf" would come out as DejaVu Sans here.
    const std::filesystem::path file = font->getFileName();
    EXPECT_EQ(std::filesystem::canonical(file).filename(), "LiberationSans-Regular.ttf") << file;
}

} // namespace
