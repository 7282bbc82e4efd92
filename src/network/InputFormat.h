#ifndef LINKMAP_NETWORK_INPUTFORMAT
#define LINKMAP_NETWORK_INPUTFORMAT 1

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
