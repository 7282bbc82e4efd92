#include <app/SitePlacement.h>

#include <cstdio>

SiteLayout placeSites(const CorrelationNetwork& network, const NetworkSource& source,
                      const Settings& settings)
{
    if (!settings.structure)
        return layoutSites(network, source.ringsGiven ? LayoutKind::RingGrid : LayoutKind::FittedRingGrid);
    const ChainTrace& chain = *settings.structure;
    const ResidueMatch match = matchResidues(network, chain);
    for (const std::string& line : residueWarnings(network, chain, match))
        std::printf("%s\n", line.c_str());
    return layoutOnChain(network, chain, match);
}
