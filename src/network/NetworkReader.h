#ifndef LINKMAP_NETWORK_NETWORKREADER
#define LINKMAP_NETWORK_NETWORKREADER 1

#include <network/ChainTrace.h>
#include <network/CorrelationNetwork.h>
#include <network/InputError.h>
#include <network/InputFormat.h>
#include <network/LoadProgress.h>
#include <network/SelectionThresholds.h>
#include <network/WeightMeaning.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

/** How the rings of a network read without them are made. */
enum class RingGrouping
{
    /** A ring each community that the Leiden method finds on |weight|, by modularity. */
    Communities,
    /** A ring each connected component. */
    Components,
    /** Every site on one ring. */
    One,
    /** A ring each community that Girvan and Newman's edge betweenness finds, each link as long as
     *  -ln |weight| (|weight| capped at 0.9999), cut where the modularity is highest. */
    Betweenness,
    /** A ring each community of Pons and Latapy's walktrap, four steps, on the lengths -ln |weight| as
     *  weights, cut where the modularity is highest. */
    Walktrap,
    /** A ring each community of Clauset, Newman and Moore's fast greedy modularity, on the same weights. */
    Greedy,
    /** A ring each community of Rosvall and Bergstrom's infomap, best of ten trials, on the same weights. */
    Infomap
};

/** A square matrix held in memory, as numpy holds an array, read in place: its first cell, whether its cells
 *  are floats (else doubles), its rows, the bytes from a row to the next and from a column to the next, and
 *  the names of its rows (none: named by their numbers, as a .npy file's are). */
struct MatrixArray
{
    const void* data = nullptr;
    bool singlePrecision = false;
    std::size_t size = 0;
    std::ptrdiff_t rowStep = 0;
    std::ptrdiff_t columnStep = 0;
    std::vector<std::string> names;
};

/** The settings of reading: the format, the naming of sites known by their numbers, and which links count. */
struct ReadSettings
{
    /** The format, when given, instead of the one the file's name tells. */
    std::optional<InputFormat> format;

    /** A FASTA file whose first sequence gives a numbered site its letter, or an alignment whose reference
     *  names it; empty for X. */
    std::string sequenceFile;

    /** The name of the alignment's sequence that names the sites; empty for the first. */
    std::string reference;

    /** The number of the first row of a matrix, and of the sequence's first letter. */
    int firstNumber = 1;

    /** Links with a smaller |weight| are left out of a matrix, a pair list or GraphML. */
    float minimumWeight = 0.0f;

    /** Whether the settings gave the minimum weight; where they do not, BGM's result shows the pairs at its
     *  own threshold. */
    bool minimumGiven = false;

    /** How the rings of a network read without them are made. */
    RingGrouping grouping = RingGrouping::Communities;

    /** Every weight is divided by the largest |weight|. */
    bool scaleToLargest = false;

    /** The chain of every residue, in file order, when the sites stand on several chains of a structure: a
     *  matrix's named row i is the residue i, and its name ends in that chain, as in P1:B. */
    std::vector<std::string> residueChains;

    /** The column of a pair list that gives the weights, by its header's name or its number from 1, or the
     *  edge attribute of a graph; empty for the last column of numbers, or the attribute weight. */
    std::string weightColumn;

    /** The thresholds at which a selection analysis given as a region list calls a site selected. */
    SelectionThresholds selection;

    /** What the file's weights are, where the settings say it; else the reader's own reading. Distances
     *  -ln |c|, as bio3d's cna writes its network, are each read as |c| = e^-w. */
    std::optional<WeightMeaning> weights;

    /** The structure whose contact map keeps only the links between residues in contact; none for all. */
    std::shared_ptr<const ChainTrace> contacts;

    /** The matrix in memory read in place of a file, which the path then only names; none for a file. */
    const MatrixArray* array = nullptr;
};

struct ReferenceAlignment;

/** How a network was read: the format it was read in, and whether the file gave its rings, as a group file
 *  and GraphML whose every node has a group do, or the program made them. */
struct NetworkSource
{
    InputFormat format = InputFormat::Groups;
    bool ringsGiven = true;
};

/** What a reader of a matrix, a pair list, .npy or GraphML tells of its reading. */
struct ImportReport
{
    /** The format read: Matrix or Pairs for a table, as its shape told. */
    InputFormat format = InputFormat::Matrix;

    /** Whether the file gave the rings: GraphML whose every node has a group. */
    bool ringsGiven = false;

    /** How many links were left out for a |weight| below the minimum. */
    std::size_t belowMinimum = 0;

