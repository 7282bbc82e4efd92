#include <scene/Batches.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>
#include <scene/SceneBuilder.h>
#include <scene/Shaders.h>

#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/Texture2D>
#include <osg/Uniform>
#include <osg/VertexAttribDivisor>

#include <algorithm>
#include <cmath>

namespace
{

// Lays out one label after another exactly as a site's own text object would, and shows the result: the
// glyph quads in the text's own plane, and the alignment offset that centres them on the label's position.
class LabelLayout : public osgText::Text
{
public:
    LabelLayout(osgText::Font* font, float characterHeight)
    {
        setCharacterSize(characterHeight, 1.0f);
        setFont(font);
        setAlignment(osgText::Text::CENTER_CENTER);
        setAutoRotateToScreen(true);

        // Only laid out, never drawn: without buffer objects, each glyph added is not announced to them.
        for (osg::Array* array : std::initializer_list<osg::Array*>{_coords.get(), _normals.get(),
                                                                    _colorCoords.get(), _texcoords.get()})
            if (array != nullptr)
                array->setBufferObject(nullptr);
        _vbo = nullptr;
        _ebo = nullptr;
    }

    const osg::Vec3Array& coords() const
    {
        return *_coords;
    }

    const osg::Vec2Array& texCoords() const
    {
        return *_texcoords;
    }

    const osg::Vec3& alignmentOffset() const
    {
        return _offset;
    }

protected:
    ~LabelLayout() override = default;
};

// The channel of a glyph texture that holds coverage.
std::string glyphChannel(const osg::Texture2D& texture)
{
    const GLint format = texture.getInternalFormat();
    return format == GL_RED || format == GL_R8 || format == GL_LUMINANCE ? "r" : "a";
}

} // namespace

osg::ref_ptr<osgText::Text> createLabelLayout(osgText::Font* font, float characterHeight)
{
    return new LabelLayout(font, characterHeight);
}

void SceneBuilder::addLabel(const std::string& name)
{
    const auto labelIndex = static_cast<std::uint32_t>(labelLayoutBounds.size());
    const std::size_t batchIndex = labelIndex / detail.glyphsPerBatch;

    // The label's glyphs, laid out in the text's own plane, to be placed beside the anchor on the screen. A
    // label none of whose neighbouring characters are kerned is laid out without asking the font for each
    // pair: the same layout, found faster.
    auto* label = static_cast<LabelLayout*>(layout.get());
    const osgText::String codes(name);
    bool kerned = false;
    for (std::size_t i = 1; i < codes.size() && !kerned; ++i)
        kerned = isKerned(codes[i - 1], codes[i]);
    label->setKerningType(kerned ? osgText::KERNING_DEFAULT : osgText::KERNING_NONE);
    label->setText(codes);
    for (const auto& textureQuads : label->getTextureGlyphQuadMap())
    {
        osgText::GlyphTexture* texture = textureQuads.first.get();
        const osgText::Text::GlyphQuads& quads = textureQuads.second;
        if (!quads._primitives.valid() || quads._primitives->getNumIndices() == 0)
            continue;
        GlyphBatch& batch = glyphBatchOf(texture, batchIndex);
        addGlyphQuads(batch, *quads._primitives, labelIndex);
    }

    // A text object's bound lies in its own plane, around its position, whichever way it turns to the screen.
    const osg::BoundingBox& local = label->getBoundingBox();
    labelLayoutBounds.push_back(local.valid() ? osg::BoundingSphere(local.center(), local.radius())
                                              : osg::BoundingSphere());
    labelExtents.halfSizes.push_back(
        local.valid() ? osg::Vec2(local.xMax() - local.xMin(), local.yMax() - local.yMin()) / 2.0f
                      : osg::Vec2());
}

SceneBuilder::GlyphBatch& SceneBuilder::glyphBatchOf(osgText::GlyphTexture* texture, std::size_t batchIndex)
{
    auto list = std::find_if(glyphs.begin(), glyphs.end(),
                             [texture](const GlyphList& each) { return each.texture == texture; });
    if (list == glyphs.end())
    {
        glyphs.push_back(GlyphList{texture, {}});
        list = glyphs.end() - 1;
    }
    if (list->batches.size() <= batchIndex)
        list->batches.resize(batchIndex + 1);
    GlyphBatch& batch = list->batches[batchIndex];
    if (batch.boxes.slots.empty())
    {
        batch.anchors.begin(glyphsPerInstance, 0);
        batch.boxes.begin(glyphsPerInstance, 0);
        batch.textureBoxes.begin(glyphsPerInstance, 0);
    }
    return batch;
}

