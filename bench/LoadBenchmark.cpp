// Prints how long loading takes as the input grows: the readers alone on group files of 25 to 100 MB and on
// one very long line, and the whole scene for networks of growing size. Run from the build folder:
//     bench/LoadBenchmark [folder for the generated files, /tmp by default]

#include <network/CorrelationNetwork>

#include <osgUtil/Optimizer>

#include <fcntl.h>
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

// Counts the drawables under a node, each as often as it is reached.
class DrawableCounter : public osg::NodeVisitor
{
public:
    DrawableCounter() : osg::NodeVisitor(osg::NodeVisitor::TRAVERSE_ALL_CHILDREN) {}

    void apply(osg::Drawable&) override
    {
        ++count;
    }

    unsigned count = 0;
};

unsigned countDrawables(osg::Node* node)
{
    DrawableCounter counter;
    node->accept(counter);
    return counter.count;
}

// Loads a network, then optimises its scene as the viewer does, and prints one row of figures.
void measureScene(const char* title, const InputFiles& files)
{
    CorrelationNetwork network;
    const double load = quietSecondsFor([&] { network.load(files); });
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->addChild(network.getRoot());
    const auto links = static_cast<unsigned>(network.countLinks());
    const unsigned before = countDrawables(scene.get());
    const double optimise = secondsFor([&] { osgUtil::Optimizer().optimize(scene.get()); });
    const unsigned after = countDrawables(scene.get());
    std::printf("%-12s %8zu %10u %10.2f %12.2f %12u %10u %14.2f\n", title, network.groups.size(), links, load,
                optimise, before, after, links > 0 ? 1e6 * (load + optimise) / links : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/linkmap-benchmark-groups.txt";

    std::printf("Reading group files (read, mark repeated names, find every site):\n");
    std::printf("%10s %12s %10s %10s\n", "MB", "sites", "seconds", "MB/s");
    for (std::size_t megabytes : {25, 50, 100})
    {
        const std::size_t sites = writeGroupFile(path, megabytes << 20, 8);
        CorrelationNetwork network;
        const double seconds = quietSecondsFor([&] {
            network.readGroupFile(path);
            network.markDuplicateNames();
            for (const SiteGroup& group : network.groups)
                for (const Site& site : group)
                    network.findSitePosition(site.name);
        });
        std::printf("%10zu %12zu %10.2f %10.1f\n", megabytes, sites, seconds, megabytes / seconds);
    }

    std::printf("\nOne line of a single group of 2,000 sites and 1,999,000 weights:\n");
    {
        writeGroupFile(path, 1, 2000);
        const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
        CorrelationNetwork network;
        const double seconds = quietSecondsFor([&] { network.readGroupFile(path); });
        std::printf("%10.2f seconds for one line of %.1f MB\n", seconds, megabytes);
    }

    std::printf("\nBuilding the scene and optimising it (generated groups of 8 sites, 28 links each):\n");
    std::printf("%-12s %8s %10s %10s %12s %12s %10s %14s\n", "network", "groups", "links", "load s",
                "optimise s", "drawables", "after", "us per link");
    InputFiles example;
    example.groupFile = std::string(LINKMAP_EXAMPLES) + "/network.txt";
    example.positiveFile = std::string(LINKMAP_EXAMPLES) + "/positive.txt";
    example.negativeFile = std::string(LINKMAP_EXAMPLES) + "/negative.txt";
    example.acceleratedFile = std::string(LINKMAP_EXAMPLES) + "/accelerated.txt";
    measureScene("example", example);
    // About 10^4, 10^5 and 10^6 links: the time per link shows whether loading grows linearly.
    for (std::size_t kilobytes : {64, 640, 6400})
    {
        writeGroupFile(path, kilobytes << 10, 8);
        InputFiles files;
        files.groupFile = path;
        measureScene((std::to_string(kilobytes) + " KB").c_str(), files);
    }
    std::remove(path.c_str());
    return 0;
}
