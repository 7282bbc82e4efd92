#include <app/CommandLine.h>
#include <app/Display.h>
#include <app/FigurePage.h>
#include <app/Output.h>
#include <app/Settings.h>
#include <app/SitePlacement.h>
#include <app/Stage.h>
#include <app/StandardErrorNotifyHandler.h>
#include <app/ViewState.h>
#include <app/WindowRun.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <scene/NetworkScene.h>

#include <osg/ArgumentParser>

#include <link.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

namespace
{

// igraph links a BLAS for routines a run never calls. OpenBLAS, where it is the system's, starts a thread a
// core as it loads, each reserving a buffer; under an address-space limit a thread that cannot have its
// buffer asks again for ever, and the run's exit waits for it. It reads how many threads it may start from
// the environment as it loads, which the C library has set by then from the process's own: so the program
// starts itself again, once, with one thread asked for, from its preinit array, which runs before any
// library's constructor. Where it cannot, or the BLAS is another, the run goes on as it is. Whether OpenBLAS
// is among the libraries loaded, all of which are in place before any is initialised.
bool loadsOpenBlas()
{
    const auto visit = [](dl_phdr_info* library, std::size_t, void*) {
        return library->dlpi_name != nullptr && std::strstr(library->dlpi_name, "openblas") != nullptr ? 1
                                                                                                       : 0;
    };
    return dl_iterate_phdr(visit, nullptr) != 0;
}

void keepBlasOnOneThread(int, char** argv, char** environment)
{
    // The C library's own view of the environment is not yet set up here: the array the process was given
    // is read, and a copy of it is handed on.
    static const char setting[] = "OPENBLAS_NUM_THREADS=";
    const std::size_t length = sizeof setting - 1;
    std::size_t count = 0;
    for (; environment != nullptr && environment[count] != nullptr; ++count)
        if (std::strncmp(environment[count], setting, length) == 0 &&
            std::strcmp(environment[count] + length, "1") == 0)
            return;
    if (argv == nullptr || argv[0] == nullptr || !loadsOpenBlas())
        return;
    auto** handed = static_cast<char**>(std::malloc((count + 2) * sizeof(char*)));
    if (handed == nullptr)
        return;
    std::size_t kept = 0;
    for (std::size_t at = 0; at < count; ++at)
        if (std::strncmp(environment[at], setting, length) != 0)
            handed[kept++] = environment[at];
    static char oneThread[] = "OPENBLAS_NUM_THREADS=1";
    handed[kept++] = oneThread;
    handed[kept] = nullptr;
    execve("/proc/self/exe", argv, handed);
    std::free(handed);
}

[[maybe_unused]] __attribute__((section(".preinit_array"),
                                used)) void (*const blasSetUp)(int, char**, char**) = keepBlasOnOneThread;

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
    const Output output = readOutput(arguments);
    watchDisplay(output);

    // read the network in its format and classify its sites by the region lists.
    LoadProgress progress = LoadProgress::onTerminal();
    CorrelationNetwork network;
    const NetworkSource source = readNetwork(files.groupFile, settings.reading, network, progress);
    classifyRegions(network, readRegionLists(files, settings.reading.selection));

    // find the sites' communities and centrality, and give every site its place: at its residue of a
    // structure, or on the rings of its groups; or show the network of the communities instead.
    const SiteLayout layout = arrangeSites(network, source, settings);

    // log the links, on a thread of their own while the scene the output shows, if any, is drawn: on a large
    // network each takes seconds.
    std::future<void> logged = logLinksMeanwhile(network);
    const LabelStyle style = labelStyleOf(output);
    const NetworkScene scene = drawNetwork(network, layout, style, output, progress);
    logged.get();
    progress.finish();

    // the view the run starts from: the settings' cutoff, region filter, picked site and camera, and the two
    // sites paths are asked for between, which each output finds and lists (the window beside its loop); then
    // the output, made from all of it.
    ViewState view = startingView(settings, network);
    const RunInput input{files, settings, output, network, layout, scene, style, view};
    switch (output.kind)
    {
    case OutputKind::Window:
    case OutputKind::RasterImage:
        showInWindow(arguments, input, setStage(input));
        break;
    case OutputKind::VectorFigure:
        writeFigure(input, setStage(input));
        break;
    case OutputKind::WebPage:
        writePage(input, setStage(input));
        break;
    case OutputKind::SceneFile:
        writeScene(input, setStage(input));
        break;
    case OutputKind::NetworkFile:
        writeNetworkFile(output, network, layout, view);
        break;
    }
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
