// Prints how long loading takes as the input grows: networks of 10^4 to 10^7 links loaded phase by phase
// (read, classify, log, lay out, build, optimise), then the readers alone on group files of 25 to 100 MB and
// on one very long line. Run from the build folder:
//     bench/LoadBenchmark [folder for the generated files, /tmp by default]

#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>

#include <osgUtil/Optimizer>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

namespace
{

double secondsFor(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs work with standard output, where every link is logged, sent to /dev/null.
double quietSecondsFor(const std::function<void()>& work)
{
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    const double seconds = secondsFor(work);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(null);
    close(saved);
    return seconds;
}

// Writes groups of sitesPerGroup sites with all their weights, names drawn from a pool so that about a
// quarter repeat, until the file holds at least bytes bytes. Returns the number of sites written.
std::size_t writeGroupFile(const std::string& path, std::size_t bytes, int sitesPerGroup)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> weight(-999, 999);
    std::size_t written = 0;
    std::size_t sites = 0;
    std::size_t nextName = 0;
    std::string line;
    while (written < bytes)
    {
        line.clear();
        for (int s = 0; s < sitesPerGroup; ++s, ++sites)
        {
            const std::size_t number = (random() % 4 == 0 && nextName > 0) ? random() % nextName : nextName++;
            line += "K" + std::to_string(number) + " ";
        }
        for (int w = 0; w < sitesPerGroup * (sitesPerGroup - 1) / 2; ++w)
        {
            char text[16];
            std::snprintf(text, sizeof text, "%.3f ", weight(random) / 1000.0);
            line += text;
        }
        line.back() = '\n';
        std::fputs(line.c_str(), file);
        written += line.size();
    }
    std::fclose(file);
    return sites;
}

// Writes groups of sites each, every pair weighted with three decimals, as the generated test networks are.
void writeNetwork(const std::string& path, int groupCount, int sitesPerGroup)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::mt19937 random(54321);
    std::uniform_int_distribution<int> weight(-999, 999);
    for (int group = 0; group < groupCount; ++group)
    {
        for (int site = 0; site < sitesPerGroup; ++site)
            std::fprintf(file, "K%d ", group * sitesPerGroup + site + 1);
        const int pairs = sitesPerGroup * (sitesPerGroup - 1) / 2;
        for (int pair = 0; pair < pairs; ++pair)
            std::fprintf(file, "%.3f%c", weight(random) / 1000.0, pair + 1 < pairs ? ' ' : '\n');
    }
    std::fclose(file);
}

// The largest resident size the process has had so far, in MB. The networks are measured from small to
// large, first of all, so that each row's peak is its own.
double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Loads a network as the program does: read, classify, lay out, and build, logging the links on a thread of
// their own meanwhile. Returns the seconds it took.
double loadAsTheProgramDoes(const InputFiles& files)
{
    CorrelationNetwork network;
    LoadProgress silent;
    return quietSecondsFor([&] {
        readNetwork(files.groupFile, ReadSettings(), network, silent);
        classifyRegions(network, readRegionLists(files));
        const SiteLayout layout = layoutSites(network, LayoutKind::RingGrid);
        const LabelStyle style{readLabelFont()};
        const RenderPath path = chooseRenderPath(network.linkCount(), network.siteCount(), SceneDetail());
        std::future<void> logged = logLinksMeanwhile(network);
        const NetworkScene drawn = buildNetworkScene(network, layout, style, path);
        logged.get();
    });
}

// Loads a network as the program does, then again phase by phase, and optimises its scene as the viewer does;
// prints one row: the seconds of each phase, the load as the program does it (where the log and the build
// overlap), the load per link, and the peak resident size.
void measureScene(const char* title, const InputFiles& files)
{
    const double load = loadAsTheProgramDoes(files);

    CorrelationNetwork network;
    LoadProgress silent;
    const double read = secondsFor([&] {
        readNetwork(files.groupFile, ReadSettings(), network, silent);
        classifyRegions(network, readRegionLists(files));
    });
    const double log = quietSecondsFor([&] { logLinks(network); });
    SiteLayout layout;
    const double place = secondsFor([&] { layout = layoutSites(network, LayoutKind::RingGrid); });
    NetworkScene drawn;
    const double build = secondsFor([&] {
        const LabelStyle style{readLabelFont()};
        const RenderPath path = chooseRenderPath(network.linkCount(), network.siteCount(), SceneDetail());
        drawn = buildNetworkScene(network, layout, style, path);
    });
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->addChild(drawn.root.get());
    const auto links = static_cast<unsigned>(network.linkCount());
    const double optimise = secondsFor([&] {
        osgUtil::Optimizer optimizer;
        keepBatchesWhole(optimizer);
        optimizer.optimize(scene.get());
    });
    const double total = read + log + place + build + optimise;
    const double peak = peakMegabytes();
    std::printf("%-10s %10u %8.3f %8.3f %8.3f %8.3f %9.3f %8.3f %8.3f %9.2f %9.0f\n", title, links, read, log,
                place, build, optimise, total, load, links > 0 ? 1e6 * load / links : 0.0, peak);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/linkmap-benchmark-groups.txt";

    std::printf("Loading networks of groups of 20 sites, phase by phase (seconds), and the peak resident "
                "size:\n");
    std::printf("%-10s %10s %8s %8s %8s %8s %9s %8s %8s %9s %9s\n", "network", "links", "read", "log",
                "layout", "build", "optimise", "total", "load", "us/link", "peak MB");
    InputFiles example;
    example.groupFile = std::string(LINKMAP_EXAMPLES) + "/network.txt";
    example.positiveFile = std::string(LINKMAP_EXAMPLES) + "/positive.txt";
    example.negativeFile = std::string(LINKMAP_EXAMPLES) + "/negative.txt";
    example.acceleratedFile = std::string(LINKMAP_EXAMPLES) + "/accelerated.txt";
    measureScene("example", example);
    // About 10^4 to 10^7 links: the time per link shows whether loading grows linearly.
    for (const int groups : {53, 530, 5300, 53000})
    {
        writeNetwork(path, groups, 20);
        InputFiles files;
        files.groupFile = path;
        measureScene((std::to_string(groups) + "x20").c_str(), files);
    }

    std::printf("\nReading group files (read, every repeated name found as its site):\n");
    std::printf("%10s %12s %10s %10s\n", "MB", "sites", "seconds", "MB/s");
    for (std::size_t megabytes : {25, 50, 100})
    {
        const std::size_t sites = writeGroupFile(path, megabytes << 20, 8);
        CorrelationNetwork network;
        LoadProgress silent;
        const double seconds = quietSecondsFor([&] { readGroupFile(path, network, silent); });
        std::printf("%10zu %12zu %10.2f %10.1f\n", megabytes, sites, seconds, megabytes / seconds);
    }

    std::printf("\nOne line of a single group of 2,000 sites and 1,999,000 weights:\n");
    {
        writeGroupFile(path, 1, 2000);
        const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
        CorrelationNetwork network;
        LoadProgress silent;
        const double seconds = quietSecondsFor([&] { readGroupFile(path, network, silent); });
        std::printf("%10.2f seconds for one line of %.1f MB\n", seconds, megabytes);
    }

    std::remove(path.c_str());
    return 0;
}