    /** Whether LINKMAP_SEQUENCE gave a letter to a site that the file knows by its number alone, and the
     *  alignment whose reference named them, if it is one. */
    bool namedFromSequence = false;
    std::shared_ptr<const ReferenceAlignment> alignment;

    /** The note that names the column or attribute the weights came from, where the file had a choice. */
    std::string columnNote;

    /** How many vertices of a graph no link met, which were made no site. */
    std::size_t unlinkedVertices = 0;

    /** What the file's weights are, as its format says, and the quantity the key names them by; empty for
     *  "link weight". */
    WeightMeaning meaning = WeightMeaning::Correlation;
    std::string quantity;
};

/** The format of the network file at path, by its extension in any case, after a .gz: .csv and .tsv are
 *  tables, .graphml GraphML, .npy numpy's, .json JSON, .gml GML, .net Pajek, .lgl LGL, .ncol NCOL, .sif SIF,
 *  .adjlist an adjacency list, and nothing for any other name. */
std::optional<InputFormat> inputFormatOfName(const std::string& path);

/** The format of the network file at path: by its name, else as its content shows (formatOfContent). */
InputFormat inputFormatOf(const std::string& path);

/** Reads the network at path ("-" for standard input) into network, in the format of settings, else of its
 *  name, else of its content, telling progress how far it has come. A network read without rings loses its
 *  sites without a link and is set out in rings as settings say. Returns the format it was read in. Throws
 *  InputError for an input that is refused and NetworkTooLarge for more sites and links than can be
 *  numbered. */
NetworkSource readNetwork(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network,
                          LoadProgress& progress);

/** Reads a correlation-group file into network: every distinct name is one site, every line a ring of the
 *  sites first named on it, and every pair that carries a weight a link, in row order. False when the file
 *  cannot be opened; throws InputError for a gzip stream that is cut short or damaged. */
bool readGroupFile(const std::string& path, CorrelationNetwork& network, LoadProgress& progress);

/** Reads a matrix or a pair list (format Table, Matrix or Pairs) into the sites and links of network, with no
 *  rings: a matrix's links row by row, each from the earlier row; a pair list's in file order, each from the
 *  site of the smaller number, else the one met first. The layout is what a look at the content saw. */
ImportReport readTableFile(const std::string& path, InputFormat format, TableLayout layout,
                           const ReadSettings& settings, CorrelationNetwork& network, LoadProgress& progress);

/** Reads HyPhy's BGM result into network: a link for each pair of sites, weighing the posterior that they are
 *  dependent. Throws InputError for any other JSON, naming what it is. */
ImportReport readJsonFile(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network);

/** Reads a graph in format (Gml, Pajek, Lgl, Ncol, Sif or Adjlist) into network through igraph's readers, or
 *  as lines of names for SIF and an adjacency list, whose every link weighs 1. */
ImportReport readGraphFile(const std::string& path, InputFormat format, const ReadSettings& settings,
                           CorrelationNetwork& network);

/** Reads a square array that numpy's save wrote into the sites and links of network, as a matrix. */
/** Reads the matrix array as readNpyFile reads a .npy file's, named name in messages. Throws InputError for
 * an infinite value, or names that are not one a row and distinct. */
ImportReport readMatrixArray(const MatrixArray& array, const std::string& name, const ReadSettings& settings,
                             CorrelationNetwork& network, LoadProgress& progress);

ImportReport readNpyFile(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network,
                         LoadProgress& progress);

/** Reads GraphML into network, its links in the order of the edges; the rings are given when every node has
 *  a group. */
ImportReport readGraphmlFile(const std::string& path, const ReadSettings& settings,
                             CorrelationNetwork& network);

/** Sets the sites of a network without rings out in rings as grouping says, or as numbered numbers them:
 * largest first, the sites of a ring by number, else in the order they were met. Throws InputError when
 * Girvan and Newman's method would take minutes on a network this large. */
void groupIntoRings(CorrelationNetwork& network, RingGrouping grouping,
                    const std::vector<std::uint32_t>* numbered = nullptr);

/** The community of every site of network as grouping's method finds and numbers them, from 0, for
 *  groupIntoRings to take as numbered: for the methods of bio3d's cna, found before the sites without a link
 *  are left out, so that they are numbered as cna numbers them. linked is how many sites have a link. */
std::vector<std::uint32_t> numberCommunities(const CorrelationNetwork& network, RingGrouping grouping,
                                             std::size_t linked);

/** Whether Girvan and Newman's method would take more than a minute on this many sites and links: its time
 *  grows as the square of the links times the sites. */
bool betweennessTakesTooLong(std::size_t sites, std::size_t links);

#endif
