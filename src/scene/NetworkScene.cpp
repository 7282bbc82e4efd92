#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>
#include <scene/NetworkScene.h>
#include <scene/TraceTube.h>

#include <osg/Depth>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/LineWidth>

#include <future>

namespace
{

// Tells a terminal how far building has come, every so many elements.
void tell(LoadProgress* progress, std::size_t done, std::size_t total)
{
    if (progress != nullptr && done % 1024 == 0)
        progress->update("building the scene", static_cast<double>(done) / static_cast<double>(total));
}

void buildGlyphs(const CorrelationNetwork& network, const SiteLayout& layout, const LabelStyle& style,
                 NetworkScene& scene, LoadProgress* progress)
{
    osg::ref_ptr<osg::Geode> links = new osg::Geode;
    scene.root->addChild(links);
    const std::vector<osg::Vec3>& positions = layout.positions;
    const std::size_t total = network.ringCount() + network.linkCount();
    // A figure keeps every label's text, to show the labels that do not overlap.
    std::vector<osg::ref_ptr<osg::Drawable>> texts(layout.figure ? network.siteCount() : 0);
    std::vector<osg::ref_ptr<osg::ShapeDrawable>> sphereGlyphs(texts.size());
    LabelExtents extents;
    if (layout.figure)
        extents = LabelExtents{std::vector<osg::Vec3>(network.siteCount()),
                               std::vector<osg::Vec2>(network.siteCount())};
    for (std::size_t ringIndex = 0; ringIndex < network.ringCount(); ++ringIndex)
    {
        tell(progress, ringIndex, total);
        osg::ref_ptr<osg::Geode> spheres = new osg::Geode;
        for (const std::uint32_t site : network.ring(ringIndex))
        {
            const GlyphSizes sizes = layout.glyphs.sized(sphereScale(layout, site));
            osg::ref_ptr<osg::ShapeDrawable> sphere =
                createSiteSphere(positions[site], sphereColor(layout, network, site), sizes);
            spheres->addDrawable(sphere);
            if (layout.figure && site < texts.size())
            {
                // Recoloured when it is dimmed, so never merged with the others.
                sphere->setDataVariance(osg::Object::DYNAMIC);
                sphereGlyphs[site] = sphere;
            }
            osg::ref_ptr<osg::Geode> label =
                createSiteLabel(positions[site], network.names[site], style, sizes, layout.figure);
            if (layout.figure && site < texts.size())
            {
                texts[site] = label->getDrawable(0);
                // A text's bound lies in its own plane, whichever way it turns to the screen.
                const osg::BoundingBox& bounds = texts[site]->getBoundingBox();
                extents.anchors[site] = sizes.labelAnchor(positions[site]);
                if (bounds.valid())
                    extents.halfSizes[site] =
                        osg::Vec2(bounds.xMax() - bounds.xMin(), bounds.yMax() - bounds.yMin()) / 2.0f;
            }
            scene.root->addChild(label);
        }
        scene.root->addChild(spheres);
    }
    if (layout.figure)
    {
        scene.labels = new LabelThinning(std::move(extents), centralityRanks(network),
                                         [texts](const std::vector<bool>& shown) {
            for (std::size_t site = 0; site < texts.size(); ++site)
                if (texts[site].valid())
                    texts[site]->setNodeMask(shown[site] ? ~0u : 0u);
        });
        scene.root->addCullCallback(scene.labels.get());
        std::vector<osg::Vec4> colors;
        for (const osg::ref_ptr<osg::ShapeDrawable>& sphere : sphereGlyphs)
            colors.push_back(sphere.valid() ? sphere->getColor() : osg::Vec4());
        scene.dimSites =
            [sphereGlyphs, colors, background = style.haloColor](const std::vector<bool>& dimmed) {
            for (std::size_t site = 0; site < sphereGlyphs.size(); ++site)
                if (sphereGlyphs[site].valid())
                    sphereGlyphs[site]->setColor(site < dimmed.size() && dimmed[site]
                                                     ? dimmedColor(colors[site], background)
                                                     : colors[site]);
        };
    }
    scene.linkGlyphs.reserve(network.linkCount());
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        tell(progress, network.ringCount() + link, total);
        const SiteLink& ends = network.links[link];
        scene.linkGlyphs.push_back(
            createLink(positions[ends.first], positions[ends.second], ends.weight, layout.glyphs));
        links->addDrawable(scene.linkGlyphs.back());
    }
}

