#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <unistd.h>

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

// The network's rings and links in words: "[ A B ]" a ring, "A-B:0.5" a link.
std::string describe(const CorrelationNetwork& network)
{
    std::ostringstream text;
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
    {
        text << "[";
        for (const std::uint32_t site : network.ring(ring))
            text << " " << network.names[site];
        text << " ]\n";
    }
    for (const SiteLink& link : network.links)
        text << network.names[link.first] << "-" << network.names[link.second] << ":" << link.weight << "\n";
    return text.str();
}

// The same words for groups whose names are all distinct: each a ring, each weight a link in row order.
std::string describe(const std::vector<ExpectedGroup>& groups)
{
    std::ostringstream text;
    for (const ExpectedGroup& group : groups)
    {
        text << "[";
        for (const ExpectedSite& site : group)
            text << " " << site.name;
        text << " ]\n";
    }
    for (const ExpectedGroup& group : groups)
        for (std::size_t i = 0; i < group.size(); ++i)
            for (std::size_t k = 0; k < group[i].weights.size(); ++k)
                text << group[i].name << "-" << group[i + 1 + k].name << ":"
                     << static_cast<float>(group[i].weights[k]) << "\n";
    return text.str();
}

class GroupFileTest : public ::testing::TestWithParam<GroupFileCase>
{
};

TEST_P(GroupFileTest, ReadsEveryLineAsOneRingAndEveryWeightAsALinkOfItsPair)
{
    const GroupFileCase& c = GetParam();
    CorrelationNetwork network;
    LoadProgress silent;
    captureOutput([&] { EXPECT_TRUE(readGroupFile(dataFile(c.file), network, silent)); });
    EXPECT_EQ(describe(network), describe(c.groups));
    // The weights exactly, not only as printed.
    std::size_t link = 0;
    for (const ExpectedGroup& group : c.groups)
        for (const ExpectedSite& site : group)
            for (const double weight : site.weights)
                ASSERT_EQ(network.links.at(link++).weight, static_cast<float>(weight)) << site.name;
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
    LoadProgress silent;
    ASSERT_TRUE(readGroupFile(dataFile("long-line.txt"), network, silent));
    ASSERT_EQ(network.ringCount(), 2u);
    ASSERT_EQ(network.ring(0).size(), 42u);
    ASSERT_EQ(network.ring(1).size(), 2u);
    // Every weight lands on its pair, in row order, as the generator of the file wrote them.
    std::size_t link = 0;
    for (std::uint32_t i = 0; i < 42; ++i)
    {
        EXPECT_EQ(network.names[i], "S" + std::to_string(i));
        for (std::uint32_t j = i + 1; j < 42; ++j, ++link)
        {
            char text[16];
            std::snprintf(text, sizeof text, "%d.%03d", static_cast<int>((i * 7 + j) % 3) - 1,
                          static_cast<int>((i * 31 + j * 17) % 1000));
            ASSERT_EQ(network.links[link].first, i);
            ASSERT_EQ(network.links[link].second, j);
            EXPECT_EQ(network.links[link].weight, static_cast<float>(std::atof(text)));
        }
    }
}

TEST(GroupFile, JoinsARepeatedNameToItsFirstSiteAcrossLines)
{
    CorrelationNetwork network;
    readGroups(network, "A1 B2 0.5\nB2 C3 A1 0.1 0.2 0.3\n");
    EXPECT_EQ(describe(network), "[ A1 B2 ]\n[ C3 ]\nA1-B2:0.5\nB2-C3:0.1\nB2-A1:0.2\nC3-A1:0.3\n");
}

TEST(GroupFile, ReadsStandardInputForADash)
{
    // The reader takes the process's own standard input; a pipe stands in for it.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string text = "A1 B2 0.5\nC3\n";
    ASSERT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(ends[1]);
    const int saved = dup(STDIN_FILENO);
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
    CorrelationNetwork network;
    LoadProgress silent;
    const bool opened = readGroupFile("-", network, silent);
    std::clearerr(stdin);
    dup2(saved, STDIN_FILENO);
    close(saved);
    EXPECT_TRUE(opened);
    EXPECT_EQ(describe(network), "[ A1 B2 ]\n[ C3 ]\nA1-B2:0.5\n");
    EXPECT_EQ(inputName("-"), "standard input");
}

TEST(GroupFile, WarnsOfAShortLineAndKeepsTheWeightsThereAre)
{
    CorrelationNetwork network;
    LoadProgress silent;
    const std::string path = dataFile("short-line.txt");
    const std::string output = captureOutput([&] { readGroupFile(path, network, silent); });
    EXPECT_EQ(output, "Warning: line 1 of " + path +
                          " has 1 weights where its 3 sites need 3; pairs without a weight get no link\n");

    const std::string complete =
        captureOutput([&] { readGroupFile(dataFile("worked-example.txt"), network, silent); });
    EXPECT_EQ(complete, "") << "extra weights are dropped without a word";
}

TEST(GroupFile, FailsOnlyWhenTheFileCannotBeOpened)
{
    CorrelationNetwork network;
    LoadProgress silent;
    EXPECT_FALSE(readGroupFile(dataFile("no-such-file.txt"), network, silent));
    EXPECT_FALSE(readGroupFile("", network, silent));
    EXPECT_EQ(network.ringCount(), 0u);
}

TEST(GroupFile, StopsAtAReadErrorWithOneLine)
{
    // A folder opens for reading but every read of it fails.
    TemporaryFolder folder;
    CorrelationNetwork network;
    LoadProgress silent;
    const std::string output =
        captureOutput([&] { EXPECT_TRUE(readGroupFile(folder.path(""), network, silent)); });
    EXPECT_EQ(network.ringCount(), 0u);
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
