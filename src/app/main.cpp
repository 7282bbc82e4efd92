#include <app/CommandLine.h>
#include <app/Display.h>
#include <app/FigurePage.h>
#include <app/Output.h>
#include <app/Settings.h>
#include <app/SitePlacement.h>
#include <app/Stage.h>
#include <app/StandardErrorNotifyHandler.h>
#include <app/WindowRun.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <scene/NetworkScene.h>

#include <osg/ArgumentParser>

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

namespace
{

int run(int argc, char** argv)
{
    // standard output carries only the program's own lines; the toolkit speaks on standard error.
    osg::setNotifyHandler(new StandardErrorNotifyHandler);

    osg::ArgumentParser arguments(&argc, argv);
    describeUsage(arguments);
    switch (readRequest(arguments))
    {
    case Request::Help:
        writeHelp(arguments, std::cout);
        return 0;
    case Request::Version:
        writeVersion(std::cout);
        return 0;
    case Request::Run:
        break;
    }
    if (!acceptsArgumentCount(arguments))
        return 1;

    // take the group file and the region lists, stopping at the first that cannot be read.
    const InputFiles files = readInputFiles(arguments);

    // the settings of the environment, each checked before any input is read.
    Settings settings;
    if (!readSettings(files, settings))
        return 1;

    // what the run makes: the window, an image or a figure, on its background; losing the display ends it.
    const Output output = readOutput(arguments);
    watchDisplay(output.kind == OutputKind::RasterImage ? output.file : std::string());

    // read the network in its format and classify its sites by the region lists.
    LoadProgress progress = LoadProgress::onTerminal();
    CorrelationNetwork network;
    const InputFormat format = readNetwork(files.groupFile, settings.reading, network, progress);
    classifyRegions(network, readRegionLists(files));

    // give every site its place: at its residue of a structure, or on the rings of its groups.
    const SiteLayout layout = placeSites(network, format, settings);
    if (output.kind == OutputKind::NetworkFile)
        return writeNetworkFile(output, network, layout);

    // draw the network while its links are logged.
    const LabelStyle style{readLabelFont(), output.textColor};
    const SceneDetail detail = sceneDetailForDisplay();
    const RenderPath path = chooseRenderPath(network.linkCount(), network.siteCount(), detail);
    const NetworkScene scene =
        buildNetworkScene(network, layout, style, path, detail, &progress, [&network] { logLinks(network); });
    progress.finish();

    // a large network takes a while yet to be drawn for the first time; a terminal is told.
    LoadProgress waiting = LoadProgress::onTerminal();
    waiting.wait("preparing the first frame");

    // set the stage: the colour key, the explorer's cutoff, filter and pick, and the trackball.
    const RunInput input{files, settings, output, network, layout, scene, style};
    Stage stage;
    if (!setStage(input, stage))
        return 1;

    // show it in the window, or write it.
    if (output.kind == OutputKind::VectorFigure)
        return writeFigure(input, stage);
    return showInWindow(arguments, input, stage, waiting);
}

} // namespace

int main(int argc, char** argv)
{
    // a network too large for this machine, or for the program's numbering, is refused rather than crashing.
    try
    {
        return run(argc, argv);
    }
    catch (const InputError& error)
    {
        std::printf("%s\n", error.what());
    }
    catch (const NetworkTooLarge& error)
    {
        std::printf("Error: the network has %s; linkmap cannot show it\n", error.what());
    }
    catch (const std::bad_alloc&)
    {
        std::printf("Error: not enough memory for this network; linkmap cannot show it\n");
    }
    catch (const std::exception& error)
    {
        std::printf("Error: linkmap stopped: %s\n", error.what());
    }
    return 1;
}
