#include <network/ContentFormat.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionLists.h>
#include <scene/NetworkFile.h>
#include <support/TestSupport.h>

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

// An array as numpy's save writes it: the magic string, version 1.0, the header padded to 64 bytes, the data.
std::string npyFile(const std::string& header, const std::string& data)
{
    std::string dict = header + std::string(63 - (10 + header.size()) % 64, ' ') + "\n";
    return std::string("\x93NUMPY\x01\x00", 8) + static_cast<char>(dict.size() & 0xff) +
           static_cast<char>(dict.size() >> 8) + dict + data;
}

// The bytes of values, in this machine's byte order or the other.
template <typename Number> std::string itemsOf(std::initializer_list<Number> values, bool swapped = false)
{
    std::string bytes;
    for (const Number value : values)
    {
        std::string item(reinterpret_cast<const char*>(&value), sizeof value);
        if (swapped)
            std::reverse(item.begin(), item.end());
        bytes += item;
    }
    return bytes;
}

std::string doubles(std::initializer_list<double> values)
{
    return itemsOf(values);
}

// What reading printed and logged, with the file's path as FILE.
std::string readOut(const std::string& path, const ReadSettings& settings = ReadSettings())
{
    const Imported read = import(path, settings);
    std::string text = read.messages + read.log;
    for (std::size_t at; (at = text.find(path)) != std::string::npos;)
        text.replace(at, path.size(), "FILE");
    return text;
}

std::string refusalOf(const std::string& path, const ReadSettings& settings = ReadSettings())
{
    try
    {
        import(path, settings);
    }
    catch (const InputError& error)
    {
        std::string text = error.what();
        const std::size_t at = text.find(path);
        return at == std::string::npos ? text : text.replace(at, path.size(), "FILE");
    }
    return "read";
}

} // namespace

