// What the settings make of the analyses: which colours, which sizes, and what the key says of them.
#include <app/SiteAnalysis.h>

#include <gtest/gtest.h>

#include <network/InputError.h>

#include <cmath>
#include <sstream>

namespace
{

// A star of four leaves round H, and a tail from D: H-A H-B H-C H-D D-E, weights as given.
CorrelationNetwork star()
{
    CorrelationNetwork network;
    for (const char* name : {"H1", "A2", "B3", "C4", "D5", "E6"})
        network.addSite(name);
    network.numbers = {1, 2, 3, 4, 5, 6};
    network.regions.assign(6, RegionKind::None);
    network.addLink(0, 1, 0.5f);
    network.addLink(0, 2, 0.6f);
    network.addLink(0, 3, 0.7f);
    network.addLink(0, 4, 0.8f);
    network.addLink(4, 5, 0.2f);
    network.linkRegions.assign(network.linkCount(), 0);
    return network;
}

} // namespace

TEST(SiteAnalysis, SpheresAreSizedFromOneToThreeTimesWithTheAreaGrowingAsTheMeasure)
{
    const struct
    {
        SiteSizing sizing;
        float cutoff;
        std::vector<double> measure; // what the scales must follow, one a site
        std::string meaning;
    } cases[] = {
        // Betweenness: H lies on the 10 paths among the other five but D-E's 4 to A, B and C and H... H 9,
        // D 4.
        {SiteSizing::Betweenness, 0.0f, {9, 0, 0, 0, 4, 0}, "Sphere size: betweenness, 0 to 9"},
        {SiteSizing::Degree, 0.0f, {4, 1, 1, 1, 2, 1}, "Sphere size: degree, 1 to 4"},
        // Over the links shown at the start: the cutoff leaves E alone.
        {SiteSizing::Degree, 0.3f, {4, 1, 1, 1, 1, 0}, "Sphere size: degree, 0 to 4"},
        {SiteSizing::Same, 0.0f, {}, ""},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.meaning);
        CorrelationNetwork network = star();
        Settings settings;
        settings.sizing = test.sizing;
        settings.cutoff = test.cutoff;
        analyseSites(network, NetworkSource{}, settings);
        const std::vector<float> scales = sphereScales(network, settings);
        EXPECT_EQ(sizeMeaning(network, settings), test.meaning);
        ASSERT_EQ(scales.size(), test.measure.size());
        if (test.measure.empty())
            continue;
        double least = test.measure[0];
        double most = test.measure[0];
        for (const double value : test.measure)
        {
            least = std::min(least, value);
            most = std::max(most, value);
        }
        for (std::size_t site = 0; site < scales.size(); ++site)
        {
            // The largest three times the smallest; the area above the smallest's grows as the measure.
            const double area = (scales[site] - 1.0) * (scales[site] - 1.0) / 4.0;
            EXPECT_NEAR(area, (test.measure[site] - least) / (most - least), 1e-6) << site;
            EXPECT_GE(scales[site], 1.0f);
            EXPECT_LE(scales[site], 3.0f);
        }
    }

    // A measure the same at every site sizes nothing.
    CorrelationNetwork ring;
    for (const char* name : {"A1", "B2", "C3"})
        ring.addSite(name);
    ring.numbers = {1, 2, 3};
    ring.regions.assign(3, RegionKind::None);
    ring.addLink(0, 1, 0.5f);
    ring.addLink(1, 2, 0.5f);
    ring.addLink(0, 2, 0.5f);
    ring.linkRegions.assign(3, 0);
    Settings byDegree;
    byDegree.sizing = SiteSizing::Degree;
    EXPECT_TRUE(sphereScales(ring, byDegree).empty());
}

TEST(SiteAnalysis, SpheresAreColouredByCommunityWhereNoListOrRingsOfTheFileSayOtherwise)
{
    const struct
    {
        std::optional<SiteColoring> setting;
        bool ringsGiven;
        SiteColoring coloring;
    } cases[] = {{std::nullopt, false, SiteColoring::Communities},
                 {std::nullopt, true, SiteColoring::Regions},
                 {SiteColoring::Regions, false, SiteColoring::Regions},
                 {SiteColoring::Communities, true, SiteColoring::Communities}};
    for (const auto& test : cases)
    {
        Settings settings;
        settings.coloring = test.setting;
        NetworkSource source;
        source.ringsGiven = test.ringsGiven;
        EXPECT_EQ(coloringOf(settings, source), test.coloring);
        // The communities are found where they colour the spheres, and only there.
        CorrelationNetwork network = star();
        analyseSites(network, source, settings);
        EXPECT_EQ(network.communities.size(), test.coloring == SiteColoring::Communities ? 6u : 0u);
    }
}

TEST(SiteAnalysis, BetweennessThatWouldTakeMinutesIsRefusedBeforeItStarts)
{
    // 40,000 sites in chains of four: 30,000 links, refused before it starts, by its own measure and by
    // Girvan and Newman's; degree sizes them.
    CorrelationNetwork network;
    for (int site = 0; site < 40000; ++site)
        network.addSite("S" + std::to_string(site + 1));
    network.numbers.assign(network.siteCount(), 0);
    network.regions.assign(network.siteCount(), RegionKind::None);
    for (std::uint32_t site = 0; site + 1 < 40000 && network.linkCount() < 30000; site += 4)
    {
        network.addLink(site, site + 1, 0.5f);
        network.addLink(site + 1, site + 2, 0.5f);
        network.addLink(site + 2, site + 3, 0.5f);
    }
    ASSERT_EQ(network.linkCount(), 30000u);
    network.linkRegions.assign(network.linkCount(), 0);
    NetworkSource source;
    source.ringsGiven = true;
    Settings sized;
    sized.sizing = SiteSizing::Betweenness;
    try
    {
        analyseSites(network, source, sized);
        ADD_FAILURE() << "measured";
    }
    catch (const InputError& error)
    {
        EXPECT_STREQ(error.what(),
                     "Error: the betweenness of 40000 sites and 30000 links would take more than half "
                     "a minute; LINKMAP_SIZE=degree sizes the spheres in no time");
    }
    Settings byDegree;
    byDegree.sizing = SiteSizing::Degree;
    EXPECT_NO_THROW(analyseSites(network, source, byDegree));
    EXPECT_EQ(sphereScales(network, byDegree).size(), network.siteCount());
}
