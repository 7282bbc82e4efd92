#include <scene/GlyphStyle.h>
#include <scene/LabelChoice.h>
#include <scene/NetworkScene.h>
#include <support/TestSupport.h>

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/NodeVisitor>
#include <osg/ShapeDrawable>
#include <osg/Viewport>
#include <osgText/Text>

#include <gtest/gtest.h>

#include <map>

namespace
{

ScreenLabel box(std::uint32_t site, float x, float y, float halfWidth = 10.0f, float halfHeight = 5.0f,
                float depth = 1.0f)
{
    return ScreenLabel{site, x, y, halfWidth, halfHeight, depth};
}

TEST(LabelChoice, EachLabelShowsUnlessItOverlapsOneKeptBeforeIt)
{
    const struct
    {
        const char* what;
        std::vector<ScreenLabel> labels;
        std::vector<bool> shown;
    } cases[] = {
        {"apart", {box(0, 0, 0), box(1, 100, 0), box(2, 0, 100)}, {true, true, true}},
        {"the first keeps its place", {box(1, 0, 0), box(0, 5, 3)}, {false, true}},
        {"edges that touch do not overlap", {box(0, 0, 0), box(1, 20, 0), box(2, 0, 10)}, {true, true, true}},
        {"a hair over the edge does", {box(0, 0, 0), box(1, 19.9f, 0)}, {true, false}},
        {"one hidden hides nothing", {box(0, 0, 0), box(1, 15, 0), box(2, 30, 0)}, {true, false, true}},
        // A long label spans several cells of the grid; a short one meets it in any of them.
        {"a long label over many cells",
         {box(0, 0, 0, 200, 5), box(1, 180, 8, 5, 5), box(2, 180, 11, 5, 5)},
         {true, false, true}},
        {"far from the origin, negative too",
         {box(0, -1e6f, -1e6f), box(1, -1e6f + 5, -1e6f)},
         {true, false}},
        {"a site beyond the count is passed over", {box(7, 0, 0), box(0, 0, 0)}, {true}},
        {"no labels", {}, {false, false}},
    };
    for (const auto& each : cases)
        EXPECT_EQ(keepApart(each.labels, each.shown.size()), each.shown) << each.what;
}

TEST(LabelChoice, FavouredSitesComeFirstThenTheMoreCentralThenTheNearer)
{
    std::vector<ScreenLabel> labels = {box(0, 0, 0, 1, 1, 5.0f), box(1, 0, 0, 1, 1, 1.0f),
                                       box(2, 0, 0, 1, 1, 9.0f), box(3, 0, 0, 1, 1, 2.0f)};
    // Sites 1 and 3 are as central, more than 0; 2 least.
    const std::vector<std::uint32_t> ranks = {2, 0, 3, 0};
    const auto order = [&labels](const LabelPreference& preference) {
        orderByPreference(labels, preference);
        std::vector<std::uint32_t> sites;
        for (const ScreenLabel& label : labels)
            sites.push_back(label.site);
        return sites;
    };
    EXPECT_EQ(order({ranks, {}}), (std::vector<std::uint32_t>{1, 3, 0, 2}));
    EXPECT_EQ(order({ranks, {2}}), (std::vector<std::uint32_t>{2, 1, 3, 0}));
    EXPECT_EQ(order({ranks, {0, 2}}), (std::vector<std::uint32_t>{0, 2, 1, 3}));
    EXPECT_EQ(order({{}, {}}), (std::vector<std::uint32_t>{1, 3, 0, 2})) << "without ranks, by depth";
}

TEST(LabelChoice, CentralityIsBetweennessWhereMeasuredElseDegreeWithTiesSharingARank)
{
    CorrelationNetwork network;
    readGroups(network, "A1 B2 C3 0.5 0.5 0.5\nC3 D4 0.9\n");
    // Degrees: A1 2, B2 2, C3 3, D4 1.
    EXPECT_EQ(centralityRanks(network), (std::vector<std::uint32_t>{1, 1, 0, 3}));
    network.betweenness = {0.0, 4.0, 1.0, 4.0};
    EXPECT_EQ(centralityRanks(network), (std::vector<std::uint32_t>{3, 0, 2, 0}));
}

TEST(LabelChoice, LabelsStandWhereThePerspectiveProjectionPutsThemAndShrinkWithDistance)
{
    // An eye at z = 100 looking down -z, 90 degrees high, on a window 200 pixels square.
    const osg::Matrixd view = osg::Matrixd::lookAt(osg::Vec3d(0, 0, 100), osg::Vec3d(), osg::Vec3d(0, 1, 0));
    const osg::Matrixd projection = osg::Matrixd::perspective(90.0, 1.0, 1.0, 1000.0);
    const osg::Matrixd window =
        osg::ref_ptr<osg::Viewport>(new osg::Viewport(0, 0, 200, 200))->computeWindowMatrix();
    const LabelExtents extents{{{0, 0, 0}, {50, 0, 0}, {0, 0, 50}, {0, 0, 200}},
                               {{4, 1}, {4, 1}, {4, 1}, {4, 1}}};
    const std::vector<ScreenLabel> labels = screenLabels(extents, view, projection, window, 2.0f);
    ASSERT_EQ(labels.size(), 3u) << "the site behind the eye has no label";
    // At distance 100 a unit is one pixel; at 50, two.
    EXPECT_NEAR(labels[0].x, 100.0f, 1e-3f);
    EXPECT_NEAR(labels[0].y, 100.0f, 1e-3f);
    EXPECT_NEAR(labels[0].halfWidth, 4.0f + 2.0f, 1e-3f);
    EXPECT_NEAR(labels[0].halfHeight, 1.0f + 2.0f, 1e-3f);
    EXPECT_NEAR(labels[1].x, 150.0f, 1e-3f);
    EXPECT_NEAR(labels[2].halfWidth, 8.0f + 2.0f, 1e-3f);
    EXPECT_FLOAT_EQ(labels[2].depth, 50.0f);
}

TEST(LabelChoice, NoLabelReachesIntoABoxKeptClearAndOnesItWouldHaveHiddenShow)
{
    // An eye at z = 100 looking down -z, 90 degrees high, on a window 200 pixels square from (10, 20): a unit
    // at z = 0 is one pixel. Site 0 sits under the box, site 1 overlaps site 0's label and is less central,
    // site 2 stands apart.
    const osg::Matrixd view = osg::Matrixd::lookAt(osg::Vec3d(0, 0, 100), osg::Vec3d(), osg::Vec3d(0, 1, 0));
    const osg::Matrixd projection = osg::Matrixd::perspective(90.0, 1.0, 1.0, 1000.0);
    const osg::Matrixd window =
        osg::ref_ptr<osg::Viewport>(new osg::Viewport(10, 20, 200, 200))->computeWindowMatrix();
    const LabelExtents extents{{{-60, 60, 0}, {-50, 60, 0}, {40, -40, 0}}, {{8, 2}, {8, 2}, {8, 2}}};
    struct Case
    {
        const char* what;
        std::vector<osg::BoundingBox> clear; // in window heights from its bottom left
        std::vector<bool> shown;
    };
    const std::vector<Case> cases = {
        {"nothing kept clear", {}, {true, false, true}},
        // Site 0's label stands at 0.2 ± 0.05 window heights across and 0.8 up, site 1's at 0.25 across.
        {"a box over site 0", {osg::BoundingBox(0.0f, 0.75f, 0.0f, 0.17f, 1.0f, 0.0f)}, {false, true, true}},
        {"a box that misses them",
         {osg::BoundingBox(0.6f, 0.0f, 0.0f, 1.0f, 0.1f, 0.0f)},
         {true, false, true}},
        {"a box over both", {osg::BoundingBox(0.0f, 0.7f, 0.0f, 0.5f, 1.0f, 0.0f)}, {false, false, true}},
    };
    for (const Case& each : cases)
    {
        std::vector<bool> shown;
        osg::ref_ptr<LabelThinning> thinning =
            new LabelThinning(extents, {0, 1, 2}, [&](const std::vector<bool>& now) { shown = now; });
        thinning->keepClear(each.clear);
        thinning->choose(view, projection, window);
        EXPECT_EQ(shown, each.shown) << each.what;
    }
}

// Every text drawable of a scene drawn one glyph per element, by its text, and whether it shows.
std::map<std::string, bool> textsShown(osg::Node& root)
{
    struct Finder : osg::NodeVisitor
    {
        Finder() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN)
        {
            setNodeMaskOverride(~0u);
        }
        void apply(osg::Drawable& drawable) override
        {
            if (auto* text = dynamic_cast<osgText::Text*>(&drawable))
                shown[text->getText().createUTF8EncodedString()] = text->getNodeMask() != 0;
        }
        std::map<std::string, bool> shown;
    } finder;
    root.accept(finder);
    return finder.shown;
}

