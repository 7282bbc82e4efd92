#include <app/Display.h>
#include <app/SiteAnalysis.h>
#include <app/Stage.h>
#include <app/ViewFile.h>
#include <network/LineReader.h>

#include <osgUtil/Optimizer>

#include <filesystem>

namespace
{

// A list's name in the key: its file's, and for a selection analysis the role, the method and its threshold,
// "Positive selection: FUBAR, posterior ≥ 0.9 (adh.FUBAR.json)".
std::string keyName(const CorrelationNetwork& network, const RegionKindEntry& entry, const InputFiles& files)
{
    const std::string& path = files.*entry.listFile;
    const std::string file = std::filesystem::path(path).filename().string();
    for (const SiteStatistics& statistics : network.statistics)
        if (statistics.file == inputName(path) && statistics.positive == (entry.kind == RegionKind::Positive))
            return std::string(statistics.positive ? "Positive" : "Negative") +
                   " selection: " + statistics.method + ", " + statistics.limit + " (" + file + ")";
    return file;
}

} // namespace

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
                stage.key.regions.emplace_back(entry.kind, keyName(input.network, entry, input.files));
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
        stage.key.weights.top = input.layout.glyphs.weightTop;
        if (!input.network.weightQuantity.empty())
            stage.key.weights.title = input.network.weightQuantity;
        stage.top->addChild(createColorKey(stage.key));
    }

    stage.trackball = new Trackball;
    if (input.layout.figure)
        stage.trackball->framePoints(framingPoints(input.layout),
                                     input.settings.colorKey
                                         ? keyReach(layOutColorKey(stage.key.regions, stage.key.communities,
                                                                   stage.key.sizeNote, stage.key.weights))
                                         : 0.0);
    return stage;
}

float takeFirstView(osgGA::TrackballManipulator& trackball, const Settings& settings)
{
    const auto ceiling = static_cast<float>(trackball.getDistance());
    if (settings.viewGiven)
    {
        const CameraView& first = settings.firstView;
        trackball.setHomePosition(first.eye, first.centre, first.up);
        trackball.setAutoComputeHomePosition(false);
        setView(trackball, first);
    }
    return ceiling;
}
