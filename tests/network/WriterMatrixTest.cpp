// Every matrix and graph that R, bio3d, igraph, numpy, pandas and ProDy write, over the combinations of their
// own options (tests/data/writers, written by write.sh there), read as each tool reads it back itself.
#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace
{

using Links = std::map<std::pair<std::string, std::string>, double>;

std::pair<std::string, std::string> pairOf(std::string one, std::string other)
{
    return one < other ? std::pair{one, other} : std::pair{other, one};
}

// What a tool read back of each file it wrote: its links, by the names linkmap gives the sites.
std::map<std::string, Links> expectedLinks(const std::string& table)
{
    std::map<std::string, Links> files;
    readTextLines(dataFile("writers/" + table), [&](const std::string& line, std::size_t) {
        std::istringstream fields(line);
        std::string file, first, second, weight;
        std::getline(fields, file, '\t');
        std::getline(fields, first, '\t');
        std::getline(fields, second, '\t');
        std::getline(fields, weight, '\t');
        files[file][pairOf(first, second)] = std::stod(weight);
    });
    return files;
}

Links linksRead(const std::string& file, const ReadSettings& settings = ReadSettings())
{
    CorrelationNetwork network;
    LoadProgress silent;
    captureOutput([&] { readNetwork(dataFile("writers/" + file), settings, network, silent); });
    Links links;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
        links[pairOf(network.names[network.links[link].first], network.names[network.links[link].second])] =
            network.exactWeight(link);
    return links;
}

// The first difference between two sets of links, or an empty string.
std::string difference(const Links& expected, const Links& read)
{
    if (expected.size() != read.size())
        return std::to_string(read.size()) + " links read where the tool reads " +
               std::to_string(expected.size());
    for (const auto& [pair, weight] : expected)
    {
        const auto found = read.find(pair);
        if (found == read.end())
            return "no link " + pair.first + "-" + pair.second;
        // linkmap reads the double nearest to the text; R's reader is off by an
        // ulp now and then.
        if (found->second != weight && found->second != std::nextafter(weight, 2.0) &&
            found->second != std::nextafter(weight, -2.0))
            return pair.first + "-" + pair.second + " weighs " + std::to_string(found->second) + ", not " +
                   std::to_string(weight);
    }
    return std::string();
}

TEST(WriterMatrix, EveryFileReadsAsTheToolThatWroteItReadsItBack)
{
    std::size_t files = 0;
    for (const char* table : {"r-expected.tsv.gz", "python-expected.tsv.gz"})
        for (const auto& [file, expected] : expectedLinks(table))
        {
            SCOPED_TRACE(file);
            EXPECT_EQ(difference(expected, linksRead(file)), "");
            ++files;
        }
    // 3 namings of 7 writers, 4 of bio3d's structures and its trajectory, 5 of igraph's graphs; 2 of ProDy's,
    // 4 of numpy's and 3 of pandas'.
    EXPECT_EQ(files, 21u + 4u + 1u + 5u + 9u);
}

TEST(WriterMatrix, CnasLengthsReadAsDistancesGiveTheMatrixsCorrelations)
{
    // igraph's files of cna's network weigh each link -ln|c|; read as distances, each weighs |c| of the
    // matrix that R wrote, which cna kept at its cutoff of 0.4.
    Links matrix = linksRead("bio3d-nma-1dpx.csv.gz");
    ReadSettings distances;
    distances.weights = WeightMeaning::Distance;
    distances.minimumWeight = 0.4f;
    for (const char* file : {"igraph-cna-1dpx.graphml", "igraph-cna-1dpx.gml", "igraph-cna-1dpx.ncol"})
    {
        SCOPED_TRACE(file);
        const Links read = linksRead(file, distances);
        EXPECT_EQ(read.size(), 194u);
        for (const auto& [pair, weight] : read)
        {
            const auto named = matrix.find(pairOf("X" + pair.first, "X" + pair.second));
            ASSERT_NE(named, matrix.end()) << pair.first << "-" << pair.second;
            EXPECT_NEAR(weight, std::fabs(named->second), 1e-14);
        }
    }
    // Above the cutoff they were kept at, LINKMAP_MIN_WEIGHT leaves out the weaker, as it does of the matrix.
    distances.minimumWeight = 0.8f;
    std::size_t strong = 0;
    for (const auto& [pair, weight] : matrix)
        strong += std::fabs(weight) >= 0.8 ? 1 : 0;
    EXPECT_EQ(linksRead("igraph-cna-1dpx.graphml", distances).size(), strong);
}

} // namespace
