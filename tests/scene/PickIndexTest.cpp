#include <scene/GlyphStyle.h>
#include <scene/PickIndex.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{

const double noSlack = 0.0;

// Sites along x, 10 apart, and links between neighbours; site 2 is moved aside, off the x axis.
struct Row
{
    std::vector<osg::Vec3> sites;
    std::vector<SiteLink> links;

    Row()
    {
        for (int i = 0; i < 8; ++i)
            sites.emplace_back(10.0f * i, 0.0f, i == 2 ? 10.0f : 0.0f);
        links.push_back(SiteLink{0, 7, 0.5f}); // along the row, under every other site
        links.push_back(SiteLink{2, 3, -0.25f});
        links.push_back(SiteLink{5, 5, 1.0f});   // a site linked to itself: no length
        links.push_back(SiteLink{1, 99, 0.75f}); // an end that is no site is never found
    }
};

TEST(PickIndex, FindsWhatARayLookingDownPassesThrough)
{
    const Row row;
    const PickIndex index(row.sites, row.links);
    const osg::Vec3d down(0.0, -1.0, 0.0); // the first view looks along +y; here from above
    struct Case
    {
        const char* what;
        osg::Vec3d through;
        Pick::Kind kind;
        std::size_t found;
    };
    const Case cases[] = {
        {"a site's centre", {30.0, 0.0, 0.0}, Pick::Kind::Site, 3},
        {"inside a site's rim", {31.9, 0.0, 0.0}, Pick::Kind::Site, 3},
        {"the site aside", {20.0, 0.0, 10.0}, Pick::Kind::Site, 2},
        {"between two sites on the row", {45.0, 0.0, 0.0}, Pick::Kind::Link, 0},
        {"within a link's radius", {45.0, 0.0, 0.35}, Pick::Kind::Link, 0},
        {"the link to the site aside", {25.0, 0.0, 5.0}, Pick::Kind::Link, 1},
        {"just beyond a link's radius", {45.0, 0.0, 0.45}, Pick::Kind::Nothing, 0},
        {"empty space", {45.0, 0.0, 6.0}, Pick::Kind::Nothing, 0},
        {"beyond the grid", {500.0, 0.0, 0.0}, Pick::Kind::Nothing, 0},
        {"where the link with no site would run", {10.0, 0.0, -5.0}, Pick::Kind::Nothing, 0},
    };
    for (const Case& c : cases)
    {
        for (const osg::Vec3d& direction : {down, osg::Vec3d(0.0, 1.0, 0.0)})
        {
            const Pick pick = index.pick(c.through - direction * 100.0, direction, noSlack);
            EXPECT_EQ(pick.kind, c.kind) << c.what;
            if (c.kind != Pick::Kind::Nothing)
            {
                EXPECT_EQ(pick.index, c.found) << c.what;
            }
        }
    }
}

TEST(PickIndex, FindsTheNearestAlongAGrazingRayWhereverItEntersTheGrid)
{
    const Row row;
    const PickIndex index(row.sites, row.links);
    // Along the row at the height of the spheres' tops: the links lie lower, and the first sphere wins.
    EXPECT_EQ(index.pick({-50.0, 1.5, 0.0}, {1.0, 0.0, 0.0}, noSlack).index, 0u);
    EXPECT_EQ(index.pick({150.0, 1.5, 0.0}, {-1.0, 0.0, 0.0}, noSlack).index, 7u);
    // Along z, over the row's link and empty cells, to the site aside at the far edge of the grid.
    const Pick aside = index.pick({20.0, 1.0, -40.0}, {0.0, 0.0, 1.0}, noSlack);
    EXPECT_EQ(aside.kind, Pick::Kind::Site);
    EXPECT_EQ(aside.index, 2u);
    // Sloping down towards the last site from far above the first: it passes over the others.
    const osg::Vec3d target(70.0, 0.0, 0.0);
    const osg::Vec3d start(-30.0, 30.0, 0.0);
    const Pick sloping = index.pick(start, target - start, noSlack);
    EXPECT_EQ(sloping.kind, Pick::Kind::Site);
    EXPECT_EQ(sloping.index, 7u);
    // Pointing away from everything.
    EXPECT_EQ(index.pick({-50.0, 1.5, 0.0}, {-1.0, 0.0, 0.0}, noSlack).kind, Pick::Kind::Nothing);
}

