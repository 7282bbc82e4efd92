#ifndef LINKMAP_NETWORK_LINKGRAPH
#define LINKMAP_NETWORK_LINKGRAPH 1

#include <network/CorrelationNetwork.h>
#include <network/SiteLink.h>

#include <igraph/igraph.h>

#include <cstddef>
#include <vector>

/** How long a link of weight is, for paths, betweenness and the communities found by lengths, as the field's
 *  correlation network analysis (bio3d's cna) makes it: -ln |weight|, |weight| held at 0.9999, so that a link
 *  of |weight| 1 is short but never free. */
double linkLength(double weight);

/** The links of network a graph of lengths is made of, by their places in the log: those filter shows, of a
 *  weight other than 0 that is a number, between two distinct sites of the network. */
std::vector<std::size_t> lengthLinks(const CorrelationNetwork& network, const LinkFilter& filter);

/** igraph's undirected graph of network's sites and of the links given, one edge a link in their order, with
 *  one number an edge that igraph weighs them by: their lengths (linkLength of the exact weights), unless a
 *  caller puts others. It owns igraph's objects, freed however a computation over it ends; igraph's errors
 * and warnings are the caller's to check, each call's result. */
class LinkGraph
{
public:
    /** Throws std::runtime_error when igraph cannot make the graph. */
    LinkGraph(const CorrelationNetwork& network, std::vector<std::size_t> links);
    ~LinkGraph();
    LinkGraph(const LinkGraph&) = delete;
    LinkGraph& operator=(const LinkGraph&) = delete;

    const igraph_t* graph() const
    {
        return &made;
    }

    /** One number an edge. */
    igraph_vector_t* weights()
    {
        return &edgeWeights;
    }

    /** The place in the log of every edge's link. */
    const std::vector<std::size_t>& links() const
    {
        return edgeLinks;
    }

private:
    igraph_t made;
    igraph_vector_t edgeWeights;
    std::vector<std::size_t> edgeLinks;
};

/** A vector of igraph's numbers, or of its integers, owned: freed however a computation ends. */
struct IgraphNumbers
{
    igraph_vector_t numbers;
    IgraphNumbers();
    ~IgraphNumbers();
    IgraphNumbers(const IgraphNumbers&) = delete;
    IgraphNumbers& operator=(const IgraphNumbers&) = delete;
};

struct IgraphIntegers
{
    igraph_vector_int_t integers;
    IgraphIntegers();
    ~IgraphIntegers();
    IgraphIntegers(const IgraphIntegers&) = delete;
    IgraphIntegers& operator=(const IgraphIntegers&) = delete;
};

#endif
