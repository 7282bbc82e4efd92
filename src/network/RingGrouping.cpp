#include <network/IgraphCall.h>
#include <network/NetworkReader.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace
{

// The seed of igraph's random numbers, so that the same file always gives the same rings.
const igraph_integer_t communitySeed = 5401;

// igraph's objects, freed however the search ends.
struct Graph
{
    igraph_t graph;
    igraph_vector_t weights;
    igraph_vector_t strengths;
    igraph_vector_int_t membership;

    explicit Graph(const CorrelationNetwork& network)
    {
        igraph_set_error_handler(igraph_error_handler_ignore);
        igraph_vector_int_t ends;
        checkIgraph(igraph_vector_int_init(&ends, static_cast<igraph_integer_t>(2 * network.linkCount())),
                    "make room for the links");
        igraph_vector_init(&weights, static_cast<igraph_integer_t>(network.linkCount()));
        igraph_vector_init(&strengths, 0);
        igraph_vector_int_init(&membership, 0);
        for (std::size_t link = 0; link < network.linkCount(); ++link)
        {
            VECTOR(ends)[2 * link] = network.links[link].first;
            VECTOR(ends)[2 * link + 1] = network.links[link].second;
            const float weight = network.links[link].weight;
            VECTOR(weights)[link] = std::isfinite(weight) ? std::fabs(weight) : 0.0;
        }
        const igraph_error_t made = igraph_create(
            &graph, &ends, static_cast<igraph_integer_t>(network.siteCount()), IGRAPH_UNDIRECTED);
        igraph_vector_int_destroy(&ends);
        if (made != IGRAPH_SUCCESS)
        {
            freeVectors();
            checkIgraph(made, "make the graph of the links");
        }
    }

    ~Graph()
    {
        igraph_destroy(&graph);
        freeVectors();
    }

    void freeVectors()
    {
        igraph_vector_destroy(&weights);
        igraph_vector_destroy(&strengths);
        igraph_vector_int_destroy(&membership);
    }

    // Leiden, optimising modularity: every node weighs its strength, at a resolution of 1 / (2 m).
    void findCommunities()
    {
        checkIgraph(igraph_strength(&graph, &strengths, igraph_vss_all(), IGRAPH_ALL, IGRAPH_LOOPS, &weights),
                    "weigh the sites");
        // Leiden never settles when no link weighs anything; the components are the communities then.
        const double total = igraph_vector_sum(&weights);
        if (!(total > 0.0))
            return findComponents();
        igraph_rng_seed(igraph_rng_default(), communitySeed);
        igraph_integer_t count = 0;
        checkIgraph(igraph_community_leiden(&graph, &weights, &strengths,
                                            total > 0.0 ? 1.0 / (2.0 * total) : 1.0, 0.01, false, -1,
                                            &membership, &count, nullptr),
                    "find the communities");
    }

    void findComponents()
    {
        igraph_integer_t count = 0;
        checkIgraph(igraph_connected_components(&graph, &membership, nullptr, &count, IGRAPH_WEAK),
                    "find the components");
    }
};

} // namespace

void groupIntoRings(CorrelationNetwork& network, RingGrouping grouping)
{
    const std::size_t siteCount = network.siteCount();
    std::vector<std::size_t> ringOf(siteCount, 0);
    if (grouping != RingGrouping::One && siteCount > 0)
    {
        Graph graph(network);
        if (grouping == RingGrouping::Communities)
            graph.findCommunities();
        else
            graph.findComponents();
        for (std::size_t site = 0; site < siteCount; ++site)
            ringOf[site] = static_cast<std::size_t>(VECTOR(graph.membership)[site]);
    }

    // The sites of every ring by number, else in the order they were met; the rings largest first, else by
    // their first site.
    std::vector<std::uint32_t> order(siteCount);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return network.numbers[a] < network.numbers[b];
    });
    std::vector<std::vector<std::uint32_t>> rings(
        siteCount == 0 ? 0 : *std::max_element(ringOf.begin(), ringOf.end()) + 1);
    for (const std::uint32_t site : order)
        rings[ringOf[site]].push_back(site);
    rings.erase(std::remove_if(rings.begin(), rings.end(), [](const auto& ring) { return ring.empty(); }),
                rings.end());
    std::stable_sort(rings.begin(), rings.end(), [](const auto& a, const auto& b) {
        return a.size() != b.size() ? a.size() > b.size() : a.front() < b.front();
    });
    for (const std::vector<std::uint32_t>& ring : rings)
    {
        network.beginRing();
        for (const std::uint32_t site : ring)
            network.addToRing(site);
    }
}
