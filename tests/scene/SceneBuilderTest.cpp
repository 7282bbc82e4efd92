#include <scene/GlyphStyle.h>
#include <support/TestSupport.h>

#include <osg/Geometry>
#include <osg/LOD>
#include <osgText/Text>

#include <gtest/gtest.h>

#include <string>

namespace
{

// A network of linkCount links: one group of two sites per link.
std::string pairLines(int linkCount)
{
    std::string text;
    for (int i = 0; i < linkCount; ++i)
        text += "A" + std::to_string(2 * i) + " B" + std::to_string(2 * i + 1) + " 0.5\n";
    return text;
}

SceneDetail batchedDetail()
{
    SceneDetail detail;
    detail.linkLimit = 0;
    detail.siteLimit = 0;
    detail.glyphsPerBatch = 3;
    return detail;
}

// Draws the network of text, its sites 1 positive, 2 and 3 negative, 3 and 4 accelerated, along path.
std::unique_ptr<DrawnNetwork> build(const std::string& text, const SceneDetail& detail,
                                    RenderPath path = RenderPath::Batched)
{
    RegionLists lists;
    lists.positiveRanges = {{1, 1}};
    lists.negativeRanges = {{2, 3}};
    lists.acceleratedRanges = {{3, 4}};
    return drawNetwork(text, path, lists, detail);
}

// The part of the batched scene with the given name.
const osg::Group* batchPart(const DrawnNetwork& network, const std::string& name)
{
    const osg::Group* root = network.scene.root.get();
    const osg::Group* scene = root->getChild(root->getNumChildren() - 1)->asGroup();
    for (unsigned int i = 0; scene != nullptr && i < scene->getNumChildren(); ++i)
        if (scene->getChild(i)->getName() == name)
            return scene->getChild(i)->asGroup();
    return nullptr;
}

const osg::Geode* batchGeode(const DrawnNetwork& network, const std::string& name)
{
    const osg::Group* part = batchPart(network, name);
    return part == nullptr ? nullptr : part->asGeode();
}

// The levels of detail of each batch of links.
std::vector<const osg::LOD*> linkBatches(const DrawnNetwork& network)
{
    std::vector<const osg::LOD*> batches;
    if (const osg::Group* links = batchPart(network, "links"))
        for (unsigned int i = 0; i < links->getNumChildren(); ++i)
            batches.push_back(dynamic_cast<const osg::LOD*>(links->getChild(i)));
    return batches;
}

// The values of every element an instanced geometry draws, in the order of the elements: each instance
// draws slots elements, whose values stand in the attribute arrays from first on, one array a value a slot,
// values arrays a slot apart. The last instance's spare slots are included.
template <typename ArrayType>
std::vector<typename ArrayType::ElementDataType>
dealtValues(const osg::Geometry& geometry, unsigned int first, unsigned int values, unsigned int slots)
{
    std::vector<typename ArrayType::ElementDataType> elements;
    const auto* start = dynamic_cast<const ArrayType*>(geometry.getVertexAttribArray(first));
    if (start == nullptr)
        return elements;
    for (std::size_t instance = 0; instance < start->size(); ++instance)
        for (unsigned int slot = 0; slot < slots; ++slot)
        {
            const auto* array =
                dynamic_cast<const ArrayType*>(geometry.getVertexAttribArray(first + slot * values));
            if (array == nullptr || array->size() != start->size())
                return {};
            elements.push_back((*array)[instance]);
        }
    return elements;
}

TEST(SceneBuilder, DrawsOneGlyphPerElementUpToTheLimitsAndBatchesBeyond)
{
    const SceneDetail detail;
    EXPECT_TRUE(detail.wantsOneGlyphPerElement(1000, 2000));
    EXPECT_FALSE(detail.wantsOneGlyphPerElement(1001, 2000));
    EXPECT_FALSE(detail.wantsOneGlyphPerElement(1000, 2001));

    // 1,000 links of two sites each is at both limits; one more link is over both.
    const std::pair<int, bool> cases[] = {{1000, true}, {1001, false}};
    for (const auto& [links, oneGlyphEach] : cases)
    {
        const auto drawn = drawNetwork(pairLines(links));
        ASSERT_EQ(drawn->network.linkCount(), static_cast<std::size_t>(links));
        EXPECT_EQ(drawn->scene.path, oneGlyphEach ? RenderPath::OneGlyphPerElement : RenderPath::Batched);
        EXPECT_EQ(drawn->scene.linkGlyphs.size(), oneGlyphEach ? static_cast<std::size_t>(links) : 0u)
            << links;
        EXPECT_EQ(drawn->scene.linkState.valid(), !oneGlyphEach);
        // One glyph each: links, then a label per site and a geode per group; batched: one scene.
        EXPECT_EQ(drawn->scene.root->getNumChildren(), oneGlyphEach ? 1u + 3u * links : 1u) << links;
    }
}

TEST(SceneBuilder, FramesABatchedNetworkAsItsOneGlyphPerElementScene)
{
    const char* networks[] = {
        "H12 K45 0.35 R78 -0.20 0.80\n", "A1 B2 0.5\nC3 A1 B2 0.1 0.2 0.3\nA1 B2 -0.4\n",
        "\nQ7\n\nW1234 X2 Y3 Z4 0.1 0.2 0.3 0.4 0.5 0.6\nZ4 W1234 0.9\n", "A1\nB2\nC3\nD4\nE5\n"};
    for (const char* text : networks)
    {
        const auto oneEach = build(text, SceneDetail(), RenderPath::OneGlyphPerElement);
        const auto batched = build(text, batchedDetail());
        ASSERT_EQ(batched->scene.path, RenderPath::Batched) << text;
        const osg::BoundingSphere expected = oneEach->scene.root->getBound();
        const osg::BoundingSphere actual = batched->scene.root->getBound();
        EXPECT_NEAR(actual.radius(), expected.radius(), 1e-4f * expected.radius()) << text;
        EXPECT_NEAR((actual.center() - expected.center()).length(), 0.0f, 1e-4f * expected.radius()) << text;
    }
}

TEST(SceneBuilder, BatchesEveryLinkOnceWithItsEndsAndWeight)
{
    // C3 and the second A1 repeat names, so their links end at the first sites bearing them.
    const auto network = build("A1 B2 0.5\nC3 A1 B2 0.1 -0.2 1.5\nA1 B2 C3 -0.4 0.0 -1.0\n", batchedDetail());
    const osg::Vec3 a1 = network->layout.positions[0];
    const osg::Vec3 b2 = network->layout.positions[1];
    const osg::Vec3 c3 = network->layout.positions[2];
    // A1 is positive, B2 and C3 negative: a link's regions are the bits of both ends' (1 positive, 2
    // negative).
    const struct
    {
        osg::Vec3 a, b;
        float weight;
        float regions;
    } expected[] = {{a1, b2, 0.5f, 3.0f},  {c3, a1, 0.1f, 3.0f}, {c3, b2, -0.2f, 2.0f}, {a1, b2, 1.5f, 3.0f},
                    {a1, b2, -0.4f, 3.0f}, {a1, c3, 0.0f, 3.0f}, {b2, c3, -1.0f, 2.0f}};

    // Batches of three links: 3, 3 and 1, each link stored once as its two ends and its weight, four links an
    // instance; the spare slots of an instance draw links of no length.
    const std::vector<const osg::LOD*> batches = linkBatches(*network);
    ASSERT_EQ(batches.size(), 3u);
    const unsigned int edges = static_cast<unsigned int>(40 * GlyphStyle::cylinderDetail) / 2 + 1;
    const unsigned int perInstance = 4;
    std::size_t link = 0;
    for (const osg::LOD* batch : batches)
    {
        ASSERT_NE(batch, nullptr);
        ASSERT_EQ(batch->getNumChildren(), 2u);
        const osg::Geometry* front = batch->getChild(1)->asGeometry();
        const osg::Geometry* roof = batch->getChild(0)->asGeometry();
        ASSERT_TRUE(front && roof);
        const auto ends = dealtValues<osg::Vec4Array>(*front, 7, 2, perInstance);
        const auto otherEnds = dealtValues<osg::Vec4Array>(*front, 8, 2, perInstance);
        ASSERT_EQ(ends.size(), perInstance);
        ASSERT_EQ(otherEnds.size(), perInstance);
        const std::size_t count = std::min<std::size_t>(3, std::size(expected) - link);
        for (std::size_t i = 0; i < perInstance; ++i)
        {
            const osg::Vec3 end(ends[i].x(), ends[i].y(), ends[i].z());
            const osg::Vec3 otherEnd(otherEnds[i].x(), otherEnds[i].y(), otherEnds[i].z());
            if (i >= count)
            {
                EXPECT_EQ(otherEnd, end) << "spare slot " << i;
                continue;
            }
            const auto& want = expected[link + i];
            const std::string what = "link " + std::to_string(link + i);
            EXPECT_EQ(end, want.a) << what;
            EXPECT_EQ(otherEnd, want.b) << what;
            EXPECT_EQ(otherEnds[i].w(), want.regions) << what;
            EXPECT_EQ(ends[i].w(), want.weight) << what;
            // Whatever the shader draws around the ends lies inside the batch's bound.
            const osg::BoundingBox box = front->getBoundingBox();
            for (const osg::Vec3& point : {want.a, want.b})
            {
                EXPECT_LE(box.xMin(), point.x() - GlyphSizes().linkRadius);
                EXPECT_GE(box.zMax(), point.z() + GlyphSizes().linkRadius);
            }
        }
        EXPECT_EQ(roof->getVertexAttribArray(7), front->getVertexAttribArray(7));

        // A corner is an edge's place along the front, the end it stands at (1 at a, -1 at b) and its link's
        // slot. The front joins each edge to the next; the roof has the first, middle and last edges only,
        // and joins them in turn.
        const std::vector<unsigned int> roofEdges = {0, (edges - 1) / 2, edges - 1};
        for (const auto& [geometry, edgeCount] : {std::pair(front, edges), std::pair(roof, 3u)})
        {
            const auto* corners = dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray());
            const osg::DrawElements* facets = geometry->getPrimitiveSet(0)->getDrawElements();
            ASSERT_TRUE(corners && facets);
            EXPECT_EQ(facets->getNumInstances(), 1);
            ASSERT_EQ(corners->size(), 2u * edgeCount * perInstance);
            for (unsigned int corner = 0; corner < corners->size(); ++corner)
            {
                const unsigned int edge = corner / 2 % edgeCount;
                const float place = static_cast<float>(edgeCount == edges ? edge : roofEdges[edge]);
                EXPECT_EQ((*corners)[corner], osg::Vec3(place, corner % 2 ? -1.0f : 1.0f,
                                                        static_cast<float>(corner / (2 * edgeCount))));
            }
            ASSERT_EQ(facets->getNumIndices(), 4 * (edgeCount - 1) * perInstance);
            for (unsigned int k = 0; k < facets->getNumIndices(); ++k)
            {
                const unsigned int from = 2 * (k / 4) + 2 * (k / (4 * (edgeCount - 1)));
                const unsigned int quad[] = {from, from + 2, from + 3, from + 1};
                EXPECT_EQ(facets->index(k), quad[k % 4]) << k;
            }
        }
        link += count;
    }
    EXPECT_EQ(link, std::size(expected));
}

