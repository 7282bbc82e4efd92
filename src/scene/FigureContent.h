#ifndef LINKMAP_SCENE_FIGURECONTENT
#define LINKMAP_SCENE_FIGURECONTENT 1

#include <network/RegionKind.h>
#include <network/SiteLink.h>
#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelChoice.h>

#include <osg/Matrixd>
#include <osg/Vec3>
#include <osg/Vec3d>
#include <osg/Vec4>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/** The camera a page or a scene opens with: where the eye is, the point it looks at and turns round, which
 * way is up, its vertical field of view in degrees, its width over its height, and its near and far planes,
 * in the layout's frame. */
struct SceneCamera
{
    osg::Vec3d eye;
    osg::Vec3d center;
    osg::Vec3d up{0.0, 0.0, 1.0};
    double fieldOfView = 30.0;
    double aspectRatio = 4.0 / 3.0;
    double near = 1.0;
    double far = 1000.0;
};

/** What a figure shows: the network's sites and links as the window draws them, and its overlays. */
struct FigureContent
{
    /** Every site's place, region and name, in the order of the distinct names, and the size of the glyphs.
     */
    std::vector<osg::Vec3> sites;
    std::vector<RegionKind> kinds;
    std::vector<std::string> names;
    GlyphSizes glyphs;
    /** One colour a site when the sites are coloured by their communities, which communities gives (one a
     *  site, from 0); both empty when they take their regions' colours. */
    std::vector<osg::Vec4> colors;
    std::vector<std::uint32_t> communities;
    /** One scale a site when the sites are sized by a measure: its sphere is that many times
     *  glyphs.siteRadius; empty when every sphere has that radius. */
    std::vector<float> scales;
    /** The two sites the paths run between, in a figure that marks them: their spheres PathEndMark's times
     *  larger, and ringed; else empty. */
    std::vector<std::uint32_t> pathEnds;

    /** How many times glyphs.siteRadius site's sphere is drawn: its scale, times PathEndMark::sphereScale at
     *  a path's end. */
    float sphereScale(std::size_t site) const
    {
        const float scale = site < scales.size() ? scales[site] : 1.0f;
        for (const std::uint32_t end : pathEnds)
            if (end == site)
                return scale * PathEndMark::sphereScale;
        return scale;
    }

    /** A figure style's picture keeps its labels apart: where two would overlap, the one that comes first by
     *  labelPreference keeps its label; its labels are outlined in the background's colour; and the sites
     *  flagged in dimmedSites (when not empty) are dimmed towards the background, as links are. */
    bool figureStyle = false;
    LabelPreference labelPreference;
    std::vector<bool> dimmedSites;

    /** The chain the sites stand on, if any: runs of joined residues, each a line through their places. */
    std::vector<std::vector<osg::Vec3>> trace;
    /** One colour a point of trace where it takes its sites' colours; empty for the trace's grey. */
    std::vector<std::vector<osg::Vec4>> traceColors;
    /** Whether the trace is dimmed towards the background with the sites, as while paths show. */
    bool traceDimmed = false;

    /** The links, by their places among the sites; one whose end is no site is left out. */
    std::vector<SiteLink> links;

    /** One a link where the network keeps its weights as its file wrote them, else empty: what the texts
     *  and the scene's extras give of a weight, which may lie beyond a float's range or precision. */
    std::vector<double> exactWeights;

    /** The links the filter hides are left out; linkRegions holds the regions of every link's ends, one a
     * link, or is empty when none lies in a region. */
    LinkFilter filter;
    std::vector<std::uint8_t> linkRegions;

    /** When not empty, one flag a link: the links not flagged are dimmed towards the background. */
    std::vector<bool> emphasised;

    /** When not empty, one a link: how many times thicker than usual it is drawn. */
    std::vector<float> linkThickness;

    /** When paths are shown, one a link: how many of them pass along it; else empty. */
    std::vector<std::uint32_t> pathCounts;

    /** Whether link is drawn: both its ends are sites, and the filter shows it. */
    bool linkShown(std::size_t link) const
    {
        const SiteLink& each = links[link];
        const std::uint8_t regions = link < linkRegions.size() ? linkRegions[link] : 0;
        return each.first < sites.size() && each.second < sites.size() && filter.shows(each, regions);
    }

    /** How many times glyphs.linkRadius link's cylinder is: as thick as the view has it, and in a figure's
     *  style as it is strong (LinkLook::linkWidth). */
    float linkScale(std::size_t link) const
    {
        return (link < linkThickness.size() ? linkThickness[link] : 1.0f) *
               LinkLook::linkWidth(links[link].weight, glyphs.thinnestWeight, glyphs.weightTop);
    }

    osg::Vec4 background{0.2f, 0.2f, 0.4f, 1.0f};
    osg::Vec4 textColor{1.0f, 1.0f, 1.0f, 1.0f};

    /** The colour key, when shown: the region kinds given, each with its list's name. */
    bool colorKey = false;
    std::vector<std::pair<RegionKind, std::string>> keyRegions;
    std::vector<KeyEntry> keyCommunities;
    std::string keySizeNote;
    WeightKey keyWeights;

    /** The lines of the top left corner's text, or empty. */
    std::string cornerText;
};

/** How a figure looks at the scene: the camera's view and projection, and the page's size in pixels. */
struct FigureView
{
    osg::Matrixd view;
    osg::Matrixd projection;
    int width = 0;
    int height = 0;
};

#endif
