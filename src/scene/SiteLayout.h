#ifndef LINKMAP_SCENE_SITELAYOUT
#define LINKMAP_SCENE_SITELAYOUT 1

#include <network/ChainTrace.h>
#include <network/CorrelationNetwork.h>
#include <scene/GlyphStyle.h>

#include <osg/Vec3>
#include <osg/Vec4>

#include <string>
#include <vector>

/** Where every site of a network stands, and how large it is drawn there. The first view frames the scene
 *  drawn at these places, whatever the layout. */
struct SiteLayout
{
    /** One place a site, in the order of the network's sites. */
    std::vector<osg::Vec3> positions;

    /** The sizes of the glyphs, in the layout's units. */
    GlyphSizes glyphs;

    /** On a structure: the chain the sites stand on, as runs of joined residues, each a line through their
     *  places; and one text a site that says which residue it stands at, "LYS 45, chain A", or is empty. */
    std::vector<std::vector<osg::Vec3>> trace;
    std::vector<std::string> residues;

    /** On a structure, one a site: its residue's place among the chain's residues, or
     *  ResidueMatch::noResidue; else empty. */
    std::vector<std::uint32_t> residueOf;

    /** One a point of trace: the site that stands at that residue, or noTraceSite. */
    std::vector<std::vector<std::uint32_t>> traceSites;
    static constexpr std::uint32_t noTraceSite = 0xffffffffu;

    /** One colour a site when the sites are coloured by what an analysis found of them (their communities);
     *  empty when they take their regions' colours. */
    std::vector<osg::Vec4> colors;

    /** One scale a site when the sites are sized by a measure: how many times glyphs.siteRadius its sphere
     *  is, from 1 to 3; empty when every sphere has that radius. */
    std::vector<float> scales;

    /** Whether the sites are drawn as a figure: the first view frames the sites themselves, filling the
     *  frame, rather than the scene's bounding sphere, and the two ends of the paths are marked. */
    bool figure = false;
};

/** The colour of site's sphere: the layout's own for it, else its region's; white when neither has one. */
osg::Vec4 sphereColor(const SiteLayout& layout, const CorrelationNetwork& network, std::size_t site);

/** How many times the layout's glyphs.siteRadius site's sphere is: its scale, or 1. */
float sphereScale(const SiteLayout& layout, std::size_t site);

/** The points that outline every site's sphere and label, and the chain's trace: what a figure's first view
 *  frames. */
std::vector<osg::Vec3> framingPoints(const SiteLayout& layout);

/** The colour of the trace at each of its points: its site's own colour where the sites have colours of their
 *  own (their communities') and one stands there, else the trace's grey; empty when the trace is all grey. */
std::vector<std::vector<osg::Vec4>> traceColors(const SiteLayout& layout);

/** The colour of every site's sphere, as sphereColor gives it. */
std::vector<osg::Vec4> sphereColors(const SiteLayout& layout, const CorrelationNetwork& network);

/** The ways sites are set out. */
enum class LayoutKind
{
    /** Every ring in a cell of a square grid in the plane y = 0, its sites round a circle. */
    RingGrid,
    /** The ring grid with cells as wide as the largest ring needs, so that no two rings overlap. */
    FittedRingGrid,
    /** Every site where the pull of its links puts it (forcePositions), spread so that the links are as long
     *  as neighbours on a ring stand apart. */
    Force
};

/** Sets out the sites of network in the way of kind. */
SiteLayout layoutSites(const CorrelationNetwork& network, LayoutKind kind);

/** How much smaller than on a ring glyphs are drawn on a structure, where neighbouring residues stand 3.8 Å
 *  apart. */
constexpr float structureGlyphScale = 0.4f;

/** Every site at its residue of chain as match found it, in the structure's own coordinates (1 unit = 1 Å);
 *  the others on a ring beside the chain, in the plane through its centre along x and z. Glyphs are
 *  structureGlyphScale the size they have on a ring. */
SiteLayout layoutOnChain(const CorrelationNetwork& network, const ChainTrace& chain,
                         const ResidueMatch& match);

/** Every ring in file order in the cells of a square grid, 40 units apart, from the origin along +x and then
 *  towards -z (or cellSpacing apart); a ring of n sites is a circle of radius 2n round its cell's corner,
 * from +x towards -z. */
SiteLayout layoutRingGrid(const CorrelationNetwork& network, float cellSpacing = 40.0f);

/** The spacing of grid cells that keeps rings of up to largestRing sites, and their labels, apart: 40 units,
 * or more for rings larger than eight. */
float fittedCellSpacing(std::size_t largestRing);

#endif
