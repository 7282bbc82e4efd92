#include <network/LinkLog>
#include <network/NetworkReader>
#include <scene/NetworkFile>
#include <support/TestSupport>

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>

namespace
{

// A network read from a file, what reading it printed, and the log of its links.
struct Imported
{
    CorrelationNetwork network;
    std::string messages;
    std::string log;
};

Imported import(const std::string& path, const ReadSettings& settings = ReadSettings())
{
    Imported read;
    LoadProgress silent;
    read.messages = captureOutput([&] { readNetwork(path, settings, read.network, silent); });
    read.log = captureOutput([&] { logLinks(read.network); });
    return read;
}

// The rings in words, "[A B] [C]", for comparing with what a file should give.
std::string ringsOf(const CorrelationNetwork& network)
{
    std::ostringstream text;
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
    {
        text << (ring == 0 ? "[" : " [");
        for (const std::uint32_t site : network.ring(ring))
            text << (site == *network.ring(ring).begin() ? "" : " ") << network.names[site];
        text << "]";
    }
    return text.str();
}

// A symmetric matrix of planted communities: sites i and j of one community (i % 4 == j % 4) correlate
// strongly, others weakly; the sequence names site k by its letter and k.
struct PlantedMatrix
{
    static constexpr int size = 12;
    const std::string sequence = "MKTAYIAKQRQI";

    double weight(int i, int j) const
    {
        if (i == j)
            return 1.0;
        const int mix = (i * 7 + j * 7 + i * j) % 19;
        return i % 4 == j % 4 ? (mix % 5 == 0 ? -0.9 : 0.6 + mix / 100.0) : (mix - 9) / 50.0;
    }

    std::string name(int k) const
    {
        return sequence[k] + std::to_string(k + 1);
    }

    std::string csv() const // as R's write.csv writes it
    {
        std::string text = "\"\"";
        for (int k = 0; k < size; ++k)
            text += ",\"" + name(k) + "\"";
        for (int i = 0; i < size; ++i)
        {
            text += "\n\"" + name(i) + "\"";
            for (int j = 0; j < size; ++j)
                text += "," + number(weight(i, j));
        }
        return text + "\n";
    }

    std::string tsv() const // as numpy's savetxt writes it
    {
        std::string text;
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j)
                text += number(weight(i, j)) + (j + 1 < size ? "\t" : "\n");
        return text;
    }

    std::string pairs(double floor) const // one line a strong pair, by 1-based numbers, later site first
    {
        std::string text = "i\tj\tscore\n";
        for (int i = 0; i < size; ++i)
            for (int j = i + 1; j < size; ++j)
                if (std::fabs(weight(i, j)) >= floor)
                    text += std::to_string(j + 1) + "\t" + std::to_string(i + 1) + "\t" +
                            number(weight(i, j)) + "\n";
        return text;
    }

    static std::string number(double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", value);
        return text;
    }
};

void writeCompressed(const std::string& path, const std::string& text)
{
    const gzFile file = gzopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, text.data(), static_cast<unsigned>(text.size())), static_cast<int>(text.size()));
    gzclose(file);
}

} // namespace

