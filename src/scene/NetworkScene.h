#ifndef LINKMAP_SCENE_NETWORKSCENE
#define LINKMAP_SCENE_NETWORKSCENE 1

#include <network/CorrelationNetwork.h>
#include <network/LoadProgress.h>
#include <scene/LabelChoice.h>
#include <scene/LabelStyle.h>
#include <scene/SceneBuilder.h>
#include <scene/SiteLayout.h>

#include <osg/Group>
#include <osg/ShapeDrawable>
#include <osg/StateSet>
#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Font>

#include <cstddef>
#include <functional>
#include <vector>

/** The two ways a network is drawn. */
enum class RenderPath
{
    /** Every sphere, link and label an object of its own. */
    OneGlyphPerElement,
    /** A few large geometries drawn by shaders. */
    Batched
};

/** The path a network of these counts is drawn by: one glyph per element when it is small, or when the
 *  display cannot run the batches' shaders, which detail.shadersRun is asked only for a large network. */
RenderPath chooseRenderPath(std::size_t linkCount, std::size_t siteCount, const SceneDetail& detail);

/** A network as drawn: its node, the path it was drawn by, and what changes its links' look later. */
struct NetworkScene
{
    RenderPath path = RenderPath::OneGlyphPerElement;

    /** Parent of everything the network draws. */
    osg::ref_ptr<osg::Group> root;

    /** Drawn one glyph per element: the links' drawables, one a link in the network's order. */
    std::vector<osg::ref_ptr<osg::ShapeDrawable>> linkGlyphs;

    /** Drawn in batches: the links' state, whose uniforms carry the cutoff, the filter and the emphasis. */
    osg::ref_ptr<osg::StateSet> linkState;

    /** In a figure: what chooses the labels that show, so that no two overlap, for every view that draws the
     *  scene (the cull callback of root); else null. */
    osg::ref_ptr<LabelThinning> labels;

    /** In a figure: dims the spheres of the sites flagged (one flag a site) towards the background, and draws
     *  the rest in their own colours; an empty list dims none. Else empty. */
    std::function<void(const std::vector<bool>&)> dimSites;

    /** On a structure: what traces its chain, shown in every picture: a line beneath the network, or in a
     *  figure a lit tube among its spheres and links. */
    osg::ref_ptr<osg::Node> trace;

    /** In a figure on a structure: dims the trace's tube towards the background, or brings back its colours.
     *  Else empty. */
    std::function<void(bool)> dimTrace;
};

/** Draws network with its sites at the places of layout, along path; a figure's labels are outlined, and its
 *  spheres dimmed, in style's halo colour, the background's. One glyph per element, the root holds
 *  the links' geode, then for each ring its sites' labels and the geode of their spheres. */
NetworkScene buildNetworkScene(const CorrelationNetwork& network, const SiteLayout& layout,
                               const LabelStyle& style, RenderPath path,
                               const SceneDetail& detail = SceneDetail(), LoadProgress* progress = nullptr);

#endif
