#include <network/CorrelationNetwork>
#include <network/LineReader>
#include <support/TestSupport>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace
{

// A group written compactly: every site as its name and its weights, as doubles narrowed the way the reader
// narrows them.
struct ExpectedSite
{
    std::string name;
    std::vector<double> weights;
};
using ExpectedGroup = std::vector<ExpectedSite>;

struct GroupFileCase
{
    const char* file;
    std::vector<ExpectedGroup> groups;
};

std::string describe(const std::vector<SiteGroup>& groups)
{
    std::ostringstream text;
    for (const SiteGroup& group : groups)
    {
        text << "[";
        for (const Site& site : group)
        {
            text << " " << site.name << "(";
            for (float weight : site.weights)
                text << weight << " ";
            text << ")";
        }
        text << " ]\n";
    }
    return text.str();
}

class GroupFileTest : public ::testing::TestWithParam<GroupFileCase>
{
};

TEST_P(GroupFileTest, ReadsEveryLineAsOneGroup)
{
    const GroupFileCase& c = GetParam();
    CorrelationNetwork network;
    std::string output = captureOutput([&] { EXPECT_TRUE(network.readGroupFile(dataFile(c.file))); });

    ASSERT_EQ(network.groups.size(), c.groups.size()) << describe(network.groups);
    for (std::size_t g = 0; g < c.groups.size(); ++g)
    {
        const SiteGroup& group = network.groups[g];
        ASSERT_EQ(group.size(), c.groups[g].size()) << "group " << g << "\n" << describe(network.groups);
        for (std::size_t s = 0; s < group.size(); ++s)
        {
            const ExpectedSite& expected = c.groups[g][s];
            EXPECT_EQ(group[s].name, expected.name);
            EXPECT_FALSE(group[s].duplicate);
            EXPECT_EQ(group[s].position, osg::Vec3(0.0f, 0.0f, 0.0f));
            ASSERT_EQ(group[s].weights.size(), expected.weights.size()) << group[s].name;
            for (std::size_t k = 0; k < expected.weights.size(); ++k)
                EXPECT_EQ(group[s].weights[k], static_cast<float>(expected.weights[k])) << group[s].name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, GroupFileTest,
    ::testing::Values(GroupFileCase{"worked-example.txt",
                                    {{{"H12", {0.35, -0.20}}, {"K45", {0.80}}, {"R78", {}}},
                                     {{"A3", {0.5}}, {"B9", {}}},
                                     {},
                                     {{"Q7", {}}},
                                     {{"7", {0.1}}, {"1e-3", {}}}}},
                      GroupFileCase{"empty.txt", {}}, GroupFileCase{"blank-lines.txt", {{}, {}}},
                      GroupFileCase{"weights-only.txt", {{}}},
                      GroupFileCase{"weights-first.txt", {{{"A", {0.1, 0.2}}, {"B", {0.3}}, {"C", {}}}}},
                      GroupFileCase{"weights-between.txt", {{{"A", {0.1, 0.2}}, {"B", {0.3}}, {"C", {}}}}},
                      GroupFileCase{"weights-last.txt", {{{"A", {0.1, 0.2}}, {"B", {0.3}}, {"C", {}}}}},
                      // A tab separates nothing: "B2<tab>0.5" holds a "." and so is a weight, of value 0.
                      GroupFileCase{"tab-in-token.txt", {{{"A1", {0.0}}, {"C3", {}}}}},
                      GroupFileCase{"no-final-newline.txt",
                                    {{{"A1", {0.5}}, {"B2", {}}}, {{"C3", {0.25}}, {"D4", {}}}}},
                      // Carriage returns before the newline are dropped: the last name is B2, not "B2\r".
                      GroupFileCase{"crlf.txt", {{{"A1", {0.5}}, {"B2", {}}}, {{"C3", {-0.25}}, {"D4", {}}}}},
                      // x.y is a weight 0; 5 and 1e-3 are names; 5. and .5 are weights.
                      GroupFileCase{"odd-tokens.txt", {{{"5", {0.0, 5.0}}, {"1e-3", {0.5}}, {"Z9", {}}}}},
                      GroupFileCase{"short-line.txt", {{{"A", {0.1}}, {"B", {}}, {"C", {}}}}}));

TEST(GroupFile, ReadsALineOfThousandsOfCharactersWhole)
{
    CorrelationNetwork network;
    ASSERT_TRUE(network.readGroupFile(dataFile("long-line.txt")));
    ASSERT_EQ(network.groups.size(), 2u);
    const SiteGroup& group = network.groups[0];
    ASSERT_EQ(group.size(), 42u);
    // Every weight lands on its pair, as the generator of the file wrote them.
    for (std::size_t i = 0; i < group.size(); ++i)
    {
        EXPECT_EQ(group[i].name, "S" + std::to_string(i));
        ASSERT_EQ(group[i].weights.size(), 41 - i);
        for (std::size_t j = i + 1; j < 42; ++j)
        {
            char text[16];
            std::snprintf(text, sizeof text, "%d.%03d", static_cast<int>((i * 7 + j) % 3) - 1,
                          static_cast<int>((i * 31 + j * 17) % 1000));
            EXPECT_EQ(group[i].weights[j - i - 1], static_cast<float>(std::atof(text)));
        }
    }
    EXPECT_EQ(network.groups[1].size(), 2u);
}

TEST(GroupFile, WarnsOfAShortLineAndKeepsTheWeightsThereAre)
{
    CorrelationNetwork network;
    const std::string path = dataFile("short-line.txt");
    const std::string output = captureOutput([&] { network.readGroupFile(path); });
    EXPECT_EQ(output, "Warning: line 1 of " + path +
                          " has 1 weights where its 3 sites need 3; pairs without a weight get no link\n");

    const std::string complete =
        captureOutput([&] { network.readGroupFile(dataFile("worked-example.txt")); });
    EXPECT_EQ(complete, "") << "extra weights are dropped without a word";
}

TEST(GroupFile, FailsOnlyWhenTheFileCannotBeOpened)
{
    CorrelationNetwork network;
    EXPECT_FALSE(network.readGroupFile(dataFile("no-such-file.txt")));
    EXPECT_FALSE(network.readGroupFile(""));
    EXPECT_TRUE(network.groups.empty());
}

TEST(GroupFile, StopsAtAReadErrorWithOneLine)
{
    // A folder opens for reading but every read of it fails.
    TemporaryFolder folder;
    CorrelationNetwork network;
    const std::string output = captureOutput([&] { EXPECT_TRUE(network.readGroupFile(folder.path(""))); });
    EXPECT_TRUE(network.groups.empty());
    EXPECT_NE(output.find("Error: could not read"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

TEST(LineReader, StopsAtALineBeyondTheCapAndKeepsWhatCameBefore)
{
    TemporaryFolder folder;
    const std::string path =
        folder.write("capped.txt", "first\n" + std::string(300, 'x') + "\nthird\nlast without newline");

    std::FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr);
    LineReader reader(file, 300);
    std::string line;
    ASSERT_EQ(reader.readLine(line), LineReader::Status::Line);
    EXPECT_EQ(line, "first");
    ASSERT_EQ(reader.readLine(line), LineReader::Status::Line);
    EXPECT_EQ(line, std::string(300, 'x'));
    ASSERT_EQ(reader.readLine(line), LineReader::Status::Line);
    EXPECT_EQ(line, "third");
    ASSERT_EQ(reader.readLine(line), LineReader::Status::Line);
    EXPECT_EQ(line, "last without newline");
    EXPECT_EQ(reader.readLine(line), LineReader::Status::End);
    std::fclose(file);

    file = std::fopen(path.c_str(), "r");
    LineReader capped(file, 299);
    ASSERT_EQ(capped.readLine(line), LineReader::Status::Line);
    EXPECT_EQ(capped.readLine(line), LineReader::Status::TooLong);
    const std::string output =
        captureOutput([&] { EXPECT_FALSE(capped.reportEnd(LineReader::Status::TooLong, path)); });
    EXPECT_EQ(output,
              "Error: line 2 of " + path + " is longer than 299 bytes; the rest of the file is ignored\n");
    std::fclose(file);
}

TEST(LineReader, ReadsLinesAcrossBlockBoundaries)
{
    // Lines of every length around the reader's block size, so that newlines fall on and beside its edges.
    TemporaryFolder folder;
    std::string text;
    std::vector<std::string> lines;
    for (std::size_t length = 65530; length < 65542; ++length)
    {
        lines.push_back(std::string(length, static_cast<char>('a' + length % 26)));
        text += lines.back() + (length % 2 ? "\r\n" : "\n");
    }
    const std::string path = folder.write("blocks.txt", text);
    std::FILE* file = std::fopen(path.c_str(), "r");
    LineReader reader(file);
    std::string line;
    for (const std::string& expected : lines)
    {
        ASSERT_EQ(reader.readLine(line), LineReader::Status::Line);
        EXPECT_EQ(line, expected);
    }
    EXPECT_EQ(reader.readLine(line), LineReader::Status::End);
    EXPECT_EQ(reader.lineNumber(), lines.size());
    std::fclose(file);
}

} // namespace