TEST(Import, EveryFormatGivesThePlantedCommunitiesWithTheSameLinksAndNames)
{
    const PlantedMatrix planted;
    TemporaryFolder folder;
    ReadSettings settings;
    settings.minimumWeight = 0.3f;
    ReadSettings named = settings;
    named.sequenceFile = folder.write("sequence.fasta", ">planted\nMKTAYI\nAKQRQI\n>second\nWWWW\n");
    writeCompressed(folder.path("matrix.CSV.gz"), planted.csv());

    const Imported csv = import(folder.write("matrix.csv", planted.csv()), settings);
    const std::vector<Imported> others = {import(folder.write("matrix.tsv", planted.tsv()), named),
                                          import(folder.write("strong.tsv", planted.pairs(0.3)), named),
                                          import(folder.path("matrix.CSV.gz"), settings)};
    // Rings largest first, then by their first site; sites by number.
    EXPECT_EQ(ringsOf(csv.network), "[M1 Y5 Q9] [K2 I6 R10] [T3 A7 Q11] [A4 K8 I12]");
    EXPECT_NE(csv.log, "");
    for (const Imported& other : others)
    {
        EXPECT_EQ(other.log, csv.log);
        EXPECT_EQ(ringsOf(other.network), ringsOf(csv.network));
        EXPECT_EQ(other.messages, "");
    }

    // The GraphML written holds the rings as groups, and reads back to the same links and rings.
    const std::string graphml = folder.path("out.graphml");
    ASSERT_EQ(writeGraphml(csv.network, layoutSites(csv.network, LayoutKind::FittedRingGrid), graphml), "");
    const Imported back = import(graphml, ReadSettings());
    EXPECT_EQ(back.log, csv.log);
    EXPECT_EQ(ringsOf(back.network), ringsOf(csv.network));
    EXPECT_NE(readText(graphml).find("<data key=\"group\">3</data>"), std::string::npos);

    // Without a minimum weight every pair is a link, and the communities are still found.
    const Imported all = import(folder.path("matrix.csv"));
    EXPECT_EQ(all.network.linkCount(), 66u);
    EXPECT_EQ(ringsOf(all.network), ringsOf(csv.network));
    ReadSettings byComponent = settings;
    byComponent.grouping = RingGrouping::Components;
    EXPECT_EQ(ringsOf(import(folder.path("matrix.csv"), byComponent).network), ringsOf(csv.network));
    ReadSettings oneRing;
    oneRing.grouping = RingGrouping::One;
    EXPECT_EQ(import(folder.path("matrix.csv"), oneRing).network.ringCount(), 1u);
}

TEST(Import, TablesAreReadCellByCellAsTheirShapeSays)
{
    struct Case
    {
        const char* name;
        const char* text;
        const char* log;      // the links, "A-B:w" each
        const char* messages; // what reading printed, the file's name as FILE
        ReadSettings settings;
    };
    ReadSettings fromZero;
    fromZero.firstNumber = 0;
    ReadSettings half;
    half.minimumWeight = 0.5f;
    ReadSettings scaled;
    scaled.scaleToLargest = true;
    const Case cases[] = {
        {"bare.csv", "1,0.5,0\n0.5,1,-0.25\n0,-0.25,1\n", "X1-X2:0.5 X1-X3:0 X2-X3:-0.25", "", {}},
        {"first.csv", "1 0.5\n0.5 1\n", "X0-X1:0.5", "", fromZero},
        {"numbered.csv", "\"\",\"V1\",\"V2\"\n\"1\",1,0.5\n\"2\",0.5,1\n", "V1-V2:0.5", "", {}},
        {"names.tsv", "A1\tB2\nA1\t1\t0.7\nB2\t0.7\t1\n", "A1-B2:0.7", "", {}},
        {"rows.csv",
         "\"K45\", 1, NA\n\"H12\", NA, 1\n",
         "",
         "Note: 2 sites without a link are left out\n",
         {}},
        {"missing.csv",
         "A,B,C\n1,,NaN\n,1,0.8\nnan,0.8,1\n",
         "B-C:0.8",
         "Note: 1 site without a link is left out\n",
         {}},
        {"asymmetric.csv",
         "1,0.5,0.1\n0.4,1,0.2\n0.1,0.9,1\n",
         "X1-X2:0.5 X1-X3:0.1 X2-X3:0.2",
         "Warning: the matrix in FILE is not symmetric: the largest difference, 0.7, is at row 3, column 2; "
         "its upper triangle is used\n",
         {}},
        {"minimum.csv", "1,0.5,-0.6\n0.5,1,0.2\n-0.6,0.2,1\n", "X1-X2:0.5 X1-X3:-0.6", "", half},
        {"pairs.tsv",
         "i j score\n3 1 0.5\n1 3 0.7\n2 2 0.9\nK9 H4 -2\n",
         "X1-X3:0.5 H4-K9:-2",
         "Warning: FILE repeats 1 pair; the first weight of each is kept\n"
         "Note: 1 site without a link is left out\n"
         "Note: the weights range from -2 to 0.5; beyond -1 and 1 they are drawn at the end colours "
         "(LINKMAP_SCALE=max divides them by the largest)\n",
         {}},
        {"scaled.csv", "0,4\n-2,0\n", "X1-X2:1",
         "Warning: the matrix in FILE is not symmetric: the largest difference, 6, is at row 2, column 1; "
         "its upper triangle is used\n"
         "Note: every weight is divided by the largest |weight|, 4 (LINKMAP_SCALE)\n",
         scaled},
        {"empty.csv", "", "", "", {}},
        {"empty.graphml", "\n", "", "", {}},
        {"weightless.csv", "A,B,C\n1,0,0\n0,1,0\n0,0,1\n", "A-B:0 A-C:0 B-C:0", "", {}},
        {"header-only.csv", "\"\",\"A\"\n", "", "", {}},
    };
    TemporaryFolder folder;
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        const std::string path = folder.write(test.name, test.text);
        const Imported read = import(path, test.settings);
        std::string links;
        for (const SiteLink& link : read.network.links)
        {
            std::ostringstream text;
            text << (links.empty() ? "" : " ") << read.network.names[link.first] << "-"
                 << read.network.names[link.second] << ":" << link.weight;
            links += text.str();
        }
        EXPECT_EQ(links, test.log);
        std::string messages = read.messages;
        for (std::size_t at; (at = messages.find(path)) != std::string::npos;)
            messages.replace(at, path.size(), "FILE");
        EXPECT_EQ(messages, test.messages);
    }
}

