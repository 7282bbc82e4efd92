#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{

const osg::Cylinder* cylinderOf(const osg::Drawable* drawable)
{
    return dynamic_cast<const osg::Cylinder*>(drawable->getShape());
}

// The end of a link's cylinder on its own +z side, and the other.
osg::Vec3 plusEnd(const osg::Cylinder& cylinder)
{
    return cylinder.getCenter() + cylinder.getRotation() * osg::Vec3(0, 0, cylinder.getHeight() * 0.5f);
}
osg::Vec3 minusEnd(const osg::Cylinder& cylinder)
{
    return cylinder.getCenter() - cylinder.getRotation() * osg::Vec3(0, 0, cylinder.getHeight() * 0.5f);
}

void expectNear(const osg::Vec3& actual, const osg::Vec3& expected, float tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << what;
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << what;
    EXPECT_NEAR(actual.z(), expected.z(), tolerance) << what;
}

TEST(LinkGlyphs, JoinsTheCentresOfItsEndsWithAThinCylinder)
{
    const std::pair<osg::Vec3, osg::Vec3> ends[] = {
        {{0, 0, 5}, {0, 0, 0}},        {{3, 0, 0}, {-7, 0, 0}},   {{-7, 0, 0}, {3, 0, 0}},
        {{0, 4, 0}, {0, -6, 0}},       {{0, 0, -5}, {0, 0, 5}},   {{1, 2, 3}, {-4, 5, -6}},
        {{-3, 0, -5.196f}, {6, 0, 0}}, {{40, 0, -40}, {2, 0, 0}}, {{0, 0, 0.1f}, {0, 0, 0.3f}},
        {{0, 0, 1e-3f}, {0, 0, 2e-3f}}};
    for (const auto& [a, b] : ends)
    {
        osg::ref_ptr<osg::ShapeDrawable> link = createLink(a, b, 0.5f);
        const osg::Drawable* drawable = link.get();
        const osg::Cylinder* cylinder = cylinderOf(drawable);
        ASSERT_NE(cylinder, nullptr);

        const std::string what = "link from (" + std::to_string(a.x()) + ", " + std::to_string(a.y()) + ", " +
                                 std::to_string(a.z()) + ")";
        const float length = (a - b).length();
        EXPECT_FLOAT_EQ(cylinder->getHeight(), length) << what;
        EXPECT_EQ(cylinder->getRadius(), 0.4f);
        expectNear(cylinder->getCenter(), (a + b) * 0.5f, 1e-5f, what);
        // The cylinder's own +z axis points from b towards a, so its end faces sit on the two centres.
        expectNear(cylinder->getRotation() * osg::Vec3(0, 0, 1), (a - b) / length, 1e-5f, what);
        expectNear(plusEnd(*cylinder), a, 1e-4f, what);
        expectNear(minusEnd(*cylinder), b, 1e-4f, what);

        // What is drawn follows the final cylinder: its box holds both ends and reaches no farther than the
        // cylinder's radius beyond them.
        const osg::BoundingBox box = drawable->getBoundingBox();
        osg::BoundingBox reach;
        reach.expandBy(a);
        reach.expandBy(b);
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_LE(box._min[axis], reach._min[axis] + 1e-4f) << what << " axis " << axis;
            EXPECT_GE(box._max[axis], reach._max[axis] - 1e-4f) << what << " axis " << axis;
            EXPECT_GE(box._min[axis], reach._min[axis] - 0.41f) << what << " axis " << axis;
            EXPECT_LE(box._max[axis], reach._max[axis] + 0.41f) << what << " axis " << axis;
        }
    }
}

TEST(LinkGlyphs, MakesALinkOfHeightZeroBetweenCoincidentEnds)
{
    osg::ref_ptr<osg::ShapeDrawable> coincident = createLink(osg::Vec3(6, 0, 0), osg::Vec3(6, 0, 0), -0.5f);
    const osg::Cylinder* cylinder = cylinderOf(coincident.get());
    ASSERT_NE(cylinder, nullptr);
    EXPECT_EQ(cylinder->getHeight(), 0.0f);
    EXPECT_EQ(cylinder->getCenter(), osg::Vec3(6, 0, 0));
    EXPECT_EQ(cylinder->getRotation(), osg::Quat());
    EXPECT_TRUE(coincident->getBound().valid());

    // Ends so close that rounding makes the axis longer than the height still get a finite turn.
    osg::ref_ptr<osg::ShapeDrawable> close = createLink(osg::Vec3(0, 0, 4.11e-23f), osg::Vec3(0, 0, 0), 0.5f);
    const osg::Cylinder* tiny = cylinderOf(close.get());
    const osg::Vec3 axis = tiny->getRotation() * osg::Vec3(0, 0, 1);
    EXPECT_NEAR(axis.z(), 1.0f, 1e-6f);
    EXPECT_TRUE(std::isfinite(axis.x()) && std::isfinite(axis.y()));
}

