#include <app/Stage.h>
#include <app/ViewFile.h>

#include <osgUtil/Optimizer>

#include <cstdio>
#include <filesystem>

bool setStage(const RunInput& input, Stage& stage)
{
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
        stage.top->addChild(createColorKey(stage.key));
    }

    // Clicks and keys that pick, filter and centre; dimmed links fade into the background.
    stage.trackball = new Trackball;
    stage.explorer =
        new Explorer(ExploredNetwork{input.network, input.layout, input.scene, input.files, input.style},
                     stage.trackball.get(), input.output.background);
    stage.explorer->setCutoff(input.settings.cutoff);
    stage.explorer->setRegionFilter(input.settings.region);
    stage.top->addChild(stage.explorer->getCornerNode());

    // A site may be picked from the start, by its name.
    if (input.settings.select.empty())
        return true;
    const std::size_t site = input.network.findSite(input.settings.select);
    if (site == input.network.siteCount())
    {
        std::printf("Error: LINKMAP_SELECT names no site of the network: \"%s\"\n",
                    input.settings.select.c_str());
        return false;
    }
    stage.explorer->pickSite(site);
    return true;
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
