#include <app/SiteAnalysis.h>
#include <app/SitePlacement.h>
#include <network/ValidText.h>
#include <scene/NetworkFile.h>

#include <algorithm>
#include <cstdio>

namespace
{

SiteLayout placeAtPositions(CorrelationNetwork& network, const NetworkSource& source,
                            const Settings& settings)
{
    if (!settings.structure)
        return layoutSites(network, settings.forceLayout ? LayoutKind::Force
                                    : source.ringsGiven  ? LayoutKind::RingGrid
                                                         : LayoutKind::FittedRingGrid);
    const ChainTrace& chain = *settings.structure;
    // Sites an alignment's reference named stand on the residues the reference aligns to, and keep its names.
    if (!network.referenceResidues.empty())
    {
        std::string note;
        const ResidueMatch match = alignResidues(network, chain, note);
        for (const std::string& line : chain.notes)
            std::printf("%s\n", line.c_str());
        std::printf("%s\n", note.c_str());
        return layoutOnChain(network, chain, match);
    }
    const ResidueMatch match = matchResidues(network, chain);
    checkSameMolecule(network, chain, match);
    for (const std::string& line : chain.notes)
        std::printf("%s\n", line.c_str());
    for (const std::string& line : residueWarnings(network, chain, match))
        std::printf("%s\n", line.c_str());
    std::printf("%s\n", placementNote(network, chain, match).c_str());
    nameSitesByResidue(network, chain, match);
    return layoutOnChain(network, chain, match);
}

} // namespace

SiteLayout placeSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings)
{
    SiteLayout layout = placeAtPositions(network, source, settings);
    if (coloringOf(settings, source) == SiteColoring::Communities &&
        network.communities.size() == network.siteCount())
    {
        layout.colors.reserve(network.siteCount());
        for (const std::uint32_t community : network.communities)
            layout.colors.push_back(communityColor(community));
    }
    layout.scales = sphereScales(network, settings);
    layout.glyphs.weightTop = network.weightTop();
    // A figure's links are as thick as they are strong, thinnest at the weakest shown at the start.
    // and its first view fills the frame.
    if (styleOf(settings, source) == DrawingStyle::Figure)
    {
        layout.glyphs.thinnestWeight = std::max(settings.cutoff, settings.reading.minimumWeight);
        layout.figure = true;
    }
    return layout;
}

SiteLayout arrangeSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings,
                        OutputKind output)
{
    analyseSites(network, source, settings, output);
    SiteLayout layout = placeSites(network, source, settings);
    if (!settings.communitiesFile.empty())
    {
        writeCommunityTable(network, layout, settings.communitiesFile);
        std::printf("Note: the table of the sites' communities is written to %s\n",
                    validText(settings.communitiesFile).c_str());
    }
    if (settings.coarse)
        showCommunityNetwork(network, layout, startingFilter(settings));
    return layout;
}
