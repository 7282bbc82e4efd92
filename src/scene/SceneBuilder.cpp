#include <scene/Batches.h>
#include <scene/GlyphStyle.h>
#include <scene/SceneBuilder.h>
#include <scene/Shaders.h>

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Uniform>
#include <osg/VertexAttribDivisor>
#include <osgText/Text>
#include <osgUtil/CullVisitor>
#include <osgUtil/Optimizer>

#include <algorithm>

namespace
{

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

// Whether a drawable must stay whole and apart: it draws instances, or it changes while it is drawn, as a
// link glyph does that the explorer recolours and hides.
bool keptApart(const osg::Drawable* drawable)
{
    return drawable != nullptr &&
           (drawsInstances(drawable) || drawable->getDataVariance() == osg::Object::DYNAMIC);
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
        if ((option & osgUtil::Optimizer::MERGE_GEOMETRY) != 0 && keptApart(drawable))
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
                    if (keptApart(group->getChild(i)->asDrawable()))
                        return false;
        return optimizer->isOperationPermissibleForObjectImplementation(node, option);
    }
};

} // namespace

void keepBatchesWhole(osgUtil::Optimizer& optimizer)
{
    optimizer.setIsOperationPermissibleForObjectCallback(new KeepBatchesWhole);
}

SceneBuilder::SceneBuilder(osgText::Font* labelFont, const osg::Vec4& labelColor, const SceneDetail& levels,
                           const GlyphSizes& glyphSizes)
    : textColor(labelColor), detail(levels), sizes(glyphSizes),
      layout(createLabelLayout(labelFont, glyphSizes.labelHeight))
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

std::size_t SceneBuilder::nextBatchSize(std::size_t expected, std::size_t added) const
{
    return std::min(detail.glyphsPerBatch, std::max<std::size_t>(expected - added, 1));
}

void SceneBuilder::SphereBatch::begin(std::size_t size)
{
    centres.begin(spheresPerInstance, size);
    colors.begin(spheresPerInstance, size);
}

void SceneBuilder::addSphere(const osg::Vec3& position, const osg::Vec4& color, float radius)
{
    if (sitesAdded % detail.glyphsPerBatch == 0)
        sphereBatches.emplace_back().begin(nextBatchSize(sitesExpected, sitesAdded));
    ++sitesAdded;
    SphereBatch& batch = sphereBatches.back();
    batch.centres.push(osg::Vec4(position, radius));
    batch.colors.push(color);
    batch.box.expandBy(position);
    batch.largestRadius = std::max(batch.largestRadius, radius);
    const osg::Vec3 reach(radius, radius, radius);
    groupBox.expandBy(osg::BoundingBox(position - reach, position + reach));
}

std::function<void(const std::vector<bool>&)>
SceneBuilder::createSiteDimming(const std::vector<std::uint32_t>& order, std::size_t siteCount,
                                const osg::Vec4& background) const
{
    // Every site's sphere: the array of its batch's slot, its place there, and its own colour.
    struct Sphere
    {
        osg::ref_ptr<osg::Vec4Array> slot;
        std::size_t place = 0;
        osg::Vec4 color;
    };
    std::vector<Sphere> spheres(siteCount);
    for (std::size_t added = 0; added < order.size() && added < sitesAdded; ++added)
    {
        const SphereBatch& batch = sphereBatches[added / detail.glyphsPerBatch];
        const std::size_t inBatch = added % detail.glyphsPerBatch;
        const osg::ref_ptr<osg::Vec4Array>& slot = batch.colors.slots[inBatch % batch.colors.slots.size()];
        const std::size_t place = inBatch / batch.colors.slots.size();
        if (order[added] < siteCount)
            spheres[order[added]] = Sphere{slot, place, (*slot)[place]};
    }
    return [spheres, background](const std::vector<bool>& dimmed) {
        std::vector<osg::Vec4Array*> changed;
        for (std::size_t site = 0; site < spheres.size(); ++site)
        {
            const Sphere& sphere = spheres[site];
            if (!sphere.slot.valid())
                continue;
            const osg::Vec4 color =
                site < dimmed.size() && dimmed[site] ? dimmedColor(sphere.color, background) : sphere.color;
            osg::Vec4& now = (*sphere.slot)[sphere.place];
            if (now == color)
                continue;
            now = color;
            if (std::find(changed.begin(), changed.end(), sphere.slot.get()) == changed.end())
                changed.push_back(sphere.slot.get());
        }
        for (osg::Vec4Array* slot : changed)
            slot->dirty();
    };
}

void SceneBuilder::reserve(std::size_t linkCount, std::size_t siteCount)
{
    linksExpected = linkCount;
    linkBatches.reserve((linkCount + detail.glyphsPerBatch - 1) / detail.glyphsPerBatch);
    sitesExpected = siteCount;
    sphereBatches.reserve((siteCount + detail.glyphsPerBatch - 1) / detail.glyphsPerBatch);
    childBounds.reserve(siteCount + 1);
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
                            batch.box, batch.largestRadius));
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