void buildBatches(const CorrelationNetwork& network, const SiteLayout& layout, const LabelStyle& style,
                  const SceneDetail& detail, NetworkScene& scene, LoadProgress* progress)
{
    SceneBuilder builder(style.font.get(), style.textColor, detail, layout.glyphs);
    if (layout.figure)
        builder.outlineLabels(style.haloColor);

    // The labels are laid out on a thread of their own while the spheres and links are added; without a
    // thread to spare, in turn.
    const auto layOutLabels = [&builder, &network] {
        for (const std::string& name : network.names)
            builder.addLabel(name);
    };
    std::future<void> labels;
    try
    {
        labels = std::async(std::launch::async, layOutLabels);
    }
    catch (const std::system_error&)
    {
        layOutLabels();
    }

    builder.reserve(network.linkCount(), network.siteCount());
    const std::vector<osg::Vec3>& positions = layout.positions;
    const std::size_t total = network.ringCount() + network.linkCount();
    std::vector<std::uint32_t> sphereOrder;
    for (std::size_t ringIndex = 0; ringIndex < network.ringCount(); ++ringIndex)
    {
        tell(progress, ringIndex, total);
        builder.beginGroup();
        for (const std::uint32_t site : network.ring(ringIndex))
        {
            builder.addSphere(positions[site], sphereColor(layout, network, site),
                              layout.glyphs.siteRadius * sphereScale(layout, site));
            if (layout.figure)
                sphereOrder.push_back(site);
        }
    }
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        tell(progress, network.ringCount() + link, total);
        const SiteLink& ends = network.links[link];
        builder.addLink(positions[ends.first], positions[ends.second], ends.weight,
                        network.linkRegions[link]);
    }
    if (labels.valid())
        labels.get();
    // A label drops below a larger sphere as far as the sphere is larger.
    if (layout.scales.empty())
        builder.placeLabels(positions);
    else
    {
        std::vector<osg::Vec3> anchors = positions;
        for (std::size_t site = 0; site < anchors.size(); ++site)
            anchors[site].y() -= layout.glyphs.siteRadius * (sphereScale(layout, site) - 1.0f);
        builder.placeLabels(anchors);
    }

    if (layout.figure)
    {
        scene.labels = builder.createLabelThinning(centralityRanks(network));
        scene.root->addCullCallback(scene.labels.get());
        scene.dimSites = builder.createSiteDimming(sphereOrder, network.siteCount(), style.haloColor);
    }
    osg::ref_ptr<osg::Group> batches = builder.createScene();
    scene.linkState = builder.getLinkState();
    scene.root->addChild(batches);
    // Framed as the scene of one glyph per element would be, so that the first view is the same.
    scene.root->setComputeBoundingSphereCallback(batches->getComputeBoundingSphereCallback());
}

