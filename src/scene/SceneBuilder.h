#ifndef LINKMAP_SCENE_SCENEBUILDER
#define LINKMAP_SCENE_SCENEBUILDER 1

#include <network/RegionKind.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelChoice.h>
#include <scene/NetworkSize.h>

#include <osg/Array>
#include <osg/BoundingBox>
#include <osg/BoundingSphere>
#include <osg/Group>
#include <osg/Texture2D>
#include <osg/Vec3>
#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Font>
#include <osgText/Text>
#include <osgUtil/Optimizer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/** How much of a network is drawn one glyph per element, and how large the batches of the rest are. */
struct SceneDetail
{
    /** Networks of at most this many links, and at most siteLimit sites, get one cylinder, sphere and label
     *  object per element; larger ones are drawn in batches by shaders. By the network's size rule, unless a
     *  test asks otherwise. */
    std::size_t linkLimit = NetworkSize::batchedLinkCount;

    /** The number of sites up to which a network may still be drawn one glyph per element. */
    std::size_t siteLimit = NetworkSize::batchedSiteCount;

    /** The most links, spheres or labels one batch holds; each batch is culled as a whole. */
    std::size_t glyphsPerBatch = 4096;

    /** The width on screen, in pixels, from which a batched link shows the whole front of its cylinder; a
     *  narrower one shows a roof of its two middle facets. */
    float fullFrontPixels = 2.0f;

    /** Whether the display runs the shaders that draw batches; empty means it does. It is asked once, and
     * only for a network too large to be drawn one glyph per element, which it then is after all. */
    std::function<bool()> shadersRun;

    /** Whether a network of these sizes is drawn one glyph per element, by the sizes alone. */
    bool wantsOneGlyphPerElement(std::size_t links, std::size_t sites) const
    {
        return links <= linkLimit && sites <= siteLimit;
    }
};

/** Lets optimizer run over a batched scene: it leaves alone the font's glyph textures, which every text
 *  shares and which must keep their images to take the glyphs that texts need later, merges no geometry that
 *  draws instances or changes while it is drawn, and shares no state that sets instancing divisors. */
void keepBatchesWhole(osgUtil::Optimizer& optimizer);

/** Turns placed sites and weighted links into a few large geometries drawn by shaders. Each element is
 *  stored once and drawn, a few to an instance, from the same corners: every link a cylinder front, stored
 *  as its two ends and its weight; every sphere a square traced as the sphere, stored as its centre and its
 *  colour; every glyph of a label turned to the screen, stored as its anchor and its rectangles on the
 *  screen and in the glyph texture. Positions, sizes and colours are those of the glyphs made one per
 *  element. */
class SceneBuilder
{
public:
    /** Labels are laid out in font and drawn in textColor; every glyph is drawn at sizes. */
    SceneBuilder(osgText::Font* font, const osg::Vec4& textColor, const SceneDetail& detail = SceneDetail(),
                 const GlyphSizes& sizes = GlyphSizes());

    SceneBuilder(const SceneBuilder&) = delete;
    SceneBuilder& operator=(const SceneBuilder&) = delete;

    /** Makes room for the given numbers of links and sites, so that adding them does not move what is there.
     */
    void reserve(std::size_t linkCount, std::size_t siteCount);

    /** Starts the sites of the next group; every group is begun, an empty one too. */
    void beginGroup();

    /** Adds a site's sphere, coloured by its region, to the group begun last. */
    void addSphere(const osg::Vec3& position, const osg::Vec4& color, float radius);

    /** Lays out the label of the next site, in the order of the spheres; where it stands comes later, from
     *  placeLabels. Labels touch nothing that spheres and links touch, so one thread may lay out the labels
     *  while another adds the rest. */
    void addLabel(const std::string& name);

    /** Puts every label laid out beside its site: positions holds the sites' places in the same order. */
    void placeLabels(const std::vector<osg::Vec3>& positions);

    /** Outlines the labels in haloColor, LabelStyle::haloWidth of their height wide. */
    void outlineLabels(const osg::Vec4& haloColor);

    /** Once the labels are placed: what shows only the labels that do not overlap, the more central first
     *  (ranks, one a site as the labels were laid out). */
    osg::ref_ptr<LabelThinning> createLabelThinning(std::vector<std::uint32_t> ranks);

    /** Once the spheres are added, the sites of order in the order they were, of siteCount: what dims the
     *  spheres of the sites flagged towards background and draws the rest in their own colours. */
    std::function<void(const std::vector<bool>&)> createSiteDimming(const std::vector<std::uint32_t>& order,
                                                                    std::size_t siteCount,
                                                                    const osg::Vec4& background) const;

    /** Adds a link between the centres a and b, coloured by its weight; its ends lie in regions, the bits of
     *  regionBit, which a filter of the links compares. */
    void addLink(const osg::Vec3& a, const osg::Vec3& b, float weight, std::uint8_t regions = 0);

    /** The scene of everything added: a group of three geodes (links, spheres, labels) whose bound is the one
     *  the same network drawn one glyph per element has, so that both are framed alike. */
    osg::ref_ptr<osg::Group> createScene();

    /** The state of the links of the scene made, whose uniforms carry their cutoff, filter and emphasis. */
    osg::StateSet* getLinkState() const
    {
        return linkState.get();
    }

private:
    void endGroup();