TEST(PickIndex, TakesANearMissWithinTheSlackAndTheClosestOfSeveral)
{
    const Row row;
    const PickIndex index(row.sites, row.links);
    const osg::Vec3d down(0.0, -1.0, 0.0);
    // 1.5 units outside site 4's sphere, seen from 100 units: 0.015 of the distance.
    const osg::Vec3d beside(40.0, 100.0, 3.5);
    EXPECT_EQ(index.pick(beside, down, 0.01).kind, Pick::Kind::Nothing);
    const Pick near = index.pick(beside, down, 0.02);
    EXPECT_EQ(near.kind, Pick::Kind::Site);
    EXPECT_EQ(near.index, 4u);
    // Closer to the link aside than to any sphere.
    const Pick link = index.pick({25.0, 100.0, 5.6}, down, 0.02);
    EXPECT_EQ(link.kind, Pick::Kind::Link);
    EXPECT_EQ(link.index, 1u);
    // A link that the cutoff hides is passed through, to what lies beyond or to nothing.
    EXPECT_EQ(index.pick({45.0, 100.0, 0.0}, down, noSlack, 0.5f).kind, Pick::Kind::Link);
    EXPECT_EQ(index.pick({45.0, 100.0, 0.0}, down, noSlack, 0.55f).kind, Pick::Kind::Nothing);
    EXPECT_EQ(index.pick({40.0, 100.0, 0.0}, down, noSlack, 1.0f).kind, Pick::Kind::Site);
    // Nothing is ever picked by a ray without a direction, or with no slack given as a number.
    EXPECT_EQ(index.pick({30.0, 100.0, 0.0}, {0.0, 0.0, 0.0}, 0.02).kind, Pick::Kind::Nothing);
    EXPECT_EQ(index.pick({30.0, 100.0, 0.0}, down, std::nan("")).kind, Pick::Kind::Nothing);
    EXPECT_EQ(PickIndex({}, {}).pick({0.0, 100.0, 0.0}, down, 0.02).kind, Pick::Kind::Nothing);
}

// How far a ray passes from a segment, found by walking the segment in small steps, and how far along the
// ray that is.
double passes(const osg::Vec3d& origin, const osg::Vec3d& unit, const osg::Vec3d& a, const osg::Vec3d& b,
              double& along)
{
    double best = 1e30;
    for (int step = 0; step <= 2000; ++step)
    {
        const osg::Vec3d point = a + (b - a) * (step / 2000.0);
        const double t = std::max(0.0, (point - origin) * unit);
        const double distance = (origin + unit * t - point).length();
        if (distance < best)
        {
            best = distance;
            along = t;
        }
    }
    return best;
}