TEST(LinkGlyphs, ColoursByTheSignAndSizeOfTheWeight)
{
    const std::pair<float, osg::Vec4> cases[] = {
        {-1.0f, {1, 0, 0, 1}}, {-0.25f, {1, 0.75f, 0, 1}}, {-0.0f, {1, 1, 0, 1}},
        {0.0f, {1, 1, 0, 1}},  {0.5f, {0.5f, 1, 0, 1}},    {1.0f, {0, 1, 0, 1}},
        {1.5f, {0, 1, 0, 1}},  {-2.0f, {1, 0, 0, 1}},      {0.35f, {1.0f - 0.35f, 1, 0, 1}}};
    std::vector<osg::ref_ptr<osg::ShapeDrawable>> links;
    for (const auto& [weight, colour] : cases)
        links.push_back(createLink(osg::Vec3(0, 0, 0), osg::Vec3(1, 0, 0), weight));
    ASSERT_EQ(links.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        const auto* drawable = links[i].get();
        ASSERT_NE(drawable, nullptr);
        EXPECT_EQ(drawable->getColor(), cases[i].second) << cases[i].first;
        ASSERT_NE(drawable->getTessellationHints(), nullptr);
        EXPECT_EQ(drawable->getTessellationHints()->getDetailRatio(), 0.2f);
    }
}

TEST(LinkGlyphs, AProbabilityOrAScoreRisesInLightnessFromItsRampsFootToItsTop)
{
    // On a scale whose top is above 0, |weight| / top picks the colour: the ramp's foot at 0, yellow at the
    // top and beyond, each step lighter than the one before, whatever the sign; a glyph takes it too.
    for (const float top : {1.0f, 0.5f, 3.5f})
    {
        SCOPED_TRACE(top);
        const auto lightness = [&](float weight) {
            const osg::Vec3 colour = LinkLook::weightColor(weight, top);
            return 0.2126f * colour.x() + 0.7152f * colour.y() + 0.0722f * colour.z();
        };
        float before = -1.0f;
        for (int step = 0; step <= 20; ++step)
        {
            const float weight = top * static_cast<float>(step) / 20.0f;
            EXPECT_GT(lightness(weight), before) << weight;
            before = lightness(weight);
            EXPECT_EQ(LinkLook::weightColor(-weight, top), LinkLook::weightColor(weight, top));
        }
        EXPECT_EQ(LinkLook::weightColor(2.0f * top, top), LinkLook::weightColor(top, top));
        EXPECT_NEAR(LinkLook::weightColor(top, top).x(), 0.993f, 1e-6f);
        EXPECT_NEAR(LinkLook::weightColor(0.0f, top).z(), 0.553f, 1e-6f);
        GlyphSizes sizes;
        sizes.weightTop = top;
        EXPECT_EQ(createLink(osg::Vec3(0, 0, 0), osg::Vec3(1, 0, 0), 0.3f * top, sizes)->getColor(),
                  osg::Vec4(LinkLook::weightColor(0.3f * top, top), 1.0f));
    }
    EXPECT_TRUE(std::isnan(LinkLook::weightColor(NAN, 1.0f).x()));
}

TEST(LinkGlyphs, TheShadersFilterOfTheLinksIsTheOneEveryOtherOutputApplies)
{
    // The filter in the batched links' shader, compiled as C++ from the same source, against LinkFilter, for
    // every region a link's ends may lie in and every filter, at weights around the cutoffs and beyond.
    const float weights[] = {0.0f, -0.0f, 0.3f, -0.3f, 0.29999998f, 1.0f, -7.0f, NAN, INFINITY, -INFINITY};
    for (const float cutoff : {0.0f, 0.3f, 1.0f})
        for (const RegionKind kind :
             {RegionKind::None, RegionKind::Positive, RegionKind::Negative, RegionKind::Accelerated})
            for (unsigned regions = 0; regions < 8; ++regions)
                for (const float weight : weights)
                {
                    const LinkFilter filter{cutoff, regionBit(kind)};
                    EXPECT_EQ(LinkLook::linkShown(weight, static_cast<float>(regions), cutoff,
                                                  static_cast<float>(regionBit(kind))),
                              filter.shows(SiteLink{0, 1, weight}, static_cast<std::uint8_t>(regions)))
                        << weight << " " << cutoff << " " << regions << " " << static_cast<int>(kind);
                }
    // A dimmed link fades three quarters of the way to the background, whatever the colour.
    EXPECT_EQ(dimmedColor(osg::Vec4(1, 0, 0, 0.5f), osg::Vec4(0, 0, 1, 1)), osg::Vec4(0.25f, 0, 0.75f, 0.5f));
}

