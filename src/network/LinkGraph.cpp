#include <network/IgraphCall.h>
#include <network/LinkGraph.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <utility>

double linkLength(double weight)
{
    return -std::log(std::min(std::fabs(weight), 0.9999));
}

std::vector<std::size_t> lengthLinks(const CorrelationNetwork& network, const LinkFilter& filter)
{
    std::vector<std::size_t> taken;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        const std::uint8_t regions = link < network.linkRegions.size() ? network.linkRegions[link] : 0;
        const float strength = std::fabs(ends.weight);
        if (ends.first != ends.second && ends.first < network.siteCount() &&
            ends.second < network.siteCount() && strength > 0.0f && std::isfinite(strength) &&
            filter.shows(ends, regions))
            taken.push_back(link);
    }
    return taken;
}

LinkGraph::LinkGraph(const CorrelationNetwork& network, std::vector<std::size_t> links)
    : edgeLinks(std::move(links))
{
    igraph_set_error_handler(igraph_error_handler_ignore);
    igraph_set_warning_handler(igraph_warning_handler_ignore);
    const auto edges = static_cast<igraph_integer_t>(edgeLinks.size());
    IgraphIntegers ends;
    checkIgraph(igraph_vector_int_resize(&ends.integers, 2 * edges), "make room for the links");
    if (igraph_vector_init(&edgeWeights, edges) != IGRAPH_SUCCESS)
        throw std::bad_alloc();
    for (std::size_t edge = 0; edge < edgeLinks.size(); ++edge)
    {
        const std::size_t link = edgeLinks[edge];
        VECTOR(ends.integers)[2 * edge] = network.links[link].first;
        VECTOR(ends.integers)[2 * edge + 1] = network.links[link].second;
        VECTOR(edgeWeights)[static_cast<igraph_integer_t>(edge)] = linkLength(network.exactWeight(link));
    }
    const igraph_error_t result = igraph_create(
        &made, &ends.integers, static_cast<igraph_integer_t>(network.siteCount()), IGRAPH_UNDIRECTED);
    if (result != IGRAPH_SUCCESS)
    {
        igraph_vector_destroy(&edgeWeights);
        checkIgraph(result, "make the graph of the links");
    }
}

LinkGraph::~LinkGraph()
{
    igraph_destroy(&made);
    igraph_vector_destroy(&edgeWeights);
}

IgraphNumbers::IgraphNumbers()
{
    checkIgraph(igraph_vector_init(&numbers, 0), "make room");
}

IgraphNumbers::~IgraphNumbers()
{
    igraph_vector_destroy(&numbers);
}

IgraphIntegers::IgraphIntegers()
{
    checkIgraph(igraph_vector_int_init(&integers, 0), "make room");
}

IgraphIntegers::~IgraphIntegers()
{
    igraph_vector_int_destroy(&integers);
}
