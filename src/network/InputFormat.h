#ifndef LINKMAP_NETWORK_INPUTFORMAT
#define LINKMAP_NETWORK_INPUTFORMAT 1

#include <array>

/** The formats a network is read from. */
enum class InputFormat
{
    /** The correlation-group file: one ring a line, its site names and the weights of its pairs. */
    Groups,
    /** A table that is a matrix or a pair list, as its shape tells. */
    Table,
    /** A square matrix of weights, with or without a header row and a first column of names. */
    Matrix,
    /** One link a row: two sites, by name or number, and a weight. */
    Pairs,
    /** GraphML: nodes, and edges with a weight. */
    Graphml,
    /** numpy's .npy: a square array of numbers. */
    Npy,
    /** JSON: HyPhy's BGM result, a network of sites; any other is refused. */
    Json,
    /** GML, as networkx and igraph write it. */
    Gml,
    /** Pajek's .net. */
    Pajek,
    /** LGL: each site after #, then its neighbours, each with a weight. */
    Lgl,
    /** NCOL: two site names and a weight a line. */
    Ncol,
    /** Cytoscape's SIF: a site, the kind of interaction, and the sites it links to; no weights. */
    Sif,
    /** An adjacency list, as networkx writes it: a site, then the sites it links to; no weights. */
    Adjlist
};

/** One format: the word LINKMAP_FORMAT names it by (none for a format that only its name or content
 *  chooses), the extensions that choose it, in any case (null for none), what --help
 *  says it is, and whether its links come in named columns or attributes (a pair list's or a graph's, of
 * which LINKMAP_WEIGHT_COLUMN may choose the weight) and as a graph's weighted edges (which may hold the
 * lengths -ln|c| bio3d's cna gives). The one table of formats: the settings, the reader's choice by name, the
 * help and the fuzzers read it. */
struct InputFormatEntry
{
    InputFormat format;
    const char* word;
    std::array<const char*, 2> extensions;
    const char* what;
    bool namedWeights;
    bool graphEdges;
};

inline const InputFormatEntry inputFormats[] = {
    {InputFormat::Groups,
     "groups",
     {nullptr, nullptr},
     "the correlation-group file, one ring a line",
     false,
     false},
    {InputFormat::Table,
     nullptr,
     {".csv", ".tsv"},
     "a matrix or a pair list, as the shape says",
     false,
     false},
    {InputFormat::Matrix, "matrix", {nullptr, nullptr}, "a square matrix of weights", false, false},
    {InputFormat::Pairs, "pairs", {nullptr, nullptr}, "one link a row: two sites and a weight", true, false},
    {InputFormat::Graphml, "graphml", {".graphml", nullptr}, "GraphML", true, true},
    {InputFormat::Npy, nullptr, {".npy", nullptr}, "numpy's array", false, false},
    {InputFormat::Json, "json", {".json", nullptr}, "HyPhy's BGM result", false, false},
    {InputFormat::Gml, "gml", {".gml", nullptr}, "GML", true, true},
    {InputFormat::Pajek, "pajek", {".net", nullptr}, "Pajek", true, true},
    {InputFormat::Lgl, "lgl", {".lgl", nullptr}, "LGL", true, true},
    {InputFormat::Ncol, "ncol", {".ncol", nullptr}, "NCOL", true, true},
    {InputFormat::Sif, "sif", {".sif", nullptr}, "Cytoscape's SIF", false, false},
    {InputFormat::Adjlist, "adjlist", {".adjlist", nullptr}, "an adjacency list", false, false},
};

/** The entry of format in inputFormats. */
inline const InputFormatEntry& inputFormatEntry(InputFormat format)
{
    for (const InputFormatEntry& entry : inputFormats)
        if (entry.format == format)
            return entry;
    return inputFormats[0];
}

/** What a look at a table's content saw of its layout, where its first row alone does not tell. */
enum class TableLayout
{
    /** The first rows tell a matrix from a pair list. */
    AsRowsTell,
    /** Two sites a row and no weight: every link weighs 1. */
    Unweighted,
    /** Rows of numbers only whose first two are site numbers, as PSICOV, the DCA programs and numpy's savetxt
     *  of an array of pairs write them; the weight is the last. */
    NumberedPairs,
    /** CASP's RR format: a header of keywords and the sequence, then rows of contacts. */
    Casp,
    /** networkx's edge list with each link's data: P1 Q2 {'weight': 0.62}. */
    EdgeData
};

#endif
