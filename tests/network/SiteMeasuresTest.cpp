// The analyses of sites that correlation network analysis publishes: communities, betweenness and the network
// of communities, on hand-worked graphs and on bio3d's own protease trajectory (tests/data/bio3d).
#include <network/NetworkReader.h>
#include <network/SiteMeasures.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace
{

// A network of the pairs "A-B:0.9 B-C:0.5 …", its sites in the order first named.
CorrelationNetwork networkOf(const std::string& pairs)
{
    CorrelationNetwork network;
    std::istringstream words(pairs);
    std::string pair;
    while (words >> pair)
    {
        const std::size_t dash = pair.find('-');
        const std::size_t colon = pair.find(':');
        const std::uint32_t first = network.addSite(pair.substr(0, dash)).first;
        const std::uint32_t second = network.addSite(pair.substr(dash + 1, colon - dash - 1)).first;
        network.numbers.resize(network.siteCount(), 0);
        network.regions.resize(network.siteCount(), RegionKind::None);
        network.addLink(first, second, std::stof(pair.substr(colon + 1)));
    }
    network.linkRegions.assign(network.linkCount(), 0);
    return network;
}

std::map<std::string, double> byName(const CorrelationNetwork& network, const std::vector<double>& values)
{
    std::map<std::string, double> named;
    for (std::size_t site = 0; site < values.size(); ++site)
        if (values[site] != 0.0)
            named[network.names[site]] = values[site];
    return named;
}

} // namespace

TEST(SiteMeasures, BetweennessCountsTheShortestPathsOfLinksAsLongAsMinusLnW)
{
    const struct
    {
        const char* pairs;
        float cutoff;
        std::map<std::string, double> betweenness; // the sites of none left out
    } cases[] = {
        {"A-B:0.5 B-C:0.5", 0.0f, {{"B", 1.0}}},
        // A weak direct link is longer than two strong ones: A and C are joined through B.
        {"A-B:0.9 B-C:-0.9 A-C:0.1", 0.0f, {{"B", 1.0}}},
        {"A-B:0.9 B-C:0.9 A-C:0.9", 0.0f, {}},
        // Over the links shown only: under a cutoff of 0.4 the link of 0.3 is no shortcut.
        {"A-B:0.5 B-C:0.5 A-C:0.3", 0.0f, {}},
        {"A-B:0.5 B-C:0.5 A-C:0.3", 0.4f, {{"B", 1.0}}},
        // A star: every pair of leaves through the centre.
        {"H-A:0.5 H-B:0.6 H-C:0.7 H-D:0.8", 0.0f, {{"H", 6.0}}},
        // A link of weight 0 has no length and is no link; one of 1 is as long as one of 0.9999.
        {"A-B:1 B-C:0 C-D:1", 0.0f, {}},
        {"A-B:1 B-C:1 A-C:0.9999", 0.0f, {}},
        // Two shortest paths of equal length share the pair between them.
        {"A-B:0.5 B-D:0.5 A-C:0.5 C-D:0.5", 0.0f, {{"B", 0.5}, {"C", 0.5}, {"A", 0.5}, {"D", 0.5}}},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.pairs);
        const CorrelationNetwork network = networkOf(test.pairs);
        const std::vector<double> found = siteBetweenness(network, LinkFilter{test.cutoff, 0});
        ASSERT_EQ(found.size(), network.siteCount());
        EXPECT_EQ(byName(network, found), test.betweenness);
    }
}

