#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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
    for (const RegionKindEntry& entry : regionKinds)
    {
        InputFiles files;
        files.*entry.listFile = dataFile(c.file);
        const RegionLists network = readRegionLists(files);
        const std::vector<SiteRange>& ranges = network.*entry.ranges;
        ASSERT_EQ(ranges.size(), c.ranges.size()) << c.file << " kind " << entry.word;
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

TEST(RegionFile, ReadsNothingFromAMissingFile)
{
    std::vector<SiteRange> ranges;
    EXPECT_FALSE(readRegionFile(dataFile("no-such-file.txt"), ranges));
    EXPECT_TRUE(ranges.empty());
    EXPECT_TRUE(readRegionFile(dataFile("region-simple.txt"), ranges));
    EXPECT_EQ(ranges.size(), 1u);
}

TEST(RegionFile, ClassifiesByTheFirstListThatHoldsTheNumber)
{
    RegionLists network;
    network.positiveRanges = {{10, 20}, {100, 100}};
    network.negativeRanges = {{15, 30}, {50, 40}};
    network.acceleratedRanges = {{25, 35}, {INT_MIN, -1}};

    const std::pair<int, RegionKind> cases[] = {
        {9, RegionKind::None},         {10, RegionKind::Positive},    {15, RegionKind::Positive},
        {20, RegionKind::Positive},    {21, RegionKind::Negative},    {25, RegionKind::Negative},
        {30, RegionKind::Negative},    {31, RegionKind::Accelerated}, {35, RegionKind::Accelerated},
        {36, RegionKind::None},        {45, RegionKind::None},        {100, RegionKind::Positive},
        {-5, RegionKind::Accelerated}, {INT_MAX, RegionKind::None},   {0, RegionKind::None}};
    const RegionClassifier classifier(network);
    for (const auto& [number, kind] : cases)
        EXPECT_EQ(classifier.classify(number), kind) << number;

    const RegionClassifier empty{RegionLists()};
    for (const auto& [number, kind] : cases)
        EXPECT_EQ(empty.classify(number), RegionKind::None) << number;
}

TEST(RegionFile, ClassifiesAsAScanOfEveryRangeInFileOrderWould)
{
    // Random lists with overlapping, touching, empty and extreme ranges, checked against the plain scan.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> small(-40, 40);
    const auto randomRanges = [&] {
        std::vector<SiteRange> ranges;
        const int count = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < count; ++i)
        {
            SiteRange range{small(random), small(random)};
            if (i % 5 == 4)
                range = {INT_MIN + (small(random) + 40) * 20, INT_MAX - 3};
            ranges.push_back(range);
        }
        return ranges;
    };
    const auto scan = [](const std::vector<SiteRange>& ranges, int number) {
        return std::any_of(ranges.begin(), ranges.end(),
                           [number](const SiteRange& r) { return r.contains(number); });
    };
    for (int trial = 0; trial < 200; ++trial)
    {
        RegionLists network;
        network.positiveRanges = randomRanges();
        network.negativeRanges = randomRanges();
        network.acceleratedRanges = randomRanges();
        const RegionClassifier classifier(network);
        for (int number : {INT_MIN, INT_MIN + 1, -41, INT_MAX - 3, INT_MAX - 2, INT_MAX})
            ASSERT_EQ(classifier.classify(number),
                      scan(network.positiveRanges, number)      ? RegionKind::Positive
                      : scan(network.negativeRanges, number)    ? RegionKind::Negative
                      : scan(network.acceleratedRanges, number) ? RegionKind::Accelerated
                                                                : RegionKind::None)
                << number;
        for (int number = -45; number <= 45; ++number)
        {
            const RegionKind expected = scan(network.positiveRanges, number)      ? RegionKind::Positive
                                        : scan(network.negativeRanges, number)    ? RegionKind::Negative
                                        : scan(network.acceleratedRanges, number) ? RegionKind::Accelerated
                                                                                  : RegionKind::None;
            ASSERT_EQ(classifier.classify(number), expected) << "trial " << trial << ", number " << number;
        }
    }
}

} // namespace
