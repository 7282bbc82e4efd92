#ifndef LINKMAP_SCENE_GLYPHSTYLE
#define LINKMAP_SCENE_GLYPHSTYLE 1

#include <network/RegionKind.h>

#include <osg/Quat>
#include <osg/Vec3>
#include <osg/Vec4>

#include <cstddef>
#include <vector>

/** How large sites, links and labels are drawn, in the units of the layout they stand in. */
struct GlyphSizes
{
    /** The radius of a site's sphere. */
    float siteRadius = 2.0f;

    /** The radius of a link's cylinder. */
    float linkRadius = 0.4f;

    /** The height of a label's characters. */
    float labelHeight = 2.0f;

    /** How far below its site's centre, along -y, a label is centred. */
    float labelDrop = 2.0f;

    /** The |weight| at which links are thinnest, growing to three times as thick at 1 (LinkLook::linkWidth);
     *  below 0, every link is linkRadius. */
    float thinnestWeight = -1.0f;

    /** 0 for a correlation, drawn on the ramp from -1 to 1; else the |weight| at the top of the sequential
     *  ramp that starts at 0: 1 for a probability, the largest for a score (LinkLook::weightColor). */
    float weightTop = 0.0f;

    /** Every size times factor. */
    GlyphSizes scaled(float factor) const
    {
        return GlyphSizes{siteRadius * factor, linkRadius * factor, labelHeight * factor,
                          labelDrop * factor,  thinnestWeight,      weightTop};
    }

    /** The sizes of a site whose sphere is scale times as large: its label drops as far below the larger
     *  sphere. */
    GlyphSizes sized(float scale) const
    {
        return GlyphSizes{siteRadius * scale, linkRadius,
                          labelHeight,        labelDrop + siteRadius * (scale - 1.0f),
                          thinnestWeight,     weightTop};
    }

    /** Where the label of the site at position is centred: labelDrop below its centre. */
    osg::Vec3 labelAnchor(const osg::Vec3& position) const
    {
        return osg::Vec3(position.x(), position.y() - labelDrop, position.z());
    }
};

/** How every site and link glyph is drawn, whatever draws it and at whatever size. */
namespace GlyphStyle
{

/** The tessellation detail of a site's sphere. */
constexpr float sphereDetail = 0.5f;

/** The tessellation detail of a link's cylinder. */
constexpr float cylinderDetail = 0.2f;

/** The colour of the line that traces a chain through the residues the sites stand on. */
const osg::Vec4 traceColor(0.55f, 0.55f, 0.55f, 1.0f);

/** The width of that line, in pixels. */
constexpr float tracePixels = 2.0f;

/** In a figure the trace is a lit tube among the links, of this radius in ångströms: 0.2 Å across, thinner
 *  than the thinnest link on a structure, so that a link between neighbours along the chain, which runs along
 *  the tube and is often the strongest, is drawn round it and seen, not hidden inside it. */
constexpr float traceTubeRadius = 0.1f;

} // namespace GlyphStyle

/** How a path's two end sites are marked in a figure: their spheres this many times as large, ringed by a
 *  circle of ringScale times their usual radius. */
namespace PathEndMark
{
constexpr float sphereScale = 1.6f;
constexpr float ringScale = 2.3f;
} // namespace PathEndMark

/** The sphere colour of a region kind: grey, red, green or dark blue; false for a kind that has none. */
bool regionColor(RegionKind kind, osg::Vec4& color);

/** The number of communities that have a colour of their own; the others share communityColor's grey. */
constexpr std::size_t communityColorCount = 9;

/** The colour of the community numbered from 0, from a palette that readers with any common colour vision
 *  deficiency can tell apart (Paul Tol's "muted"); pale grey from communityColorCount on. */
osg::Vec4 communityColor(std::size_t community);

/** The sphere colour of site: colors' own when the sites have colours of their own (one a site), else its
 *  region kind's; false when neither gives one. */
bool siteColor(const std::vector<osg::Vec4>& colors, std::size_t site, RegionKind kind, osg::Vec4& color);

/** How a link looks, as the batched links' shader computes it: the functions of shaders/LinkLook.glsl,
 *  compiled as C++ from that same source. */
namespace LinkLook
{

/** A correlation's colour (top 0): yellow at weight 0, fading to green at 1 and to red at -1; beyond them,
 *  the end colours. Else the sequential ramp's colour of |weight| / top. */
osg::Vec3 weightColor(float weight, float top);

/** color faded towards background, as the links not emphasised are; how much of its colour a dimmed glyph
 *  keeps, as an opacity over what is behind it. */
osg::Vec3 dimmedColor(osg::Vec3 color, osg::Vec3 background);
float dimmedOpacity();

/** The share of its colour a surface shows where its normal makes cosine with the line of sight, under the
 *  window's head light; in double precision, for the vector figures' colours. */
float lightShare(float cosine);
double lightShare(double cosine);

/** How many times its usual radius a link of weight is drawn: 1 to 3 from a |weight| of thinnest to 1, or to
 *  top where it is above 0; 1 for every link when thinnest is below 0. */
float linkWidth(float weight, float thinnest, float top);

/** Whether a link of weight, whose ends lie in regions (the sum of their kinds' bits), is shown by cutoff and
 *  regionFilter (a region kind's bit, or 0 for all). */
bool linkShown(float weight, float regions, float cutoff, float regionFilter);

} // namespace LinkLook

/** A link's colour, opaque, by its weight on the scale whose top is top (LinkLook::weightColor). */
osg::Vec4 weightColor(float weight, float top);

/** A link's colour dimmed towards background (LinkLook::dimmedColor); its alpha is kept. */
osg::Vec4 dimmedColor(const osg::Vec4& color, const osg::Vec4& background);

/** The rotation that turns a cylinder's own +z axis onto direction, a vector of length height; the identity
 *  when height is 0. */
osg::Quat linkRotation(const osg::Vec3& direction, float height);

#endif
