#include <scene/GlyphStyle>
#include <scene/SceneBuilder>
#include <scene/Shaders>

#include <osg/BlendFunc>
#include <osg/BufferObject>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/LOD>
#include <osg/Program>
#include <osg/Texture2D>
#include <osg/Uniform>
#include <osg/VertexAttribDivisor>
#include <osgText/Text>
#include <osgUtil/CullVisitor>
#include <osgUtil/Optimizer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

// The first vertex attribute slot of the values each instance of a batch has of its own: clear of the slots
// that the fixed names alias on some drivers.
const unsigned int instanceAttribute = 7;

// How many elements one instance draws: a drawing of many small instances costs the renderer more than one of
// fewer, larger ones. Each element's values take a slot an attribute, and the slots end at 16.
const unsigned int linksPerInstance = 4;
const unsigned int spheresPerInstance = 4;
const unsigned int glyphsPerInstance = 3;

// Lays out one label after another exactly as a site's own text object would, and shows the result: the
// glyph quads in the text's own plane, and the alignment offset that centres them on the label's position.
class LabelLayout : public osgText::Text
{
public:
    explicit LabelLayout(osgText::Font* font)
    {
        setCharacterSize(GlyphStyle::labelHeight, 1.0f);
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

// Follows the camera's lighting switch (the l key), which the shaders cannot see for themselves.
class LightingSwitch : public osg::NodeCallback
{
public:
    explicit LightingSwitch(osg::Uniform* uniform) : lightingOn(uniform) {}

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override
    {
        bool on = true;
        if (auto* cull = dynamic_cast<osgUtil::CullVisitor*>(visitor))
        {
            const osg::Camera* camera = cull->getCurrentCamera();
            const osg::StateSet* cameraState = camera != nullptr ? camera->getStateSet() : nullptr;
            on = cameraState == nullptr ||
                 (cameraState->getMode(GL_LIGHTING) & osg::StateAttribute::ON) != 0 ||
                 cameraState->getMode(GL_LIGHTING) == osg::StateAttribute::INHERIT;
        }
        lightingOn->set(on);
        traverse(node, visitor);
    }

private:
    osg::ref_ptr<osg::Uniform> lightingOn;
};

// A bound fixed in advance, for a node whose own would differ from the scene it stands in for.
class FixedBound : public osg::Node::ComputeBoundingSphereCallback
{
public:
    explicit FixedBound(const osg::BoundingSphere& sphere) : bound(sphere) {}

    osg::BoundingSphere computeBound(const osg::Node&) const override
    {
        return bound;
    }

private:
    osg::BoundingSphere bound;
};

// A program of the given shader sources, each given the GLSL version and defines first; without a fragment
// shader the fixed pipeline colours the fragments. The attributes are bound to the shaders' own slots in
// order.
osg::ref_ptr<osg::Program> createProgram(const char* name, const std::string& vertex,
                                         const std::string& fragment,
                                         const std::vector<const char*>& attributes,
                                         const std::string& defines = std::string())
{
    const std::string header = "#version 120\n" + defines;
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName(name);
    program->addShader(new osg::Shader(osg::Shader::VERTEX, header + vertex));
    if (!fragment.empty())
        program->addShader(new osg::Shader(osg::Shader::FRAGMENT, header + fragment));
    for (std::size_t i = 0; i < attributes.size(); ++i)
        program->addBindAttribLocation(attributes[i], instanceAttribute + static_cast<unsigned int>(i));
    return program;
}

// A bounding box fixed in advance: that of a batch of link instances, whose vertices are only the corners of
// one link in its own terms.
class FixedBox : public osg::Drawable::ComputeBoundingBoxCallback
{
public:
    explicit FixedBox(const osg::BoundingBox& fixed) : box(fixed) {}

    osg::BoundingBox computeBound(const osg::Drawable&) const override
    {
        return box;
    }

private:
    osg::BoundingBox box;
};

// One geometry that draws every element of a batch as an instance of the same corners: the corners are its
// vertices, and each of the instances' arrays gives one value an element, in the slots from
// instanceAttribute on. The shaders draw up to margin beyond the box of the elements' places; near and far
// planes and culling must know.
// Gives array a buffer object of its own, unless it has one.
void useOwnBuffer(osg::Array* array)
{
    if (array->getBufferObject() == nullptr)
        array->setBufferObject(new osg::VertexBufferObject);
}

osg::ref_ptr<osg::Geometry> createInstances(osg::Array* corners, const std::vector<osg::Array*>& instances,
                                            osg::PrimitiveSet* primitives, const osg::BoundingBox& box,
                                            float margin)
{
    // The corners, which many geometries share, have a buffer of their own, and so have the instances of each
    // geometry: left to itself, a geometry would put its arrays in the buffer of the first of them that has
    // one, and every batch's arrays would end in the corners' buffer, whose list of arrays grows with each
    // and is searched whenever one is freed.
    useOwnBuffer(corners);
    osg::ref_ptr<osg::VertexBufferObject> buffer = new osg::VertexBufferObject;
    for (osg::Array* array : instances)
        array->setBufferObject(buffer.get());
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    geometry->setVertexArray(corners);
    for (std::size_t i = 0; i < instances.size(); ++i)
        geometry->setVertexAttribArray(instanceAttribute + static_cast<unsigned int>(i), instances[i],
                                       osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(primitives);
    const osg::Vec3 reach(margin, margin, margin);
    geometry->setComputeBoundingBoxCallback(
        new FixedBox(osg::BoundingBox(box._min - reach, box._max + reach)));
    return geometry;
}

// The points of a cylinder's ring, as tessellated, in its own plane.
const std::vector<osg::Vec3>& cylinderRim()
{
    static const std::vector<osg::Vec3> rim = [] {
        const auto segments = static_cast<unsigned int>(40 * GlyphStyle::cylinderDetail);
        std::vector<osg::Vec3> points;
        for (unsigned int k = 0; k < segments; ++k)
        {
            const double angle = 2.0 * osg::PI * (k + 1) / segments;
            points.emplace_back(static_cast<float>(std::cos(angle)) * GlyphStyle::linkRadius,
                                static_cast<float>(std::sin(angle)) * GlyphStyle::linkRadius, 0.0f);
        }
        return points;
    }();
    return rim;
}

// The bound a group gives itself from its children's bounds: the middle of the box around them all, far
// enough out to hold every child.
osg::BoundingSphere groupBound(const std::vector<osg::BoundingSphere>& children)
{
    osg::BoundingBox centres;
    for (const osg::BoundingSphere& child : children)
        centres.expandBy(child);
    osg::BoundingSphere bound;
    if (!centres.valid())
        return bound;
    bound._center = centres.center();
    bound._radius = 0.0f;
    for (const osg::BoundingSphere& child : children)
        bound.expandRadiusBy(child);
    return bound;
}

// The channel of a glyph texture that holds coverage.
std::string glyphChannel(const osg::Texture2D& texture)
{
    const GLint format = texture.getInternalFormat();
    return format == GL_RED || format == GL_R8 || format == GL_LUMINANCE ? "r" : "a";
}

// Whether a drawable draws instances: its vertices are the corners of one element, and its other arrays hold
// one value an element, so that joining it with another geometry would tear the two apart.
bool drawsInstances(const osg::Drawable* drawable)
{
    const osg::Geometry* geometry = drawable != nullptr ? drawable->asGeometry() : nullptr;
    if (geometry == nullptr)
        return false;
    for (const auto& primitives : geometry->getPrimitiveSetList())
        if (primitives->getNumInstances() > 0)
            return true;
    return false;
}

// Keeps the optimiser from what would spoil a batched scene. It leaves the font's glyph textures as they are:
// the font shares them with every text, and adds a glyph to the image when a text first needs it; an image
// dropped after its upload, as the optimiser arranges for the scene's textures, would come back holding only
// the new glyphs, and the labels would lose theirs. It merges no geometry that draws instances, and leaves
// alone the state that tells which attributes go by instance.
class KeepBatchesWhole : public osgUtil::Optimizer::IsOperationPermissibleForObjectCallback
{
public:
    bool isOperationPermissibleForObjectImplementation(const osgUtil::Optimizer* optimizer,
                                                       const osg::StateAttribute* attribute,
                                                       unsigned int option) const override
    {
        if (dynamic_cast<const osgText::GlyphTexture*>(attribute) != nullptr)
            return false;
        return optimizer->isOperationPermissibleForObjectImplementation(attribute, option);
    }

    bool isOperationPermissibleForObjectImplementation(const osgUtil::Optimizer* optimizer,
                                                       const osg::StateSet* stateSet,
                                                       unsigned int option) const override
    {
        // The optimiser's sharing of state does not sort instancing divisors soundly, and crashes on them.
        for (const auto& [key, attribute] : stateSet->getAttributeList())
            if (key.first == osg::StateAttribute::VERTEX_ATTRIB_DIVISOR)
                return false;
        return optimizer->isOperationPermissibleForObjectImplementation(stateSet, option);
    }

    bool isOperationPermissibleForObjectImplementation(const osgUtil::Optimizer* optimizer,
                                                       const osg::Drawable* drawable,
                                                       unsigned int option) const override
    {
        if ((option & osgUtil::Optimizer::MERGE_GEOMETRY) != 0 && drawsInstances(drawable))
            return false;
        return optimizer->isOperationPermissibleForObjectImplementation(drawable, option);
    }

    bool isOperationPermissibleForObjectImplementation(const osgUtil::Optimizer* optimizer,
                                                       const osg::Node* node,
                                                       unsigned int option) const override
    {
        if ((option & osgUtil::Optimizer::MERGE_GEOMETRY) != 0)
            if (const osg::Group* group = node->asGroup())
                for (unsigned int i = 0; i < group->getNumChildren(); ++i)
                    if (drawsInstances(group->getChild(i)->asDrawable()))
                        return false;
        return optimizer->isOperationPermissibleForObjectImplementation(node, option);
    }
};

} // namespace

void keepBatchesWhole(osgUtil::Optimizer& optimizer)
{
    optimizer.setIsOperationPermissibleForObjectCallback(new KeepBatchesWhole);
}

SceneBuilder::SceneBuilder(osgText::Font* labelFont, const osg::Vec4& labelColor, const SceneDetail& sizes)
    : textColor(labelColor), detail(sizes), layout(new LabelLayout(labelFont))
{
}

void SceneBuilder::beginGroup()
{
    endGroup();
    groupOpen = true;
}

void SceneBuilder::endGroup()
{
    if (groupOpen && groupBox.valid())
        childBounds.emplace_back(groupBox.center(), groupBox.radius());
    groupBox.init();
    groupOpen = false;
}

void SceneBuilder::addSphere(const osg::Vec3& position, RegionKind kind)
{
    if (sitesAdded % detail.glyphsPerBatch == 0)
    {
        const std::size_t size =
            std::min(detail.glyphsPerBatch, std::max<std::size_t>(sitesExpected - sitesAdded, 1));
        SphereBatch batch;
        batch.centres.begin(spheresPerInstance, size);
        batch.colors.begin(spheresPerInstance, size);
        sphereBatches.push_back(batch);
    }
    ++sitesAdded;

    // A sphere without a region colour keeps a shape's default colour, white.
    osg::Vec4 color(1.0f, 1.0f, 1.0f, 1.0f);
    regionColor(kind, color);
    sphereBatches.back().centres.push(position);
    sphereBatches.back().colors.push(color);
    sphereBatches.back().box.expandBy(position);
    const osg::Vec3 reach(GlyphStyle::siteRadius, GlyphStyle::siteRadius, GlyphStyle::siteRadius);
    groupBox.expandBy(osg::BoundingBox(position - reach, position + reach));
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
    const osg::Vec3& offset = label->alignmentOffset();
    for (const auto& textureQuads : label->getTextureGlyphQuadMap())
    {
        osgText::GlyphTexture* texture = textureQuads.first.get();
        const osgText::Text::GlyphQuads& quads = textureQuads.second;
        if (!quads._primitives.valid() || quads._primitives->getNumIndices() == 0)
            continue;
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

        // Each glyph is a rectangle on the screen and one in the texture, drawn as two triangles.
        const osg::DrawElements& corners = *quads._primitives;
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

    // A text object's bound lies in its own plane, around its position, whichever way it turns to the screen.
    const osg::BoundingBox& local = label->getBoundingBox();
    labelLayoutBounds.push_back(local.valid() ? osg::BoundingSphere(local.center(), local.radius())
                                              : osg::BoundingSphere());
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
    const auto anchorOf = [&positions](std::uint32_t label) { return labelAnchor(positions[label]); };
    for (GlyphList& list : glyphs)
    {
        for (GlyphBatch& batch : list.batches)
        {
            for (const std::uint32_t label : batch.labels)
            {
                const osg::Vec3 anchor = anchorOf(label);
                batch.anchors.push(anchor);
                batch.box.expandBy(anchor);
            }
            std::vector<std::uint32_t>().swap(batch.labels);
        }
    }
    for (std::uint32_t label = 0; label < labelLayoutBounds.size(); ++label)
    {
        const osg::BoundingSphere& local = labelLayoutBounds[label];
        if (local.valid())
            labelBounds.emplace_back(local.center() + anchorOf(label), local.radius());
    }
    std::vector<osg::BoundingSphere>().swap(labelLayoutBounds);
}

void SceneBuilder::addLink(const osg::Vec3& a, const osg::Vec3& b, float weight, std::uint8_t regions)
{
    if (linkBatches.empty() || linkBatches.back().ends.count == detail.glyphsPerBatch)
    {
        const std::size_t size =
            std::min(detail.glyphsPerBatch, std::max<std::size_t>(linksExpected - linksAdded, 1));
        LinkBatch batch;
        batch.ends.begin(linksPerInstance, size);
        batch.otherEnds.begin(linksPerInstance, size);
        linkBatches.push_back(batch);
    }
    LinkBatch& batch = linkBatches.back();
    batch.ends.push(osg::Vec4(a, weight));
    batch.otherEnds.push(osg::Vec4(b, static_cast<float>(regions)));
    batch.box.expandBy(a);
    batch.box.expandBy(b);
    ++linksAdded;

    // The box of the cylinder as tessellated: its two end rings, whose points lie in the cylinder's own x and
    // y axes as its rotation turns them (the rotation turns +z onto a - b by the polar angle about y, then
    // the azimuth about z), around each end.
    const osg::Vec3 direction = a - b;
    const float height = direction.length();
    const float planar = std::sqrt(direction.x() * direction.x() + direction.y() * direction.y());
    const osg::Vec2 azimuth =
        planar > 0.0f ? osg::Vec2(direction.x() / planar, direction.y() / planar) : osg::Vec2(0.0f, 1.0f);
    const float polarCos = height > 0.0f ? direction.z() / height : 1.0f;
    const float polarSin = height > 0.0f ? planar / height : 0.0f;
    const osg::Vec3 ringX(azimuth.x() * polarCos, azimuth.y() * polarCos, -polarSin);
    const osg::Vec3 ringY(-azimuth.y(), azimuth.x(), 0.0f);
    osg::Vec3 reach(0.0f, 0.0f, 0.0f);
    for (const osg::Vec3& rim : cylinderRim())
    {
        const osg::Vec3 point = ringX * rim.x() + ringY * rim.y();
        for (int axis = 0; axis < 3; ++axis)
            reach[axis] = std::max(reach[axis], std::fabs(point[axis]));
    }
    for (const osg::Vec3& end : {a, b})
    {
        linksBox.expandBy(end - reach);
        linksBox.expandBy(end + reach);
    }
}

void SceneBuilder::reserve(std::size_t linkCount, std::size_t siteCount)
{
    linksExpected = linkCount;
    linkBatches.reserve((linkCount + detail.glyphsPerBatch - 1) / detail.glyphsPerBatch);
    sitesExpected = siteCount;
    sphereBatches.reserve((siteCount + detail.glyphsPerBatch - 1) / detail.glyphsPerBatch);
    childBounds.reserve(siteCount + 1);
}

osg::ref_ptr<osg::Group> SceneBuilder::createLinks()
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setName("links");
    osg::StateSet* stateSet = group->getOrCreateStateSet();
    linkState = stateSet;
    const int segments = static_cast<int>(40 * GlyphStyle::cylinderDetail);
    stateSet->addUniform(new osg::Uniform("radius", GlyphStyle::linkRadius));
    stateSet->addUniform(new osg::Uniform("segments", segments));
    for (osg::Uniform* highlight :
         {new osg::Uniform("cutoff", 0.0f), new osg::Uniform("regionFilter", 0.0f),
          new osg::Uniform("emphasis", 0), new osg::Uniform("emphasisA", osg::Vec3()),
          new osg::Uniform("emphasisB", osg::Vec3()), new osg::Uniform("dimColor", osg::Vec4())})
    {
        highlight->setDataVariance(osg::Object::DYNAMIC);
        stateSet->addUniform(highlight);
    }
    for (unsigned int slot = instanceAttribute; slot < instanceAttribute + 2 * linksPerInstance; ++slot)
        stateSet->setAttribute(new osg::VertexAttribDivisor(slot, 1));
    const std::string linkVertex = std::string(Shaders::lighting) + Shaders::linkRing + Shaders::linkVertex;
    static_assert(linksPerInstance == 4, "the link shader reads four links an instance");
    const std::vector<const char*> instance = {"linkA0", "linkB0", "linkA1", "linkB1",
                                               "linkA2", "linkB2", "linkA3", "linkB3"};
    osg::ref_ptr<osg::StateSet> frontState = new osg::StateSet;
    frontState->setAttributeAndModes(createProgram("link fronts", linkVertex, std::string(), instance));
    osg::ref_ptr<osg::StateSet> roofState = new osg::StateSet;
    roofState->setAttributeAndModes(
        createProgram("link roofs", linkVertex, std::string(), instance, "#define ROOF\n"));

    // Every link is one instance of the front half of a cylinder: the ring's edges that face the eye, at both
    // ends, joined by facets. The back half is never seen, so it is not drawn. A link a few pixels wide shows
    // no more than a roof of two facets, the first edge to the middle one and the middle one to the last,
    // which has corners of its own so that the others are not shaded. A corner is its edge's place along the
    // front and the end it stands at, 1 for a and -1 for b; a facet joins the corners of one edge with those
    // of the next.
    const auto lastEdge = static_cast<unsigned int>(segments / 2);
    const auto cornersOf = [](const std::vector<unsigned int>& edges) {
        osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
        for (unsigned int slot = 0; slot < linksPerInstance; ++slot)
            for (const unsigned int edge : edges)
                for (const float end : {1.0f, -1.0f})
                    corners->push_back(osg::Vec3(static_cast<float>(edge), end, static_cast<float>(slot)));
        return corners;
    };
    const auto facets = [](std::size_t edgeCount, int instances) {
        osg::ref_ptr<osg::DrawElementsUShort> quads = new osg::DrawElementsUShort(GL_QUADS);
        for (unsigned int slot = 0; slot < linksPerInstance; ++slot)
        {
            const auto base = static_cast<unsigned int>(2 * edgeCount * slot);
            for (unsigned int from = 0; from + 1 < edgeCount; ++from)
                for (const unsigned int corner : {2 * from, 2 * from + 2, 2 * from + 3, 2 * from + 1})
                    quads->push_back(static_cast<GLushort>(base + corner));
        }
        quads->setNumInstances(instances);
        return quads;
    };
    std::vector<unsigned int> frontEdges;
    for (unsigned int edge = 0; edge <= lastEdge; ++edge)
        frontEdges.push_back(edge);
    const std::vector<unsigned int> roofEdges = {0, lastEdge / 2, lastEdge};
    const osg::ref_ptr<osg::Vec3Array> frontCorners = cornersOf(frontEdges);
    const osg::ref_ptr<osg::Vec3Array> roofCorners = cornersOf(roofEdges);

    for (LinkBatch& batch : linkBatches)
    {
        // The last instance's spare slots draw links of no length, which cover no pixel.
        const osg::Vec4 lastEnd = (*batch.ends.slots[(batch.ends.count - 1) % linksPerInstance]).back();
        const std::size_t instances = batch.ends.finish(lastEnd);
        batch.otherEnds.finish(osg::Vec4(lastEnd.x(), lastEnd.y(), lastEnd.z(), 0.0f));
        std::vector<osg::Array*> arrays;
        for (unsigned int slot = 0; slot < linksPerInstance; ++slot)
        {
            arrays.push_back(batch.ends.slots[slot].get());
            arrays.push_back(batch.otherEnds.slots[slot].get());
        }
        osg::ref_ptr<osg::Geometry> front = createInstances(
            frontCorners.get(), arrays, facets(frontEdges.size(), static_cast<int>(instances)), batch.box,
            GlyphStyle::linkRadius);
        front->setStateSet(frontState.get());
        osg::ref_ptr<osg::Geometry> roof = new osg::Geometry(*front, osg::CopyOp::SHALLOW_COPY);
        useOwnBuffer(roofCorners.get());
        roof->setVertexArray(roofCorners.get());
        roof->setPrimitiveSet(0, facets(roofEdges.size(), static_cast<int>(instances)));
        roof->setStateSet(roofState.get());

        // The level is chosen by a link's width on screen, judged at the middle of the batch: the pixel size
        // of a bound is the width its diameter covers.
        osg::ref_ptr<osg::LOD> lod = new osg::LOD;
        lod->setRangeMode(osg::LOD::PIXEL_SIZE_ON_SCREEN);
        const float diameter = 2.0f * front->getBound().radius();
        const float switchSize = detail.fullFrontPixels * diameter / (2.0f * GlyphStyle::linkRadius);
        lod->addChild(roof.get(), 0.0f, switchSize);
        lod->addChild(front.get(), switchSize, std::numeric_limits<float>::max());
        group->addChild(lod);
    }
    return group;
}

osg::ref_ptr<osg::Geode> SceneBuilder::createSpheres()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("spheres");
    osg::StateSet* stateSet = geode->getOrCreateStateSet();
    stateSet->setAttributeAndModes(
        createProgram("spheres", Shaders::sphereVertex,
                      std::string(Shaders::lighting) + Shaders::sphereFragment,
                      {"sphereCentre0", "sphereColour0", "sphereCentre1", "sphereColour1", "sphereCentre2",
                       "sphereColour2", "sphereCentre3", "sphereColour3"})
            .get());
    stateSet->addUniform(new osg::Uniform("radius", GlyphStyle::siteRadius));
    static_assert(spheresPerInstance == 4, "the sphere shader reads four spheres an instance");
    for (unsigned int slot = instanceAttribute; slot < instanceAttribute + 2 * spheresPerInstance; ++slot)
        stateSet->setAttribute(new osg::VertexAttribDivisor(slot, 1));

    // Every instance draws four spheres, each a square drawn from its corners: (-1 or 1, -1 or 1, the slot).
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    for (unsigned int slot = 0; slot < spheresPerInstance; ++slot)
        for (const osg::Vec2 corner :
             {osg::Vec2(-1.0f, -1.0f), osg::Vec2(1.0f, -1.0f), osg::Vec2(1.0f, 1.0f), osg::Vec2(-1.0f, 1.0f)})
            corners->push_back(osg::Vec3(corner, static_cast<float>(slot)));
    for (SphereBatch& batch : sphereBatches)
    {
        // The last instance's spare slots draw the last sphere again, which changes no pixel.
        const std::size_t last = (batch.centres.count - 1) % spheresPerInstance;
        const std::size_t instances = batch.centres.finish((*batch.centres.slots[last]).back());
        batch.colors.finish((*batch.colors.slots[last]).back());
        std::vector<osg::Array*> arrays;
        for (unsigned int slot = 0; slot < spheresPerInstance; ++slot)
        {
            arrays.push_back(batch.centres.slots[slot].get());
            arrays.push_back(batch.colors.slots[slot].get());
        }
        geode->addDrawable(
            createInstances(corners.get(), arrays,
                            new osg::DrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners->size()),
                                                static_cast<int>(instances)),
                            batch.box, GlyphStyle::siteRadius));
    }
    return geode;
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
                          "#define GLYPH_CHANNEL " + glyphChannel(*list.texture) + "\n")
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

osg::ref_ptr<osg::Group> SceneBuilder::createScene()
{
    endGroup();
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->setName("batched network");
    osg::ref_ptr<osg::Uniform> lightingOn = new osg::Uniform("lightingOn", true);
    lightingOn->setDataVariance(osg::Object::DYNAMIC);
    scene->getOrCreateStateSet()->addUniform(lightingOn.get());
    scene->setCullCallback(new LightingSwitch(lightingOn.get()));
    scene->addChild(createLinks());
    scene->addChild(createSpheres());
    scene->addChild(createLabels());

    // Framed as the same network drawn one glyph per element: its links geode, each label, each group.
    std::vector<osg::BoundingSphere> children;
    children.reserve(childBounds.size() + labelBounds.size() + 1);
    if (linksBox.valid())
        children.emplace_back(linksBox.center(), linksBox.radius());
    children.insert(children.end(), childBounds.begin(), childBounds.end());
    children.insert(children.end(), labelBounds.begin(), labelBounds.end());
    scene->setComputeBoundingSphereCallback(new FixedBound(groupBound(children)));
    return scene;
}
