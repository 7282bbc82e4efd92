#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <climits>

namespace
{

std::vector<std::vector<std::uint32_t>> ringsOf(const CorrelationNetwork& network)
{
    std::vector<std::vector<std::uint32_t>> rings;
    for (std::size_t i = 0; i < network.ringCount(); ++i)
        rings.emplace_back(network.ring(i).begin(), network.ring(i).end());
    return rings;
}

TEST(CorrelationNetwork, KeepsOneSiteANameAndEachRingItsFirstOccurrences)
{
    struct Case
    {
        std::string text;
        std::vector<std::string> names;
        std::vector<std::vector<std::uint32_t>> rings;
    };
    const Case cases[] = {
        {"", {}, {}},
        {"A1 B2 A1\n", {"A1", "B2"}, {{0, 1}}},
        {"A1 B2\nC3\nC3 A1 D4\n", {"A1", "B2", "C3", "D4"}, {{0, 1}, {2}, {3}}},
        // Names differ by case; an empty line is an empty ring, which still takes its cell.
        {"A12\n\na12 A12 a12\n", {"A12", "a12"}, {{0}, {}, {1}}},
    };
    for (const Case& c : cases)
    {
        CorrelationNetwork network;
        readGroups(network, c.text);
        EXPECT_EQ(network.names, c.names) << c.text;
        EXPECT_EQ(ringsOf(network), c.rings) << c.text;
        for (std::size_t site = 0; site < c.names.size(); ++site)
            EXPECT_EQ(network.findSite(c.names[site]), site) << c.names[site];
        EXPECT_EQ(network.findSite("Z99"), network.siteCount());
        EXPECT_EQ(network.findSite(""), network.siteCount());
    }
}

TEST(CorrelationNetwork, NumbersEverySiteByItsNameAfterTheFirstCharacter)
{
    CorrelationNetwork network;
    for (const char* name : {"K215", "X-5", "A", "", "HIS12", "Q2147483648"})
        network.addSite(name);
    EXPECT_EQ(network.numbers, (std::vector<int>{215, -5, 0, 0, 0, INT_MAX}));
    EXPECT_EQ(network.regions, std::vector<RegionKind>(6, RegionKind::None));
    EXPECT_EQ(network.addSite("K215"), (std::pair<std::uint32_t, bool>(0, false)));
}

TEST(CorrelationNetwork, LoadsNothingFromFilesThatCannotBeOpened)
{
    InputFiles missing;
    missing.positiveFile = dataFile("no-such-positive.txt");
    missing.negativeFile = dataFile("no-such-negative.txt");
    missing.acceleratedFile = dataFile("no-such-accelerated.txt");
    CorrelationNetwork network;
    LoadProgress silent;
    const std::string output = captureOutput([&] {
        readNetwork(dataFile("no-such-file.txt"), ReadSettings(), network, silent);
        const RegionLists lists = readRegionLists(missing);
        EXPECT_TRUE(lists.positiveRanges.empty() && lists.negativeRanges.empty() &&
                    lists.acceleratedRanges.empty());
    });
    EXPECT_EQ(output, "");
    EXPECT_EQ(network.siteCount() + network.ringCount() + network.linkCount(), 0u);
}

TEST(CorrelationNetwork, ClassifiesSitesAndTheEndsOfEveryLinkByEachListInItsOwnKind)
{
    InputFiles files;
    files.positiveFile = dataFile("region-simple.txt");
    files.negativeFile = dataFile("region-chained.txt");
    files.acceleratedFile = dataFile("region-single.txt");
    const RegionLists lists = readRegionLists(files);
    ASSERT_EQ(lists.positiveRanges.size(), 1u);
    EXPECT_EQ(lists.positiveRanges[0].first, 10);
    ASSERT_EQ(lists.negativeRanges.size(), 2u);
    EXPECT_EQ(lists.negativeRanges[1].last, 12);
    ASSERT_EQ(lists.acceleratedRanges.size(), 1u);
    EXPECT_EQ(lists.acceleratedRanges[0].first, 7);

    // A7 accelerated, K10 positive, Z99 in none; every link carries the bits of both its ends.
    CorrelationNetwork network;
    readGroups(network, "A7 K10 0.5 Z99 0.1 0.2\nZ99 Z99 0.3\n");
    classifyRegions(network, lists);
    const RegionClassifier classifier(lists);
    for (std::size_t site = 0; site < network.siteCount(); ++site)
        EXPECT_EQ(network.regions[site], classifier.classify(network.numbers[site])) << network.names[site];
    EXPECT_EQ(network.regions[0], RegionKind::Accelerated);
    EXPECT_EQ(network.regions[1], RegionKind::Positive);
    EXPECT_EQ(network.regions[2], RegionKind::None);
    const std::uint8_t accelerated = regionBit(RegionKind::Accelerated);
    const std::uint8_t positive = regionBit(RegionKind::Positive);
    EXPECT_EQ(network.linkRegions,
              (std::vector<std::uint8_t>{static_cast<std::uint8_t>(accelerated | positive), accelerated,
                                         positive, 0}));
}

} // namespace
