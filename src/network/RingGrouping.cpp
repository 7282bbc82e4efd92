#include <network/IgraphCall.h>
#include <network/InputError.h>
#include <network/NetworkReader.h>
#include <network/SiteMeasures.h>

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

    // The methods of the field's correlation network analysis, as it runs them: each link weighs its length
    // -ln |w|, |w| capped at 0.9999, and a link of no weight is no link. Girvan and Newman cut where the
    // modularity, which igraph reckons with the same lengths as weights, is highest; so do walktrap (four
    // steps) and fast greedy; infomap takes the best of ten trials.
    void findByLengths(const CorrelationNetwork& network, RingGrouping method)
    {
        igraph_vector_int_t ends;
        igraph_vector_t lengths;
        checkIgraph(igraph_vector_int_init(&ends, 0), "make room for the links");
        igraph_vector_init(&lengths, 0);
        for (std::size_t link = 0; link < network.linkCount(); ++link)
        {
            const double strength = std::min(std::fabs(network.exactWeight(link)), 0.9999);
            if (!(strength > 0.0))
                continue;
            igraph_vector_int_push_back(&ends, network.links[link].first);
            igraph_vector_int_push_back(&ends, network.links[link].second);
            igraph_vector_push_back(&lengths, -std::log(strength));
        }
        // igraph 0.10 picks the membership of the highest modularity only when it is asked for the
        // modularities and the merges too; without them every site is a community of its own.
        igraph_t linked;
        igraph_vector_t modularity;
        igraph_matrix_int_t merges;
        igraph_vector_init(&modularity, 0);
        igraph_matrix_int_init(&merges, 0, 0);
        igraph_error_t result = igraph_create(
            &linked, &ends, static_cast<igraph_integer_t>(network.siteCount()), IGRAPH_UNDIRECTED);
        igraph_vector_int_destroy(&ends);
        if (result == IGRAPH_SUCCESS)
        {
            igraph_set_warning_handler(igraph_warning_handler_ignore);
            igraph_rng_seed(igraph_rng_default(), communitySeed);
            igraph_real_t codeLength = 0.0;
            if (igraph_vector_size(&lengths) == 0)
                result = igraph_connected_components(&linked, &membership, nullptr, nullptr, IGRAPH_WEAK);
            else if (method == RingGrouping::Walktrap)
                result = igraph_community_walktrap(&linked, &lengths, 4, &merges, &modularity, &membership);
            else if (method == RingGrouping::Greedy)
                result = igraph_community_fastgreedy(&linked, &lengths, &merges, &modularity, &membership);
            else if (method == RingGrouping::Infomap)
                result = igraph_community_infomap(&linked, &lengths, nullptr, 10, &membership, &codeLength);
            else
                result = igraph_community_edge_betweenness(&linked, nullptr, nullptr, &merges, nullptr,
                                                           &modularity, &membership, false, &lengths);
            igraph_destroy(&linked);
        }
        igraph_matrix_int_destroy(&merges);
        igraph_vector_destroy(&modularity);
        igraph_vector_destroy(&lengths);
        checkIgraph(result, "find the communities");
    }

    void findComponents()
    {
        igraph_integer_t count = 0;
        checkIgraph(igraph_connected_components(&graph, &membership, nullptr, &count, IGRAPH_WEAK),
                    "find the components");
    }
};

} // namespace

bool betweennessTakesTooLong(std::size_t sites, std::size_t links)
{
    // Measured on one core of a 2-core machine, among bio3d's 198 protease sites: 2,407 links take 3.8 s,
    // 5,108 links 22 s and 10,948 links 120 s, the time growing a little faster than the links squared. The
    // bound, 7,100 links among 198 sites, is about 45 s.
    const double work = static_cast<double>(links) * static_cast<double>(links) * static_cast<double>(sites);
    return work > 1.0e10;
}