TEST(PickIndex, ARayThroughASiteFindsItOrSomethingItPassesThroughBefore)
{
    // Rings of sites as the ring grid makes them, and the same sites spread through a block as a molecule's
    // residues stand; long links between the rings and short ones within, seen from every side and slope.
    for (const bool solid : {false, true})
    {
        SCOPED_TRACE(solid ? "sites in three dimensions" : "sites in the plane");
        std::mt19937 random(7);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<osg::Vec3> sites;
        std::vector<SiteLink> links;
        for (int ring = 0; ring < 25; ++ring)
            for (int k = 0; k < 12; ++k)
            {
                const double angle = 2.0 * osg::PI * k / 12;
                const float height = solid ? static_cast<float>(120.0 * unit(random) - 60.0) : 0.0f;
                sites.emplace_back(40.0f * (ring % 5) + 24.0f * float(std::cos(angle)), height,
                                   -40.0f * (ring / 5) - 24.0f * float(std::sin(angle)));
            }
        for (int i = 0; i < 1500; ++i)
        {
            const auto a = static_cast<std::uint32_t>(unit(random) * sites.size());
            const auto b =
                static_cast<std::uint32_t>(i % 10 == 0 ? unit(random) * sites.size() : a / 12 * 12 + i % 12);
            links.push_back(SiteLink{a, b, 0.5f});
        }
        const PickIndex index(sites, links);

        int straight = 0;
        for (int trial = 0; trial < 2000; ++trial)
        {
            const std::size_t target = static_cast<std::size_t>(unit(random) * sites.size());
            // From grazing to steep, and in a block from below as well as from above.
            const double slope = (solid && trial % 2 ? -1.0 : 1.0) * (0.05 + 1.5 * unit(random));
            const double turn = 2.0 * osg::PI * unit(random);
            osg::Vec3d direction(std::cos(turn) * std::cos(slope), -std::sin(slope),
                                 std::sin(turn) * std::cos(slope));
            const osg::Vec3d centre(sites[target]);
            const osg::Vec3d origin = centre - direction * 400.0;
            const Pick pick = index.pick(origin, direction, noSlack);
            ASSERT_NE(pick.kind, Pick::Kind::Nothing) << trial;
            if (pick.kind == Pick::Kind::Site && pick.index == target)
            {
                ++straight;
                continue;
            }
            // Whatever else was found, the ray passes through it before it reaches the target's sphere.
            double along = 0.0;
            double distance = 0.0;
            double radius = GlyphSizes().siteRadius;
            if (pick.kind == Pick::Kind::Site)
                distance = passes(origin, direction, osg::Vec3d(sites[pick.index]),
                                  osg::Vec3d(sites[pick.index]), along);
            else
            {
                const SiteLink& link = links[pick.index];
                distance = passes(origin, direction, osg::Vec3d(sites[link.first]),
                                  osg::Vec3d(sites[link.second]), along);
                radius = GlyphSizes().linkRadius;
            }
            EXPECT_LE(distance, radius + 1e-3) << trial;
            EXPECT_LT(along - std::sqrt(std::max(0.0, radius * radius - distance * distance)),
                      400.0 - GlyphSizes().siteRadius + 1e-3)
                << trial;
        }
        // Most rays reach their target unobstructed.
        EXPECT_GT(straight, 1000);
    }
}

} // namespace

TEST(PickIndex, ASphereSizedLargerIsPickedOutToItsOwnRim)
{
    // Site 3 three times the size, radius 6, and site 6 the usual 2: a ray 5 from each centre finds the first
    // and misses the second, also where the larger rim reaches past the grid the usual radius would make.
    const Row row;
    std::vector<float> scales(row.sites.size(), 1.0f);
    scales[3] = 3.0f;
    scales[7] = 3.0f;
    const PickIndex index(row.sites, row.links, GlyphSizes(), scales);
    const osg::Vec3d down(0.0, -1.0, 0.0);
    const struct
    {
        osg::Vec3d through;
        Pick::Kind kind;
        std::size_t found;
    } cases[] = {{{30.0, 0.0, 5.0}, Pick::Kind::Site, 3},
                 {{30.0, 0.0, 6.5}, Pick::Kind::Nothing, 0},
                 {{60.0, 0.0, 5.0}, Pick::Kind::Nothing, 0},
                 {{75.5, 0.0, 0.0}, Pick::Kind::Site, 7}};
    for (const auto& c : cases)
    {
        const Pick pick = index.pick(c.through - down * 100.0, down, noSlack);
        EXPECT_EQ(pick.kind, c.kind) << c.through.x() << " " << c.through.z();
        if (c.kind != Pick::Kind::Nothing)
        {
            EXPECT_EQ(pick.index, c.found);
        }
    }
}
