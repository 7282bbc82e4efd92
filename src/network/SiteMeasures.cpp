#include <network/IgraphCall.h>
#include <network/LinkGraph.h>
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
    LinkGraph igraph(network, lengthLinks(network, filter));
    IgraphNumbers measure;
    checkIgraph(
        igraph_betweenness(igraph.graph(), &measure.numbers, igraph_vss_all(), false, igraph.weights()),
        "measure the sites' betweenness");
    std::vector<double> betweenness(network.siteCount(), 0.0);
    for (std::size_t site = 0; site < betweenness.size(); ++site)
        betweenness[site] = VECTOR(measure.numbers)[static_cast<igraph_integer_t>(site)];
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
    LinkGraph igraph(network, every);
    // Stronger links pull harder; a weight of 0 or none pulls as little as may be.
    for (std::size_t link = 0; link < every.size(); ++link)
    {
        const double weight = std::fabs(static_cast<double>(network.links[link].weight));
        VECTOR(*igraph.weights())
        [static_cast<igraph_integer_t>(link)] = weight > 1e-6 ? std::min(weight, 1e6) : 1e-6;
    }
    igraph_matrix_t places;
    checkIgraph(igraph_matrix_init(&places, 0, 0), "make room for the layout");
    igraph_rng_seed(igraph_rng_default(), 20261210);
    const igraph_error_t laid = igraph_layout_fruchterman_reingold_3d(
        igraph.graph(), &places, false, 500, std::sqrt(static_cast<double>(network.siteCount())),
        network.linkCount() > 0 ? igraph.weights() : nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
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