TEST(SiteMeasures, CommunitiesAreNumberedLargestFirstAndCollapseToTheirStrongestLinks)
{
    // A clique of four and a triangle, joined by two weaker links: the clique is community 0 by Leiden, also
    // for a grouping that finds no communities. Girvan and Newman's modularity weighs a link by its length,
    // so the long joining links keep them one community, as cluster_edge_betweenness of igraph 1.3.5 for R
    // finds.
    const CorrelationNetwork network = networkOf(
        "A-B:0.9 A-C:0.8 A-D:0.85 B-C:0.9 B-D:0.8 C-D:0.9 E-F:0.9 F-G:0.8 E-G:0.85 D-E:0.45 C-F:-0.5");
    const struct
    {
        RingGrouping grouping;
        std::vector<std::uint32_t> communities;
        std::vector<std::size_t> sizes;
    } groupings[] = {{RingGrouping::Communities, {0, 0, 0, 0, 1, 1, 1}, {4, 3}},
                     {RingGrouping::Components, {0, 0, 0, 0, 1, 1, 1}, {4, 3}},
                     {RingGrouping::Betweenness, {0, 0, 0, 0, 0, 0, 0}, {7}}};
    for (const auto& test : groupings)
    {
        SCOPED_TRACE(static_cast<int>(test.grouping));
        const std::vector<std::uint32_t> communities = findCommunities(network, test.grouping);
        EXPECT_EQ(communities, test.communities);
        EXPECT_EQ(communitySizes(communities), test.sizes);
    }

    // The network of communities: a site each, joined by the largest |w| between their sites, its ends in
    // every region theirs lie in (D-E's positive, C-F's accelerated); a cutoff or a region filter leaves out
    // what it hides, and communities no link shown joins stay apart.
    CorrelationNetwork classified = network;
    classified.linkRegions[9] = regionBit(RegionKind::Positive);
    classified.linkRegions[10] = regionBit(RegionKind::Accelerated);
    const struct
    {
        LinkFilter filter;
        std::vector<std::pair<std::string, float>> links;
        std::uint8_t regions;
    } collapses[] = {{{0.0f, 0}, {{"C1-C2", 0.5f}}, 5},
                     {{0.48f, 0}, {{"C1-C2", 0.5f}}, 4},
                     {{0.6f, 0}, {}, 0},
                     {{0.0f, regionBit(RegionKind::Positive)}, {{"C1-C2", 0.45f}}, 1},
                     {{0.0f, regionBit(RegionKind::Negative)}, {}, 0}};
    for (const auto& collapse : collapses)
    {
        SCOPED_TRACE(collapse.filter.cutoff);
        SCOPED_TRACE(static_cast<int>(collapse.filter.regions));
        const CommunityNetwork coarse =
            collapseCommunities(classified, {0, 0, 0, 0, 1, 1, 1}, collapse.filter);
        ASSERT_EQ(coarse.network.linkRegions.size(), coarse.network.linkCount());
        if (!collapse.links.empty())
        {
            EXPECT_EQ(coarse.network.linkRegions[0], collapse.regions);
        }
        EXPECT_EQ(coarse.network.names, (std::vector<std::string>{"C1", "C2"}));
        EXPECT_EQ(coarse.network.ringCount(), 2u);
        EXPECT_EQ(coarse.members, (std::vector<std::vector<std::uint32_t>>{{0, 1, 2, 3}, {4, 5, 6}}));
        std::vector<std::pair<std::string, float>> links;
        for (const SiteLink& link : coarse.network.links)
            links.emplace_back(coarse.network.names[link.first] + "-" + coarse.network.names[link.second],
                               link.weight);
        EXPECT_EQ(links, collapse.links);
    }
}

TEST(SiteMeasures, LeidenSettlesOnWeightsOfAnyScaleAndFindsTheSameCommunities)
{
    // The clique and the triangle of the test above, their weights scaled: Leiden divides weights above 1 by
    // the largest, as modularity is the same. Weights that span more than a double resolves once kept it
    // moving nodes back and forth for ever (a fuzzed .npy of 3.6e-43 beside 2.5e38).
    const struct
    {
        const char* what;
        std::string pairs;
    } cases[] = {
        {"as read",
         "A-B:0.9 A-C:0.8 A-D:0.85 B-C:0.9 B-D:0.8 C-D:0.9 E-F:0.9 F-G:0.8 E-G:0.85 D-E:0.45 C-F:-0.5"},
        {"scores of 1e30",
         "A-B:9e29 A-C:8e29 A-D:8.5e29 B-C:9e29 B-D:8e29 C-D:9e29 E-F:9e29 F-G:8e29 E-G:8.5e29 "
         "D-E:4.5e29 C-F:-5e29"},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(findCommunities(networkOf(test.pairs), RingGrouping::Communities),
                  (std::vector<std::uint32_t>{0, 0, 0, 0, 1, 1, 1}));
    }

    // The fuzzed matrix itself: 22 links of weights from 3.6e-43 to 2.5e38, some NaN. Its rings are found.
    CorrelationNetwork network;
    LoadProgress silent;
    captureOutput(
        [&] { readNetwork(dataFile("leiden-extreme-weights.npy"), ReadSettings(), network, silent); });
    EXPECT_GT(network.ringCount(), 0u);
}

TEST(SiteMeasures, BetweennessIsBio3dsOnItsOwnProteaseTrajectory)
{
    // igraph for R's betweenness over bio3d cna's network of the links at or above 0.4, whose weights are
    // the lengths -ln|c| (tests/data/bio3d/cna.R).
    ReadSettings asBio3d;
    asBio3d.minimumWeight = 0.4f;
    asBio3d.grouping = RingGrouping::Components;
    CorrelationNetwork network;
    LoadProgress silent;
    captureOutput([&] { readNetwork(dataFile("bio3d/bio3d-hivp-dccm.csv.gz"), asBio3d, network, silent); });
    const std::vector<double> found = siteBetweenness(network, LinkFilter{});
    std::ifstream expected(dataFile("bio3d/bio3d-hivp-cna-betweenness.txt"));
    double value = 0.0;
    int site = 0;
    while (expected >> value)
    {
        ++site;
        const std::size_t at = network.findSite("X" + std::to_string(site));
        ASSERT_LT(at, network.siteCount()) << site;
        EXPECT_NEAR(found[at], value, 1e-6 * std::max(1.0, value)) << "X" << site;
    }
    EXPECT_EQ(site, 198);
}
