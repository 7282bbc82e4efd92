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
    Npy
};

#endif