TEST(Import, FilesAsTheFieldsToolsWriteThemAreReadAsTheyMean)
{
    // The same 3 x 3 matrix as numpy, R and CCMpred write it; the pair lists of coevolution methods.
    const std::string matrix = "Creating link between X1 and X2 with weight 0.500000\n"
                               "Creating link between X1 and X3 with weight -0.250000\n"
                               "Creating link between X2 and X3 with weight 0.125000\n";
    const std::string named = "Creating link between P1 and P2 with weight 0.500000\n"
                              "Creating link between P1 and P3 with weight -0.250000\n"
                              "Creating link between P2 and P3 with weight 0.125000\n";
    const std::string onlyNumbers = "Note: FILE holds only numbers; read as a matrix (LINKMAP_FORMAT chooses "
                                    "otherwise)\n";
    ReadSettings sequence;
    TemporaryFolder folder;
    sequence.sequenceFile = folder.write("protein.fasta", ">p\nMKTAYIAKQR\n");
    ReadSettings byRaw;
    byRaw.weightColumn = "raw";
    ReadSettings byNumber;
    byNumber.weightColumn = "5";
    const struct
    {
        const char* file;
        std::string out; // notes, then the log
        ReadSettings settings;
    } cases[] = {
        {"numpy-savetxt.txt", onlyNumbers + matrix, {}},
        {"ccmpred.mat", onlyNumbers + matrix, {}},
        {"numpy-savetxt-names.txt", onlyNumbers + named, {}},
        // A title of as many words as columns would name them; split at the table's commas, it names none.
        {"numpy-savetxt-title.csv", matrix, {}},
        {"numpy-save.npy", matrix, {}},
        {"numpy-save-fortran.npy",
         "Warning: the matrix in FILE is not symmetric: the largest difference, 0.125, is at row 2, column "
         "1; "
         "its upper triangle is used\n"
         "Creating link between X1 and X2 with weight 0.500000\n"
         "Creating link between X1 and X3 with weight 0.250000\n"
         "Creating link between X2 and X3 with weight 0.125000\n",
         {}},
        {"r-write-table.txt",
         "Note: FILE holds a table of numbers with quoted names; read as a matrix (LINKMAP_FORMAT chooses "
         "otherwise)\n" +
             named,
         {}},
        {"r-write-csv.csv", matrix, {}},
        {"r-write-csv.csv",
         "Creating link between M1 and K2 with weight 0.500000\n"
         "Creating link between M1 and T3 with weight -0.250000\n"
         "Creating link between K2 and T3 with weight 0.125000\n",
         sequence},
        {"plmc-couplings.txt",
         "Note: FILE holds rows that begin with site numbers; read as a pair list (LINKMAP_FORMAT chooses "
         "otherwise)\n"
         "Note: weights from column 6 of FILE\n"
         "Note: FILE knows no site by its number alone, so the sequence of " +
             sequence.sequenceFile +
             " names none (LINKMAP_SEQUENCE)\n"
             "Creating link between M1 and K2 with weight 0.250000\n"
             "Creating link between M1 and T3 with weight -0.100000\n"
             "Creating link between K2 and T3 with weight 0.500000\n",
         sequence},
        {"evcouplings-CouplingScores.csv",
         "Note: weights from column cn of FILE\n"
         "Creating link between L5 and V9 with weight 1.300000\n"
         "Creating link between L5 and G12 with weight -0.400000\n"
         "Creating link between V9 and G12 with weight 0.250000\n",
         {}},
        {"evcouplings-CouplingScores.csv",
         "Note: weights from column fn of FILE\n"
         "Creating link between L5 and V9 with weight 0.200000\n"
         "Creating link between L5 and G12 with weight 0.100000\n"
         "Creating link between V9 and G12 with weight 0.050000\n",
         byNumber},
        {"gremlin.txt",
         "Note: FILE holds only numbers; read as a pair list (LINKMAP_FORMAT chooses otherwise)\n"
         "Note: weights from column apc of FILE\n"
         "Creating link between M1 and K2 with weight 0.250000\n"
         "Creating link between M1 and T3 with weight 0.050000\n"
         "Creating link between K2 and T3 with weight 0.350000\n",
         sequence},
        {"gremlin.txt",
         "Note: FILE holds only numbers; read as a pair list (LINKMAP_FORMAT chooses otherwise)\n"
         "Note: weights from column raw of FILE\n"
         "Creating link between X1 and X2 with weight 0.300000\n"
         "Creating link between X1 and X3 with weight 0.200000\n"
         "Creating link between X2 and X3 with weight 0.400000\n",
         byRaw},
        {"igraph.graphml",
         "Creating link between H12 and K45 with weight 0.750000\n"
         "Creating link between H12 and R78 with weight -0.500000\n",
         {}},
        {"networkx-corr.graphml",
         "Note: weights from the edge attribute corr of FILE\n"
         "Creating link between H12 and K45 with weight 0.750000\n"
         "Creating link between H12 and R78 with weight -0.500000\n",
         {}},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.file);
        EXPECT_EQ(readOut(dataFile(test.file), test.settings), test.out);
    }

    // The content decides for any other name, also behind gzip's magic bytes; a group file stays one.
    const std::string renamed = folder.write("network", readText(dataFile("networkx-corr.graphml")));
    EXPECT_EQ(readOut(renamed).substr(0, 73),
              "Note: FILE holds XML; read as GraphML (LINKMAP_FORMAT chooses otherwise)\n");
    writeCompressed(folder.path("dccm.dat"), readText(dataFile("numpy-savetxt.txt")));
    EXPECT_EQ(readOut(folder.path("dccm.dat")), onlyNumbers + matrix);
    writeCompressed(folder.path("groups.txt"), readText(dataFile("worked-example.txt")));
    EXPECT_EQ(readOut(folder.path("groups.txt")), readOut(dataFile("worked-example.txt")));

    // Weights are logged as the file wrote them, and the range note names the true extremes.
    const std::string exact =
        folder.write("exact.csv", "A,B,C\n1,0.1234565,2.5\n0.1234565,1,3.5\n2.5,3.5,1\n");
    EXPECT_EQ(
        readOut(exact),
        "Note: the weights range from 0.123456 to 3.5; beyond -1 and 1 they are drawn at the end colours "
        "(LINKMAP_SCALE=max divides them by the largest; LINKMAP_WEIGHTS=score draws them from 0 to the "
        "largest)\n"
        "Creating link between A and B with weight 0.123456\n"
        "Creating link between A and C with weight 2.500000\n"
        "Creating link between B and C with weight 3.500000\n");
    // GraphML written from it keeps every weight as the file wrote it.
    const Imported digits =
        import(folder.write("digits.csv", "A,B\n1,0.12345649999999\n0.12345649999999,1\n"));
    const std::string written = folder.path("digits.graphml");
    ASSERT_NO_THROW(
        writeGraphml(digits.network, layoutSites(digits.network, LayoutKind::FittedRingGrid), written));
    EXPECT_NE(readText(written).find(">0.12345649999999<"), std::string::npos);
    EXPECT_EQ(import(written).log, digits.log);
    EXPECT_EQ(digits.log, "Creating link between A and B with weight 0.123456\n");

    // Every kind of number numpy saves a matrix in, in either byte order.
    const auto npy = [&](const char* descr, const std::string& items) {
        return folder.write("kind.npy", npyFile(std::string("{'descr': '") + descr +
                                                    "', 'fortran_order': False, 'shape': (2, 2), }",
                                                items));
    };
    const struct
    {
        const char* descr;
        std::string items;
        const char* weight;
    } kinds[] = {{"|i1", itemsOf<std::int8_t>({1, -2, -2, 1}), "-2.000000"},
                 {"|u1", itemsOf<std::uint8_t>({1, 200, 200, 1}), "200.000000"},
                 {"<i2", itemsOf<std::int16_t>({1, -300, -300, 1}), "-300.000000"},
                 {">u2", itemsOf<std::uint16_t>({1, 60000, 60000, 1}, true), "60000.000000"},
                 {">i4", itemsOf<std::int32_t>({1, -70000, -70000, 1}, true), "-70000.000000"},
                 {"<u4", itemsOf<std::uint32_t>({1, 4000000000u, 4000000000u, 1}), "4000000000.000000"},
                 {"<i8", itemsOf<std::int64_t>({1, -5, -5, 1}), "-5.000000"},
                 {">u8", itemsOf<std::uint64_t>({1, 7, 7, 1}, true), "7.000000"},
                 {"<f4", itemsOf<float>({1, 0.25f, 0.25f, 1}), "0.250000"},
                 {">f8", itemsOf<double>({1, -0.1234565, -0.1234565, 1}, true), "-0.123456"}};
    for (const auto& kind : kinds)
    {
        SCOPED_TRACE(kind.descr);
        const std::string out = readOut(npy(kind.descr, kind.items));
        EXPECT_EQ(out.substr(out.find("Creating")),
                  std::string("Creating link between X1 and X2 with weight ") + kind.weight + "\n");
    }

    // Links all below the minimum weight leave an empty scene, and say so.
    ReadSettings high;
    high.minimumWeight = 0.9f;
    EXPECT_EQ(readOut(dataFile("numpy-save.npy"), high),
              "Note: every link of FILE weighs less than LINKMAP_MIN_WEIGHT, 0.9; there is nothing to show\n"
              "Note: 3 sites without a link are left out\n");
}

