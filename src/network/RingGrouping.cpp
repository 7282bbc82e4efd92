#include <network/IgraphCall.h>
#include <network/InputError.h>
#include <network/LinkGraph.h>
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

// The links as igraph's graph, each weighing its |weight| (none, 0), and what the methods find of it.
struct Graph
{
    std::vector<std::size_t> every;
    LinkGraph linked;
    IgraphNumbers strengths;
    IgraphIntegers membership;

    explicit Graph(const CorrelationNetwork& network) : every(allLinks(network)), linked(network, every)
    {
        for (std::size_t link = 0; link < network.linkCount(); ++link)
        {
            const float weight = network.links[link].weight;
            VECTOR(*linked.weights())
            [static_cast<igraph_integer_t>(link)] = std::isfinite(weight) ? std::fabs(weight) : 0.0;
        }
    }

    static std::vector<std::size_t> allLinks(const CorrelationNetwork& network)
    {
        std::vector<std::size_t> links(network.linkCount());
        std::iota(links.begin(), links.end(), std::size_t(0));
        return links;
    }

    // Leiden, optimising modularity: every node weighs its strength, at a resolution of 1 / (2 m).
    void findCommunities()
    {
        igraph_vector_t* weights = linked.weights();
        // Leiden never settles where the weights span more than a double resolves (a file's 1e-43 beside
        // 1e38): nodes move back and forth for ever on rounding. Modularity is the same for weights all
        // divided by the largest, and a weight under a billionth of the largest moves no node, so it counts
        // as none. Weights of a correlation (none above 1) are divided by nothing.
        if (igraph_vector_size(weights) > 0)
        {
            const double largest = igraph_vector_max(weights);
            if (largest > 1.0)
                igraph_vector_scale(weights, 1.0 / largest);
            const double least = std::min(largest, 1.0) * 1e-9;
            for (igraph_integer_t link = 0; link < igraph_vector_size(weights); ++link)
                if (VECTOR(*weights)[link] < least)
                    VECTOR(*weights)[link] = 0.0;
        }
        checkIgraph(igraph_strength(linked.graph(), &strengths.numbers, igraph_vss_all(), IGRAPH_ALL,
                                    IGRAPH_LOOPS, weights),
                    "weigh the sites");
        // Leiden never settles when no link weighs anything; the components are the communities then.
        const double total = igraph_vector_sum(weights);
        if (!(total > 0.0))
            return findComponents();
        igraph_rng_seed(igraph_rng_default(), communitySeed);
        igraph_integer_t count = 0;
        checkIgraph(igraph_community_leiden(linked.graph(), weights, &strengths.numbers,
                                            total > 0.0 ? 1.0 / (2.0 * total) : 1.0, 0.01, false, -1,
                                            &membership.integers, &count, nullptr),
                    "find the communities");
    }

    // The methods of the field's correlation network analysis, as it runs them: each link weighs its length
    // -ln |w|, |w| capped at 0.9999, and a link of no weight is no link. Girvan and Newman cut where the
    // modularity, which igraph reckons with the same lengths as weights, is highest; so do walktrap (four
    // steps) and fast greedy; infomap takes the best of ten trials.
    void findByLengths(const CorrelationNetwork& network, RingGrouping method)
    {
        LinkGraph lengths(network, lengthLinks(network, LinkFilter()));
        // igraph 0.10 picks the membership of the highest modularity only when it is asked for the
        // modularities and the merges too; without them every site is a community of its own.
        IgraphNumbers modularity;
        igraph_matrix_int_t merges;
        checkIgraph(igraph_matrix_int_init(&merges, 0, 0), "make room");
        igraph_rng_seed(igraph_rng_default(), communitySeed);
        igraph_real_t codeLength = 0.0;
        const igraph_t* graph = lengths.graph();
        igraph_vector_int_t* found = &membership.integers;
        igraph_error_t result = IGRAPH_SUCCESS;
        if (lengths.links().empty())
            result = igraph_connected_components(graph, found, nullptr, nullptr, IGRAPH_WEAK);
        else if (method == RingGrouping::Walktrap)
            result =
                igraph_community_walktrap(graph, lengths.weights(), 4, &merges, &modularity.numbers, found);
        else if (method == RingGrouping::Greedy)
            result =
                igraph_community_fastgreedy(graph, lengths.weights(), &merges, &modularity.numbers, found);
        else if (method == RingGrouping::Infomap)
            result = igraph_community_infomap(graph, lengths.weights(), nullptr, 10, found, &codeLength);
        else
            result = igraph_community_edge_betweenness(graph, nullptr, nullptr, &merges, nullptr,
                                                       &modularity.numbers, found, false, lengths.weights());
        igraph_matrix_int_destroy(&merges);
        checkIgraph(result, "find the communities");
    }

    void findComponents()
    {
        igraph_integer_t count = 0;
        checkIgraph(
            igraph_connected_components(linked.graph(), &membership.integers, nullptr, &count, IGRAPH_WEAK),
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
        groupOf[site] = static_cast<std::uint32_t>(VECTOR(graph.membership.integers)[site]);
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
