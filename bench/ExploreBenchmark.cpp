// Prints how fast the window answers while exploring a network: the frame time at the first view, the first
// pick (which builds the pick index), picks at sites and at random points, the time from a cutoff key to the
// next drawn frame; then each key of the find prompt, alone and with the frame that shows it, and each region
// key with its frame. It opens a window of 1280 by 1024 on the display. Run from the build folder:
//     bench/ExploreBenchmark GROUP-FILE [-p POSITIVE] [-n NEGATIVE] [-a ACCELERATED]

#include <app/Explorer.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>

#include <osg/BoundingBox>

#include <osgGA/TrackballManipulator>
#include <osgUtil/Optimizer>
#include <osgViewer/Viewer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace
{

double millisecondsFor(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The network as the program loads it, in a window of frametime.sh's size, with the explorer.
struct Explored
{
    InputFiles files;
    CorrelationNetwork network;
    SiteLayout layout;
    LabelStyle style;
    NetworkScene drawn;
    osgViewer::Viewer viewer;
    ViewState view;
    osg::ref_ptr<Explorer> explorer;
    std::mt19937 random{1};

    // Loads with the log sent to /dev/null, and sets up the window as the program does; false when no window
    // could be opened.
    bool open()
    {
        LoadProgress silent;
        readNetwork(files.groupFile, ReadSettings(), network, silent);
        classifyRegions(network, readRegionLists(files));
        std::FILE* null = std::fopen("/dev/null", "w");
        logLinks(network, null);
        std::fclose(null);
        layout = layoutSites(network, LayoutKind::RingGrid);
        style.font = readLabelFont();
        drawn = buildNetworkScene(network, layout, style,
                                  chooseRenderPath(network.linkCount(), network.siteCount(), SceneDetail()));
        osg::ref_ptr<osg::Group> scene = new osg::Group;
        scene->addChild(drawn.root.get());
        osgUtil::Optimizer optimizer;
        keepBatchesWhole(optimizer);
        optimizer.optimize(scene.get());

        viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
        viewer.setLightingMode(osg::View::HEADLIGHT);
        viewer.setUpViewInWindow(0, 0, 1280, 1024);
        osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
        viewer.setCameraManipulator(trackball.get());
        explorer = new Explorer(ExploredNetwork{network, layout, drawn, files, style}, view, trackball.get(),
                                viewer.getCamera()->getClearColor());
        scene->addChild(explorer->getCornerNode());
        viewer.addEventHandler(explorer.get());
        viewer.setSceneData(scene.get());
        viewer.realize();
        if (!viewer.isRealized())
            return false;
        viewer.home();
        return true;
    }

    // How long each of count frames takes, in milliseconds.
    std::vector<double> frames(int count)
    {
        std::vector<double> times;
        for (int i = 0; i < count; ++i)
            times.push_back(millisecondsFor([this] { viewer.frame(); }));
        return times;
    }

    // A random site, by its place among the names.
    std::size_t anySite()
    {
        return std::uniform_int_distribution<std::size_t>(0, network.names.size() - 1)(random);
    }

    // Presses key in the explorer, as the window would.
    void press(int key)
    {
        osg::ref_ptr<osgGA::GUIEventAdapter> event = new osgGA::GUIEventAdapter;
        event->setEventType(osgGA::GUIEventAdapter::KEYDOWN);
        event->setKey(key);
        explorer->handle(*event, viewer);
    }

    void measurePicks();
    void measureKeys();
};

// Picks through the drawn centres of random sites, and through random points of the plane among them; then
// the cutoff key with the frame that shows it.
void Explored::measurePicks()
{
    frames(3);
    const double frame = median(frames(7));
    const osg::Camera* camera = viewer.getCamera();
    osg::BoundingBox sites;
    for (std::size_t site = 0; site < network.names.size(); ++site)
        sites.expandBy(layout.positions[site]);
    std::uniform_real_distribution<float> across(0.0f, 1.0f);
    const auto siteRay = [&] {
        const osg::Vec3d clip =
            osg::Vec3d(layout.positions[anySite()]) * camera->getViewMatrix() * camera->getProjectionMatrix();
        return computePickRay(*camera, clip.x(), clip.y());
    };
    const double firstPick = millisecondsFor([&] { explorer->pickAt(siteRay()); });
    std::vector<double> sitePicks;
    std::vector<double> pointPicks;
    int sitesFound = 0;
    for (int i = 0; i < 1000; ++i)
    {
        const PickRay atSite = siteRay();
        sitePicks.push_back(
            millisecondsFor([&] { sitesFound += explorer->pickAt(atSite).kind == Pick::Kind::Site; }));
        const osg::Vec3d inside(sites.xMin() + across(random) * (sites.xMax() - sites.xMin()), 0.0,
                                sites.zMin() + across(random) * (sites.zMax() - sites.zMin()));
        const osg::Vec3d clip = inside * camera->getViewMatrix() * camera->getProjectionMatrix();
        const PickRay atPoint = computePickRay(*camera, clip.x(), clip.y());
        pointPicks.push_back(millisecondsFor([&] { explorer->pickAt(atPoint); }));
    }
    const double pickedFrame = median(frames(5));

    // The cutoff key, then the frame that shows it: key and frame together, step after step.
    std::vector<double> keyed;
    for (int step = 0; step < 10; ++step)
        keyed.push_back(millisecondsFor([&] {
            press('+');
            viewer.frame();
        }));
    const double cutFrame = median(frames(5));

    std::printf("| network | links | sites | frame at first view (ms) | first pick, index built (ms) | "
                "pick at a site, median (ms) | worst (ms) | pick within the network, median (ms) | frame "
                "with a pick (ms) | "
                "cutoff key to drawn frame, median (ms) | frame at cutoff 0.50 (ms) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::printf("| %s | %zu | %zu | %.1f | %.1f | %.4f | %.3f | %.4f | %.1f | %.1f | %.1f |\n",
                files.groupFile.c_str(), network.links.size(), network.names.size(), frame, firstPick,
                median(sitePicks), *std::max_element(sitePicks.begin(), sitePicks.end()), median(pointPicks),
                pickedFrame, median(keyed), cutFrame);
    std::printf("\n%d of %zu picks through a site's centre found a site. %s\n", sitesFound, sitePicks.size(),
                explorer->getCornerText().c_str());
}

// The find prompt: the name of a site typed a key at a time (each key matching the name afresh among all the
// names), then Enter, which picks and centres the first match; each key also with the frame that shows it.
// Then the region keys, each with the frame that shows it, after the cutoff is set back to 0.
void Explored::measureKeys()
{
    std::vector<double> findKeys;
    std::vector<double> findFrames;
    for (int round = 0; round < 3; ++round)
    {
        press('/');
        const std::string name = network.names[anySite()];
        for (const char typed : name)
        {
            findKeys.push_back(millisecondsFor([&] { press(typed); }));
            findFrames.push_back(millisecondsFor([&] { viewer.frame(); }));
        }
        findKeys.push_back(millisecondsFor([&] { press(osgGA::GUIEventAdapter::KEY_Return); }));
        findFrames.push_back(millisecondsFor([&] { viewer.frame(); }));
        press(osgGA::GUIEventAdapter::KEY_Escape);
    }
    const std::string found = explorer->getCornerText();

    explorer->setCutoff(0.0f);
    std::vector<double> filterKeys;
    std::vector<double> filterFrames;
    for (int round = 0; round < 2; ++round)
        for (const int region : {'1', '2', '3', '0'})
        {
            filterKeys.push_back(millisecondsFor([&] { press(region); }));
            filterFrames.push_back(millisecondsFor([&] { viewer.frame(); }));
        }
    press('1');
    const double filteredFrame = median(frames(3));

    std::printf(
        "\n| network | links | sites | find key, median (ms) | worst (ms) | its frame, median (ms) | "
        "region key, median (ms) | worst (ms) | its frame, median (ms) | frame with region 1 (ms) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    std::printf("| %s | %zu | %zu | %.3f | %.3f | %.1f | %.2f | %.2f | %.1f | %.1f |\n",
                files.groupFile.c_str(), network.links.size(), network.names.size(), median(findKeys),
                *std::max_element(findKeys.begin(), findKeys.end()), median(findFrames), median(filterKeys),
                *std::max_element(filterKeys.begin(), filterKeys.end()), median(filterFrames), filteredFrame);
    std::printf("\nThe last find: %s\nWith region 1: %s\n", found.c_str(), explorer->getCornerText().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    Explored explored;
    InputFiles& files = explored.files;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        std::string* path = argument == "-p"   ? &files.positiveFile
                            : argument == "-n" ? &files.negativeFile
                            : argument == "-a" ? &files.acceleratedFile
                                               : &files.groupFile;
        if (path != &files.groupFile && i + 1 < argc)
            *path = argv[++i];
        else
            *path = argument;
    }
    if (files.groupFile.empty())
    {
        std::fprintf(stderr, "usage: %s GROUP-FILE [-p POSITIVE] [-n NEGATIVE] [-a ACCELERATED]\n", argv[0]);
        return 1;
    }
    if (!explored.open())
    {
        std::fprintf(stderr, "no window could be opened\n");
        return 1;
    }
    if (explored.network.names.empty())
    {
        std::fprintf(stderr, "the network has no sites to pick\n");
        return 1;
    }
    explored.measurePicks();
    explored.measureKeys();
    return 0;
}
