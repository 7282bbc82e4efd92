#include <scene/Batches.h>
#include <scene/GlyphStyle.h>
#include <scene/SceneBuilder.h>
#include <scene/Shaders.h>

#include <osg/LOD>
#include <osg/Uniform>
#include <osg/VertexAttribDivisor>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

// The points of a cylinder's ring of radius 1, as tessellated, in its own plane.
const std::vector<osg::Vec3>& cylinderRim()
{
    static const std::vector<osg::Vec3> rim = [] {
        const auto segments = static_cast<unsigned int>(40 * GlyphStyle::cylinderDetail);
        std::vector<osg::Vec3> points;
        for (unsigned int k = 0; k < segments; ++k)
        {
            const double angle = 2.0 * osg::PI * (k + 1) / segments;
            points.emplace_back(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)),
                                0.0f);
        }
        return points;
    }();
    return rim;
}

// The state every link shares: the cylinder's size, the highlight the explorer changes, and the divisors of
// the links' own values.
void setUpLinkState(osg::StateSet& stateSet, int segments, float radius, const GlyphSizes& sizes)
{
    stateSet.addUniform(new osg::Uniform("radius", radius));
    stateSet.addUniform(new osg::Uniform("thinnestWeight", sizes.thinnestWeight));
    stateSet.addUniform(new osg::Uniform("weightTop", sizes.weightTop));
    stateSet.addUniform(new osg::Uniform("segments", segments));
    for (osg::Uniform* highlight :
         {new osg::Uniform("cutoff", 0.0f), new osg::Uniform("regionFilter", 0.0f),
          new osg::Uniform("emphasis", 0), new osg::Uniform("emphasisA", osg::Vec3()),
          new osg::Uniform("emphasisB", osg::Vec3()), new osg::Uniform("dimColor", osg::Vec4())})
    {
        highlight->setDataVariance(osg::Object::DYNAMIC);
        stateSet.addUniform(highlight);
    }
    for (unsigned int slot = instanceAttribute; slot < instanceAttribute + 2 * linksPerInstance; ++slot)
        stateSet.setAttribute(new osg::VertexAttribDivisor(slot, 1));
}

// The corners of a link's front or roof, four links an instance: each edge's place along the front and the
// end it stands at, 1 for a and -1 for b.
osg::ref_ptr<osg::Vec3Array> linkCorners(const std::vector<unsigned int>& edges)
{
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    for (unsigned int slot = 0; slot < linksPerInstance; ++slot)
        for (const unsigned int edge : edges)
            for (const float end : {1.0f, -1.0f})
                corners->push_back(osg::Vec3(static_cast<float>(edge), end, static_cast<float>(slot)));
    return corners;
}

// The facets that join the corners of each edge with those of the next, for instances of four links.
osg::ref_ptr<osg::DrawElementsUShort> linkFacets(std::size_t edgeCount, int instances)
{
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
}

} // namespace

void SceneBuilder::LinkBatch::begin(std::size_t size)
{
    ends.begin(linksPerInstance, size);
    otherEnds.begin(linksPerInstance, size);
}

void SceneBuilder::addLink(const osg::Vec3& a, const osg::Vec3& b, float weight, std::uint8_t regions)
{
    if (linkBatches.empty() || linkBatches.back().ends.count == detail.glyphsPerBatch)
        linkBatches.emplace_back().begin(nextBatchSize(linksExpected, linksAdded));
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
        const osg::Vec3 point = (ringX * rim.x() + ringY * rim.y()) * sizes.linkRadius;
        for (int axis = 0; axis < 3; ++axis)
            reach[axis] = std::max(reach[axis], std::fabs(point[axis]));
    }
    for (const osg::Vec3& end : {a, b})
    {
        linksBox.expandBy(end - reach);
        linksBox.expandBy(end + reach);
    }
}

osg::ref_ptr<osg::Group> SceneBuilder::createLinks()
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setName("links");
    linkState = group->getOrCreateStateSet();
    const int segments = static_cast<int>(40 * GlyphStyle::cylinderDetail);
    setUpLinkState(*linkState, segments, sizes.linkRadius, sizes);
    const std::string linkVertex =
        std::string(Shaders::lighting) + Shaders::linkLook + Shaders::linkRing + Shaders::linkVertex;
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
    std::vector<unsigned int> frontEdges;
    for (unsigned int edge = 0; edge <= lastEdge; ++edge)
        frontEdges.push_back(edge);
    const std::vector<unsigned int> roofEdges = {0, lastEdge / 2, lastEdge};
    const osg::ref_ptr<osg::Vec3Array> frontCorners = linkCorners(frontEdges);
    const osg::ref_ptr<osg::Vec3Array> roofCorners = linkCorners(roofEdges);

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
            frontCorners.get(), arrays, linkFacets(frontEdges.size(), static_cast<int>(instances)), batch.box,
            sizes.linkRadius);
        front->setStateSet(frontState.get());
        osg::ref_ptr<osg::Geometry> roof = new osg::Geometry(*front, osg::CopyOp::SHALLOW_COPY);
        useOwnBuffer(roofCorners.get());
        roof->setVertexArray(roofCorners.get());
        roof->setPrimitiveSet(0, linkFacets(roofEdges.size(), static_cast<int>(instances)));
        roof->setStateSet(roofState.get());

        // The level is chosen by a link's width on screen, judged at the middle of the batch: the pixel size
        // of a bound is the width its diameter covers.
        osg::ref_ptr<osg::LOD> lod = new osg::LOD;
        lod->setRangeMode(osg::LOD::PIXEL_SIZE_ON_SCREEN);
        const float diameter = 2.0f * front->getBound().radius();
        const float switchSize = detail.fullFrontPixels * diameter / (2.0f * sizes.linkRadius);
        lod->addChild(roof.get(), 0.0f, switchSize);
        lod->addChild(front.get(), switchSize, std::numeric_limits<float>::max());
        group->addChild(lod);
    }
    return group;
}
