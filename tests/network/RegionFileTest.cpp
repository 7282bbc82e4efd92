#include <network/CorrelationNetwork>
#include <support/TestSupport>

#include <gtest/gtest.h>

#include <climits>

namespace
{

struct RegionFileCase
{
    const char* file;
    std::vector<std::pair<int, int>> ranges;
};

class RegionFileTest : public ::testing::TestWithParam<RegionFileCase>
{
};

TEST_P(RegionFileTest, PairsTheNumbersOfTheWholeFile)
{
    const RegionFileCase& c = GetParam();
    // Every kind reads the same way into its own sequence, and only there.
    const std::pair<int, std::vector<SiteRange> CorrelationNetwork::*> kinds[] = {
        {1, &CorrelationNetwork::positiveRanges},
        {2, &CorrelationNetwork::negativeRanges},
        {3, &CorrelationNetwork::acceleratedRanges}};
    for (const auto& [kind, member] : kinds)
    {
        CorrelationNetwork network;
        EXPECT_TRUE(network.readRegionFile(dataFile(c.file), kind));
        const std::vector<SiteRange>& ranges = network.*member;
        ASSERT_EQ(ranges.size(), c.ranges.size()) << c.file << " kind " << kind;
        for (std::size_t r = 0; r < ranges.size(); ++r)
        {
            EXPECT_EQ(ranges[r].first, c.ranges[r].first) << c.file << " range " << r;
            EXPECT_EQ(ranges[r].last, c.ranges[r].second) << c.file << " range " << r;
        }
        const std::size_t total =
            network.positiveRanges.size() + network.negativeRanges.size() + network.acceleratedRanges.size();
        EXPECT_EQ(total, ranges.size());
    }
}

std::vector<std::pair<int, int>> longLineRanges()
{
    std::vector<std::pair<int, int>> ranges;
    for (int i = 0; i < 50; i += 2)
        ranges.emplace_back(100 + i, 101 + i);
    return ranges;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegionFileTest,
    ::testing::Values(
        RegionFileCase{"region-simple.txt", {{10, 20}}}, RegionFileCase{"region-single.txt", {{7, 7}}},
        RegionFileCase{"region-reversed.txt", {{20, 10}}},
        RegionFileCase{"region-chained.txt", {{1, 5}, {9, 12}}},
        RegionFileCase{"region-split.txt", {{1, 5}, {9, 12}}}, RegionFileCase{"region-odd.txt", {{10, 20}}},
        RegionFileCase{"region-odd-no-newline.txt", {{10, 20}}},
        RegionFileCase{"region-spaces.txt", {{10, 20}}},
        // A space separates nothing: "20 30" reads as 20, and 40 waits for a partner.
        RegionFileCase{"region-space-separated.txt", {{10, 20}}},
        RegionFileCase{"region-blank-lines.txt", {{10, 20}}},
        // A line of spaces is one token, the number 0.
        RegionFileCase{"region-spaces-only.txt", {{0, 5}}},
        RegionFileCase{"region-crlf.txt", {{10, 20}, {30, 40}}},
        RegionFileCase{"region-overflow.txt", {{INT_MAX, 5}, {3, INT_MAX}}},
        RegionFileCase{"region-long-line.txt", longLineRanges()}, RegionFileCase{"empty.txt", {}}));

TEST(RegionFile, IgnoresAnUnknownKindAndAMissingFile)
{
    CorrelationNetwork network;
    EXPECT_TRUE(network.readRegionFile(dataFile("region-simple.txt"), 0));
    EXPECT_TRUE(network.readRegionFile(dataFile("region-simple.txt"), 4));
    EXPECT_FALSE(network.readRegionFile(dataFile("no-such-file.txt"), 1));
    EXPECT_TRUE(network.positiveRanges.empty());
    EXPECT_TRUE(network.negativeRanges.empty());
    EXPECT_TRUE(network.acceleratedRanges.empty());
}

TEST(RegionFile, ClassifiesByTheFirstListThatHoldsTheNumber)
{
    CorrelationNetwork network;
    network.positiveRanges = {{10, 20}, {100, 100}};
    network.negativeRanges = {{15, 30}, {50, 40}};
    network.acceleratedRanges = {{25, 35}, {INT_MIN, -1}};

    const std::pair<int, RegionKind> cases[] = {
        {9, RegionKind::None},         {10, RegionKind::Positive},    {15, RegionKind::Positive},
        {20, RegionKind::Positive},    {21, RegionKind::Negative},    {25, RegionKind::Negative},
        {30, RegionKind::Negative},    {31, RegionKind::Accelerated}, {35, RegionKind::Accelerated},
        {36, RegionKind::None},        {45, RegionKind::None},        {100, RegionKind::Positive},
        {-5, RegionKind::Accelerated}, {INT_MAX, RegionKind::None},   {0, RegionKind::None}};
    for (const auto& [number, kind] : cases)
        EXPECT_EQ(network.classifySite(number), kind) << number;

    CorrelationNetwork empty;
    for (const auto& [number, kind] : cases)
        EXPECT_EQ(empty.classifySite(number), RegionKind::None) << number;
}

} // namespace