    /** The number of elements a new batch makes room for: those still expected, at most a batch. */
    std::size_t nextBatchSize(std::size_t expected, std::size_t added) const;
    osg::ref_ptr<osg::Group> createLinks();
    osg::ref_ptr<osg::Geode> createSpheres();
    osg::ref_ptr<osg::Geode> createLabels();

    osg::Vec4 textColor;
    SceneDetail detail;
    GlyphSizes sizes;
    osg::ref_ptr<osg::StateSet> linkState;

    /** Values, one an element, dealt as they come to the arrays of an instance's slots: element i goes to
     * place i / slots of the array of slot i % slots. */
    template <typename ArrayType> struct Dealt
    {
        std::vector<osg::ref_ptr<ArrayType>> slots;
        std::size_t count = 0;

        void begin(unsigned int slotCount, std::size_t expected)
        {
            for (unsigned int slot = 0; slot < slotCount; ++slot)
            {
                slots.push_back(new ArrayType);
                slots.back()->reserve(expected / slotCount + 1);
            }
        }

        void push(const typename ArrayType::ElementDataType& value)
        {
            slots[count++ % slots.size()]->push_back(value);
        }

        /** Gives the places the last instance has to spare filler; returns the number of instances. */
        std::size_t finish(const typename ArrayType::ElementDataType& filler)
        {
            const std::size_t instances = (count + slots.size() - 1) / slots.size();
            for (const osg::ref_ptr<ArrayType>& array : slots)
                array->resize(instances, filler);
            return instances;
        }
    };

    /** The spheres of one batch: their centres and colours, and the box of the centres. */
    struct SphereBatch
    {
        Dealt<osg::Vec4Array> centres;
        Dealt<osg::Vec4Array> colors;
        osg::BoundingBox box;
        float largestRadius = 0.0f;

        /** Makes room for size spheres. */
        void begin(std::size_t size);
    };
    std::vector<SphereBatch> sphereBatches;
    std::size_t sitesExpected = 0;
    std::size_t sitesAdded = 0;

    /** The links of one batch: their first ends with their weights, their second ends with their regions,
     * and the box of both. */
    struct LinkBatch
    {
        Dealt<osg::Vec4Array> ends;
        Dealt<osg::Vec4Array> otherEnds;
        osg::BoundingBox box;

        /** Makes room for size links. */
        void begin(std::size_t size);
    };
    std::vector<LinkBatch> linkBatches;
    std::size_t linksExpected = 0;
    std::size_t linksAdded = 0;

    /** The glyphs that one batch of labels draws from one glyph texture: the label's anchor, the glyph's
     *  rectangle beside it on the screen (left, bottom, right, top) and its rectangle in the texture; the box
     *  of the anchors; and reach, the farthest a glyph corner lies from its anchor. */
    struct GlyphBatch
    {
        /** Each glyph's anchor carries in w whether its label shows (1) or not (0). */
        Dealt<osg::Vec4Array> anchors;
        Dealt<osg::Vec4Array> boxes;
        Dealt<osg::Vec4Array> textureBoxes;
        osg::BoundingBox box;
        float reach = 0.0f;
        /** The label each glyph belongs to, by its place among the labels. */
        std::vector<std::uint32_t> labels;
    };

    /** The glyph batches of one glyph texture, by the batch of labels they belong to; a batch of labels
     *  without a glyph from the texture has none. */
    struct GlyphList
    {
        osg::ref_ptr<osg::Texture2D> texture;
        std::vector<GlyphBatch> batches;
    };
    std::vector<GlyphList> glyphs;

    /** The corners of a glyph's two triangles, in the order the text draws them: for each, which side of the
     *  glyph's rectangle (x, y: 0 left or bottom, 1 right or top) and of its texture rectangle (z, w) it
     *  stands at. Taken from the first glyph laid out. */
    osg::ref_ptr<osg::Vec4Array> glyphCorners;

    /** The batch of labels batchIndex that draws from texture, made when it is first asked for. */
    GlyphBatch& glyphBatchOf(osgText::GlyphTexture* texture, std::size_t batchIndex);

    /** Adds to batch the glyphs of the label labelIndex just laid out, drawn as corners, six a glyph. */
    void addGlyphQuads(GlyphBatch& batch, const osg::DrawElements& corners, std::uint32_t labelIndex);

    /** Whether the font kerns the characters left and right when they stand side by side in a label. */
    bool isKerned(unsigned int left, unsigned int right);

    /** For every pair of ASCII characters: -1 until asked, then whether the font kerns them. */
    std::vector<std::int8_t> kernedPairs = std::vector<std::int8_t>(128 * 128, -1);

    /** One text object, laid out anew for every label. */
    osg::ref_ptr<osgText::Text> layout;

    /** The bounds the one-glyph-per-element scene gives its children: links, each group, each label. */
    osg::BoundingBox linksBox;
    osg::BoundingBox groupBox;
    bool groupOpen = false;
    std::vector<osg::BoundingSphere> childBounds;
    std::vector<osg::BoundingSphere> labelBounds;

    /** Each label's bound in its own plane, around its anchor, until the labels are placed. */
    std::vector<osg::BoundingSphere> labelLayoutBounds;

    /** Each label's anchor, once placed, and the half width and height of its text. */
    LabelExtents labelExtents;

    /** The labels' outline colour, when they have one. */
    std::optional<osg::Vec4> halo;
};

#endif