TEST(LinkGlyphs, AFiguresLinksAreAsThickAsTheyAreStrong)
{
    // Once at the thinnest weight and below, three times at the scale's top (1 for a correlation, top for a
    // score) and beyond, in between in proportion; all alike in the plain style (a thinnest weight below 0),
    // and where the thinnest is the top or no number.
    const struct
    {
        float weight;
        float thinnest;
        float width;
        float top;
    } cases[] = {{0.3f, 0.3f, 1.0f, 0.0f},  {-0.3f, 0.3f, 1.0f, 0.0f},    {0.1f, 0.3f, 1.0f, 0.0f},
                 {0.65f, 0.3f, 2.0f, 0.0f}, {-0.65f, 0.3f, 2.0f, 0.0f},   {1.0f, 0.3f, 3.0f, 0.0f},
                 {-4.0f, 0.3f, 3.0f, 0.0f}, {0.5f, 0.0f, 2.0f, 0.0f},     {0.0f, 0.0f, 1.0f, 0.0f},
                 {NAN, 0.3f, 1.0f, 0.0f},   {INFINITY, 0.0f, 3.0f, 0.0f}, {0.9f, -1.0f, 1.0f, 0.0f},
                 {0.9f, 1.0f, 1.0f, 0.0f},  {0.9f, NAN, 1.0f, 0.0f},      {0.5f, 0.0f, 2.0f, 1.0f},
                 {2.0f, 0.0f, 2.0f, 4.0f},  {4.0f, 1.0f, 3.0f, 4.0f},     {2.5f, 1.0f, 2.0f, 4.0f},
                 {3.0f, 4.0f, 1.0f, 4.0f},  {1.5f, 0.5f, 3.0f, 0.0f}};
    for (const auto& test : cases)
    {
        EXPECT_NEAR(LinkLook::linkWidth(test.weight, test.thinnest, test.top), test.width, 1e-6f)
            << test.weight << " " << test.thinnest << " " << test.top;
        // A glyph's cylinder is that many times the sizes' link radius.
        GlyphSizes sizes;
        sizes.thinnestWeight = test.thinnest;
        sizes.weightTop = test.top;
        const osg::ref_ptr<osg::ShapeDrawable> link =
            createLink(osg::Vec3(0, 0, 0), osg::Vec3(10, 0, 0), test.weight, sizes);
        const auto* cylinder = dynamic_cast<const osg::Cylinder*>(link->getShape());
        ASSERT_NE(cylinder, nullptr);
        EXPECT_NEAR(cylinder->getRadius(), sizes.linkRadius * test.width, 1e-6f);
    }
}

// The links of the network of groupText drawn one glyph per element, and what it printed.
std::unique_ptr<DrawnNetwork> drawGlyphs(const std::string& groupText)
{
    return drawNetwork(groupText, RenderPath::OneGlyphPerElement);
}

TEST(LinkGlyphs, LogsAndLinksEveryPairInRowOrder)
{
    const auto drawn = drawGlyphs("A1 B2 C3 0.1 0.2 0.3\n");
    EXPECT_EQ(drawn->output, "Creating link between A1 and B2 with weight 0.100000\n"
                             "Creating link between A1 and C3 with weight 0.200000\n"
                             "Creating link between B2 and C3 with weight 0.300000\n");
    const std::vector<osg::Vec3>& sites = drawn->layout.positions;
    const std::pair<int, int> pairs[] = {{0, 1}, {0, 2}, {1, 2}};
    ASSERT_EQ(drawn->scene.linkGlyphs.size(), 3u);
    for (unsigned i = 0; i < 3; ++i)
    {
        const osg::Cylinder* cylinder = cylinderOf(drawn->scene.linkGlyphs[i].get());
        expectNear(plusEnd(*cylinder), sites[pairs[i].first], 1e-4f, "link " + std::to_string(i));
        expectNear(minusEnd(*cylinder), sites[pairs[i].second], 1e-4f, "link " + std::to_string(i));
    }
}

