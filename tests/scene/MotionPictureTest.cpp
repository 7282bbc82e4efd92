#include <scene/GlyphStyle.h>
#include <scene/MotionPicture.h>

#include <osg/Geometry>
#include <osg/Group>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

namespace
{

// The spheres' colours of sites of kinds, as the window gives them.
std::vector<osg::Vec4> colorsOf(const std::vector<RegionKind>& kinds)
{
    std::vector<osg::Vec4> colors(kinds.size(), osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    for (std::size_t site = 0; site < kinds.size(); ++site)
        regionColor(kinds[site], colors[site]);
    return colors;
}

const osg::Vec4 background(0.2f, 0.2f, 0.4f, 1.0f);

const osg::Geometry& part(MotionPicture& picture, const std::string& name)
{
    auto* group = picture.getNode()->asGroup();
    for (unsigned int i = 0; i < group->getNumChildren(); ++i)
        if (group->getChild(i)->getName() == name)
            return *group->getChild(i)->asGeometry();
    throw std::runtime_error("no part " + name);
}

GLsizei drawnVertices(const osg::Geometry& geometry)
{
    return static_cast<const osg::DrawArrays*>(geometry.getPrimitiveSet(0))->getCount();
}

// What the light picture should draw, worked out the plain way: the links between sites, ordered by |weight|
// (no number first) and then by place, the first budget of them, those the cutoff shows.
std::vector<std::size_t> expectedDrawn(const std::vector<SiteLink>& links, std::size_t sites,
                                       std::size_t budget, float cutoff)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].first < sites && links[i].second < sites)
            order.push_back(i);
    const auto strength = [&links](std::size_t i) {
        return std::isnan(links[i].weight) ? std::numeric_limits<float>::infinity()
                                           : std::fabs(links[i].weight);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&strength](std::size_t a, std::size_t b) { return strength(a) > strength(b); });
    order.resize(std::min(order.size(), budget));
    order.erase(
        std::remove_if(order.begin(), order.end(), [&](std::size_t i) { return links[i].isBelow(cutoff); }),
        order.end());
    return order;
}

TEST(MotionPicture, DrawsEverySiteInItsRegionColourAndTheStrongestLinksTheCutoffShows)
{
    // Random links among 40 sites, with repeated weights, weights that are no number and ends that are no
    // site; a budget of a quarter of them.
    std::mt19937 random(7);
    std::vector<osg::Vec3> positions;
    std::vector<RegionKind> kinds;
    for (int site = 0; site < 40; ++site)
    {
        positions.emplace_back(static_cast<float>(site), 0.0f, static_cast<float>(site % 7));
        kinds.push_back(static_cast<RegionKind>(site % 4));
    }
    std::vector<SiteLink> links;
    for (int i = 0; i < 400; ++i)
    {
        SiteLink link;
        link.first = static_cast<std::uint32_t>(random() % 41);
        link.second = static_cast<std::uint32_t>(random() % 40);
        link.weight = static_cast<float>(static_cast<int>(random() % 41) - 20) / 20.0f;
        if (i % 37 == 0)
            link.weight = std::numeric_limits<float>::quiet_NaN();
        links.push_back(link);
    }
    MotionDetail detail;
    detail.linkBudget = 100;
    MotionPicture picture(positions, colorsOf(kinds), links, background, detail);

    const osg::Geometry& sites = part(picture, "sites");
    ASSERT_EQ(sites.getVertexArray()->getNumElements(), positions.size());
    const auto& centres = static_cast<const osg::Vec3Array&>(*sites.getVertexArray());
    const auto& siteColors = static_cast<const osg::Vec4Array&>(*sites.getColorArray());
    ASSERT_EQ(drawnVertices(sites), 40);
    for (std::size_t site = 0; site < positions.size(); ++site)
    {
        osg::Vec4 color;
        regionColor(kinds[site], color);
        EXPECT_EQ(centres[site], positions[site]) << site;
        EXPECT_EQ(siteColors[site], color) << site;
    }

    // At every step of the cutoff, with every region filter, the links drawn are the strongest that pass
    // both, end to end in the lines.
    const osg::Geometry& lines = part(picture, "strongest links");
    const auto& ends = static_cast<const osg::Vec3Array&>(*lines.getVertexArray());
    const auto& colors = static_cast<const osg::Vec4Array&>(*lines.getColorArray());
    std::vector<std::uint8_t> linkRegions;
    for (const SiteLink& link : links)
        linkRegions.push_back(static_cast<std::uint8_t>((link.first < 40 ? regionBit(kinds[link.first]) : 0) |
                                                        regionBit(kinds[link.second])));
    for (int step = 0; step <= 40; ++step)
    {
        const float cutoff = static_cast<float>(step / 2 / 20.0);
        const std::uint8_t regions = regionBit(static_cast<RegionKind>(step % 4));
        picture.setFilter(LinkFilter{cutoff, regions}, &linkRegions);
        std::vector<std::size_t> expected = expectedDrawn(links, positions.size(), 100, cutoff);
        expected.erase(
            std::remove_if(expected.begin(), expected.end(),
                           [&](std::size_t i) { return regions != 0 && !(linkRegions[i] & regions); }),
            expected.end());
        ASSERT_EQ(picture.drawnLinks(), expected) << cutoff << " " << int(regions);
        ASSERT_EQ(static_cast<std::size_t>(drawnVertices(lines)), 2 * expected.size()) << cutoff;
        for (std::size_t i = 0; i < expected.size(); ++i)
        {
            const SiteLink& link = links[expected[i]];
            EXPECT_EQ(ends[2 * i], positions[link.first]);
            EXPECT_EQ(ends[2 * i + 1], positions[link.second]);
            // Bit for bit: a weight that is no number gives a colour that is none either.
            const osg::Vec4 own = weightColor(link.weight, 0.0f);
            EXPECT_EQ(std::memcmp(&colors[2 * i], &own, sizeof own), 0) << i;
        }
    }
    EXPECT_TRUE(std::isnan(links[picture.drawnLinks().front()].weight));
}

