#include <scene/SiteLayout.h>

#include <osg/BoundingBox>

#include <algorithm>
#include <cmath>

// A link between neighbours along the chain runs along the figure's trace tube, and must be drawn round it.
static_assert(GlyphStyle::traceTubeRadius < GlyphSizes{}.linkRadius * structureGlyphScale,
              "the trace tube is thinner than the thinnest link on a structure");

SiteLayout layoutOnChain(const CorrelationNetwork& network, const ChainTrace& chain,
                         const ResidueMatch& match)
{
    SiteLayout layout;
    layout.glyphs = GlyphSizes().scaled(structureGlyphScale);
    layout.positions.resize(network.siteCount());
    layout.residues.resize(network.siteCount());
    layout.residueOf = match.residueOf;

    // The trace runs through the residues in chain order, and breaks where one is missing; each point knows
    // the site that stands there, if any.
    std::vector<std::uint32_t> siteAt(chain.residues.size(), SiteLayout::noTraceSite);
    for (std::size_t site = 0; site < network.siteCount(); ++site)
        if (match.residueOf[site] != ResidueMatch::noResidue &&
            siteAt[match.residueOf[site]] == SiteLayout::noTraceSite)
            siteAt[match.residueOf[site]] = static_cast<std::uint32_t>(site);
    osg::BoundingBox box;
    for (std::size_t index = 0; index < chain.residues.size(); ++index)
    {
        const ChainResidue& residue = chain.residues[index];
        const osg::Vec3 place(residue.x, residue.y, residue.z);
        box.expandBy(place);
        if (!residue.joined || layout.trace.empty())
        {
            layout.trace.emplace_back();
            layout.traceSites.emplace_back();
        }
        layout.trace.back().push_back(place);
        layout.traceSites.back().push_back(siteAt[index]);
    }
    for (std::size_t run = layout.trace.size(); run-- > 0;)
        if (layout.trace[run].size() < 2)
        {
            layout.trace.erase(layout.trace.begin() + static_cast<std::ptrdiff_t>(run));
            layout.traceSites.erase(layout.traceSites.begin() + static_cast<std::ptrdiff_t>(run));
        }

    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const std::uint32_t index = match.residueOf[site];
        if (index == ResidueMatch::noResidue)
            continue;
        const ChainResidue& residue = chain.residues[index];
        layout.positions[site].set(residue.x, residue.y, residue.z);
        layout.residues[site] = describeResidue(chain, residue);
    }

    // The sites that are no residue go round a ring as one of the grid's would, at the glyphs' scale, clear
    // of the chain's box along +x.
    const std::size_t count = match.unplaced.size();
    const float radius = 2.0f * static_cast<float>(count) * structureGlyphScale;
    const osg::Vec3 centre(box.xMax() + radius + 8.0f * layout.glyphs.siteRadius, box.center().y(),
                           box.center().z());
    for (std::size_t i = 0; i < count; ++i)
    {
        const double angle = 6.283185307179586 * static_cast<double>(i + 1) / static_cast<double>(count);
        layout.positions[match.unplaced[i]] =
            centre + osg::Vec3(radius * static_cast<float>(std::cos(angle)), 0.0f,
                               -radius * static_cast<float>(std::sin(angle)));
    }
    return layout;
}
