#include <app/SiteAnalysis.h>
#include <network/InputError.h>
#include <network/NumberText.h>
#include <network/SiteMeasures.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// A sphere's scale for its share of the way from the least to the most: 1 to 3, the area growing as the
// share.
float areaScale(double share)
{
    return static_cast<float>(1.0 + 2.0 * std::sqrt(share));
}

// The measure the spheres are sized by, one a site; empty for none.
// How surely the first selection analysis calls each site selected: its posterior, or -log10 of its p-value;
// 0 for a site it did not test.
std::vector<double> selectionMeasure(const CorrelationNetwork& network)
{
    if (network.statistics.empty())
        throw InputError("Error: LINKMAP_SIZE is selection, but no region list is a selection analysis's "
                         "result (HyPhy's FEL, SLAC, FUBAR or MEME)");
    const SiteStatistics& entry = network.statistics.front();
    std::vector<double> measure(network.siteCount(), 0.0);
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const auto found = entry.sites.find(network.fileNumber(site));
        if (found == entry.sites.end() || entry.deciding >= found->second.size())
            continue;
        const double value = found->second[entry.deciding];
        measure[site] = entry.posterior ? value : -std::log10(std::max(value, 1e-300));
    }
    return measure;
}

std::vector<double> sizingMeasure(const CorrelationNetwork& network, const Settings& settings)
{
    switch (settings.sizing)
    {
    case SiteSizing::Betweenness:
        return network.betweenness;
    case SiteSizing::Degree:
        return siteDegree(network, startingFilter(settings));
    case SiteSizing::Selection:
        return selectionMeasure(network);
    case SiteSizing::Same:
        break;
    }
    return {};
}

} // namespace

SiteColoring coloringOf(const Settings& settings, const NetworkSource& source)
{
    if (settings.coloring)
        return *settings.coloring;
    return source.ringsGiven ? SiteColoring::Regions : SiteColoring::Communities;
}

DrawingStyle styleOf(const Settings& settings, const NetworkSource& source)
{
    if (settings.style)
        return *settings.style;
    return !source.ringsGiven || settings.structure ? DrawingStyle::Figure : DrawingStyle::Plain;
}

LinkFilter startingFilter(const Settings& settings)
{
    return LinkFilter{settings.cutoff, regionBit(settings.region)};
}

std::vector<float> sphereScales(const CorrelationNetwork& network, const Settings& settings)
{
    const std::vector<double> measure = sizingMeasure(network, settings);
    if (measure.size() != network.siteCount() || measure.empty())
        return {};
    const auto [least, most] = std::minmax_element(measure.begin(), measure.end());
    if (!(*most > *least))
        return {};
    std::vector<float> scales(measure.size());
    for (std::size_t site = 0; site < scales.size(); ++site)
        scales[site] = areaScale((measure[site] - *least) / (*most - *least));
    return scales;
}

std::string sizeMeaning(const CorrelationNetwork& network, const Settings& settings)
{
    if (!network.members.empty())
    {
        std::size_t least = network.members.front().size();
        std::size_t most = least;
        for (const std::vector<std::string>& members : network.members)
        {
            least = std::min(least, members.size());
            most = std::max(most, members.size());
        }
        return "Sphere size: sites held, " + std::to_string(least) + " to " + std::to_string(most);
    }
    const std::vector<double> measure = sizingMeasure(network, settings);
    if (measure.empty())
        return std::string();
    const auto [least, most] = std::minmax_element(measure.begin(), measure.end());
    std::string what = settings.sizing == SiteSizing::Degree ? "degree" : "betweenness";
    if (settings.sizing == SiteSizing::Selection)
    {
        const SiteStatistics& entry = network.statistics.front();
        what = entry.method + (entry.posterior ? " posterior" : " -log10 p");
    }
    return printfText("Sphere size: %s, %g to %g", what.c_str(), *least, *most);
}

void showCommunityNetwork(CorrelationNetwork& network, SiteLayout& layout, const LinkFilter& filter)
{
    CommunityNetwork coarse = collapseCommunities(network, network.communities, filter);
    SiteLayout placed;
    placed.glyphs = layout.glyphs;
    // The communities' links weigh what collapseCommunities makes of the sites' links, on its own scale.
    placed.glyphs.weightTop = coarse.network.weightTop();
    placed.figure = layout.figure;
    const std::size_t communities = coarse.members.size();
    std::size_t largest = 1;
    for (const std::vector<std::uint32_t>& members : coarse.members)
        largest = std::max(largest, members.size());
    for (std::size_t community = 0; community < communities; ++community)
    {
        const std::vector<std::uint32_t>& members = coarse.members[community];
        osg::Vec3 centre;
        std::vector<std::string> names;
        for (const std::uint32_t site : members)
        {
            centre += layout.positions[site];
            names.push_back(network.names[site]);
        }
        placed.positions.push_back(members.empty() ? centre : centre / static_cast<float>(members.size()));
        placed.colors.push_back(communityColor(community));
        placed.scales.push_back(
            areaScale(static_cast<double>(members.size()) / static_cast<double>(largest)));
        coarse.network.members.push_back(names);
    }
    // Glyphs as large as the centres' spacing allows: the largest sphere a sixth of the way to the nearest
    // other (of up to 4,096 communities; more keep the sites' glyphs).
    float nearest = 0.0f;
    for (std::size_t a = 0; a < communities && communities <= 4096; ++a)
        for (std::size_t b = a + 1; b < communities; ++b)
        {
            const float apart = (placed.positions[a] - placed.positions[b]).length();
            if (apart > 0.0f && (nearest == 0.0f || apart < nearest))
                nearest = apart;
        }
    if (nearest > 0.0f)
        placed.glyphs = placed.glyphs.scaled(std::max(1.0f, nearest / (18.0f * placed.glyphs.siteRadius)));
    coarse.network.numbers.assign(communities, 0);
    for (std::size_t community = 0; community < communities; ++community)
        coarse.network.numbers[community] = static_cast<int>(community + 1);
    coarse.network.communities.resize(communities);
    for (std::size_t community = 0; community < communities; ++community)
        coarse.network.communities[community] = static_cast<std::uint32_t>(community);
    network = std::move(coarse.network);
    layout = std::move(placed);
}

void analyseSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings,
                  OutputKind output)
{
    const bool table = !settings.communitiesFile.empty() || output == OutputKind::MeasuredStructure;
    if ((settings.coarse || coloringOf(settings, source) == SiteColoring::Communities || table ||
         output == OutputKind::PymolScript) &&
        network.communities.empty())
        network.communities = findCommunities(network, settings.reading.grouping, &network.methodCommunities);
    if (settings.reading.grouping == RingGrouping::Betweenness ||
        settings.sizing == SiteSizing::Betweenness || table)
    {
        if (siteBetweennessTakesTooLong(network.siteCount(), network.linkCount()))
            throw InputError(
                "Error: the betweenness of " + std::to_string(network.siteCount()) + " sites and " +
                std::to_string(network.linkCount()) +
                " links would take more than half a minute; LINKMAP_SIZE=degree sizes the spheres "
                "in no time");
        network.betweenness = siteBetweenness(network, startingFilter(settings));
    }
}