TEST(MotionPicture, DimsAllButTheEmphasisedLinksAndDrawsThoseEvenBeyondTheStrongest)
{
    // Four sites on a line; the budget keeps the two strongest links, 0 and 2.
    const std::vector<osg::Vec3> positions = {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {30, 0, 0}};
    const std::vector<RegionKind> kinds(4, RegionKind::None);
    const std::vector<SiteLink> links = {{0, 1, 0.9f}, {1, 2, 0.2f}, {2, 3, -0.8f}, {0, 3, 0.4f}};
    MotionDetail detail;
    detail.linkBudget = 2;
    MotionPicture picture(positions, colorsOf(kinds), links, background, detail);
    const osg::Geometry& lines = part(picture, "strongest links");
    const osg::Geometry& emphasis = part(picture, "emphasised links");
    const auto& colors = static_cast<const osg::Vec4Array&>(*lines.getColorArray());
    const auto& emphasisEnds = static_cast<const osg::Vec3Array&>(*emphasis.getVertexArray());
    ASSERT_EQ(picture.drawnLinks(), (std::vector<std::size_t>{0, 2}));

    struct Case
    {
        std::vector<std::size_t> emphasised;
        float cutoff;
        std::vector<std::size_t> drawn;
        std::vector<bool> dimmed; // of links 0 and 2
        std::size_t emphasisLines;
        std::size_t firstEmphasisSite; // where the first emphasised line starts
    };
    const Case cases[] = {
        {{}, 0.0f, {0, 2}, {false, false}, 0, 0},       {{2}, 0.0f, {0, 2}, {true, false}, 1, 2},
        {{3, 0}, 0.0f, {0, 2, 3}, {false, true}, 2, 0}, {{3, 1}, 0.3f, {0, 2, 3}, {true, true}, 1, 0},
        {{1, 3}, 0.95f, {}, {true, true}, 0, 0},
    };
    for (const Case& each : cases)
    {
        picture.setCutoff(each.cutoff);
        picture.setEmphasis(each.emphasised);
        EXPECT_EQ(picture.drawnLinks(), each.drawn);
        for (std::size_t i = 0; i < 2; ++i)
        {
            const osg::Vec4 own = weightColor(links[i == 0 ? 0 : 2].weight, 0.0f);
            EXPECT_EQ(colors[2 * i], each.dimmed[i] ? dimmedColor(own, background) : own) << i;
        }
        ASSERT_EQ(static_cast<std::size_t>(drawnVertices(emphasis)), 2 * each.emphasisLines);
        if (each.emphasisLines > 0)
        {
            EXPECT_EQ(emphasisEnds[0], positions[each.firstEmphasisSite]);
        }
    }
}

TEST(MotionPicture, DrawsABudgetOfSitesTheEndsOfTheStrongestLinksFirstAndThoseOfThePickedLinksBeside)
{
    // 1,000 sites in a row, each linked to the next, weights rising along it; budgets of 2 links and 10
    // sites.
    const std::size_t count = 1000;
    std::vector<osg::Vec3> positions;
    std::vector<SiteLink> links;
    for (std::uint32_t site = 0; site < count; ++site)
    {
        positions.emplace_back(static_cast<float>(site), 0.0f, 0.0f);
        if (site + 1 < count)
            links.push_back({site, site + 1, static_cast<float>(site) / count});
    }
    MotionDetail detail;
    detail.linkBudget = 2;
    detail.siteBudget = 10;
    MotionPicture picture(positions, colorsOf(std::vector<RegionKind>(count, RegionKind::None)), links,
                          background, detail);

    // The ends of the two strongest links (997-998, 998-999), then seven of the others spread along the row,
    // the same every time.
    const std::vector<std::uint32_t> drawn = picture.drawnSites();
    ASSERT_EQ(drawn.size(), 10u);
    for (const std::uint32_t end : {997u, 998u, 999u})
        EXPECT_TRUE(std::binary_search(drawn.begin(), drawn.end(), end)) << end;
    EXPECT_EQ(drawn.front(), 0u);
    for (std::size_t i = 1; i + 3 < drawn.size(); ++i)
        EXPECT_NEAR(static_cast<double>(drawn[i] - drawn[i - 1]), 997.0 / 7.0, 1.0) << i;
    MotionPicture again(positions, colorsOf(std::vector<RegionKind>(count, RegionKind::None)), links,
                        background, detail);
    EXPECT_EQ(again.drawnSites(), drawn);

    // A picked site's links bring their ends in, each once, and take them away again.
    picture.setEmphasis({499, 500});
    std::vector<std::uint32_t> picked = picture.drawnSites();
    ASSERT_EQ(picked.size(), 13u);
    EXPECT_EQ(std::vector<std::uint32_t>(picked.end() - 3, picked.end()),
              (std::vector<std::uint32_t>{499, 500, 501}));
    picture.setEmphasis({});
    EXPECT_EQ(picture.drawnSites(), drawn);

    // Within the budget every site is drawn, in order.
    detail.siteBudget = count;
    MotionPicture all(positions, colorsOf(std::vector<RegionKind>(count, RegionKind::None)), links,
                      background, detail);
    EXPECT_EQ(static_cast<std::size_t>(drawnVertices(part(all, "sites"))), count);
    EXPECT_EQ(all.drawnSites().size(), count);
}

} // namespace