TEST(SceneBuilder, ShowsTheWholeFrontOfALinkFromTheSetWidthOnScreen)
{
    // A batch shows the roof while its links are narrower on screen than the set width, the whole front from
    // there on; the pixel size of a bound is the width of its diameter.
    for (const float pixels : {1.0f, 2.0f, 5.0f})
    {
        SceneDetail detail = batchedDetail();
        detail.fullFrontPixels = pixels;
        const auto network = build("A1 B2 C3 D4 0.1 0.2 0.3 0.4 0.5 0.6\nE5 F6 0.7\n", detail);
        for (const osg::LOD* batch : linkBatches(*network))
        {
            ASSERT_NE(batch, nullptr);
            EXPECT_EQ(batch->getRangeMode(), osg::LOD::PIXEL_SIZE_ON_SCREEN);
            const float diameter = 2.0f * batch->getChild(1)->getBound().radius();
            const float unitsAcross = diameter / (2.0f * GlyphSizes().linkRadius);
            EXPECT_EQ(batch->getMinRange(0), 0.0f);
            EXPECT_FLOAT_EQ(batch->getMaxRange(0), pixels * unitsAcross);
            EXPECT_FLOAT_EQ(batch->getMinRange(1), pixels * unitsAcross);
            EXPECT_GT(batch->getMaxRange(1), 1e30f);
        }
    }
}

