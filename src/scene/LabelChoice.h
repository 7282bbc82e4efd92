#ifndef LINKMAP_SCENE_LABELCHOICE
#define LINKMAP_SCENE_LABELCHOICE 1

#include <network/CorrelationNetwork.h>

#include <osg/BoundingBox>
#include <osg/Matrixd>
#include <osg/NodeCallback>
#include <osg/Vec2>
#include <osg/Vec3>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

/** A label as it would stand on the screen: the site it names, the centre of its text and its half width and
 *  half height in pixels, and how far from the eye it is. */
struct ScreenLabel
{
    std::uint32_t site = 0;
    float x = 0.0f;
    float y = 0.0f;
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    float depth = 0.0f;
};

/** Which sites keep their labels first where two would collide: the favoured ones (the pick, then the sites
 *  on the paths shown), then the more central, then the nearer the eye. */
struct LabelPreference
{
    /** One a site: 0 for the most central, equal for equally central sites. */
    std::vector<std::uint32_t> ranks;
    /** Kept before any other, in this order. */
    std::vector<std::uint32_t> favoured;
};

/** How central each site is, for its label: its betweenness where it was measured, else its degree. The
 *  ranks of LabelPreference, 0 the most central. */
std::vector<std::uint32_t> centralityRanks(const CorrelationNetwork& network);

/** Puts labels in the order in which they keep their places: preference's favoured sites first, then by rank,
 *  then the nearer first, then by site. */
void orderByPreference(std::vector<ScreenLabel>& labels, const LabelPreference& preference);

/** Which labels show, given in the order in which they keep their places, so that no two overlap: each shows
 *  unless its text would overlap one shown before it. One flag a site, of siteCount; a site not among labels
 *  shows none. */
std::vector<bool> keepApart(const std::vector<ScreenLabel>& labels, std::size_t siteCount);

/** Every label of a figure, placed for a view: the sites' anchors and the half width and height of their
 *  texts in scene units, in their own plane facing the screen. */
struct LabelExtents
{
    std::vector<osg::Vec3> anchors;
    std::vector<osg::Vec2> halfSizes;
};

/** The labels of extents that stand in front of the eye, as seen through the matrices of a camera: view,
 *  projection and the window's, for a perspective projection; each is padded by padding pixels each way. */
std::vector<ScreenLabel> screenLabels(const LabelExtents& extents, const osg::Matrixd& view,
                                      const osg::Matrixd& projection, const osg::Matrixd& window,
                                      float padding);

/** Chooses a figure's labels afresh whenever the camera that draws the scene it is the cull callback of
 *  changes, or what is favoured does, and tells show which sites keep theirs. */
class LabelThinning : public osg::NodeCallback
{
public:
    LabelThinning(LabelExtents extents, std::vector<std::uint32_t> ranks,
                  std::function<void(const std::vector<bool>&)> show);

    /** The sites to keep labelled before any other: the pick, then the sites of the paths shown. */
    void favour(std::vector<std::uint32_t> sites);

    /** Hides every label while hidden is true, as when another picture is drawn over the network. */
    void hideAll(bool hidden);

    /** Shows no label that would reach into one of boxes, which stand over the scene (the corner's text):
     * each in units of the window's height from its bottom left, as the overlays are laid out, z unused. */
    void keepClear(std::vector<osg::BoundingBox> boxes);

    /** Which sites show their labels now; empty before the first view. */
    const std::vector<bool>& shown() const
    {
        return showing;
    }

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override;

    /** Chooses the labels for a camera's matrices unless they are those of the last choice. */
    void choose(const osg::Matrixd& view, const osg::Matrixd& projection, const osg::Matrixd& window);

private:
    LabelExtents extents;
    LabelPreference preference;
    std::function<void(const std::vector<bool>&)> show;
    std::vector<bool> showing;
    osg::Matrixd lastView;
    osg::Matrixd lastProjection;
    osg::Matrixd lastWindow;
    std::vector<osg::BoundingBox> clear;
    bool chosen = false;
    bool allHidden = false;
};

#endif
