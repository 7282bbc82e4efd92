#include <app/Display.h>
#include <app/SiteAnalysis.h>
#include <app/Stage.h>
#include <app/ViewFile.h>

#include <osgUtil/Optimizer>

#include <filesystem>

LabelStyle labelStyleOf(const Output& output)
{
    const osg::Vec4 halo(output.background.r(), output.background.g(), output.background.b(), 1.0f);
    return LabelStyle{drawsScene(output.kind) ? readLabelFont() : nullptr, output.textColor, halo};
}

NetworkScene drawNetwork(const CorrelationNetwork& network, const SiteLayout& layout, const LabelStyle& style,
                         const Output& output, LoadProgress& progress)
{
    if (!drawsScene(output.kind))
        return NetworkScene();
    // Only a display can tell whether it runs the batches' shaders; an output without one is asked nothing.
    const SceneDetail detail = needsDisplay(output.kind) ? sceneDetailForDisplay() : SceneDetail();
    const RenderPath path = chooseRenderPath(network.linkCount(), network.siteCount(), detail);
    return buildNetworkScene(network, layout, style, path, detail, &progress);
}

Stage setStage(const RunInput& input)
{
    Stage stage;
    // The network's scene is optimised once, alone, before it has a parent: its root is what the frame loop
    // hides while the view moves, and a root of one child would otherwise be merged away.
    osgUtil::Optimizer optimizer;
    keepBatchesWhole(optimizer);
    optimizer.optimize(input.scene.root.get());
    stage.top = new osg::Group;
    stage.top->addChild(input.scene.root.get());
    if (input.scene.trace.valid())
        stage.top->addChild(input.scene.trace.get());

    // A key to the colours, when asked for, over the scene in the window's corner.
    if (input.settings.colorKey)
    {
        stage.key.font = input.style.font;
        stage.key.textColor = input.style.textColor;
        for (const RegionKindEntry& entry : regionKinds)
            if (!(input.files.*entry.listFile).empty())
                stage.key.regions.emplace_back(
                    entry.kind, std::filesystem::path(input.files.*entry.listFile).filename().string());
        if (!input.network.members.empty())
        {
            std::vector<std::size_t> sizes;
            for (const std::vector<std::string>& members : input.network.members)
                sizes.push_back(members.size());
            stage.key.communities = communityKey(sizes);
        }
        else if (!input.layout.colors.empty())
            stage.key.communities = communityKey(input.network.communities);
        stage.key.sizeNote = sizeMeaning(input.network, input.settings);
        stage.top->addChild(createColorKey(stage.key));
    }

    stage.trackball = new Trackball;
    if (input.layout.figure)
        stage.trackball->framePoints(
            framingPoints(input.layout),
            input.settings.colorKey
                ? keyReach(layOutColorKey(stage.key.regions, stage.key.communities, stage.key.sizeNote))
                : 0.0);
    return stage;
}

float takeFirstView(osgGA::TrackballManipulator& trackball, const ViewState& view)
{
    const auto ceiling = static_cast<float>(trackball.getDistance());
    if (view.camera)
    {
        const CameraView& first = *view.camera;
        trackball.setHomePosition(first.eye, first.centre, first.up);
        trackball.setAutoComputeHomePosition(false);
        setView(trackball, first);
    }
    return ceiling;
}