TEST(Import, GroupFilesStayGroupFilesWhenTheContentDecides)
{
    // Every group file of the tests is read as the group reader reads it, with no note, named as it is,
    // without a name and behind gzip's magic bytes, when the content decides and when LINKMAP_FORMAT says
    // groups. The files of a line that is no group line alone (the reader's edge cases) and region lists are
    // group files only by LINKMAP_FORMAT: the content refuses them, as no group file.
    TemporaryFolder folder;
    const std::set<std::string> groupsOnlyWhenSet = {
        "odd-tokens.txt",    "short-line.txt",    "tab-in-token.txt",          "weights-only.txt",
        "region-spaces.txt", "region-simple.txt", "region-space-separated.txt"};
    ReadSettings asGroups;
    asGroups.format = InputFormat::Groups;
    for (const char* name : {"blank-lines.txt", "crlf.txt", "duplicates.txt", "empty.txt", "long-line.txt",
                             "no-final-newline.txt", "odd-tokens.txt", "road-of-one-line.txt",
                             "short-line.txt", "tab-in-token.txt", "weights-between.txt", "weights-first.txt",
                             "weights-last.txt", "weights-only.txt", "worked-example.txt",
                             "region-spaces.txt", "region-space-separated.txt", "region-simple.txt"})
    {
        SCOPED_TRACE(name);
        const bool onlyWhenSet = groupsOnlyWhenSet.count(name) != 0;
        CorrelationNetwork groups;
        LoadProgress silent;
        std::string expected = captureOutput([&] {
            readGroupFile(dataFile(name), groups, silent);
            logLinks(groups);
        });
        for (std::size_t at; (at = expected.find(dataFile(name))) != std::string::npos;)
            expected.replace(at, dataFile(name).size(), "FILE");
        // A file of no site, read as a network, says so.
        if (groups.siteCount() == 0)
            expected = "Note: FILE holds no sites or links\n" + expected;
        const std::string bare = folder.write("bare", readText(dataFile(name)));
        writeCompressed(folder.path("packed"), readText(dataFile(name)));
        for (const std::string& path : {dataFile(name), bare, folder.path("packed")})
        {
            EXPECT_EQ(readOut(path, asGroups), expected) << path;
            EXPECT_EQ(import(path, asGroups).network.ringCount(), groups.ringCount()) << path;
            if (onlyWhenSet)
                EXPECT_EQ(refusalOf(path).rfind("Error: FILE ", 0), 0u) << refusalOf(path);
            else
                EXPECT_EQ(readOut(path), expected) << path;
        }
    }
}