// A thin line through the places of each run of trace, drawn beneath everything else: grey, or in the colours
// of the sites along it (one a point).
osg::ref_ptr<osg::Node> createChainTrace(const std::vector<std::vector<osg::Vec3>>& trace,
                                         const std::vector<std::vector<osg::Vec4>>& colors)
{
    osg::ref_ptr<osg::Geometry> lines = new osg::Geometry;
    lines->setName("chain trace");
    lines->setUseDisplayList(false);
    lines->setUseVertexBufferObjects(true);
    osg::ref_ptr<osg::Vec3Array> places = new osg::Vec3Array;
    for (const std::vector<osg::Vec3>& run : trace)
    {
        const auto first = static_cast<GLint>(places->size());
        places->insert(places->end(), run.begin(), run.end());
        lines->addPrimitiveSet(new osg::DrawArrays(GL_LINE_STRIP, first, static_cast<GLsizei>(run.size())));
    }
    lines->setVertexArray(places.get());
    if (colors.size() == trace.size())
    {
        osg::ref_ptr<osg::Vec4Array> pointColors = new osg::Vec4Array;
        for (const std::vector<osg::Vec4>& run : colors)
            pointColors->insert(pointColors->end(), run.begin(), run.end());
        lines->setColorArray(pointColors.get(), osg::Array::BIND_PER_VERTEX);
    }
    else
    {
        osg::ref_ptr<osg::Vec4Array> color = new osg::Vec4Array(1, &GlyphStyle::traceColor);
        lines->setColorArray(color.get(), osg::Array::BIND_OVERALL);
    }

    // Beneath everything: drawn first, unlit, and leaving the depth to the sites and links drawn over it.
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(lines.get());
    osg::StateSet* state = geode->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setAttributeAndModes(new osg::Depth(osg::Depth::LESS, 0.0, 1.0, false));
    state->setAttributeAndModes(new osg::LineWidth(GlyphStyle::tracePixels));
    state->setRenderBinDetails(-1, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    return geode;
}

// The trace as a figure draws it: a lit tube among the spheres and links, in the colours of the sites along
// it or grey; dimmed towards background by scene.dimTrace.
osg::ref_ptr<osg::Node> createTraceTube(const std::vector<std::vector<osg::Vec3>>& trace,
                                        const std::vector<std::vector<osg::Vec4>>& colors,
                                        const osg::Vec4& background, NetworkScene& scene)
{
    const TubeMesh tube = traceTube(trace, colors, GlyphStyle::traceTubeRadius);
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setName("chain trace");
    geometry->setDataVariance(osg::Object::DYNAMIC);
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    geometry->setVertexArray(new osg::Vec3Array(tube.points.begin(), tube.points.end()));
    geometry->setNormalArray(new osg::Vec3Array(tube.normals.begin(), tube.normals.end()),
                             osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Vec4Array> own = new osg::Vec4Array(tube.colors.begin(), tube.colors.end());
    osg::ref_ptr<osg::Vec4Array> dimmed = new osg::Vec4Array;
    for (const osg::Vec4& color : tube.colors)
        dimmed->push_back(dimmedColor(color, background));
    geometry->setColorArray(own.get(), osg::Array::BIND_PER_VERTEX);
    scene.dimTrace = [geometry, own, dimmed](bool dim) {
        geometry->setColorArray(dim ? dimmed.get() : own.get(), osg::Array::BIND_PER_VERTEX);
    };
    geometry->addPrimitiveSet(
        new osg::DrawElementsUInt(GL_TRIANGLES, tube.triangles.begin(), tube.triangles.end()));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(geometry.get());
    return geode;
}

} // namespace

RenderPath chooseRenderPath(std::size_t linkCount, std::size_t siteCount, const SceneDetail& detail)
{
    if (detail.wantsOneGlyphPerElement(linkCount, siteCount))
        return RenderPath::OneGlyphPerElement;
    if (detail.shadersRun && !detail.shadersRun())
        return RenderPath::OneGlyphPerElement;
    return RenderPath::Batched;
}

NetworkScene buildNetworkScene(const CorrelationNetwork& network, const SiteLayout& layout,
                               const LabelStyle& style, RenderPath path, const SceneDetail& detail,
                               LoadProgress* progress)
{
    NetworkScene scene;
    scene.path = path;
    scene.root = new osg::Group;
    if (path == RenderPath::Batched)
        buildBatches(network, layout, style, detail, scene, progress);
    else
        buildGlyphs(network, layout, style, scene, progress);
    if (!layout.trace.empty())
        scene.trace = layout.figure
                          ? createTraceTube(layout.trace, traceColors(layout), style.haloColor, scene)
                          : createChainTrace(layout.trace, traceColors(layout));
    return scene;
}
