#include <app/SiteAnalysis.h>
#include <network/SiteMeasures.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// The measure the spheres are sized by, one a site; empty for none.
std::vector<double> sizingMeasure(const CorrelationNetwork& network, const Settings& settings)
{
    switch (settings.sizing)
    {
    case SiteSizing::Betweenness:
        return network.betweenness;
    case SiteSizing::Degree:
        return siteDegree(network, startingFilter(settings));
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
        scales[site] = static_cast<float>(1.0 + 2.0 * std::sqrt((measure[site] - *least) / (*most - *least)));
    return scales;
}

std::string sizeMeaning(const CorrelationNetwork& network, const Settings& settings)
{
    const std::vector<double> measure = sizingMeasure(network, settings);
    if (measure.empty())
        return std::string();
    const auto [least, most] = std::minmax_element(measure.begin(), measure.end());
    char text[160];
    std::snprintf(text, sizeof text, "Sphere size: %s, %g to %g",
                  settings.sizing == SiteSizing::Degree ? "degree" : "betweenness", *least, *most);
    return text;
}

void analyseSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings)
{
    if (coloringOf(settings, source) == SiteColoring::Communities && network.communities.empty())
        network.communities = findCommunities(network, settings.reading.grouping);
    if (settings.reading.grouping == RingGrouping::Betweenness || settings.sizing == SiteSizing::Betweenness)
        network.betweenness = siteBetweenness(network, startingFilter(settings));
}
