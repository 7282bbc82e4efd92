#ifndef LINKMAP_SCENE_LINKHIGHLIGHT
#define LINKMAP_SCENE_LINKHIGHLIGHT 1

#include <network/SiteLink.h>
#include <scene/MotionPicture.h>
#include <scene/NetworkScene.h>

#include <osg/Geode>
#include <osg/Group>
#include <osg/ShapeDrawable>
#include <osg/Uniform>
#include <osg/Vec3>
#include <osg/Vec4>
#include <osg/ref_ptr>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

/** Hides the links whose |weight| is below a cutoff, or that touch no site of a region asked for, and dims
 * all links but the emphasised ones, in a scene drawn one glyph per link or in batches, without building it
 *  again. */
class LinkHighlight
{
public:
    /** Works on the links of scene, drawn one glyph per link or in batches; siteLinks, the links as logged,
     *  must outlive it. Dimmed links fade towards dimColor, the background. The picture drawn while the view
     *  moves, if any, follows. */
    LinkHighlight(const NetworkScene& scene, const std::vector<SiteLink>& siteLinks,
                  const osg::Vec4& dimColor, MotionPicture* motion = nullptr);

    LinkHighlight(const LinkHighlight&) = delete;
    LinkHighlight& operator=(const LinkHighlight&) = delete;

    /** Hides the links whose |weight| is below cutoff and shows the rest; 0 shows every link. */
    void setCutoff(float cutoff);

    /** Shows only the links that touch a site of the regions whose bits regions holds, as the cutoff lets
     *  them; 0 shows them all. linkRegions holds the regions of every link's ends, one a link in the order of
     *  the log, and must outlive it. */
    void setRegionFilter(std::uint8_t regions, const std::vector<std::uint8_t>& linkRegions);

    /** Whether the link at place link in the log is shown. */
    bool isShown(std::size_t link) const;

    /** Emphasises the links that end at the site at position, whose places in the log are siteLinks. */
    void emphasiseSite(const osg::Vec3& position, const std::vector<std::size_t>& siteLinks);

    /** Emphasises one link, the one at place link in the log, from a to b. */
    void emphasiseLink(std::size_t link, const osg::Vec3& a, const osg::Vec3& b);

    /** Emphasises the links of paths: every link is dimmed, and each of pathLinks is drawn again over it in
     *  its own colour, thickness[link] times as thick (1 where thickness is short), from positions, at sizes.
     *  The path's links follow the cutoff and the filter as the rest do. */
    void emphasisePaths(const std::vector<std::size_t>& pathLinks, const std::vector<float>& thickness,
                        const std::vector<osg::Vec3>& positions, const GlyphSizes& sizes);

    /** A site that ends the paths, as a figure marks it: its place, its sphere's colour and radius, and the
     *  colour of the ring round it. */
    struct PathEnd
    {
        osg::Vec3 position;
        osg::Vec4 color;
        float radius = 0.0f;
        osg::Vec4 ringColor;
    };

    /** Marks ends over the paths emphasised last: each sphere drawn again PathEndMark::sphereScale times as
     *  large, in a ring that always faces the eye. Gone with the paths. */
    void markPathEnds(const std::vector<PathEnd>& ends);

    /** Draws every link in its own colour again. */
    void clearEmphasis();

    /** Makes motion, or nothing, the picture drawn while the view moves, showing the cutoff and emphasis set
     * so far. */
    void setMotionPicture(MotionPicture* motion);

    /** Grows whenever the links' look changes: the cutoff, the filter or the emphasis. */
    std::uint64_t revision() const
    {
        return changes;
    }

    /** How many links the cutoff and the region filter show, of all. */
    std::size_t shownCount() const;
    std::size_t linkCount() const;

private:
    /** A link drawn as a drawable of its own, and its own colour. */
    struct LinkGlyph
    {
        osg::ref_ptr<osg::ShapeDrawable> drawable;
        osg::Vec4 color;
    };

    /** Colours and shows the link glyphs: those of emphasised (all when it is empty) in their own colour. */
    void updateGlyphs(const std::vector<bool>& emphasised);

    /** Counts the links shown, and shows the cutoff and the filter in the pictures. */
    void updateFilter();

    /** Takes the paths' links out of the scene. */
    void removePaths();

    const std::vector<SiteLink>& links;
    const std::vector<std::uint8_t>* linkRegions = nullptr;
    std::vector<LinkGlyph> glyphs;
    std::vector<bool> glyphEmphasis;
    LinkFilter filter;
    std::size_t shown = 0;
    osg::Vec4 dimColor;
    MotionPicture* motion;
    std::vector<std::size_t> emphasisedLinks;
    std::uint64_t changes = 0;

    // The scene's root, and the paths' links drawn over it, each with its place in the log.
    osg::ref_ptr<osg::Group> root;
    osg::ref_ptr<osg::Geode> pathGeode;
    std::vector<osg::ref_ptr<osg::Node>> pathMarks;
    std::vector<std::pair<std::size_t, osg::ref_ptr<osg::ShapeDrawable>>> pathGlyphs;

    // The batched links' settings; empty for a scene drawn one glyph per link.
    osg::ref_ptr<osg::Uniform> cutoffUniform;
    osg::ref_ptr<osg::Uniform> regionUniform;
    osg::ref_ptr<osg::Uniform> emphasisUniform;
    osg::ref_ptr<osg::Uniform> emphasisAUniform;
    osg::ref_ptr<osg::Uniform> emphasisBUniform;
};

#endif
