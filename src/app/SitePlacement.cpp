#include <app/SitePlacement.h>

#include <cstdio>

SiteLayout placeSites(const CorrelationNetwork& network, InputFormat format, const Settings& settings)
{
    if (!settings.structure)
        return layoutSites(network,
                           format == InputFormat::Groups ? LayoutKind::RingGrid : LayoutKind::FittedRingGrid);
    const ChainTrace& chain = *settings.structure;
    const ResidueMatch match = matchResidues(network, chain);
    for (const std::string& line : residueWarnings(network, chain, match))
        std::printf("%s\n", line.c_str());
    return layoutOnChain(network, chain, match);
}