TEST(LinkGlyphs, MakesOneLinkPerPairOfEveryGroup)
{
    const std::pair<const char*, unsigned> cases[] = {
        {"\n", 0},
        {"A1\n", 0},
        {"A1 B2 0.5\n", 1},
        {"A B C D E 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1\nF G 0.2\n\nH\n", 10 + 1},
        // Pairs beyond the weights there are get no link.
        {"A B C 0.1\n", 1},
        {"A B C D 0.1 0.2 0.3 0.4\n", 4}};
    for (const auto& [text, links] : cases)
    {
        const auto drawn = drawGlyphs(text);
        EXPECT_EQ(drawn->scene.linkGlyphs.size(), links) << text;
        EXPECT_EQ(drawn->scene.root->getChild(0)->asGeode()->getNumDrawables(), links) << text;
        std::size_t lines = 0;
        for (std::size_t at = drawn->output.find("Creating link"); at != std::string::npos;
             at = drawn->output.find("Creating link", at + 1))
            ++lines;
        EXPECT_EQ(lines, links) << text;
    }
}

TEST(LinkGlyphs, EndsTheLinksOfARepeatedNameAtItsFirstSite)
{
    const auto drawn = drawGlyphs("A1 B2 0.5\nC3 A1 B2 0.1 0.2 0.3\nA1 B2 -0.4\n");
    const osg::Vec3 a1 = drawn->layout.positions[0];
    const osg::Vec3 b2 = drawn->layout.positions[1];
    const osg::Vec3 c3 = drawn->layout.positions[2];
    const std::pair<osg::Vec3, osg::Vec3> expected[] = {{a1, b2}, {c3, a1}, {c3, b2}, {a1, b2}, {a1, b2}};
    ASSERT_EQ(drawn->scene.linkGlyphs.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i)
    {
        const osg::Cylinder* cylinder = cylinderOf(drawn->scene.linkGlyphs[i].get());
        expectNear(plusEnd(*cylinder), expected[i].first, 1e-4f, "link " + std::to_string(i));
        expectNear(minusEnd(*cylinder), expected[i].second, 1e-4f, "link " + std::to_string(i));
    }
    // A group of repeats only has no spheres but all its links.
    const osg::Group& root = *drawn->scene.root;
    EXPECT_EQ(root.getChild(root.getNumChildren() - 1)->asGeode()->getNumDrawables(), 0u);
}

TEST(LinkGlyphs, LinksANameRepeatedWithinItsGroup)
{
    const auto drawn = drawGlyphs("A1 B2 A1 0.1 0.2 0.3\n");
    EXPECT_EQ(drawn->output, "Creating link between A1 and B2 with weight 0.100000\n"
                             "Creating link between A1 and A1 with weight 0.200000\n"
                             "Creating link between B2 and A1 with weight 0.300000\n");
    ASSERT_EQ(drawn->scene.linkGlyphs.size(), 3u);
    const osg::Cylinder* first = cylinderOf(drawn->scene.linkGlyphs[0].get());
    const osg::Cylinder* loop = cylinderOf(drawn->scene.linkGlyphs[1].get());
    const osg::Cylinder* back = cylinderOf(drawn->scene.linkGlyphs[2].get());
    EXPECT_EQ(loop->getHeight(), 0.0f);
    EXPECT_EQ(loop->getCenter(), drawn->layout.positions[0]);
    expectNear(back->getCenter(), first->getCenter(), 1e-5f, "the same place");
    EXPECT_FLOAT_EQ(back->getHeight(), first->getHeight());
}

TEST(LinkGlyphs, PrintsTheWorkedExampleExactly)
{
    const auto drawn = drawGlyphs(readText(dataFile("worked-example.txt")));
    EXPECT_EQ(drawn->output, "Creating link between H12 and K45 with weight 0.350000\n"
                             "Creating link between H12 and R78 with weight -0.200000\n"
                             "Creating link between K45 and R78 with weight 0.800000\n"
                             "Creating link between A3 and B9 with weight 0.500000\n"
                             "Creating link between 7 and 1e-3 with weight 0.100000\n");
}

} // namespace