// How many glyphs of a batched scene's labels are told not to show.
std::size_t hiddenGlyphs(osg::Node& root)
{
    struct Finder : osg::NodeVisitor
    {
        Finder() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
        void apply(osg::Geode& geode) override
        {
            if (geode.getName() != "labels")
                return;
            for (unsigned int i = 0; i < geode.getNumDrawables(); ++i)
                if (const osg::Geometry* geometry = geode.getDrawable(i)->asGeometry())
                    for (const unsigned int slot : {7u, 10u, 13u})
                        if (const auto* anchors =
                                dynamic_cast<const osg::Vec4Array*>(geometry->getVertexAttribArray(slot)))
                            for (const osg::Vec4& anchor : *anchors)
                                hidden += anchor.w() == 0.0f ? 1 : 0;
        }
        std::size_t hidden = 0;
    } finder;
    root.accept(finder);
    return finder.hidden;
}

TEST(LabelChoice, AFiguresSceneShowsOnlyTheLabelsThatKeepApartOnEitherPath)
{
    // A1 and D4 stand at the same place: A1, of degree 2, keeps its label until D4 is favoured.
    for (const RenderPath path : {RenderPath::OneGlyphPerElement, RenderPath::Batched})
    {
        SCOPED_TRACE(path == RenderPath::Batched ? "batched" : "one glyph per element");
        CorrelationNetwork network;
        readGroups(network, "A1 B2 C3 0.5 0.5 0.5\nD4 E55 0.9\n");
        SiteLayout layout = layoutRingGrid(network);
        layout.figure = true;
        layout.positions = {{0, 0, 0}, {30, 0, 0}, {0, 30, 0}, {0, 0, 0}, {-30, -30, 0}};
        LabelStyle style;
        style.font = readLabelFont();
        const NetworkScene scene = buildNetworkScene(network, layout, style, path);
        ASSERT_TRUE(scene.labels.valid());
        EXPECT_TRUE(scene.dimSites);

        const osg::Matrixd view =
            osg::Matrixd::lookAt(osg::Vec3d(0, 0, 200), osg::Vec3d(), osg::Vec3d(0, 1, 0));
        const osg::Matrixd projection = osg::Matrixd::perspective(30.0, 1.0, 1.0, 1000.0);
        const osg::Matrixd window =
            osg::ref_ptr<osg::Viewport>(new osg::Viewport(0, 0, 400, 400))->computeWindowMatrix();
        scene.labels->choose(view, projection, window);
        EXPECT_EQ(scene.labels->shown(), (std::vector<bool>{true, true, true, false, true}));
        scene.labels->favour({3});
        scene.labels->choose(view, projection, window);
        EXPECT_EQ(scene.labels->shown(), (std::vector<bool>{false, true, true, true, true}));

        if (path == RenderPath::OneGlyphPerElement)
            EXPECT_EQ(textsShown(*scene.root),
                      (std::map<std::string, bool>{
                          {"A1", false}, {"B2", true}, {"C3", true}, {"D4", true}, {"E55", true}}));
        else
            EXPECT_EQ(hiddenGlyphs(*scene.root), 2u) << "the two glyphs of A1";

        // Dimming B2 dims its sphere alone, towards the background, and undimming brings its colour back.
        const std::vector<osg::Vec4> before = sphereColoursUnder(*scene.root);
        scene.dimSites({false, true, false, false, false});
        const std::vector<osg::Vec4> dimmed = sphereColoursUnder(*scene.root);
        ASSERT_EQ(dimmed.size(), before.size());
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (dimmed[i] != before[i])
            {
                ++changed;
                EXPECT_EQ(dimmed[i], dimmedColor(before[i], style.haloColor));
            }
        EXPECT_EQ(changed, 1u);
        scene.dimSites({});
        EXPECT_EQ(sphereColoursUnder(*scene.root), before);
    }
}

TEST(LabelChoice, APlainSceneKeepsEveryLabel)
{
    const auto drawn = drawNetwork("A1 B2 0.5\n");
    EXPECT_FALSE(drawn->scene.labels.valid());
    EXPECT_FALSE(drawn->scene.dimSites);
}

} // namespace
