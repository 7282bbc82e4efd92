#include <network/IgraphCall.h>
#include <network/SiteMeasures.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace
{

std::uint8_t regionsOf(const CorrelationNetwork& network, std::size_t link)
{
    return link < network.linkRegions.size() ? network.linkRegions[link] : std::uint8_t(0);
}

// The links filter shows that join two sites, with a weight other than 0.
std::vector<std::size_t> linksShown(const CorrelationNetwork& network, const LinkFilter& filter)
{
    std::vector<std::size_t> shown;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        const float strength = std::fabs(ends.weight);
        if (ends.first != ends.second && strength > 0.0f && std::isfinite(strength) &&
            filter.shows(ends, regionsOf(network, link)))
            shown.push_back(link);
    }
    return shown;
}

// igraph's objects for one measure, freed however it ends.
struct LengthGraph
{
    igraph_t graph;
    igraph_vector_t lengths;
    igraph_vector_t measure;
    bool made = false;

    LengthGraph(const CorrelationNetwork& network, const std::vector<std::size_t>& links)
    {
        igraph_set_error_handler(igraph_error_handler_ignore);
        igraph_vector_init(&lengths, static_cast<igraph_integer_t>(links.size()));
        igraph_vector_init(&measure, 0);
        igraph_vector_int_t ends;
        if (igraph_vector_int_init(&ends, static_cast<igraph_integer_t>(2 * links.size())) != IGRAPH_SUCCESS)
            return;
        for (std::size_t at = 0; at < links.size(); ++at)
        {
            const SiteLink& link = network.links[links[at]];
            VECTOR(ends)[2 * at] = link.first;
            VECTOR(ends)[2 * at + 1] = link.second;
            VECTOR(lengths)[at] = -std::log(std::min(std::fabs(static_cast<double>(link.weight)), 0.9999));
        }
        made = igraph_create(&graph, &ends, static_cast<igraph_integer_t>(network.siteCount()),
                             IGRAPH_UNDIRECTED) == IGRAPH_SUCCESS;
        igraph_vector_int_destroy(&ends);
    }
    ~LengthGraph()
    {
        if (made)
            igraph_destroy(&graph);
        igraph_vector_destroy(&lengths);
        igraph_vector_destroy(&measure);
    }
    LengthGraph(const LengthGraph&) = delete;
    LengthGraph& operator=(const LengthGraph&) = delete;
};

} // namespace

std::vector<std::size_t> communitySizes(const std::vector<std::uint32_t>& membership)
{
    std::vector<std::size_t> sizes;
    for (const std::uint32_t community : membership)
    {
        if (community >= sizes.size())
            sizes.resize(community + 1, 0);
        ++sizes[community];
    }
    return sizes;
}

bool siteBetweennessTakesTooLong(std::size_t sites, std::size_t links)
{
    // Measured on one core of a 2-core machine: bio3d's 198 protease sites and 2,407 links take 16 ms, about
    // 3 × 10^7 sites times links a second; 10^9 is about half a minute.
    return static_cast<double>(sites) * static_cast<double>(links) > 1.0e9;
}

std::vector<double> siteBetweenness(const CorrelationNetwork& network, const LinkFilter& filter)
{
    LengthGraph igraph(network, linksShown(network, filter));
    if (!igraph.made)
        throw std::runtime_error("igraph could not make the graph of the links shown");
    checkIgraph(igraph_betweenness(&igraph.graph, &igraph.measure, igraph_vss_all(), false, &igraph.lengths),
                "measure the sites' betweenness");
    std::vector<double> betweenness(network.siteCount(), 0.0);
    for (std::size_t site = 0; site < betweenness.size(); ++site)
        betweenness[site] = VECTOR(igraph.measure)[static_cast<igraph_integer_t>(site)];
    return betweenness;
}

