#ifndef LINKMAP_SCENE_MOTIONPICTURE
#define LINKMAP_SCENE_MOTIONPICTURE 1

#include <network/RegionKind.h>
#include <network/SiteLink.h>

#include <osg/Geometry>
#include <osg/Group>
#include <osg/Vec3>
#include <osg/Vec4>
#include <osg/ref_ptr>

#include <cstddef>
#include <cstdint>
#include <vector>

/** How much the picture drawn while the view moves may hold. */
struct MotionDetail
{
    /** The most links drawn while moving: the strongest, by |weight|. */
    std::size_t linkBudget = 20000;

    /** The most sites drawn while moving, beside the ends of the emphasised links: with more, the ends of the
     *  strongest links, strongest first, then an even spread over the others. */
    std::size_t siteBudget = 20000;

    /** Up to this many sites, each is a disc shaded as its lit sphere; beyond, a plain dot. */
    std::size_t shadedSiteLimit = 20000;

    /** The smallest a site's dot is drawn, in pixels, however far away it is. */
    float minimumDotPixels = 2.0f;

    /** The radius of the sphere a site's dot stands for. */
    float siteRadius = 2.0f;

    /** The top of the links' colour scale, as GlyphSizes::weightTop. */
    float weightTop = 0.0f;
};

/** The picture drawn while the view moves, cheap enough to turn smoothly at any size: every site as a dot as
 *  wide as its sphere appears, the strongest links as lines in their colours, and no labels. It follows the
 *  cutoff and the emphasis of the full picture. */
class MotionPicture
{
public:
    /** The sites at positions, in colors (one a site, white where none is given), and links between them,
     * whose site numbers are places in positions; a link with an end that is no site is left out. Dimmed
     * links fade towards background. */
    MotionPicture(const std::vector<osg::Vec3>& positions, const std::vector<osg::Vec4>& colors,
                  const std::vector<SiteLink>& links, const osg::Vec4& background,
                  const MotionDetail& detail = MotionDetail());

    MotionPicture(const MotionPicture&) = delete;
    MotionPicture& operator=(const MotionPicture&) = delete;

    /** The node to add to the scene; it adds nothing to the scene's bound. */
    osg::Node* getNode();

    /** Hides the links whose |weight| is below cutoff. */
    void setCutoff(float cutoff);

    /** Draws only the links that filter shows; linkRegions, if not null, holds the regions of every link's
     *  ends, one a link, and must outlive it. Of the links that touch a region asked for, those among the
     *  strongest of all are drawn. */
    void setFilter(const LinkFilter& filter, const std::vector<std::uint8_t>* linkRegions);

    /** Draws the links at the given places in links in their own colour, over the others, which are dimmed;
     *  empty draws every link in its own colour. */
    void setEmphasis(const std::vector<std::size_t>& emphasised);

    /** The places in links of the links drawn, strongest first, the cutoff applied; emphasised links that
     *  are not among the strongest are drawn too, and listed last. */
    std::vector<std::size_t> drawnLinks() const;

    /** The sites drawn as dots: all of them, or, beyond the budget, the sample and the ends of the emphasised
     *  links. */
    std::vector<std::uint32_t> drawnSites() const;

private:
    void updateShownCount();
    void updateLinkEnds();
    void updateLinkColors();
    bool inRegions(std::size_t link) const;
    void updateEmphasisLines();
    void updateDots();

    const std::vector<SiteLink>& links;
    osg::Vec4 background;
    float weightTop;

    /** The strongest links of all, strongest first: their places in links. */
    std::vector<std::size_t> ranked;
    /** Those of them that the region filter lets be drawn. */
    std::vector<std::size_t> strongest;
    std::vector<std::size_t> emphasised;
    /** The emphasised links drawn that are not among the strongest. */
    std::vector<std::size_t> emphasisExtras;
    LinkFilter filter;
    const std::vector<std::uint8_t>* linkRegions = nullptr;

    osg::ref_ptr<osg::Group> node;
    osg::ref_ptr<osg::Geometry> lines;
    osg::ref_ptr<osg::Geometry> emphasisLines;
    osg::ref_ptr<osg::Vec3Array> sites;

    /** Beyond the site budget: the sites always drawn, ascending, and which sites they are. */
    std::vector<std::uint32_t> sample;
    std::vector<bool> inSample;
    osg::ref_ptr<osg::Geometry> dots;
};

#endif