TEST(Import, GraphmlNamesSitesByNameOrLabelAndWeighsEdgesByTheirWeightOrOne)
{
    TemporaryFolder folder;
    const std::string path = folder.write("cytoscape.graphml", R"(<?xml version="1.0"?>
<graphml xmlns="http://graphml.graphdrawing.org/xmlns">
  <key id="d0" for="node" attr.name="label" attr.type="string"/>
  <key id="d1" for="node" attr.name="name" attr.type="string"/>
  <key id="w" for="edge" attr.name="weight" attr.type="double"><default>0.25</default></key>
  <graph edgedefault="undirected">
    <node id="a"><data key="d0">Label</data><data key="d1">K45</data></node>
    <node id="b"><data key="d0">H12</data></node>
    <node id="c"/>
    <node id="lonely"/>
    <edge source="a" target="b"><data key="w">-0.75</data></edge>
    <edge source="b" target="a"><data key="w">0.5</data></edge>
    <edge source="c" target="a"/>
    <edge source="c" target="c"><data key="w">1</data></edge>
  </graph>
</graphml>
)");
    const Imported read = import(path);
    EXPECT_EQ(read.log, "Creating link between K45 and H12 with weight -0.750000\n"
                        "Creating link between c and K45 with weight 0.250000\n");
    EXPECT_EQ(read.messages, "Warning: " + path +
                                 " repeats 1 pair of nodes; the first edge of each is kept\n"
                                 "Note: 1 site without a link is left out\n");
    EXPECT_EQ(ringsOf(read.network), "[c H12 K45]");
}