std::vector<double> siteDegree(const CorrelationNetwork& network, const LinkFilter& filter)
{
    std::vector<double> degree(network.siteCount(), 0.0);
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        if (ends.first == ends.second || !filter.shows(ends, regionsOf(network, link)))
            continue;
        degree[ends.first] += 1.0;
        degree[ends.second] += 1.0;
    }
    return degree;
}

CommunityNetwork collapseCommunities(const CorrelationNetwork& network,
                                     const std::vector<std::uint32_t>& membership, const LinkFilter& filter)
{
    CommunityNetwork coarse;
    const std::vector<std::size_t> sizes = communitySizes(membership);
    coarse.members.resize(sizes.size());
    for (std::size_t site = 0; site < membership.size() && site < network.siteCount(); ++site)
        coarse.members[membership[site]].push_back(static_cast<std::uint32_t>(site));
    for (std::size_t community = 0; community < sizes.size(); ++community)
    {
        coarse.network.addSite("C" + std::to_string(community + 1));
        coarse.network.beginRing();
        coarse.network.addToRing(static_cast<std::uint32_t>(community));
    }
    coarse.network.regions.assign(sizes.size(), RegionKind::None);
    // The strongest link between each two communities, in the order of the communities, and the regions the
    // ends of any of their links lie in, so that a region filter shows it where it shows one of those.
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::pair<float, std::uint8_t>> strongest;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        if (ends.first >= membership.size() || ends.second >= membership.size() ||
            !filter.shows(ends, regionsOf(network, link)) || !std::isfinite(ends.weight))
            continue;
        std::uint32_t a = membership[ends.first];
        std::uint32_t b = membership[ends.second];
        if (a == b)
            continue;
        if (b < a)
            std::swap(a, b);
        auto& [weight, regions] =
            strongest.emplace(std::make_pair(a, b), std::make_pair(0.0f, 0)).first->second;
        weight = std::max(weight, std::fabs(ends.weight));
        regions = static_cast<std::uint8_t>(regions | regionsOf(network, link));
    }
    for (const auto& [pair, strongestLink] : strongest)
    {
        coarse.network.addLink(pair.first, pair.second, strongestLink.first);
        coarse.network.linkRegions.back() = strongestLink.second;
    }
    return coarse;
}

std::vector<std::array<double, 3>> forcePositions(const CorrelationNetwork& network)
{
    std::vector<std::size_t> every(network.linkCount());
    for (std::size_t link = 0; link < every.size(); ++link)
        every[link] = link;
    LengthGraph igraph(network, every);
    if (!igraph.made)
        throw std::runtime_error("igraph could not make the graph of the links");
    // Stronger links pull harder; a weight of 0 or none pulls as little as may be.
    for (std::size_t link = 0; link < every.size(); ++link)
    {
        const double weight = std::fabs(static_cast<double>(network.links[link].weight));
        VECTOR(igraph.lengths)
        [static_cast<igraph_integer_t>(link)] = weight > 1e-6 ? std::min(weight, 1e6) : 1e-6;
    }
    igraph_matrix_t places;
    checkIgraph(igraph_matrix_init(&places, 0, 0), "make room for the layout");
    igraph_rng_seed(igraph_rng_default(), 20261210);
    const igraph_error_t laid = igraph_layout_fruchterman_reingold_3d(
        &igraph.graph, &places, false, 500, std::sqrt(static_cast<double>(network.siteCount())),
        network.linkCount() > 0 ? &igraph.lengths : nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr);
    std::vector<std::array<double, 3>> positions;
    if (laid == IGRAPH_SUCCESS)
        for (std::size_t site = 0; site < network.siteCount(); ++site)
        {
            const auto row = static_cast<igraph_integer_t>(site);
            positions.push_back({MATRIX(places, row, 0), MATRIX(places, row, 1), MATRIX(places, row, 2)});
        }
    igraph_matrix_destroy(&places);
    checkIgraph(laid, "lay the sites out by their links");
    return positions;
}
