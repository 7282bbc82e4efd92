#include <network/CorrelationNetwork>
#include <support/TestSupport>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace
{

SiteGroup namedGroup(std::initializer_list<const char*> siteNames)
{
    SiteGroup group;
    for (const char* name : siteNames)
    {
        Site site;
        site.name = name;
        group.push_back(site);
    }
    return group;
}

std::vector<bool> duplicateFlags(const CorrelationNetwork& network)
{
    std::vector<bool> flags;
    for (const SiteGroup& group : network.groups)
        for (const Site& site : group)
            flags.push_back(site.duplicate);
    return flags;
}

TEST(CorrelationNetwork, StartsWithTheEmptyLinksGeodeUnderItsRootAndWhiteLabels)
{
    CorrelationNetwork network;
    ASSERT_NE(network.getRoot(), nullptr);
    EXPECT_EQ(network.getRoot(), network.root.get());
    ASSERT_EQ(network.root->getNumChildren(), 1u);
    EXPECT_EQ(network.root->getChild(0), network.links.get());
    EXPECT_EQ(network.links->getNumDrawables(), 0u);
    EXPECT_EQ(network.textColor, osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(network.groups.empty());
    EXPECT_TRUE(network.names.empty());
}

TEST(CorrelationNetwork, LoadsLiberationSansUnderTheNameArial)
{
    CorrelationNetwork network;
    ASSERT_TRUE(network.font.valid());
    // Left to the system's font matching, "arial.ttf" would come out as DejaVu Sans here.
    const std::filesystem::path file = network.font->getFileName();
    EXPECT_EQ(std::filesystem::canonical(file).filename(), "LiberationSans-Regular.ttf") << file;
}

TEST(CorrelationNetwork, ReplacesTheLabelColour)
{
    CorrelationNetwork network;
    network.setTextColor(osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(network.textColor, osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    network.setTextColor(osg::Vec4(0.25f, 0.5f, 0.75f, 0.5f));
    EXPECT_EQ(network.textColor, osg::Vec4(0.25f, 0.5f, 0.75f, 0.5f));
}

TEST(CorrelationNetwork, FlagsEveryRepeatOfANameAfterItsFirstSite)
{
    struct Case
    {
        std::vector<SiteGroup> groups;
        std::vector<bool> flags;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{namedGroup({"A1", "B2", "A1"})}, {false, false, true}, {"A1", "B2"}},
        {{namedGroup({"A1", "B2"}), namedGroup({"C3"}), namedGroup({"C3", "A1", "D4"})},
         {false, false, false, true, true, false},
         {"A1", "B2", "C3", "D4"}},
        // Names differ by case; an empty group takes nothing.
        {{namedGroup({"A12"}), namedGroup({}), namedGroup({"a12", "A12", "a12"})},
         {false, false, true, true},
         {"A12", "a12"}},
    };
    for (const Case& c : cases)
    {
        CorrelationNetwork network;
        network.groups = c.groups;
        network.markDuplicateNames();
        EXPECT_EQ(duplicateFlags(network), c.flags);
        EXPECT_EQ(network.names, c.names);
        for (const std::string& name : c.names)
            EXPECT_TRUE(network.isKnownName(name)) << name;
        EXPECT_FALSE(network.isKnownName("Z99"));
        EXPECT_FALSE(network.isKnownName(""));
    }
}

TEST(CorrelationNetwork, LoadsTheGroupFileAndMarksItsRepeatedNames)
{
    CorrelationNetwork network;
    InputFiles files;
    files.groupFile = dataFile("duplicates.txt");
    captureOutput([&] { network.load(files); });
    EXPECT_EQ(duplicateFlags(network),
              (std::vector<bool>{false, false, true, false, false, true, true, false}));
    EXPECT_EQ(network.names, (std::vector<std::string>{"A1", "B2", "C3", "D4", "a1"}));
}

TEST(CorrelationNetwork, LoadsNothingFromFilesThatCannotBeOpened)
{
    InputFiles missing;
    missing.groupFile = dataFile("no-such-file.txt");
    missing.positiveFile = dataFile("no-such-positive.txt");
    missing.negativeFile = dataFile("no-such-negative.txt");
    missing.acceleratedFile = dataFile("no-such-accelerated.txt");

    for (const InputFiles& files : {missing, InputFiles()})
    {
        CorrelationNetwork network;
        const std::string output = captureOutput([&] { network.load(files); });
        EXPECT_EQ(output, "");
        EXPECT_TRUE(network.groups.empty());
        EXPECT_TRUE(network.names.empty());
        EXPECT_TRUE(network.positiveRanges.empty());
        EXPECT_TRUE(network.negativeRanges.empty());
        EXPECT_TRUE(network.acceleratedRanges.empty());
        ASSERT_EQ(network.root->getNumChildren(), 1u);
        EXPECT_EQ(network.links->getNumDrawables(), 0u);
    }
}

TEST(CorrelationNetwork, ReadsEachRegionListIntoItsOwnKind)
{
    CorrelationNetwork network;
    InputFiles files;
    files.groupFile = dataFile("empty.txt");
    files.positiveFile = dataFile("region-simple.txt");
    files.negativeFile = dataFile("region-chained.txt");
    files.acceleratedFile = dataFile("region-single.txt");
    network.load(files);
    ASSERT_EQ(network.positiveRanges.size(), 1u);
    EXPECT_EQ(network.positiveRanges[0].first, 10);
    ASSERT_EQ(network.negativeRanges.size(), 2u);
    EXPECT_EQ(network.negativeRanges[1].last, 12);
    ASSERT_EQ(network.acceleratedRanges.size(), 1u);
    EXPECT_EQ(network.acceleratedRanges[0].first, 7);
}

} // namespace