TEST(Import, TheContentIsToldFromWholeLinesHoweverLongTheRows)
{
    // numpy's %.18e rows of a 3,000-site matrix are 75 KB each: the look reads on until lines are whole.
    std::string row;
    for (int column = 0; column < 3000; ++column)
        row += (column == 0 ? "" : " ") + std::string("-2.500000000000000000e-01");
    TemporaryFolder folder;
    const ContentFormat wide =
        formatOfContent(folder.write("wide.txt", row + "\n" + row + "\n" + row + "\n"));
    EXPECT_EQ(wide.format, InputFormat::Table);
    EXPECT_EQ(wide.holds, "holds only numbers");
    // One row of numbers alone is neither a matrix nor a group line.
    EXPECT_THROW(formatOfContent(folder.write("one.txt", row + "\n")), InputError);
    EXPECT_EQ(formatOfContent("-").format, InputFormat::Groups);
}

TEST(Import, WhatIsNotANetworkOrIsCutShortIsRefusedInOneLine)
{
    TemporaryFolder folder;
    const std::string text = readText(dataFile("numpy-savetxt.txt"));
    std::string gzip;
    writeCompressed(folder.path("whole.gz"), text);
    const std::string whole = readText(folder.path("whole.gz"));
    std::string damaged = whole;
    damaged[damaged.size() - 6] ^= 0x55; // the stream's check
    const std::string header2 = "{'descr': '<f8', 'fortran_order': False, 'shape': (2, 2), }";
    ReadSettings byName;
    byName.weightColumn = "cn";
    ReadSettings byColumn;
    byColumn.weightColumn = "1";
    const struct
    {
        std::string name;
        std::string content;
        std::string refusal;
        ReadSettings settings;
    } cases[] = {
        {"cut.csv.gz",
         whole.substr(0, whole.size() / 2),
         "Error: FILE is a gzip stream that is cut short or damaged",
         {}},
        {"cut.txt",
         whole.substr(0, whole.size() - 4),
         "Error: FILE is a gzip stream that is cut short or damaged",
         {}},
        {"damaged.graphml.gz", damaged, "Error: FILE is a gzip stream that is cut short or damaged", {}},
        // igraph's scanners abort the process when a read of their stream fails.
        {"cut.net.gz",
         whole.substr(0, whole.size() / 2),
         "Error: FILE is a gzip stream that is cut short or damaged",
         {}},
        {"damaged.gml.gz", damaged, "Error: FILE is a gzip stream that is cut short or damaged", {}},
        {"damaged.lgl.gz", damaged, "Error: FILE is a gzip stream that is cut short or damaged", {}},
        {"damaged.ncol.gz", damaged, "Error: FILE is a gzip stream that is cut short or damaged", {}},
        {"r.rds",
         readText(dataFile("r-saverds.rds")),
         "Error: FILE holds R's saved data, as saveRDS writes it, compressed, not a network that linkmap "
         "reads",
         {}},
        {"sheet.txt",
         std::string("PK\x03\x04\x14\0\0\0", 8) + std::string(200, '\x01'),
         "Error: FILE holds a zip archive, such as a spreadsheet, not a network that linkmap reads",
         {}},
        {"noise",
         std::string("\x01\x02\x03 abc\x04\x05", 10),
         "Error: FILE holds binary data, not a network that linkmap reads",
         {}},
        {"short.npy",
         npyFile(header2, doubles({1, 0.5, 0.5})),
         "Error: FILE ends before the 2 × 2 values its header gives",
         {}},
        {"long.npy",
         npyFile(header2, doubles({1, 0.5, 0.5, 1, 7})),
         "Error: FILE holds more than the 2 × 2 values its header gives",
         {}},
        {"line.npy",
         npyFile("{'descr': '<f8', 'fortran_order': False, 'shape': (4,), }", doubles({1, 2, 3, 4})),
         "Error: FILE holds an array of 1 dimensions; a matrix has 2",
         {}},
        {"cube.dat",
         npyFile("{'descr': '<f8', 'fortran_order': False, 'shape': (1, 1, 1), }", doubles({1})),
         "Error: FILE holds an array of 3 dimensions; a matrix has 2",
         {}},
        {"wide.npy",
         npyFile("{'descr': '<f8', 'fortran_order': False, 'shape': (1, 2), }", doubles({1, 2})),
         "Error: FILE holds an array of 1 rows of 2 values; a matrix must be square",
         {}},
        {"objects.npy",
         npyFile("{'descr': '|O', 'fortran_order': False, 'shape': (1, 1), }", "x"),
         "Error: the header of FILE says it holds '|O', not float64, float32 or integers, the numbers "
         "linkmap "
         "reads",
         {}},
        {"nul.npy",
         npyFile(std::string("{'descr': '>f\0', 'fortran_order': True, 'shape': (1, 1), }", 58),
                 doubles({1})),
         "Error: the header of FILE says it holds '>f?', not float64, float32 or integers, the numbers "
         "linkmap "
         "reads",
         {}},
        {"extra.npy",
         npyFile("{'descr': '<f8', 'fortran_order': False, 'shape': (1, 1), 'x': 1}", doubles({1})),
         "Error: the header of FILE has the key 'x', which no array of numbers has",
         {}},
        {"couplings.csv", readText(dataFile("gremlin.txt")),
         "Error: LINKMAP_WEIGHT_COLUMN is cn, but FILE has no such column; its columns are i, j, raw, apc",
         byName},
        {"sites.csv", readText(dataFile("gremlin.txt")),
         "Error: LINKMAP_WEIGHT_COLUMN is 1, but column i of FILE gives the sites", byColumn},
        {"matrix.csv", readText(dataFile("numpy-savetxt.txt")),
         "Error: LINKMAP_WEIGHT_COLUMN is cn, but FILE is a matrix, which has no weight column", byName},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.name);
        const std::string path = folder.write(test.name, test.content);
        EXPECT_EQ(refusalOf(path, test.settings), test.refusal);
    }

    // A group file and a region list cut short are refused as well, not read in part.
    std::string groups;
    for (int line = 0; line < 2000; ++line)
        groups += "H" + std::to_string(line) + " K" + std::to_string(line + 1) + " 0.5\n";
    writeCompressed(folder.path("groups.gz"), groups);
    const std::string packed = readText(folder.path("groups.gz"));
    const std::string cutGroups = folder.write("cut-groups.txt", packed.substr(0, packed.size() / 2));
    EXPECT_EQ(refusalOf(cutGroups), "Error: FILE is a gzip stream that is cut short or damaged");
    std::vector<SiteRange> ranges;
    EXPECT_THROW(readRegionFile(cutGroups, ranges), InputError);
}

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
    ASSERT_NO_THROW(writeGraphml(csv.network, layoutSites(csv.network, LayoutKind::FittedRingGrid), graphml));
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
        {"numbered.csv", "\"\",\"V1\",\"V2\"\n\"1\",1,0.5\n\"2\",0.5,1\n", "X1-X2:0.5", "", {}},
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
         "Warning: FILE repeats 1 pair with another weight; the first weight of each is kept\n"
         "Note: 1 site without a link is left out\n"
         "Note: the weights range from -2 to 0.5; beyond -1 and 1 they are drawn at the end colours "
         "(LINKMAP_SCALE=max divides them by the largest; LINKMAP_WEIGHTS=score draws them from 0 to the "
         "largest)\n",
         {}},
        {"scaled.csv", "0,4\n-2,0\n", "X1-X2:1",
         "Warning: the matrix in FILE is not symmetric: the largest difference, 6, is at row 2, column 1; "
         "its upper triangle is used\n"
         "Note: every weight is divided by the largest |weight|, 4 (LINKMAP_SCALE)\n",
         scaled},
        {"empty.csv", "", "", "Note: FILE holds no sites or links\n", {}},
        {"empty.graphml", "\n", "", "Note: FILE holds no sites or links\n", {}},
        {"weightless.csv", "A,B,C\n1,0,0\n0,1,0\n0,0,1\n", "A-B:0 A-C:0 B-C:0", "", {}},
        // A first line of site numbers in order: a header when the rows under it say so, by their names or,
        // without names, by a unit diagonal and a count of rows that fits it; else the first row.
        {"numbered.csv",
         ",40,41,42\n40,1,0.5,0.2\n41,0.5,1,-0.3\n42,0.2,-0.3,1\n",
         "X40-X41:0.5 X40-X42:0.2 X41-X42:-0.3",
         "",
         {}},
        {"numbered.txt",
         "\"1\" \"2\"\n\"1\" 1 0.5\n\"2\" 0.5 1\n",
         "X1-X2:0.5",
         "Note: FILE holds a table of numbers with quoted names; read as a matrix (LINKMAP_FORMAT chooses "
         "otherwise)\n",
         {}},
        {"unnamed.csv",
         "3,4,5\n1,0.5,0.2\n0.5,1,-0.3\n0.2,-0.3,1\n",
         "X3-X4:0.5 X3-X5:0.2 X4-X5:-0.3",
         "",
         {}},
        {"firstrow.tsv",
         "0 1 2\n1 0 1\n2 1 0\n",
         "X1-X2:1 X1-X3:2 X2-X3:1",
         "Note: the weights range from 1 to 2; beyond -1 and 1 they are drawn at the end colours "
         "(LINKMAP_SCALE=max divides them by the largest; LINKMAP_WEIGHTS=score draws them from 0 to the "
         "largest)\n",
         {}},
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
    EXPECT_EQ(read.log, "Creating link between H12 and K45 with weight -0.750000\n"
                        "Creating link between c and K45 with weight 0.250000\n");
    EXPECT_EQ(read.messages, "Warning: " + path +
                                 " repeats 1 pair with another weight; the first weight of each is kept\n"
                                 "Note: 1 site without a link is left out\n");
    EXPECT_EQ(ringsOf(read.network), "[c H12 K45]");
}