void SceneBuilder::addGlyphQuads(GlyphBatch& batch, const osg::DrawElements& corners,
                                 std::uint32_t labelIndex)
{
    const auto* label = static_cast<const LabelLayout*>(layout.get());
    const osg::Vec3& offset = label->alignmentOffset();
    // Each glyph is a rectangle on the screen and one in the texture, drawn as two triangles.
    for (unsigned int first = 0; first + 6 <= corners.getNumIndices(); first += 6)
    {
        osg::Vec2 places[6];
        osg::Vec2 texCoords[6];
        for (unsigned int i = 0; i < 6; ++i)
        {
            const unsigned int index = corners.index(first + i);
            const osg::Vec3& coord = label->coords()[index];
            places[i].set(coord.x() - offset.x(), coord.y() - offset.y());
            texCoords[i] = label->texCoords()[index];
        }
        osg::Vec4 box(places[0].x(), places[0].y(), places[0].x(), places[0].y());
        osg::Vec4 textureBox(texCoords[0].x(), texCoords[0].y(), texCoords[0].x(), texCoords[0].y());
        for (unsigned int i = 1; i < 6; ++i)
        {
            box.set(std::min(box.x(), places[i].x()), std::min(box.y(), places[i].y()),
                    std::max(box.z(), places[i].x()), std::max(box.w(), places[i].y()));
            textureBox.set(
                std::min(textureBox.x(), texCoords[i].x()), std::min(textureBox.y(), texCoords[i].y()),
                std::max(textureBox.z(), texCoords[i].x()), std::max(textureBox.w(), texCoords[i].y()));
        }
        if (!glyphCorners.valid())
        {
            glyphCorners = new osg::Vec4Array;
            for (unsigned int i = 0; i < 6; ++i)
                glyphCorners->push_back(osg::Vec4(places[i].x() == box.z() ? 1.0f : 0.0f,
                                                  places[i].y() == box.w() ? 1.0f : 0.0f,
                                                  texCoords[i].x() == textureBox.z() ? 1.0f : 0.0f,
                                                  texCoords[i].y() == textureBox.w() ? 1.0f : 0.0f));
        }
        batch.labels.push_back(labelIndex);
        batch.boxes.push(box);
        batch.textureBoxes.push(textureBox);
        // The farthest corner lies at the largest reach across and up.
        const float across = std::max(std::fabs(box.x()), std::fabs(box.z()));
        const float up = std::max(std::fabs(box.y()), std::fabs(box.w()));
        batch.reach = std::max(batch.reach, osg::Vec2(across, up).length());
    }
}

bool SceneBuilder::isKerned(unsigned int left, unsigned int right)
{
    // Pairs of ASCII characters are asked once; any other may be kerned.
    if (left >= 128 || right >= 128)
        return true;
    std::int8_t& known = kernedPairs[left * 128 + right];
    if (known < 0)
    {
        const osgText::FontResolution resolution(layout->getFontWidth(), layout->getFontHeight());
        known = layout->getFont()->getKerning(resolution, left, right, osgText::KERNING_DEFAULT) !=
                osg::Vec2(0.0f, 0.0f);
    }
    return known != 0;
}

void SceneBuilder::placeLabels(const std::vector<osg::Vec3>& positions)
{
    const auto anchorOf = [this, &positions](std::uint32_t label) {
        return sizes.labelAnchor(positions[label]);
    };
    for (GlyphList& list : glyphs)
    {
        for (GlyphBatch& batch : list.batches)
        {
            for (const std::uint32_t label : batch.labels)
            {
                const osg::Vec3 anchor = anchorOf(label);
                batch.anchors.push(osg::Vec4(anchor, 1.0f));
                batch.box.expandBy(anchor);
            }
        }
    }
    labelExtents.anchors.resize(labelLayoutBounds.size());
    for (std::uint32_t label = 0; label < labelLayoutBounds.size(); ++label)
        labelExtents.anchors[label] = anchorOf(label);
    for (std::uint32_t label = 0; label < labelLayoutBounds.size(); ++label)
    {
        const osg::BoundingSphere& local = labelLayoutBounds[label];
        if (local.valid())
            labelBounds.emplace_back(local.center() + anchorOf(label), local.radius());
    }
    std::vector<osg::BoundingSphere>().swap(labelLayoutBounds);
}

void SceneBuilder::outlineLabels(const osg::Vec4& haloColor)
{
    halo = haloColor;
}

