#include <network/InputError.h>
#include <network/LinkGraph.h>
#include <network/LinkPaths.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{

// Four sites joined six ways, whose paths from A1 to D4 were worked out by hand: a link's length is -ln|w|.
//   A1-B2 0.5 (ln 2), B2-D4 0.5 (ln 2), A1-C3 0.5 (ln 2), C3-D4 0.5 (ln 2), A1-D4 0.3 (-ln 0.3), B2-C3 -0.8
//   (ln 1.25): two pairs of paths of equal length, after the shortest.
const char* const diamond = "A1 B2 0.5\nB2 D4 0.5\nA1 C3 0.5\nC3 D4 0.5\nA1 D4 0.3\nB2 C3 -0.8\n";

std::string namesOf(const CorrelationNetwork& network, const SitePath& path)
{
    std::string names;
    for (const std::uint32_t site : path.sites)
        names += (names.empty() ? "" : " ") + network.names[site];
    return names;
}

TEST(LinkPaths, FindsTheShortestAndTheNextLooplessPathsInOrderOfLengthTiesInOrderOfTheirSites)
{
    CorrelationNetwork network;
    readGroups(network, diamond);
    const auto source = static_cast<std::uint32_t>(network.findSite("A1"));
    const auto sink = static_cast<std::uint32_t>(network.findSite("D4"));
    struct Expected
    {
        const char* sites;
        double length;
    };
    const Expected all[] = {{"A1 D4", -std::log(0.3)},
                            {"A1 B2 D4", 2 * std::log(2.0)},
                            {"A1 C3 D4", 2 * std::log(2.0)},
                            {"A1 B2 C3 D4", 2 * std::log(2.0) + std::log(1.25)},
                            {"A1 C3 B2 D4", 2 * std::log(2.0) + std::log(1.25)}};
    // All five, the three shortest (the two of equal length both in), the shortest, and the cutoff's four.
    struct Case
    {
        std::size_t k;
        float cutoff;
        std::vector<std::size_t> expected;
    };
    for (const Case& each : {Case{10, 0.0f, {0, 1, 2, 3, 4}}, Case{3, 0.0f, {0, 1, 2}}, Case{1, 0.0f, {0}},
                             Case{10, 0.4f, {1, 2, 3, 4}}})
    {
        const PathSearch search = findPaths(network, source, sink, each.k, LinkFilter{each.cutoff, 0});
        ASSERT_EQ(search.paths.size(), each.expected.size()) << each.k << " " << each.cutoff;
        std::vector<std::uint32_t> siteCounts(network.siteCount(), 0);
        for (std::size_t p = 0; p < search.paths.size(); ++p)
        {
            const SitePath& path = search.paths[p];
            EXPECT_EQ(namesOf(network, path), all[each.expected[p]].sites) << p;
            EXPECT_NEAR(path.length, all[each.expected[p]].length, 1e-6) << p;
            // Each link joins the sites beside it on the path.
            ASSERT_EQ(path.links.size() + 1, path.sites.size());
            for (std::size_t i = 0; i < path.links.size(); ++i)
            {
                const SiteLink& link = network.links[path.links[i]];
                EXPECT_TRUE((link.first == path.sites[i] && link.second == path.sites[i + 1]) ||
                            (link.second == path.sites[i] && link.first == path.sites[i + 1]));
            }
            for (const std::uint32_t site : path.sites)
                ++siteCounts[site];
        }
        EXPECT_EQ(search.siteCounts, siteCounts);
    }

    // On standard output: fewer paths than asked for, each path, and the sites by how many paths use them.
    const PathSearch five = findPaths(network, source, sink, 10, LinkFilter());
    EXPECT_EQ(captureOutput([&] { writePaths(network, five); }),
              "Only 5 paths join A1 and D4 among the links shown, of 10 asked for\n"
              "Path 1 of 5 from A1 to D4, length 1.203973: A1 D4\n"
              "Path 2 of 5 from A1 to D4, length 1.386294: A1 B2 D4\n"
              "Path 3 of 5 from A1 to D4, length 1.386294: A1 C3 D4\n"
              "Path 4 of 5 from A1 to D4, length 1.609438: A1 B2 C3 D4\n"
              "Path 5 of 5 from A1 to D4, length 1.609438: A1 C3 B2 D4\n"
              "Sites on the 5 paths: A1 5, D4 5, B2 3, C3 3\n");
}

TEST(LinkPaths, ALinkIsAsLongAsTheFieldsAnalysisMakesItAndOneOfWeightOneIsNeverFree)
{
    // -ln |w|, |w| held at 0.9999 as bio3d's cna holds it, for paths as for betweenness and communities.
    struct Case
    {
        double weight;
        double length;
    };
    for (const Case each :
         {Case{0.5, std::log(2.0)}, Case{-0.5, std::log(2.0)}, Case{0.9999, -std::log(0.9999)},
          Case{1.0, -std::log(0.9999)}, Case{-1.0, -std::log(0.9999)}})
        EXPECT_DOUBLE_EQ(linkLength(each.weight), each.length) << each.weight;
    // Two links of weight 1: the path is as long as two of the held weight.
    CorrelationNetwork network;
    readGroups(network, "X1 Y2 1.0\nY2 Z3 -1.0\n");
    const PathSearch search = findPaths(network, 0, 2, 10, LinkFilter());
    ASSERT_EQ(search.paths.size(), 1u);
    EXPECT_DOUBLE_EQ(search.paths[0].length, -2 * std::log(0.9999));
}

TEST(LinkPaths, TakesNoLinkOfWeightZeroOrHiddenAndRefusesWeightsBeyondOne)
{
    CorrelationNetwork network;
    readGroups(network, "X1 Y2 0.0\nY2 Z3 0.9\n");
    const PathSearch none = findPaths(network, 0, 1, 10, LinkFilter());
    EXPECT_TRUE(none.paths.empty());
    EXPECT_EQ(captureOutput([&] { writePaths(network, none); }),
              "No path joins X1 and Y2 among the links shown\n");
    EXPECT_EQ(findPaths(network, 1, 2, 10, LinkFilter()).paths.size(), 1u);
    EXPECT_TRUE(findPaths(network, 1, 2, 10, LinkFilter{0.95f, 0}).paths.empty()) << "hidden by the cutoff";

    // A weight beyond 1 has no length: the network is refused for paths, wherever that link stands.
    CorrelationNetwork strong;
    readGroups(strong, "X1 Y2 0.5\nP7 Q8 -1.5\n");
    try
    {
        findPaths(strong, 0, 1, 10, LinkFilter());
        ADD_FAILURE() << "a weight of -1.5 was taken";
    }
    catch (const InputError& error)
    {
        EXPECT_STREQ(error.what(), "Error: paths need weights from -1 to 1, and P7-Q8 weighs -1.5; "
                                   "LINKMAP_SCALE=max divides every weight by the largest");
    }
}

} // namespace
