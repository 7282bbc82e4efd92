#include <app/CommandLine>
#include <app/Display>
#include <app/DistanceCeiling>
#include <app/Explorer>
#include <app/FigurePage>
#include <app/FrameLoop>
#include <app/SavedImage>
#include <app/Settings>
#include <app/StandardErrorNotifyHandler>
#include <app/ViewFile>
#include <app/ViewSaver>
#include <network/CorrelationNetwork>
#include <scene/ColorKey>
#include <scene/VectorFigure>

#include <osg/ArgumentParser>
#include <osg/Group>
#include <osgGA/StateSetManipulator>
#include <osgGA/TrackballManipulator>
#include <osgUtil/Optimizer>
#include <osgViewer/Viewer>
#include <osgViewer/ViewerEventHandlers>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>

namespace
{

int run(int argc, char** argv)
{
    // standard output carries only the program's own lines; the toolkit speaks on standard error.
    osg::setNotifyHandler(new StandardErrorNotifyHandler);

    // use an ArgumentParser object to manage the program arguments.
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
    if (!acceptsArgumentCount(arguments.argc()))
    {
        arguments.getApplicationUsage()->write(std::cout, osg::ApplicationUsage::COMMAND_LINE_OPTION, 80,
                                               false);
        return 1;
    }

    // take the group file and the region lists, stopping at the first that cannot be read.
    const InputFiles files = readInputFiles(arguments);

    // the settings of the environment, each checked before any input is read: a cutoff, a region filter, a
    // colour key, a first view and a site picked from the start, in the window and in a saved image.
    Settings settings;
    const std::string refusal = readSettings(files, settings);
    if (!refusal.empty())
    {
        std::printf("%s\n", refusal.c_str());
        return 1;
    }

    // construct the viewer from what is left of the arguments, drawing on the main thread.
    osgViewer::Viewer viewer(arguments);
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setLightingMode(osg::View::HEADLIGHT);
    // Escape quits through the explorer, which first lets it close the find prompt.
    viewer.setKeyEventSetsDone(0);
    viewer.addEventHandler(new osgGA::StateSetManipulator(viewer.getCamera()->getOrCreateStateSet()));
    osg::ref_ptr<StatsScreen> stats = new StatsScreen;
    viewer.addEventHandler(stats.get());
    viewer.addEventHandler(new osgViewer::WindowSizeHandler);
    viewer.addEventHandler(new osgViewer::HelpHandler(arguments.getApplicationUsage()));

    // the trackball is the only camera manipulator.
    osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
    trackball->setTrackballSize(1.0);
    trackball->setCenter(osg::Vec3d(osg::Vec3(50.0f, 0.0f, 0.0f)));
    viewer.setCameraManipulator(trackball.get());
    viewer.getUsage(*arguments.getApplicationUsage());
    describeExplorerBindings(*arguments.getApplicationUsage());

    osg::ref_ptr<osg::Group> scene = new osg::Group;
    CorrelationNetwork network;

    // in screenshot mode every drawn frame is read back, so that the last one can be saved; a figure in a
    // vector format is computed from the scene and the view instead, without a window.
    std::string imageFile;
    std::unique_ptr<SavedImage> image;
    FigureFormat figureFormat = FigureFormat::Svg;
    bool vectorFigure = false;
    if (arguments.read("--generate-image", osg::ArgumentParser::Parameter(imageFile)))
    {
        vectorFigure = figureFormatOf(imageFile, figureFormat);
        if (!vectorFigure)
            image = std::make_unique<SavedImage>(viewer, imageFile);
    }

    std::string backgroundName;
    if (arguments.read("--background", osg::ArgumentParser::Parameter(backgroundName)))
    {
        if (backgroundName == "black")
            viewer.getCamera()->setClearColor(osg::Vec4(0.2f, 0.2f, 0.2f, 0.0f));
        if (backgroundName == "white")
        {
            viewer.getCamera()->setClearColor(osg::Vec4(0.8f, 0.8f, 0.8f, 0.0f));
            network.setTextColor(osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
        }
    }
    const osg::Vec4 background = viewer.getCamera()->getClearColor();

    // read the inputs and build the scene, then optimise it once. A large network is drawn in batches by
    // shaders, unless the display cannot run them.
    SceneDetail detail;
    detail.shadersRun = [] {
        if (displayRunsShaders())
            return true;
        std::fprintf(stderr,
                     "linkmap: this display's OpenGL has no GLSL 1.20 or instanced drawing for the shaders "
                     "that draw large "
                     "networks; every sphere, link and label is drawn as an object of its own instead, "
                     "which is slower\n");
        return false;
    };
    network.load(files, detail);
    // a large network takes a while yet to be drawn for the first time; a terminal is told.
    LoadProgress waiting = LoadProgress::onTerminal();
    waiting.wait("preparing the first frame");
    scene->addChild(network.getRoot());
    osgUtil::Optimizer optimizer;
    keepBatchesWhole(optimizer);
    optimizer.optimize(scene.get());

    // a key to the colours, when asked for, over the scene in the window's corner.
    ColorKeyInfo key;
    if (settings.colorKey)
    {
        key.font = network.font;
        key.textColor = network.textColor;
        const std::pair<RegionKind, const std::string&> regions[] = {
            {RegionKind::Positive, files.positiveFile},
            {RegionKind::Negative, files.negativeFile},
            {RegionKind::Accelerated, files.acceleratedFile}};
        for (const auto& [kind, path] : regions)
            if (!path.empty())
                key.regions.emplace_back(kind, std::filesystem::path(path).filename().string());
        scene->addChild(createColorKey(key));
    }

    // clicks and keys that pick, filter and centre; dimmed links fade into the background.
    osg::ref_ptr<Explorer> explorer = new Explorer(network, files, trackball.get(), background);
    explorer->setCutoff(settings.cutoff);
    explorer->setRegionFilter(settings.region);
    scene->addChild(explorer->getCornerNode());
    // first among the handlers, so that the find prompt takes the keys before the toolkit's handlers do.
    viewer.getEventHandlers().push_front(explorer.get());

    // a site may be picked from the start, by its name.
    if (!settings.select.empty())
    {
        const auto named = std::find(network.names.begin(), network.names.end(), settings.select);
        if (named == network.names.end())
        {
            std::printf("Error: LINKMAP_SELECT names no site of the network: \"%s\"\n",
                        settings.select.c_str());
            return 1;
        }
        explorer->pickSite(static_cast<std::size_t>(named - network.names.begin()));
    }
    viewer.setSceneData(scene.get());

    if (vectorFigure)
    {
        int width = 0;
        int height = 0;
        readPageSize(std::getenv("OSG_WINDOW"), width, height);
        shapeLikeWindow(*viewer.getCamera(), width, height);
    }
    else if (!openWindow(viewer))
    {
        std::printf("Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)\n");
        return 1;
    }
    if (image)
        image->prepare();

    // the first view frames the whole scene, unless a view was given; the trackball never moves farther away
    // than the whole scene's frame, and Space returns to the first view.
    viewer.home();
    const auto ceiling = static_cast<float>(trackball->getDistance());
    if (settings.viewGiven)
    {
        const CameraView& first = settings.firstView;
        trackball->setHomePosition(first.eye, first.centre, first.up);
        trackball->setAutoComputeHomePosition(false);
        setView(*trackball, first);
    }

    if (vectorFigure)
    {
        limitDistance(*trackball, ceiling);
        const std::string failure = writeVectorFigure(
            imageFile, figureFormat,
            describeFigure(network, *explorer, background, settings.colorKey ? &key : nullptr),
            FigureView{trackball->getInverseMatrix(), viewer.getCamera()->getProjectionMatrix(),
                       static_cast<int>(viewer.getCamera()->getViewport()->width()),
                       static_cast<int>(viewer.getCamera()->getViewport()->height())});
        if (failure.empty())
            return 0;
        std::fprintf(stderr, "linkmap: %s: %s\n", imageFile.c_str(), failure.c_str());
        std::printf("Error: could not write the image %s\n", imageFile.c_str());
        return 1;
    }

    // frames are drawn while something changes, and the window rests otherwise.
    FrameLoop loop(viewer, *trackball, network.getRoot(), nullptr, stats.get(), image.get());
    loop.step(ceiling);
    waiting.finish();

    // once the first frame is up, the window gets the light picture it draws while the view moves: every site
    // a dot, the strongest links, no labels.
    std::unique_ptr<MotionPicture> motion;
    if (!image)
    {
        motion = std::make_unique<MotionPicture>(network.sitePositions(), network.siteKinds(),
                                                 network.siteLinks, background);
        scene->addChild(motion->getNode());
        explorer->setMotionPicture(motion.get());
        loop.setMotionPicture(motion.get());

        // the c key saves what the window shows, with its view.
        osg::ref_ptr<ViewSaver> saver =
            new ViewSaver(viewer, [explorer](const std::string& notice) { explorer->setNotice(notice); });
        viewer.addEventHandler(saver.get());
        loop.setViewSaver(saver.get());
    }
    loop.run(ceiling);

    // release the scene's graphics resources while the window is still there.
    osgViewer::Viewer::Contexts contexts;
    viewer.getContexts(contexts);
    for (osg::GraphicsContext* context : contexts)
        context->close();

    if (image && !image->write())
    {
        std::printf("Error: could not write the image %s\n", imageFile.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // a network too large for this machine, or for the program's numbering, is refused rather than crashing.
    try
    {
        return run(argc, argv);
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