osg::ref_ptr<LabelThinning> SceneBuilder::createLabelThinning(std::vector<std::uint32_t> ranks)
{
    // Every glyph's anchor, by the array of its slot and its place there, with its label.
    struct Anchors
    {
        std::vector<osg::ref_ptr<osg::Vec4Array>> slots;
        std::vector<std::uint32_t> labels;
    };
    std::vector<Anchors> batches;
    for (GlyphList& list : glyphs)
        for (GlyphBatch& batch : list.batches)
            if (!batch.labels.empty())
                batches.push_back(Anchors{batch.anchors.slots, std::move(batch.labels)});
    return new LabelThinning(labelExtents, std::move(ranks), [batches](const std::vector<bool>& shown) {
        for (const Anchors& batch : batches)
        {
            bool changed = false;
            for (std::size_t glyph = 0; glyph < batch.labels.size(); ++glyph)
            {
                const std::uint32_t label = batch.labels[glyph];
                osg::Vec4& anchor = (*batch.slots[glyph % batch.slots.size()])[glyph / batch.slots.size()];
                const float show = label < shown.size() && shown[label] ? 1.0f : 0.0f;
                changed = changed || anchor.w() != show;
                anchor.w() = show;
            }
            if (changed)
                for (const osg::ref_ptr<osg::Vec4Array>& slot : batch.slots)
                    slot->dirty();
        }
    });
}

osg::ref_ptr<osg::Geode> SceneBuilder::createLabels()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("labels");
    // As every label: drawn last and without the depth test, so no sphere or link ever hides one.
    osg::StateSet* stateSet = geode->getOrCreateStateSet();
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setRenderBinDetails(11, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    stateSet->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    stateSet->addUniform(new osg::Uniform("glyphTexture", 0));
    if (halo)
    {
        stateSet->addUniform(new osg::Uniform("haloColour", *halo));
        stateSet->addUniform(new osg::Uniform("haloReach", LabelStyle::haloWidth * sizes.labelHeight));
    }
    static_assert(glyphsPerInstance == 3, "the label shader reads three glyphs an instance");
    for (unsigned int slot = instanceAttribute; slot < instanceAttribute + 3 * glyphsPerInstance; ++slot)
        stateSet->setAttribute(new osg::VertexAttribDivisor(slot, 1));

    // Every instance draws three glyphs, each from the corners of its two triangles: the side of its
    // rectangle across and up, the corner of its texture rectangle (1 right, 2 top), and the slot.
    osg::ref_ptr<osg::Vec4Array> corners = new osg::Vec4Array;
    for (unsigned int slot = 0; glyphCorners.valid() && slot < glyphsPerInstance; ++slot)
        for (const osg::Vec4& corner : *glyphCorners)
            corners->push_back(
                osg::Vec4(corner.x(), corner.y(), corner.z() + 2.0f * corner.w(), static_cast<float>(slot)));

    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    colors->push_back(textColor);
    for (GlyphList& list : glyphs)
    {
        osg::ref_ptr<osg::StateSet> textureState = new osg::StateSet;
        textureState->setTextureAttributeAndModes(0, list.texture.get());
        textureState->setAttributeAndModes(
            createProgram("labels", Shaders::labelVertex, Shaders::labelFragment,
                          {"anchorPoint0", "glyphBox0", "textureBox0", "anchorPoint1", "glyphBox1",
                           "textureBox1", "anchorPoint2", "glyphBox2", "textureBox2"},
                          "#define GLYPH_CHANNEL " + glyphChannel(*list.texture) + "\n" +
                              (halo ? "#define HALO 1\n" : ""))
                .get());
        for (GlyphBatch& batch : list.batches)
        {
            if (batch.boxes.count == 0)
                continue;
            // The last instance's spare slots draw glyphs of no size, which cover no pixel.
            const std::size_t last = (batch.anchors.count - 1) % glyphsPerInstance;
            const std::size_t instances = batch.anchors.finish((*batch.anchors.slots[last]).back());
            batch.boxes.finish(osg::Vec4(0.0f, 0.0f, 0.0f, 0.0f));
            batch.textureBoxes.finish(osg::Vec4(0.0f, 0.0f, 0.0f, 0.0f));
            std::vector<osg::Array*> arrays;
            for (unsigned int slot = 0; slot < glyphsPerInstance; ++slot)
            {
                arrays.push_back(batch.anchors.slots[slot].get());
                arrays.push_back(batch.boxes.slots[slot].get());
                arrays.push_back(batch.textureBoxes.slots[slot].get());
            }
            osg::ref_ptr<osg::Geometry> geometry =
                createInstances(corners.get(), arrays,
                                new osg::DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners->size()),
                                                    static_cast<int>(instances)),
                                batch.box, batch.reach);
            geometry->setColorArray(colors.get(), osg::Array::BIND_OVERALL);
            geometry->setStateSet(textureState.get());
            geode->addDrawable(geometry);
        }
    }
    return geode;
}