// A site's own label, laid out, with the glyph corners it draws: beside its position on the screen, and in
// the glyph texture.
class ReferenceLabel : public osgText::Text
{
public:
    ReferenceLabel(osgText::Font* font, const std::string& name)
    {
        setFont(font);
        setCharacterSize(GlyphSizes().labelHeight, 1.0f);
        setAlignment(osgText::Text::CENTER_CENTER);
        setAutoRotateToScreen(true);
        setText(name);
    }

    void corners(std::vector<osg::Vec2>& offsets, std::vector<osg::Vec2>& texCoords) const
    {
        for (const auto& textureQuads : getTextureGlyphQuadMap())
        {
            const osg::DrawElements* primitives = textureQuads.second._primitives.get();
            for (unsigned int i = 0; primitives != nullptr && i < primitives->getNumIndices(); ++i)
            {
                const osg::Vec3& coord = (*_coords)[primitives->index(i)];
                offsets.emplace_back(coord.x() - _offset.x(), coord.y() - _offset.y());
                texCoords.push_back((*_texcoords)[primitives->index(i)]);
            }
        }
    }

protected:
    ~ReferenceLabel() override = default;
};

TEST(SceneBuilder, BatchesEverySphereAndLabelOfTheSitesDrawn)
{
    // AV6 and Te7 hold pairs the font kerns; the name of UTF-8 bytes is laid out byte by byte, as every text
    // is. The labels are laid out on a thread of their own while the rest is built.
    const auto drawnNetwork = build("A1 B2 C3 0.1 0.2 0.3\nC3 D4 E5 0.1 0.2 0.3\nAV6 Te7 \xc3\x91"
                                    "8 0.1 0.2 0.3\n",
                                    batchedDetail());
    const DrawnNetwork& network = *drawnNetwork;
    struct Drawn
    {
        std::string name;
        osg::Vec3 position;
    };
    std::vector<Drawn> drawnSites;
    for (std::size_t site = 0; site < network.network.siteCount(); ++site)
        drawnSites.push_back(Drawn{network.network.names[site], network.layout.positions[site]});
    std::vector<const Drawn*> drawn;
    for (const Drawn& site : drawnSites)
        drawn.push_back(&site);
    ASSERT_EQ(drawn.size(), 8u);

    // One instance a sphere, at its centre, in its region's colour: A1 positive, B2 negative, C3 negative
    // before accelerated, D4 accelerated, the rest none.
    const osg::Geode* spheres = batchGeode(network, "spheres");
    ASSERT_NE(spheres, nullptr);
    std::vector<osg::Vec3> centres;
    std::vector<osg::Vec4> colours;
    for (unsigned int batch = 0; batch < spheres->getNumDrawables(); ++batch)
    {
        // Four spheres an instance, the spare slots drawing the last one again.
        const osg::Geometry* geometry = spheres->getDrawable(batch)->asGeometry();
        ASSERT_NE(geometry, nullptr);
        // A centre carries its sphere's radius, the layout's, in w.
        std::vector<osg::Vec3> batchCentres;
        for (const osg::Vec4& centre : dealtValues<osg::Vec4Array>(*geometry, 7, 2, 4))
        {
            EXPECT_EQ(centre.w(), network.layout.glyphs.siteRadius);
            batchCentres.emplace_back(centre.x(), centre.y(), centre.z());
        }
        const auto batchColours = dealtValues<osg::Vec4Array>(*geometry, 8, 2, 4);
        ASSERT_EQ(batchCentres.size(), 4u);
        ASSERT_EQ(batchColours.size(), 4u);
        const std::size_t count = std::min<std::size_t>(3, 8 - centres.size());
        for (std::size_t i = count; i < 4; ++i)
        {
            EXPECT_EQ(batchCentres[i], batchCentres[count - 1]);
            EXPECT_EQ(batchColours[i], batchColours[count - 1]);
        }
        centres.insert(centres.end(), batchCentres.begin(), batchCentres.begin() + count);
        colours.insert(colours.end(), batchColours.begin(), batchColours.begin() + count);
    }
    const RegionKind kinds[] = {RegionKind::Positive,    RegionKind::Negative, RegionKind::Negative,
                                RegionKind::Accelerated, RegionKind::None,     RegionKind::None,
                                RegionKind::None,        RegionKind::None};
    ASSERT_EQ(centres.size(), drawn.size());
    ASSERT_EQ(colours.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i)
    {
        EXPECT_EQ(centres[i], drawn[i]->position) << drawn[i]->name;
        osg::Vec4 colour;
        ASSERT_TRUE(regionColor(kinds[i], colour));
        EXPECT_EQ(colours[i], colour) << drawn[i]->name;
    }

    // Labels: one instance a glyph, at its site's anchor two units below it; the corners it draws are exactly
    // those of the site's own text object, beside the anchor and in the glyph texture. All in the label
    // colour, over everything.
    const osg::Geode* labels = batchGeode(network, "labels");
    ASSERT_NE(labels, nullptr);
    const osg::StateSet* labelState = labels->getStateSet();
    ASSERT_NE(labelState, nullptr);
    EXPECT_EQ(labelState->getMode(GL_DEPTH_TEST), osg::StateAttribute::OFF);
    EXPECT_EQ(labelState->getBinNumber(), 11);
    std::vector<osg::Vec3> anchors;
    std::vector<osg::Vec2> offsets;
    std::vector<osg::Vec2> texCoords;
    for (unsigned int batch = 0; batch < labels->getNumDrawables(); ++batch)
    {
        // Three glyphs an instance, each its anchor and its two rectangles; a spare slot draws a glyph of no
        // size.
        const osg::Geometry* geometry = labels->getDrawable(batch)->asGeometry();
        ASSERT_NE(geometry, nullptr);
        const auto* corners = dynamic_cast<const osg::Vec4Array*>(geometry->getVertexArray());
        const auto* colors = dynamic_cast<const osg::Vec4Array*>(geometry->getColorArray());
        // The anchors carry whether their labels show: every one, where the labels are not thinned.
        const auto glyphAnchors = dealtValues<osg::Vec4Array>(*geometry, 7, 3, 3);
        const auto boxes = dealtValues<osg::Vec4Array>(*geometry, 8, 3, 3);
        const auto textureBoxes = dealtValues<osg::Vec4Array>(*geometry, 9, 3, 3);
        ASSERT_TRUE(corners && colors);
        EXPECT_EQ((*colors)[0], network.style.textColor);
        ASSERT_EQ(corners->size(), 18u);
        ASSERT_EQ(boxes.size(), glyphAnchors.size());
        ASSERT_EQ(textureBoxes.size(), glyphAnchors.size());
        ASSERT_EQ(geometry->getPrimitiveSet(0)->getNumInstances() * 3u, glyphAnchors.size());
        for (unsigned int glyph = 0; glyph < glyphAnchors.size(); ++glyph)
        {
            const osg::Vec4& box = boxes[glyph];
            if (box.x() == box.z() && box.y() == box.w())
                continue;
            const osg::Vec4& textureBox = textureBoxes[glyph];
            EXPECT_EQ(glyphAnchors[glyph].w(), 1.0f);
            for (unsigned int k = 0; k < 6; ++k)
            {
                const osg::Vec4& corner = (*corners)[glyph % 3 * 6 + k];
                EXPECT_EQ(corner.w(), static_cast<float>(glyph % 3));
                const osg::Vec4& anchor = glyphAnchors[glyph];
                anchors.emplace_back(anchor.x(), anchor.y(), anchor.z());
                offsets.emplace_back(corner.x() > 0.5f ? box.z() : box.x(),
                                     corner.y() > 0.5f ? box.w() : box.y());
                const bool right = corner.z() == 1.0f || corner.z() == 3.0f;
                const bool top = corner.z() >= 2.0f;
                texCoords.emplace_back(right ? textureBox.z() : textureBox.x(),
                                       top ? textureBox.w() : textureBox.y());
            }
        }
    }
    std::size_t corner = 0;
    for (const Drawn* site : drawn)
    {
        osg::ref_ptr<ReferenceLabel> text = new ReferenceLabel(network.style.font.get(), site->name);
        std::vector<osg::Vec2> expectedOffsets;
        std::vector<osg::Vec2> expectedTexCoords;
        text->corners(expectedOffsets, expectedTexCoords);
        ASSERT_EQ(expectedOffsets.size(), 6 * site->name.size());
        ASSERT_LE(corner + expectedOffsets.size(), anchors.size());
        const osg::Vec3 anchor = site->position - osg::Vec3(0.0f, 2.0f, 0.0f);
        for (std::size_t i = 0; i < expectedOffsets.size(); ++i)
        {
            EXPECT_EQ(anchors[corner + i], anchor) << site->name;
            EXPECT_EQ(offsets[corner + i], expectedOffsets[i]) << site->name << " corner " << i;
            EXPECT_EQ(texCoords[corner + i], expectedTexCoords[i]) << site->name << " corner " << i;
        }
        corner += expectedOffsets.size();
    }
    EXPECT_EQ(corner, anchors.size());
}

} // namespace
