#include <app/CommandLine.h>
#include <app/Display.h>
#include <app/OutputRun.h>
#include <app/Settings.h>
#include <app/SitePlacement.h>
#include <app/Stage.h>
#include <app/StandardErrorNotifyHandler.h>
#include <app/StartingView.h>
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
    if (answerRequest(arguments, std::cout))
        return 0;
    checkArgumentCount(arguments);

    // take the group file and the region lists, stopping at the first that cannot be read; then the settings
    // of the environment, each checked before any input is read.
    const InputFiles files = readInputFiles(arguments);
    const Settings settings = readSettings(files);

    // what the run makes: the window, an image or a figure, on its background; losing the display ends it.
    const Output output = readOutput(arguments, settings);
    watchDisplay(output);

    // read the network in its format and classify its sites by the region lists.
    LoadProgress progress = LoadProgress::onTerminal();
    CorrelationNetwork network;
    const NetworkSource source = readNetwork(files.groupFile, settings.reading, network, progress);
    classifyRegions(network, readRegionLists(files, settings.reading.selection));

    // find what the output shows of the sites (communities, centrality), and give every site its place: at
    // its residue of a structure, or on the rings of its groups; or show the network of the communities
    // instead.
    const SiteLayout layout = arrangeSites(network, source, settings, output.kind);

    // log the links on a thread of their own while the output's scene, if any, is drawn: each takes seconds.
    std::future<void> logged = logLinksMeanwhile(network);
    const LabelStyle style = labelStyleOf(output);
    const NetworkScene scene = drawNetwork(network, layout, style, output, progress);
    logged.get();
    progress.finish();

    // the view the run starts from: the settings' cutoff, region filter, pick and the ends of the paths each
    // output finds and lists (the window beside its loop); then the output, made from all of it.
    ViewState view = startingView(settings, network);
    const RunInput input{files, settings, output, network, layout, scene, style, view};
    makeOutput(arguments, input);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // every failure is thrown here and told in one line: an input refused, an output that could not be made,
    // a network too large for this machine or for the program's numbering.
    try
    {
        return run(argc, argv);
    }
    catch (const ToldError& error)
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
