#include <app/SiteAnalysis.h>
#include <network/SiteMeasures.h>

SiteColoring coloringOf(const Settings& settings, const NetworkSource& source)
{
    if (settings.coloring)
        return *settings.coloring;
    return source.ringsGiven ? SiteColoring::Regions : SiteColoring::Communities;
}

void analyseSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings)
{
    if (coloringOf(settings, source) == SiteColoring::Communities && network.communities.empty())
        network.communities = findCommunities(network, settings.reading.grouping);
    if (settings.reading.grouping == RingGrouping::Betweenness)
        network.betweenness =
            siteBetweenness(network, LinkFilter{settings.cutoff, regionBit(settings.region)});
}