TEST(Import, EveryReaderOfListedPairsKeepsEachPairsFirstListingOnceInTheOrderOfItsSites)
{
    // One list of pairs in every format that lists them: a pair out of order, the same pair again with
    // another weight, a site's link to itself, a pair under the minimum listed again above it, and one
    // listed again with its own weight, as a symmetric listing lists it.
    struct Pair
    {
        const char* one;
        const char* other;
        const char* weight;
    };
    const std::vector<Pair> pairs = {{"K45", "H12", "-0.75"}, {"H12", "K45", "0.5"}, {"H12", "H12", "1"},
                                     {"A7", "K45", "0.2"},    {"K45", "A7", "0.9"},  {"Q9", "H12", "0.6"},
                                     {"H12", "Q9", "0.6"}};
    const std::vector<std::string> sites = {"K45", "H12", "A7", "Q9"};
    const auto place = [&](const char* name) {
        return std::to_string(std::find(sites.begin(), sites.end(), name) - sites.begin());
    };
    std::string tsv = "i\tj\tweight\n";
    std::string graphml =
        "<?xml version=\"1.0\"?>\n<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
        "<key id=\"w\" for=\"edge\" attr.name=\"weight\" attr.type=\"double\"/>\n"
        "<graph edgedefault=\"undirected\">\n";
    std::string gml = "graph [\n";
    for (const std::string& site : sites)
    {
        graphml += "<node id=\"" + site + "\"/>\n";
        gml += "node [ id " + place(site.c_str()) + " label \"" + site + "\" ]\n";
    }
    for (const Pair& pair : pairs)
    {
        tsv += std::string(pair.one) + "\t" + pair.other + "\t" + pair.weight + "\n";
        graphml += std::string("<edge source=\"") + pair.one + "\" target=\"" + pair.other +
                   "\"><data key=\"w\">" + pair.weight + "</data></edge>\n";
        gml += "edge [ source " + place(pair.one) + " target " + place(pair.other) + " weight " +
               pair.weight + " ]\n";
    }
    graphml += "</graph>\n</graphml>\n";
    gml += "]\n";

    TemporaryFolder folder;
    ReadSettings settings;
    settings.minimumWeight = 0.3f;
    for (const auto& [name, text] : {std::pair<std::string, std::string>{"pairs.tsv", tsv},
                                     {"pairs.graphml", graphml},
                                     {"pairs.gml", gml}})
    {
        SCOPED_TRACE(name);
        const std::string path = folder.write(name, text);
        const Imported read = import(path, settings);
        EXPECT_EQ(read.log, "Creating link between H12 and K45 with weight -0.750000\n"
                            "Creating link between Q9 and H12 with weight 0.600000\n");
        EXPECT_NE(
            read.messages.find("Warning: " + path +
                               " repeats 2 pairs with another weight; the first weight of each is kept\n"),
            std::string::npos)
            << read.messages;
    }
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
        // Site numbers over rows whose diagonal is not 1 are the first row, of a matrix too long.
        {"offdiagonal.csv",
         "1,2,3\n1,0.5,0.2\n0.5,0.9,-0.3\n0.2,-0.3,1\n",
         "Error: line 4 of FILE is row 4 of a matrix of 3 columns; a matrix must be square (rows of two site "
         "numbers and a weight are a pair list: LINKMAP_FORMAT=pairs)",
         {}},
        {"misnamed.csv",
         ",1,2\n1,1,0.5\n3,0.5,1\n",
         "Error: line 3 of FILE names its row \"3\" where line 1 numbers that column 2",
         {}},
        {"long.tsv",
         "1 0\n0 1\n0 0\n",
         "Error: line 3 of FILE is row 3 of a matrix of 2 columns; a matrix must be square",
         {}},
        {"word.csv",
         "\n\"\",\"A\",\"B\"\n\"A\",1,high\n",
         "Error: line 3 of FILE: \"high\" in column 3 is not a number",
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
        {"header-only.csv", "\"\",\"A\"\n", "Error: FILE holds a header, line 1, and no row under it", {}},
        {"comments.csv",
         "# a matrix\n\n# of nothing\n",
         "Error: FILE holds only 2 comment lines, and no row",
         {}},
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

namespace
{

TEST(Import, TheTableOfFormatsChoosesEachByItsNameInAnyCaseCompressedOrNot)
{
    std::size_t named = 0;
    for (const InputFormatEntry& entry : inputFormats)
        for (const char* extension : entry.extensions)
        {
            if (extension == nullptr)
                continue;
            ++named;
            std::string upper = extension;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (const std::string& name :
                 {"net" + std::string(extension), "NET" + upper, "net" + std::string(extension) + ".gz"})
            {
                const std::optional<InputFormat> format = inputFormatOfName(name);
                ASSERT_TRUE(format.has_value()) << name;
                EXPECT_EQ(*format, entry.format) << name;
            }
        }
    EXPECT_GE(named, 11u);
    // A name of no format's is told by its content.
    for (const char* other : {"net.txt", "net.dat", "net", "net.csv.bak"})
        EXPECT_FALSE(inputFormatOfName(other).has_value()) << other;
}

} // namespace
