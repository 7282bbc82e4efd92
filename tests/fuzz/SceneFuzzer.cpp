#include <FuzzInput.h>
#include <app/Explorer.h>
#include <network/NetworkReader.h>
#include <scene/NetworkScene.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Small networks only: each input is built twice, one glyph per element and in batches.
    for (const bool batched : {false, true})
    {
        CorrelationNetwork network;
        LoadProgress silent;
        try
        {
            readGroupFile(writeFuzzInput(data, size), network, silent);
        }
        catch (const InputError& error)
        {
            checkText(error.what());
            checkWrittenText();
            return 0; // a gzip stream cut short or damaged
        }
        checkWrittenText();
        if (network.linkCount() > 2000)
            return 0;
        const SiteLayout layout = layoutRingGrid(network);
        static const LabelStyle style{readLabelFont()};
        const NetworkScene scene = buildNetworkScene(
            network, layout, style, batched ? RenderPath::Batched : RenderPath::OneGlyphPerElement);
        // Whatever the input, the scene has a bound the first view can frame, or none at all.
        const osg::BoundingSphere bound = scene.root->getBound();
        if (bound.valid() && !(bound.radius() >= 0.0f && bound.center().valid()))
            std::abort();

        // Every site is found by a ray straight through it, or something in front of it; a link between two
        // sites by a ray through its middle; and each is described in the corner.
        const InputFiles files;
        ViewState view;
        osg::ref_ptr<Explorer> explorer =
            new Explorer(ExploredNetwork{network, layout, scene, files, style}, view,
                         new osgGA::TrackballManipulator, osg::Vec4(0.2f, 0.2f, 0.4f, 1.0f));
        const osg::Vec3d down(0.0, 1.0, 0.0);
        for (std::size_t site = 0; site < network.names.size() && site < 50; ++site)
        {
            const osg::Vec3d centre(layout.positions[site]);
            PickRay ray{centre - down * 100.0, down, 0.001};
            const Pick pick = explorer->pickAt(ray);
            if (pick.kind == Pick::Kind::Nothing || explorer->getCornerText().empty())
                std::abort();
            ray.direction = osg::Vec3d(0.3, 1.0, -0.2);
            ray.origin = centre - ray.direction * 50.0;
            explorer->centreAt(ray);
        }
        for (std::size_t link = 0; link < network.links.size() && link < 50; ++link)
        {
            const SiteLink& ends = network.links[link];
            const osg::Vec3d middle((layout.positions[ends.first] + layout.positions[ends.second]) * 0.5f);
            if (explorer->pickAt(PickRay{middle - down * 100.0, down, 0.001}).kind == Pick::Kind::Nothing)
                std::abort();
        }
        explorer->raiseCutoff();
        explorer->pickAt(PickRay{osg::Vec3d(-1e6, -100.0, 0.0), down, 0.001});
        if (explorer->getCornerText().rfind("Cutoff 0.05: ", 0) != 0)
            std::abort();
    }
    return 0;
}
