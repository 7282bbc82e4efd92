// Files as the field's own tools write them (tests/data/field, README.md there says which tool and version
// wrote each), and layouts that no Debian package writes, as their formats lay them out.
#include <network/ChainTrace.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionLists.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

namespace
{

std::string fieldFile(const std::string& name)
{
    return dataFile("field/" + name);
}

// The matrix every tool was given: five sites, P1 to T5, and a weight for each pair.
const char* const plantedNames[] = {"P1", "Q2", "R3", "S4", "T5"};
const double planted[5][5] = {{1, 0.62, -0.31, 0.05, 0.4},
                              {0.62, 1, 0.18, -0.77, 0.2},
                              {-0.31, 0.18, 1, 0.5, -0.1},
                              {0.05, -0.77, 0.5, 1, 0.33},
                              {0.4, 0.2, -0.1, 0.33, 1}};

std::string pairText(std::string one, std::string other, double weight)
{
    if (other < one)
        std::swap(one, other);
    std::ostringstream text;
    text << one << "-" << other << ":" << weight;
    return text.str();
}

// The planted pairs whose |weight| reaches floor, each weighing what the matrix says, or 1.
std::set<std::string> plantedLinks(double floor, bool unweighted)
{
    std::set<std::string> links;
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (std::fabs(planted[i][j]) >= floor)
                links.insert(pairText(plantedNames[i], plantedNames[j], unweighted ? 1.0 : planted[i][j]));
    return links;
}

// The links of a network, by names, where a site known by its number k is named by numbering's k-th name.
std::set<std::string> linksOf(const CorrelationNetwork& network, const std::vector<std::string>& numbering)
{
    const auto name = [&](std::uint32_t site) {
        const std::string& given = network.names[site];
        for (std::size_t at = 0; at < numbering.size(); ++at)
            if (given == numbering[at])
                return std::string(plantedNames[at]);
        return given;
    };
    std::set<std::string> links;
    for (const SiteLink& link : network.links)
        links.insert(pairText(name(link.first), name(link.second), link.weight));
    return links;
}

struct Reading
{
    CorrelationNetwork network;
    std::string messages;
};

Reading readFile(const std::string& path, const ReadSettings& settings = ReadSettings())
{
    Reading read;
    LoadProgress silent;
    read.messages = captureOutput([&] { readNetwork(path, settings, read.network, silent); });
    for (std::size_t at; (at = read.messages.find(path)) != std::string::npos;)
        read.messages.replace(at, path.size(), "FILE");
    return read;
}

std::string refusalOf(const std::string& path, const ReadSettings& settings = ReadSettings())
{
    try
    {
        readFile(path, settings);
    }
    catch (const InputError& error)
    {
        std::string text = error.what();
        for (std::size_t at; (at = text.find(path)) != std::string::npos;)
            text.replace(at, path.size(), "FILE");
        return text;
    }
    return "no refusal";
}

struct ToolFile
{
    const char* name;
    double floor;        // the tool was given the planted pairs of at least this |weight|
    bool unweighted;     // the layout has no weights
    const char* numbers; // the names the file gives the planted sites in order, where it numbers them
    const char* notes;   // what reading it says, the file called FILE
};

const char* const weightRange = "";
const char* const noWeights = "Note: FILE gives no weights; every link weighs 1\n";

TEST(FieldFiles, EveryToolsLayoutGivesThePlantedLinks)
{
    const std::string lowerNote =
        "Note: the matrix in FILE fills only its lower triangle; its links are read from it\n";
    const std::string numbersOnly =
        "Note: FILE holds only numbers; read as a matrix (LINKMAP_FORMAT chooses otherwise)\n";
    const std::string numberedPairs =
        "Note: FILE holds only numbers; read as a pair list (LINKMAP_FORMAT chooses otherwise)\n";
    const std::string oneToFive = "X1 X2 X3 X4 X5";
    const ToolFile files[] = {
        // R 4.2.2
        {"r-lower-triangle.csv", 0, false, "", lowerNote.c_str()},
        {"r-write-table-unquoted.txt", 0, false, "",
         "Note: FILE holds a table of numbers with named rows; read as a matrix (LINKMAP_FORMAT chooses "
         "otherwise)\n"},
        {"r-write-table-unnamed.txt", 0, false, oneToFive.c_str(), numbersOnly.c_str()},
        {"r-write-csv2.csv", 0, false, "", weightRange},
        {"r-long-format.csv", 0, false, "", "Note: weights from column Freq of FILE\n"},
        // pandas 1.5.3, numpy 1.24.2
        {"pandas-lower-triangle.csv", 0, false, "", lowerNote.c_str()},
        {"pandas-semicolon.csv", 0, false, "", weightRange},
        {"numpy-savetxt-pairs.txt", 0, false, oneToFive.c_str(), numberedPairs.c_str()},
        // Octave 7.3.0
        {"octave-dlmwrite.csv", 0, false, oneToFive.c_str(), weightRange},
        {"octave-save-ascii.txt", 0, false, oneToFive.c_str(), numbersOnly.c_str()},
        {"octave-save-ascii-pairs.txt", 0.3, false, oneToFive.c_str(), numberedPairs.c_str()},
        // networkx 2.8.8
        {"networkx-edgelist.txt", 0.15, false, "",
         "Note: FILE holds networkx's edge list with data; read as a pair list (LINKMAP_FORMAT chooses "
         "otherwise)\n"},
        {"networkx-edgelist-nodata.txt", 0.15, true, "",
         "Note: FILE holds two sites a line and no weights; read as a pair list (LINKMAP_FORMAT chooses "
         "otherwise)\n"},
        {"networkx-adjlist.txt", 0.15, true, "",
         "Note: FILE holds networkx's adjacency list; read as a graph (LINKMAP_FORMAT chooses otherwise)\n"},
        {"networkx.gml", 0.15, false, "", weightRange},
        {"networkx.net", 0.15, false, "", weightRange},
        // python3-igraph 0.10.2: its Pajek file numbers the sites in the order it met them
        {"igraph.gml", 0.15, false, "", weightRange},
        {"igraph.net", 0.15, false, "X1 X2 X3 X5 X4", weightRange},
        {"igraph.lgl", 0.15, false, "", weightRange},
        {"igraph.ncol", 0.15, false, "", weightRange},
        {"igraph-edgelist.txt", 0.15, true, "X0 X1 X2 X4 X3",
         "Note: FILE holds two site numbers a line and no weights; read as a pair list (LINKMAP_FORMAT "
         "chooses "
         "otherwise)\n"},
    };
    for (const ToolFile& file : files)
    {
        SCOPED_TRACE(file.name);
        ReadSettings settings;
        settings.firstNumber = std::string(file.numbers).find("X0") == 0 ? 0 : 1;
        const Reading read = readFile(fieldFile(file.name), settings);
        std::vector<std::string> numbering;
        std::istringstream words(file.numbers);
        for (std::string word; words >> word;)
            numbering.push_back(word);
        EXPECT_EQ(linksOf(read.network, numbering), plantedLinks(file.floor, file.unweighted));
        std::string notes = file.notes;
        if (file.unweighted)
            notes += noWeights;
        EXPECT_EQ(read.messages, notes);
    }
}

TEST(FieldFiles, GraphAttributesChooseTheWeightOrAreRefused)
{
    // networkx's GraphML of two attributes of numbers, none named weight: which is the weight is the user's
    // choice, and LINKMAP_WEIGHT_COLUMN makes it.
    const std::string graphml = fieldFile("networkx-two-attributes.graphml");
    EXPECT_EQ(refusalOf(graphml),
              "Error: the edges of FILE have 2 attributes of numbers, distance, correlation, "
              "and none named weight; LINKMAP_WEIGHT_COLUMN chooses one");
    ReadSettings chosen;
    chosen.weightColumn = "correlation";
    EXPECT_EQ(linksOf(readFile(graphml, chosen).network, {}), plantedLinks(0.15, false));
    chosen.weightColumn = "similarity";
    EXPECT_EQ(refusalOf(graphml, chosen),
              "Error: LINKMAP_WEIGHT_COLUMN is similarity, but the edges of FILE have "
              "no such attribute; their attributes of numbers are distance, correlation");
    // The same choice in GML.
    chosen.weightColumn = "weight";
    EXPECT_EQ(linksOf(readFile(fieldFile("networkx.gml"), chosen).network, {}), plantedLinks(0.15, false));
    chosen.weightColumn = "strength";
    EXPECT_EQ(refusalOf(fieldFile("igraph.gml"), chosen),
              "Error: LINKMAP_WEIGHT_COLUMN is strength, but the edges of FILE have no such attribute; their "
              "attributes of numbers are weight");
}

TEST(FieldFiles, FreeContactNamesItsSitesByTheirLetters)
{
    // FreeContact 1.0.21 on a 24-column alignment: every pair once, i A_i j A_j and two scores.
    const Reading read = readFile(fieldFile("freecontact.txt"));
    EXPECT_EQ(read.network.linkCount(), 24u * 23u / 2u);
    EXPECT_EQ(read.network.siteCount(), 24u);
    EXPECT_EQ(read.network.names[read.network.links[0].first], "M1");
    EXPECT_NE(read.messages.find("Note: weights from column 6 of FILE\n"), std::string::npos)
        << read.messages;
}

// Layouts that no Debian package writes, as their formats lay them out.
struct WrittenLayout
{
    const char* name;
    const char* text;
    const char* links; // "A-B:w" in the file's order
    const char* notes;
};

std::string linksInOrder(const CorrelationNetwork& network)
{
    std::string text;
    for (const SiteLink& link : network.links)
    {
        std::ostringstream one;
        one << network.names[link.first] << "-" << network.names[link.second] << ":" << link.weight;
        text += (text.empty() ? "" : " ") + one.str();
    }
    return text;
}

TEST(FieldFiles, LayoutsOfTheFieldsOtherToolsRead)
{
    TemporaryFolder folder;
    const WrittenLayout layouts[] = {
        // Gephi's edge table: the weight by its column's name, the sites in the first two.
        {"edges.csv",
         "Source,Target,Type,Id,Label,Weight\nP1,Q2,Undirected,0,,0.62\nQ2,S4,Undirected,1,,-0.77\n",
         "P1-Q2:0.62 Q2-S4:-0.77", "Note: weights from column Weight of FILE\n"},
        // PSICOV: i j 0 8 score, and mfDCA: i j MI DI, numbers only, under no header.
        {"psicov.txt", "3 17 0 8 0.92\n5 9 0 8 0.41\n12 30 0 8 0.33\n", "X3-X17:0.92 X5-X9:0.41 X12-X30:0.33",
         "Note: FILE holds only numbers; read as a pair list (LINKMAP_FORMAT chooses otherwise)\nNote: "
         "weights "
         "from column 5 of FILE\n"},
        {"mfdca.di", "1 2 0.0123 0.0456\n1 3 0.0101 0.0320\n2 3 0.0300 0.0877\n",
         "X1-X2:0.0456 X1-X3:0.032 X2-X3:0.0877",
         "Note: FILE holds only numbers; read as a pair list (LINKMAP_FORMAT chooses otherwise)\nNote: "
         "weights "
         "from column 4 of FILE\n"},
        // CASP's RR format: the sequence names the sites; the weight is the probability.
        {"T0999.rr",
         "PFRMAT RR\nTARGET T0999\nAUTHOR 1234-5678-9000\nMETHOD plmc with APC\nMODEL  "
         "1\nMKTAYIAKQR\nQISFVKSHFS\n"
         "1 8 0 8 0.72\n3 15 0 8 0.40\nEND\n",
         "M1-K8:0.72 T3-V15:0.4",
         "Note: FILE holds CASP RR contacts; read as a pair list (LINKMAP_FORMAT chooses otherwise)\n"
         "Note: weights from column 5 of FILE\n"},
        // numpy's savetxt of an edge list with fmt="%d" and a header of one cell: no LGL file, which has a
        // "# site" line for each of its sites.
        {"edges.txt", "# source,target\n1 2\n2 3\n3 4\n", "X1-X2:1 X2-X3:1 X3-X4:1",
         "Note: FILE holds two site numbers a line and no weights; read as a pair list (LINKMAP_FORMAT "
         "chooses "
         "otherwise)\nNote: FILE gives no weights; every link weighs 1\n"},
        // Pajek's vertices that no edge meets are counted, not made sites.
        {"isolated.net", "*Vertices 5\n*Edges\n1 2 0.5\n", "X1-X2:0.5",
         "Note: 3 sites without a link are left out\n"},
        // Cytoscape's SIF, between tabs, with a line of a site alone.
        {"network.sif", "P1\tpp\tQ2\tR3\nS4\tpd\tQ2\nT5\n", "P1-Q2:1 P1-R3:1 Q2-S4:1",
         "Note: FILE gives no weights; every link weighs 1\nNote: 1 site without a link is left out\n"},
    };
    for (const WrittenLayout& layout : layouts)
    {
        SCOPED_TRACE(layout.name);
        const std::string path = folder.write(layout.name, layout.text);
        const Reading read = readFile(path);
        EXPECT_EQ(linksInOrder(read.network), layout.links);
        EXPECT_EQ(read.messages, layout.notes);
    }
}

TEST(FieldFiles, EachReaderSaysWhatItsWeightsAreAndTheSettingsMaySayOtherwise)
{
    // Couplings are scores, drawn from 0 to the largest; CASP's contacts and BGM's posteriors probabilities;
    // matrices and three-column pair lists correlations. LINKMAP_WEIGHTS overrides the reader.
    TemporaryFolder folder;
    const std::string matrix = "A,B,C\n1,0.5,2.5\n0.5,1,-3.5\n2.5,-3.5,1\n";
    const struct
    {
        const char* name;
        std::string text;
        std::optional<WeightMeaning> set;
        WeightMeaning meaning;
        const char* quantity;
        float top;
    } cases[] = {
        {"plmc.ec",
         "1 M 2 K 0 0.25\n1 M 3 T 0 -0.1\n2 K 3 T 0 0.5\n",
         {},
         WeightMeaning::Score,
         "EC score (plmc)",
         0.5f},
        {"psicov.txt",
         "1 2 0 8 0.5\n1 3 0 8 1.75\n",
         {},
         WeightMeaning::Score,
         "coupling score (column 5)",
         1.75f},
        {"mfdca.di",
         "1 2 0.0123 0.0456\n1 3 0.0101 0.0320\n",
         {},
         WeightMeaning::Score,
         "coupling score (column 4)",
         0.0456f},
        {"T0999.rr",
         "PFRMAT RR\nTARGET T0999\nMODEL  1\nMKTAYIAKQR\n1 8 0 8 0.72\n3 9 0 8 0.40\nEND\n",
         {},
         WeightMeaning::Probability,
         "contact probability (CASP RR)",
         1.0f},
        {"T0999.rr", "PFRMAT RR\nTARGET T0999\nMODEL  1\nMKTAYIAKQR\n1 8 0 8 0.72\n3 9 0 8 0.40\nEND\n",
         WeightMeaning::Correlation, WeightMeaning::Correlation, "", 0.0f},
        {"pairs.txt", "1 2 0.5\n2 3 -0.25\n", {}, WeightMeaning::Correlation, "", 0.0f},
        {"matrix.csv", matrix, {}, WeightMeaning::Correlation, "", 0.0f},
        {"matrix.csv", matrix, WeightMeaning::Score, WeightMeaning::Score, "score", 3.5f},
        {"matrix.csv", "A,B\n1,0.25\n0.25,1\n", WeightMeaning::Probability, WeightMeaning::Probability,
         "probability", 1.0f},
        {"matrix.csv", "A,B\n1,0.25\n0.25,1\n", WeightMeaning::Distance, WeightMeaning::Correlation, "",
         0.0f},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(std::string(test.name) + " " + test.quantity);
        ReadSettings settings;
        settings.weights = test.set;
        const Reading read = readFile(folder.write(test.name, test.text), settings);
        EXPECT_EQ(read.network.weightMeaning, test.meaning);
        EXPECT_EQ(read.network.weightQuantity, test.quantity);
        EXPECT_FLOAT_EQ(read.network.weightTop(), test.top);
    }
    // A probability the settings claim for weights beyond 0 and 1 is refused, naming the pair.
    ReadSettings probability;
    probability.weights = WeightMeaning::Probability;
    EXPECT_EQ(refusalOf(folder.write("scores.csv", matrix), probability),
              "Error: LINKMAP_WEIGHTS is probability, but FILE links A and C at 2.5, which is no probability "
              "from 0 to 1");
}

TEST(FieldFiles, TextThatIsNoNetworkIsRefusedSayingWhatItLooksLike)
{
    TemporaryFolder folder;
    const struct
    {
        const char* name;
        const char* text;
        const char* refusal;
    } refusals[] = {
        {"graph.txt", "/* Created by igraph */\ngraph {\n  0 -- 1;\n}\n",
         "Error: FILE looks like a Graphviz DOT graph, not a network that linkmap reads; write GraphML, or a "
         "pair "
         "list"},
        {"regions.txt", "10-20\n30-45\n",
         "Error: FILE looks like a region list, ranges of site numbers, not a network; give it to -p, -n or "
         "-a"},
        {"names.txt", "P1 pp Q2 R3\nS4 pd Q2\n",
         "Error: FILE looks like lines of site names without weights, as Cytoscape's SIF or an adjacency "
         "list "
         "writes them, and which it is the lines do not tell; name it .sif or .adjlist, or set "
         "LINKMAP_FORMAT to "
         "sif or adjlist"},
        {"short.txt", "A B C 0.1\nD E 0.2 0.3 0.4\n",
         "Error: FILE is not a network that linkmap reads: line 1, \"A B C 0.1\", is no group line (3 site "
         "names "
         "and 1 weight, where a group line has one weight for each pair of sites) and no row of a table; "
         "LINKMAP_FORMAT chooses the format"},
        {"other.json", "{\"nodes\": [{\"id\": \"P1\"}], \"links\": []}\n",
         "Error: FILE is JSON that is no HyPhy result, not a network that linkmap reads; write GraphML, or a "
         "pair "
         "list"},
        {"cut.json", "{\"analysis\": {\"info\": \"FEL\"",
         "Error: FILE looks like JSON, but it is cut short or not well formed"},
        {"graph.dot", "graph { a -- b }\n",
         "Error: FILE is named as a Graphviz DOT graph, which linkmap does not read; write GraphML, or a "
         "pair list"},
        {"broken.gml", "graph [\n  node [ id 0\n", "prefix:Error: FILE is not GML that igraph reads: "},
        // Twenty bytes that would make igraph allocate thirteen million vertices before reading on.
        {"huge.net", "*Vertices 13450002\n",
         "Error: FILE declares 13450002 vertices, more than the 10000000 that linkmap reads"},
    };
    // Rows of three whole numbers may be a matrix or pairs with whole weights (counts): the content cannot
    // tell, the matrix fails, and the refusal names the reading that would take them.
    const std::string counts = folder.write("counts.txt", "1 2 5\n1 3 7\n2 3 4\n1 4 2\n");
    EXPECT_EQ(refusalOf(counts),
              "Error: line 4 of FILE is row 4 of a matrix of 3 columns; a matrix must be square "
              "(rows of two site numbers and a weight are a pair list: LINKMAP_FORMAT=pairs)");
    ReadSettings pairs;
    pairs.format = InputFormat::Pairs;
    EXPECT_EQ(linksInOrder(readFile(counts, pairs).network), "X1-X2:5 X1-X3:7 X2-X3:4 X1-X4:2");
    // The structures of the tests, and the head of the alignment HyPhy's package ships, given as the network.
    EXPECT_EQ(refusalOf(dataFile("structure.pdb")),
              "Error: FILE looks like a PDB structure; LINKMAP_STRUCTURE takes it, not a network that "
              "linkmap reads");
    EXPECT_EQ(refusalOf(dataFile("structure.cif")),
              "Error: FILE looks like an mmCIF structure; LINKMAP_STRUCTURE "
              "takes it, not a network that linkmap reads");
    EXPECT_EQ(
        refusalOf(folder.write("integrase.nex", "#NEXUS\n\nBEGIN TAXA;\n\tDIMENSIONS NTAX = 11;\nEND;\n")),
        "Error: FILE looks like a NEXUS file, an alignment or trees, not a network that linkmap reads");
    // igraph's DOT, by its name and by its content.
    EXPECT_EQ(
        refusalOf(fieldFile("igraph.dot")),
        "Error: FILE is named as a Graphviz DOT graph, which linkmap does not read; write GraphML, or a pair "
        "list");
    EXPECT_EQ(
        refusalOf(folder.write("igraph-dot.txt", readText(fieldFile("igraph.dot")))),
        "Error: FILE looks like a Graphviz DOT graph, not a network that linkmap reads; write GraphML, or a "
        "pair list");
    for (const auto& refused : refusals)
    {
        SCOPED_TRACE(refused.name);
        const std::string refusal = refusalOf(folder.write(refused.name, refused.text));
        const std::string expected = refused.refusal;
        if (expected.rfind("prefix:", 0) == 0)
            EXPECT_EQ(refusal.substr(0, expected.size() - 7), expected.substr(7));
        else
            EXPECT_EQ(refusal, expected);
    }
}

// HyPhy 2.5.47's results for the integrase alignment its package ships.
std::vector<SiteRange> selected(const std::string& file, RegionKind kind,
                                const SelectionThresholds& thresholds, std::string& messages)
{
    InputFiles files;
    (kind == RegionKind::Positive ? files.positiveFile : files.negativeFile) = fieldFile(file);
    RegionLists lists;
    messages = captureOutput([&] { lists = readRegionLists(files, thresholds); });
    return kind == RegionKind::Positive ? lists.positiveRanges : lists.negativeRanges;
}

TEST(FieldFiles, HyphySelectionResultsAreRegionListsAtHyphysThresholds)
{
    SelectionThresholds strict;
    strict.pValue = 0.05;
    strict.posterior = 0.95;
    const struct
    {
        const char* file;
        RegionKind kind;
        SelectionThresholds thresholds;
        std::size_t sites; // as HyPhy's own summary on the screen counts them, or as its table does
        const char* note;
    } results[] = {
        {"integrase_BDA.FEL.json",
         RegionKind::Positive,
         {},
         0,
         "0 sites under positive selection (FEL, p ≤ 0.1)"},
        {"integrase_BDA.FEL.json",
         RegionKind::Negative,
         {},
         84,
         "84 sites under negative selection (FEL, p ≤ 0.1)"},
        {"integrase_BDA.FEL.json", RegionKind::Negative, strict, 42,
         "42 sites under negative selection (FEL, p ≤ 0.05)"},
        {"integrase_BDA.SLAC.json",
         RegionKind::Positive,
         {},
         0,
         "0 sites under positive selection (SLAC, p ≤ 0.1)"},
        {"integrase_BDA.SLAC.json",
         RegionKind::Negative,
         {},
         24,
         "24 sites under negative selection (SLAC, p ≤ 0.1)"},
        {"integrase_BDA.FUBAR.json",
         RegionKind::Positive,
         {},
         0,
         "0 sites under positive selection (FUBAR, posterior ≥ 0.9)"},
        {"integrase_BDA.FUBAR.json",
         RegionKind::Negative,
         {},
         82,
         "82 sites under negative selection (FUBAR, posterior ≥ 0.9)"},
        {"integrase_BDA.FUBAR.json", RegionKind::Negative, strict, 46,
         "46 sites under negative selection (FUBAR, posterior ≥ 0.95)"},
        {"integrase_BDA.MEME.json",
         RegionKind::Positive,
         {},
         3,
         "3 sites under positive selection (MEME, p ≤ 0.1)"},
    };
    for (const auto& result : results)
    {
        SCOPED_TRACE(std::string(result.file) + " " + result.note);
        std::string messages;
        const std::vector<SiteRange> ranges = selected(result.file, result.kind, result.thresholds, messages);
        EXPECT_EQ(ranges.size(), result.sites);
        for (const SiteRange& range : ranges)
            EXPECT_TRUE(range.first == range.last && range.first >= 1 && range.last <= 288);
        EXPECT_EQ(messages, "Note: " + fieldFile(result.file) + " gives " + result.note + "\n");
    }
    // MEME's episodic sites, as HyPhy's table lists them: codon 24 among them.
    std::string messages;
    const std::vector<SiteRange> meme =
        selected("integrase_BDA.MEME.json", RegionKind::Positive, {}, messages);
    EXPECT_TRUE(
        std::any_of(meme.begin(), meme.end(), [](const SiteRange& range) { return range.first == 24; }));

    // What a result cannot be given as is refused.
    const struct
    {
        const char* file;
        RegionKind kind;
        const char* refusal;
    } refusals[] = {
        {"integrase_BDA.MEME.json", RegionKind::Negative,
         "is HyPhy's MEME result, which tests only diversifying selection; give it to -p"},
        {"integrase_BDA.BGM.json", RegionKind::Positive,
         "is HyPhy's BGM result, a network of sites, not a region list; give it as the network"},
        {"networkx.gml", RegionKind::Positive,
         "is text whose line 2, \"  node [\", is no range, not a region list of "
         "site ranges such as 120-145"},
        {"octave-save-ascii.txt", RegionKind::Negative,
         "looks like a table: it holds only numbers, not a region list of site ranges such as 120-145"},
    };
    for (const auto& refused : refusals)
    {
        SCOPED_TRACE(refused.file);
        try
        {
            selected(refused.file, refused.kind, {}, messages);
            ADD_FAILURE() << "read as a region list";
        }
        catch (const InputError& error)
        {
            EXPECT_EQ(error.what(), "Error: " + fieldFile(refused.file) + " " + refused.refusal);
        }
    }
}

TEST(FieldFiles, HyphyBgmIsANetworkOfDependentSites)
{
    // BGM's 54 sites with substitutions, every pair with the posterior that they are dependent; HyPhy's own
    // summary reports the one pair at 0.5 and more, sites 11 and 37.
    const std::string path = fieldFile("integrase_BDA.BGM.json");
    const Reading strong = readFile(path);
    ASSERT_EQ(strong.network.linkCount(), 1u);
    EXPECT_EQ(linksInOrder(strong.network), "X11-X37:0.591624");
    EXPECT_EQ(strong.network.weightMeaning, WeightMeaning::Probability);
    EXPECT_EQ(strong.network.weightQuantity, "BGM posterior probability");
    EXPECT_NE(
        strong.messages.find("Note: FILE is HyPhy's BGM result: 1 of its 1431 pairs of sites is dependent "
                             "at posterior 0.5 or more, as BGM reports them; 1430 are left out "
                             "(LINKMAP_MIN_WEIGHT=0 shows every pair)\n"),
        std::string::npos)
        << strong.messages;
    ReadSettings every;
    every.minimumGiven = true;
    const Reading all = readFile(path, every);
    EXPECT_EQ(all.network.linkCount(), 54u * 53u / 2u);
    EXPECT_NE(
        all.messages.find("Note: FILE is HyPhy's BGM result: a pair weighs the posterior that its sites are "
                          "dependent; BGM reports the pairs of 0.5 and more, and LINKMAP_MIN_WEIGHT shows "
                          "those of 0 and more\n"),
        std::string::npos)
        << all.messages;
}

// The rings of a network, as sets of site names, in no order.
std::set<std::set<std::string>> ringSets(const CorrelationNetwork& network)
{
    std::set<std::set<std::string>> rings;
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
    {
        std::set<std::string> names;
        for (const std::uint32_t site : network.ring(ring))
            names.insert(network.names[site]);
        rings.insert(names);
    }
    return rings;
}

TEST(FieldFiles, TheContactMapAndEachClusteringMethodGiveBio3dsCommunitiesNumberedAsItNumbersThem)
{
    // bio3d's cmap and cna(cij, cutoff.cij = 0.4, cm = cmap(pdb), cluster.method = ...) on the normal modes
    // of two structures it ships (tests/data/bio3d/contacts.R): the same communities, numbered alike. Infomap
    // is random, and bio3d's run and linkmap's each take their own seed: on 1hel one of bio3d's communities
    // of ten is two of five in linkmap's. Its partitions are held to agree on whether 99% of the pairs of
    // sites share a community (Rand's index).
    const struct
    {
        RingGrouping grouping;
        const char* method;
    } methods[] = {{RingGrouping::Betweenness, "btwn"},
                   {RingGrouping::Walktrap, "walk"},
                   {RingGrouping::Greedy, "greed"},
                   {RingGrouping::Infomap, "infomap"}};
    for (const char* structure : {"1dpx", "1hel"})
    {
        SCOPED_TRACE(structure);
        const std::string prefix = std::string("bio3d/bio3d-") + structure;
        const auto trace = std::make_shared<const ChainTrace>(
            readChainTrace(dataFile(std::string("structures/") + structure + ".pdb.gz"), "", 0, 4.0));
        std::string contacts;
        for (const auto& [first, second] : trace->contacts)
            contacts += std::to_string(first + 1) + " " + std::to_string(second + 1) + "\n";
        EXPECT_EQ(contacts, readText(dataFile(prefix + "-cmap.txt")));
        for (const auto& method : methods)
        {
            SCOPED_TRACE(method.method);
            ReadSettings asBio3d;
            asBio3d.minimumWeight = 0.4f;
            asBio3d.grouping = method.grouping;
            asBio3d.contacts = trace;
            const Reading read =
                readFile(dataFile(std::string("writers/bio3d-nma-") + structure + ".csv.gz"), asBio3d);
            std::istringstream found(readText(dataFile(prefix + "-cna-" + method.method + ".txt")));
            std::vector<std::string> membership{std::istream_iterator<std::string>(found), {}};
            ASSERT_EQ(membership.size(), trace->residues.size());
            ASSERT_EQ(read.network.methodCommunities.size(), read.network.siteCount());
            EXPECT_GT(read.network.siteCount(), 60u);
            const auto theirs = [&](std::size_t site) {
                return membership[static_cast<std::size_t>(read.network.numbers[site] - 1)];
            };
            const std::vector<std::uint32_t>& ours = read.network.methodCommunities;
            std::size_t pairs = 0, agreeing = 0;
            for (std::size_t site = 0; site < read.network.siteCount(); ++site)
            {
                if (method.grouping != RingGrouping::Infomap)
                {
                    EXPECT_EQ(std::to_string(ours[site] + 1), theirs(site)) << read.network.names[site];
                }
                for (std::size_t other = 0; other < site; ++other, ++pairs)
                    agreeing += (ours[site] == ours[other]) == (theirs(site) == theirs(other)) ? 1 : 0;
            }
            EXPECT_GE(static_cast<double>(agreeing), 0.99 * static_cast<double>(pairs));
        }
    }
}

TEST(FieldFiles, GirvanNewmanGivesTheCommunitiesOfBio3dsCorrelationNetworkAnalysis)
{
    // bio3d's cna on its own protease trajectory (tests/data/bio3d): the same matrix, at its cutoff of 0.4,
    // gives exactly its communities.
    ReadSettings asBio3d;
    asBio3d.minimumWeight = 0.4f;
    asBio3d.grouping = RingGrouping::Betweenness;
    const Reading read = readFile(dataFile("bio3d/bio3d-hivp-dccm.csv.gz"), asBio3d);
    std::istringstream found(readText(dataFile("bio3d/bio3d-hivp-cna-membership.txt")));
    std::map<std::string, std::set<std::string>> byCommunity;
    std::string community;
    for (int site = 1; found >> community; ++site)
        byCommunity[community].insert("X" + std::to_string(site));
    std::set<std::set<std::string>> expected;
    for (const auto& [label, names] : byCommunity)
        expected.insert(names);
    EXPECT_EQ(byCommunity.size(), 9u);
    EXPECT_EQ(ringSets(read.network), expected);

    // Hand-worked pair lists: two strong triangles joined by a weak link split at it; a link of weight 0 is
    // no link, as -ln 0 is no length.
    TemporaryFolder folder;
    const struct
    {
        const char* pairs;
        std::set<std::set<std::string>> rings;
    } networks[] = {
        {"A,B,0.9\nB,C,0.8\nA,C,0.85\nD,E,0.9\nE,F,0.8\nD,F,0.85\nC,D,0.45\n",
         {{"A", "B", "C"}, {"D", "E", "F"}}},
        {"A,B,0.9\nB,C,0.8\nA,C,0.85\nD,E,0.9\nE,F,0.8\nD,F,0.85\nC,D,0\n",
         {{"A", "B", "C"}, {"D", "E", "F"}}},
        // Correlations of 1 joined by one of 0.2: one community, as bio3d's cna finds too (checked with bio3d
        // 2.4.4), since the modularity weighs each link by its length, and the weak link is the longest.
        {"A,B,1\nB,C,1\nA,C,1\nD,E,-1\nE,F,-1\nD,F,-1\nC,D,0.2\n", {{"A", "B", "C", "D", "E", "F"}}},
    };
    ReadSettings betweenness;
    betweenness.grouping = RingGrouping::Betweenness;
    for (const auto& network : networks)
    {
        SCOPED_TRACE(network.pairs);
        EXPECT_EQ(ringSets(readFile(folder.write("pairs.csv", network.pairs), betweenness).network),
                  network.rings);
    }

    // Beyond a minute's work the method is refused, naming the one that takes seconds.
    EXPECT_FALSE(betweennessTakesTooLong(198, 7000));
    EXPECT_TRUE(betweennessTakesTooLong(198, 7200));
    std::string pairs;
    for (int first = 1; first <= 200; ++first)
        for (int second = first + 1; second <= 200; ++second)
            pairs += "S" + std::to_string(first) + ",S" + std::to_string(second) + ",0.5\n";
    EXPECT_EQ(
        refusalOf(folder.write("dense.csv", pairs), betweenness),
        "Error: 19900 links among 200 sites are too many for Girvan and Newman's communities, which would "
        "take more than a minute; LINKMAP_GROUPS=communities finds them by Leiden in seconds");
}

} // namespace