TEST(Import, RefusesWhatItCannotReadWithOneLineNamingTheFileAndTheLine)
{
    struct Case
    {
        const char* name;
        const char* text;
        const char* error; // FILE stands for the file's path
        ReadSettings settings;
    };
    ReadSettings asPairs;
    asPairs.format = InputFormat::Pairs;
    ReadSettings asMatrix;
    asMatrix.format = InputFormat::Matrix;
    const Case cases[] = {
        {"ragged.csv",
         "1,0.5,0\n0.5,1\n0,0,1\n",
         "Error: line 2 of FILE has 2 values where the matrix has 3 columns",
         {}},
        {"short.csv", "1,0.5\n", "Error: FILE has 1 row of 2 values; a matrix must be square", {}},
        {"long.tsv",
         "1 0\n0 1\n0 0\n",
         "Error: line 3 of FILE is row 3 of a matrix of 2 columns; a matrix must be square",
         {}},
        {"word.csv",
         "\n\"\",\"A\",\"B\"\n\"A\",1,high\n",
         "Error: line 3 of FILE: \"high\" in column 2 is not a number",
         {}},
        {"header.csv",
         "A,B,C,D\n1,0\n0,1\n",
         "Error: line 1 of FILE names 4 columns where line 2 has 2 values",
         {}},
        {"twice.csv", "A,A\n1,0\n0,1\n", "Error: line 1 of FILE names the site A twice", {}},
        {"unnamed.csv", ",\"\",B\nA,1,0\nB,0,1\n", "Error: line 1 of FILE has a column without a name", {}},
        {"pair.tsv", "1 2 0.5\n1 0.4\n", "Error: line 2 of FILE is not two sites and a number", {}},
        {"weight.txt", "1 2 0.5\n1 2 strong\n", "Error: line 2 of FILE is not two sites and a number",
         asPairs},
        {"site.txt", "1.5 2 0.5\n", "Error: line 1 of FILE: \"1.5\" is not a site", asPairs},
        {"bare.txt", "0.1 0.2\n", "Error: FILE has 1 row of 2 values; a matrix must be square", asMatrix},
        {"broken.graphml",
         "<graphml>\n<graph>\n<node id=\"a\">\n</graph>",
         "Error: line 4 of FILE is not well-formed XML: ",
         {}},
        {"none.graphml", "<svg/>", "Error: line 1 of FILE holds no GraphML graph", {}},
        {"dangling.graphml",
         "<graphml><graph>\n<node id=\"a\"/>\n<edge source=\"a\" target=\"b\"/></graph></graphml>",
         "Error: line 3 of FILE has an edge to the node \"b\", which does not exist",
         {}},
        {"nan.graphml",
         "<graphml><key id=\"w\" for=\"edge\" attr.name=\"weight\"/><graph><node id=\"a\"/><node id=\"b\"/>\n"
         "<edge source=\"a\" target=\"b\"><data key=\"w\">heavy</data></edge></graph></graphml>",
         "Error: line 2 of FILE has the weight \"heavy\", which is no number",
         {}},
    };
    TemporaryFolder folder;
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto filesBefore = openFiles();
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        const std::string path = folder.write(test.name, test.text);
        std::string expected = test.error;
        expected.replace(expected.find("FILE"), 4, path);
        CorrelationNetwork network;
        LoadProgress silent;
        try
        {
            captureOutput([&] { readNetwork(path, test.settings, network, silent); });
            ADD_FAILURE() << "read without an error";
        }
        catch (const InputError& error)
        {
            EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos);
        }
    }

    // A refused file is closed all the same.
    EXPECT_EQ(openFiles(), filesBefore);

    // A sequence that cannot be read, or that is too short for a number, is refused as well.
    const std::string pairs = folder.write("pairs.tsv", "1 3 0.5\n");
    ReadSettings noSequence;
    noSequence.sequenceFile = folder.path("absent.fasta");
    EXPECT_THROW(import(pairs, noSequence), InputError);
    ReadSettings shortSequence;
    shortSequence.sequenceFile = folder.write("short.fasta", ">one\nMK\n");
    try
    {
        import(pairs, shortSequence);
        ADD_FAILURE() << "a site beyond the sequence was named";
    }
    catch (const InputError& error)
    {
        EXPECT_EQ(std::string(error.what()),
                  "Error: site 3 has no letter in the sequence of " + shortSequence.sequenceFile +
                      ", which numbers 2 letters from 1 (LINKMAP_SEQUENCE, LINKMAP_FIRST_NUMBER)");
    }
}