namespace
{

// The group of every site as grouping's method numbers them, from 0; linked, when given, is how many of the
// sites have a link, which alone decide whether Girvan and Newman's method takes too long.
std::vector<std::uint32_t> methodGroups(const CorrelationNetwork& network, RingGrouping grouping,
                                        std::size_t linked)
{
    const std::size_t siteCount = network.siteCount();
    std::vector<std::uint32_t> groupOf(siteCount, 0);
    if (grouping == RingGrouping::One || siteCount == 0)
        return groupOf;
    if (grouping == RingGrouping::Betweenness && betweennessTakesTooLong(linked, network.linkCount()))
        throw InputError("Error: " + std::to_string(network.linkCount()) + " links among " +
                         std::to_string(linked) +
                         " sites are too many for Girvan and Newman's communities, which would take more "
                         "than a minute; LINKMAP_GROUPS=communities finds them by Leiden in seconds");
    Graph graph(network);
    if (grouping == RingGrouping::Communities)
        graph.findCommunities();
    else if (grouping == RingGrouping::Components)
        graph.findComponents();
    else
        graph.findByLengths(network, grouping);
    for (std::size_t site = 0; site < siteCount; ++site)
        groupOf[site] = static_cast<std::uint32_t>(VECTOR(graph.membership)[site]);
    return groupOf;
}

// The sites of every group that grouping finds, or that given numbers, each by number, else in the order
// they were met; the groups largest first, else by their first site. numbered, when given, gets the groups as
// the method numbered them.
std::vector<std::vector<std::uint32_t>> groupsOf(const CorrelationNetwork& network, RingGrouping grouping,
                                                 std::vector<std::uint32_t>* numbered = nullptr,
                                                 const std::vector<std::uint32_t>* given = nullptr)
{
    const std::size_t siteCount = network.siteCount();
    const std::vector<std::uint32_t> groupOf =
        given != nullptr ? *given : methodGroups(network, grouping, siteCount);
    if (numbered != nullptr)
        *numbered = groupOf;
    std::vector<std::uint32_t> order(siteCount);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return network.numbers[a] < network.numbers[b];
    });
    std::vector<std::vector<std::uint32_t>> groups(
        siteCount == 0 ? 0 : *std::max_element(groupOf.begin(), groupOf.end()) + 1);
    for (const std::uint32_t site : order)
        groups[groupOf[site]].push_back(site);
    groups.erase(
        std::remove_if(groups.begin(), groups.end(), [](const auto& group) { return group.empty(); }),
        groups.end());
    std::stable_sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) {
        return a.size() != b.size() ? a.size() > b.size() : a.front() < b.front();
    });
    return groups;
}

std::vector<std::uint32_t> membershipOf(const std::vector<std::vector<std::uint32_t>>& groups,
                                        std::size_t sites)
{
    std::vector<std::uint32_t> membership(sites, 0);
    for (std::size_t group = 0; group < groups.size(); ++group)
        for (const std::uint32_t site : groups[group])
            membership[site] = static_cast<std::uint32_t>(group);
    return membership;
}

bool findsCommunities(RingGrouping grouping)
{
    return grouping != RingGrouping::Components && grouping != RingGrouping::One;
}

} // namespace

std::vector<std::uint32_t> findCommunities(const CorrelationNetwork& network, RingGrouping grouping,
                                           std::vector<std::uint32_t>* numbered)
{
    return membershipOf(
        groupsOf(network, findsCommunities(grouping) ? grouping : RingGrouping::Communities, numbered),
        network.siteCount());
}

std::vector<std::uint32_t> numberCommunities(const CorrelationNetwork& network, RingGrouping grouping,
                                             std::size_t linked)
{
    return methodGroups(network, grouping, linked);
}

void groupIntoRings(CorrelationNetwork& network, RingGrouping grouping,
                    const std::vector<std::uint32_t>* numbered)
{
    const std::vector<std::vector<std::uint32_t>> rings =
        groupsOf(network, grouping, &network.methodCommunities, numbered);
    for (const std::vector<std::uint32_t>& ring : rings)
    {
        network.beginRing();
        for (const std::uint32_t site : ring)
            network.addToRing(site);
    }
    if (findsCommunities(grouping))
        network.communities = membershipOf(rings, network.siteCount());
}
