#include <network/CorrelationNetwork.h>
#include <scene/SiteLayout.h>
#include <support/TestSupport.h>

#include <osg/Matrixd>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{

const float tolerance = 1e-4f;

void expectNear(const osg::Vec3& actual, const osg::Vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << what;
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << what;
    EXPECT_NEAR(actual.z(), expected.z(), tolerance) << what;
}

// The ring position worked out step by step with the library's matrices: move by (r, 0, 0), then turn by
// k times the angular step about y, then move to the cell.
osg::Vec3 ringPosition(int ordinal, int primaryCount, int column, int row)
{
    const auto step = static_cast<float>(6.283185307179586 / primaryCount);
    const float radius = 2.0f * static_cast<float>(primaryCount);
    osg::Matrixd translation;
    translation.setTrans(osg::Vec3f(radius, 0.0f, 0.0f));
    osg::Matrixd rotation;
    rotation.makeRotate(ordinal * static_cast<double>(step), osg::Vec3f(0.0f, 1.0f, 0.0f));
    rotation.preMult(translation);
    return osg::Vec3(rotation.getTrans() + osg::Vec3d(osg::Vec3(40.0f * column, 0.0f, -40.0f * row)));
}

std::string groupLines(int groupCount, int sitesPerGroup)
{
    std::string text;
    int number = 1;
    for (int g = 0; g < groupCount; ++g)
    {
        for (int s = 0; s < sitesPerGroup; ++s)
            text += "S" + std::to_string(number++) + " ";
        for (int w = 0; w < sitesPerGroup * (sitesPerGroup - 1) / 2; ++w)
            text += "0.5 ";
        text += "\n";
    }
    return text;
}

// The ring grid's places for the network of groupText.
SiteLayout layOut(const std::string& groupText)
{
    CorrelationNetwork network;
    readGroups(network, groupText);
    return layoutRingGrid(network);
}

TEST(RingGrid, CentresEveryRingOnItsCellOfTheSmallestSquareGrid)
{
    const std::pair<int, int> sides[] = {{1, 1}, {2, 2}, {3, 2}, {4, 2}, {5, 3}, {9, 3}, {10, 4}, {17, 5}};
    for (const auto& [groupCount, side] : sides)
    {
        const SiteLayout layout = layOut(groupLines(groupCount, 4));
        ASSERT_EQ(layout.positions.size(), static_cast<std::size_t>(4 * groupCount));
        for (int g = 0; g < groupCount; ++g)
        {
            osg::Vec3 centre;
            for (int s = 0; s < 4; ++s)
                centre += layout.positions[4 * g + s] * 0.25f;
            expectNear(centre, osg::Vec3(40.0f * (g % side), 0.0f, -40.0f * (g / side)),
                       std::to_string(groupCount) + " groups, group " + std::to_string(g));
        }
    }
}

TEST(RingGrid, PlacesTheSitesOfARingFromPlusXTowardsMinusZ)
{
    const osg::Vec3 expected[] = {{0, 0, -8}, {-8, 0, 0}, {0, 0, 8}, {8, 0, 0}};
    const SiteLayout four = layOut(groupLines(1, 4));
    for (int s = 0; s < 4; ++s)
        expectNear(four.positions[s], expected[s], "site " + std::to_string(s));

    const SiteLayout road = layOut("H12 K45 0.35 R78 -0.20 0.80\n");
    expectNear(road.positions[0], osg::Vec3(-3.0f, 0.0f, -5.196152f), "H12");
    expectNear(road.positions[1], osg::Vec3(-3.0f, 0.0f, 5.196152f), "K45");
    expectNear(road.positions[2], osg::Vec3(6.0f, 0.0f, 0.0f), "R78");

    // Empty lines keep their cells.
    const SiteLayout single = layOut("X1\n\nZ3\n");
    expectNear(single.positions[1], osg::Vec3(2.0f, 0.0f, -40.0f), "one site in cell (0, 1)");
}

TEST(RingGrid, AgreesWithTheMatrixConstructionForRingsOfEverySize)
{
    for (int sites = 1; sites <= 24; ++sites)
    {
        const SiteLayout layout = layOut(groupLines(7, sites));
        for (int g = 0; g < 7; ++g)
            for (int s = 0; s < sites; ++s)
                expectNear(layout.positions[g * sites + s], ringPosition(s + 1, sites, g % 3, g / 3),
                           std::to_string(sites) + " sites, group " + std::to_string(g));
    }
}

TEST(RingGrid, SetsOutOnlyTheFirstOccurrenceOfANameOnItsRing)
{
    // A1 repeated on its own line takes no angle; B2 repeated on the next line stays in the first cell.
    const SiteLayout layout = layOut("A1 B2 A1 C3\nB2 D4\n");
    ASSERT_EQ(layout.positions.size(), 4u);
    expectNear(layout.positions[0], ringPosition(1, 3, 0, 0), "A1");
    expectNear(layout.positions[1], ringPosition(2, 3, 0, 0), "B2");
    expectNear(layout.positions[2], ringPosition(3, 3, 0, 0), "C3");
    expectNear(layout.positions[3], ringPosition(1, 1, 1, 0), "D4");
}

} // namespace

TEST(RingGrid, FittedCellsKeepRingsOfAnySizeApart)
{
    // Rings of 60, 30, 9, 2 and 1 sites: on the fitted grid no site comes nearer than 8 units to a site of
    // another ring; the plain grid, which a group file keeps, lets the large ones overlap.
    CorrelationNetwork network;
    int next = 0;
    for (const int size : {60, 30, 9, 2, 1})
    {
        network.beginRing();
        for (int site = 0; site < size; ++site)
            network.addToRing(network.addSite("K" + std::to_string(next++)).first);
    }
    std::vector<std::size_t> ringOf(network.siteCount());
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
        for (const std::uint32_t site : network.ring(ring))
            ringOf[site] = ring;
    const auto nearestAcrossRings = [&](const SiteLayout& layout) {
        float nearest = 1e9f;
        for (std::size_t a = 0; a < network.siteCount(); ++a)
            for (std::size_t b = a + 1; b < network.siteCount(); ++b)
                if (ringOf[a] != ringOf[b])
                    nearest = std::min(nearest, (layout.positions[a] - layout.positions[b]).length());
        return nearest;
    };
    EXPECT_GE(nearestAcrossRings(layoutSites(network, LayoutKind::FittedRingGrid)), 8.0f - 1e-3f);
    EXPECT_LT(nearestAcrossRings(layoutSites(network, LayoutKind::RingGrid)), 4.0f);
    EXPECT_EQ(fittedCellSpacing(8), 40.0f);
}
