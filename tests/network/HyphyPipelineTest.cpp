// HyPhy's results as HyPhy wrote them (tests/data/hyphy/write.sh), held to what Python's json module reads in
// them by HyPhy's own rules (expected.py, expected.json): every pair BGM reports, every site each selection
// method calls, and every statistic a site carries.

#include <network/HyphyResult.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <network/SiteNames.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <set>

namespace
{

using nlohmann::json;

json expectedResults()
{
    std::ifstream stream(dataFile("hyphy/expected.json"));
    return json::parse(stream);
}

std::string resultPath(const std::string& name)
{
    return dataFile((name.rfind("integrase_BDA.", 0) == 0 ? "field/" : "hyphy/") + name);
}

TEST(HyphyPipeline, BgmShowsThePairsAtItsOwnThresholdAndSaysWhenThereAreNone)
{
    std::size_t counted = 0;
    const json results = expectedResults();
    for (const auto& [name, expected] : results.items())
    {
        if (expected["method"] != "BGM")
            continue;
        ++counted;
        SCOPED_TRACE(name);
        LoadProgress silent;
        CorrelationNetwork reported;
        const std::string notes =
            captureOutput([&] { readNetwork(resultPath(name), ReadSettings(), reported, silent); });
        // The pairs at BGM's threshold, each with its posterior, and no other.
        std::set<std::tuple<int, int, double>> want, got;
        for (const json& pair : expected["reported"])
            want.emplace(std::min(pair[0].get<int>(), pair[1].get<int>()),
                         std::max(pair[0].get<int>(), pair[1].get<int>()), pair[2].get<double>());
        for (std::size_t link = 0; link < reported.linkCount(); ++link)
            got.emplace(reported.numbers[reported.links[link].first],
                        reported.numbers[reported.links[link].second], reported.exactWeight(link));
        EXPECT_EQ(got, want);
        EXPECT_EQ(reported.weightMeaning, WeightMeaning::Probability);
        EXPECT_FLOAT_EQ(reported.weightTop(), 1.0f);
        // No pair at the threshold is said, in the notes and in every picture's corner, with the largest.
        const std::string pairs = std::to_string(expected["pairs"].get<std::size_t>());
        if (want.empty())
        {
            EXPECT_NE(reported.caption.find("BGM finds no pair of sites dependent at posterior 0.5 or more"),
                      std::string::npos);
            EXPECT_NE(notes.find("LINKMAP_MIN_WEIGHT=0 shows all " + pairs + " pairs"), std::string::npos)
                << notes;
        }
        else
        {
            EXPECT_EQ(reported.caption, "");
            EXPECT_NE(notes.find(std::to_string(want.size()) + " of its " + pairs + " pairs"),
                      std::string::npos)
                << notes;
        }
        // The minimum weight set shows every pair.
        ReadSettings every;
        every.minimumGiven = true;
        CorrelationNetwork all;
        captureOutput([&] { readNetwork(resultPath(name), every, all, silent); });
        EXPECT_EQ(all.linkCount(), expected["pairs"].get<std::size_t>());
        double largest = 0.0;
        for (std::size_t link = 0; link < all.linkCount(); ++link)
            largest = std::max(largest, all.exactWeight(link));
        EXPECT_EQ(largest, expected["largest"].get<double>());
    }
    EXPECT_EQ(counted, 4u);
}

TEST(HyphyPipeline, SelectionMethodsCallTheSitesHyphyCallsAndKeepEverySitesStatistics)
{
    std::size_t counted = 0;
    const json results = expectedResults();
    for (const auto& [name, expected] : results.items())
    {
        if (expected["method"] == "BGM")
            continue;
        ++counted;
        for (const RegionKind kind : {RegionKind::Positive, RegionKind::Negative})
        {
            const bool positive = kind == RegionKind::Positive;
            SCOPED_TRACE(name + (positive ? " positive" : " negative"));
            const json& called = expected[positive ? "positive" : "negative"];
            SiteStatistics statistics;
            if (called.is_null())
            {
                EXPECT_THROW(captureOutput([&] {
                                 readSelectedSites(resultPath(name), kind, SelectionThresholds(), statistics);
                             }),
                             InputError);
                continue;
            }
            std::vector<SiteRange> ranges;
            captureOutput([&] {
                ranges = readSelectedSites(resultPath(name), kind, SelectionThresholds(), statistics);
            });
            std::vector<int> sites;
            for (const SiteRange& range : ranges)
                sites.push_back(range.first);
            EXPECT_EQ(sites, called.get<std::vector<int>>());
            EXPECT_EQ(statistics.method, expected["method"].get<std::string>());
            EXPECT_EQ(statistics.positive, positive);
            // Both rates and the statistic of this role, for every site the method tested; a rate HyPhy
            // could not estimate is none.
            ASSERT_EQ(statistics.sites.size(), expected["sites"].size());
            for (const auto& [site, values] : expected["sites"].items())
            {
                const auto found = statistics.sites.find(std::stol(site));
                ASSERT_NE(found, statistics.sites.end()) << site;
                ASSERT_EQ(found->second.size(), 3u);
                for (std::size_t value = 0; value < 2; ++value)
                {
                    if (values[value].is_null())
                        EXPECT_TRUE(std::isnan(found->second[value])) << site;
                    else
                        EXPECT_EQ(found->second[value], values[value].get<double>()) << site;
                }
                EXPECT_EQ(found->second[statistics.deciding], values[positive ? 2 : 3].get<double>()) << site;
            }
        }
    }
    EXPECT_EQ(counted, 11u);
}

TEST(HyphyPipeline, AnAlignmentsReferenceNamesEachColumnByItsOwnResidue)
{
    // Codons are translated by the standard code; the reference is numbered without its gaps, and a column
    // where it has one is named by the column.
    TemporaryFolder folder;
    const struct
    {
        const char* text;
        const char* reference;
        std::string names; // every column's name, or "none" for no alignment
        bool codons;
    } cases[] = {
        {"#NEXUS\nbegin data;\nmatrix\n'one' ATG---AAATAA\n'two' ATGCCCAAAGGG\n;\nend;\n", "", "M1 -2 K2 *3",
         true},
        {"#NEXUS\nbegin data;\nmatrix\n'one' ATG---AAATAA\n'two' ATGCCCAAAGGG\n;\nend;\n", "two",
         "M1 P2 K3 G4", true},
        {">a\nMK-L\n>b\nMKAL\n", "", "M1 K2 -3 L3", false},
        {">a\nMK-L\n>b\nMKAL\n", "b", "M1 K2 A3 L4", false},
        {">rna\nAUGNNNUUU\n>other\nAUGAAAUUU\n", "", "M1 X2 F3", true},
        {"CLUSTAL W\n\nfirst  MKV\nsecond MRV\n\nfirst  L-\nsecond LI\n", "", "M1 K2 V3 L4 -5", false},
        {">a\nMKL\n>b\nMK\n", "", "none", false},
        {">alone\nMKL\n", "", "none", false},
        {">alone\nMKL\n", "alone", "M1 K2 L3", false},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(std::string(test.text) + " " + test.reference);
        ReadSettings settings;
        settings.sequenceFile = folder.write("alignment.txt", test.text);
        settings.reference = test.reference;
        const auto alignment = readReferenceAlignment(settings);
        std::string names = alignment ? "" : "none";
        for (std::size_t column = 0; alignment && column < alignment->columnLetters.size(); ++column)
            names += (column == 0 ? "" : " ") + alignment->nameOf(column);
        EXPECT_EQ(names, test.names);
        if (alignment)
        {
            EXPECT_EQ(alignment->codons, test.codons);
        }
    }
    ReadSettings missing;
    missing.sequenceFile = folder.write("adh.fasta", ">MEL\nATG\n>MA\nATG\n");
    missing.reference = "SIM";
    try
    {
        readReferenceAlignment(missing);
        ADD_FAILURE() << "read without its reference";
    }
    catch (const InputError& error)
    {
        EXPECT_EQ(std::string(error.what()), "Error: LINKMAP_REFERENCE is SIM, but " + missing.sequenceFile +
                                                 " has no sequence of that name; its first are MEL, MA");
    }
}

} // namespace
