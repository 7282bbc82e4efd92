#include <app/Display.h>
#include <app/Explorer.h>
#include <app/FrameLoop.h>
#include <app/SavedImage.h>
#include <app/SlicedPicture.h>
#include <app/ViewSaver.h>
#include <app/WindowRun.h>
#include <network/LoadProgress.h>
#include <scene/NetworkSize.h>

#include <osg/DisplaySettings>
#include <osgGA/StateSetManipulator>
#include <osgViewer/Viewer>
#include <osgViewer/ViewerEventHandlers>

#include <memory>

namespace
{

// The viewer, drawing on the main thread, with the toolkit's handlers and the explorer first among them, so
// that the find prompt takes the keys before the others do.
void setUpViewer(osgViewer::Viewer& viewer, Stage& stage, Explorer* explorer, StatsScreen* stats,
                 const osg::Vec4& background)
{
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setLightingMode(osg::View::HEADLIGHT);
    // Escape quits through the explorer, which first lets it close the find prompt.
    viewer.setKeyEventSetsDone(0);
    // Of the toolkit's keys, s for the statistics and f for the full screen; the help is the explorer's.
    stats->setKeyEventPrintsOutStats(-1);
    viewer.addEventHandler(stats);
    osg::ref_ptr<osgViewer::WindowSizeHandler> sizes = new osgViewer::WindowSizeHandler;
    sizes->setKeyEventWindowedResolutionUp(-1);
    sizes->setKeyEventWindowedResolutionDown(-1);
    viewer.addEventHandler(sizes.get());
    viewer.setCameraManipulator(stage.trackball.get());
    viewer.getCamera()->setClearColor(background);
    viewer.getEventHandlers().push_front(explorer);
    viewer.setSceneData(stage.top.get());
}

// Releases the scene's graphics resources while the window is still there.
void closeWindows(osgViewer::Viewer& viewer)
{
    osgViewer::Viewer::Contexts contexts;
    viewer.getContexts(contexts);
    for (osg::GraphicsContext* context : contexts)
        context->close();
}

// The picture drawn while the view moves, on the stage and in the loop.
std::unique_ptr<MotionPicture> lightPicture(const RunInput& input, Stage& stage, Explorer& explorer,
                                            FrameLoop& loop)
{
    MotionDetail lightDetail;
    lightDetail.siteRadius = input.layout.glyphs.siteRadius;
    lightDetail.weightTop = input.layout.glyphs.weightTop;
    auto motion =
        std::make_unique<MotionPicture>(input.layout.positions, sphereColors(input.layout, input.network),
                                        input.network.links, input.output.background, lightDetail);
    stage.top->addChild(motion->getNode());
    explorer.setMotionPicture(motion.get());
    loop.setMotionPicture(motion.get());
    return motion;
}

// Whether the window draws the full picture in slices: a network this large takes more than a frame to draw
// in software. An image run draws it in one frame, and so does a multisampled window, whose samples an
// offscreen buffer would not have.
bool drawsInSlices(const RunInput& input, bool imageRun)
{
    return !imageRun && osg::DisplaySettings::instance()->getNumMultiSamples() == 0 &&
           NetworkSize::isSliced(input.network.linkCount(), input.network.siteCount());
}

} // namespace

void showInWindow(osg::ArgumentParser& arguments, const RunInput& input, Stage stage)
{
    const std::string imageFile =
        input.output.kind == OutputKind::RasterImage ? input.output.file : std::string();
    // A large network takes a while yet to be drawn for the first time; a terminal is told.
    LoadProgress waiting = LoadProgress::onTerminal();
    waiting.wait("preparing the first frame");

    // An image shows the paths asked for, found first; the window finds them beside its loop.
    if (!imageFile.empty())
        findViewPaths(input.view, input.network);

    // Clicks and keys that pick, filter and centre, changing the run's view; dimmed links fade into the
    // background.
    osg::ref_ptr<Explorer> explorer =
        new Explorer(ExploredNetwork{input.network, input.layout, input.scene, input.files, input.style},
                     input.view, stage.trackball.get(), input.output.background);
    stage.top->addChild(explorer->getCornerNode());
    stage.top->addChild(explorer->getCommunityNode());
    stage.top->addChild(explorer->getHelpNode());

    osgViewer::Viewer viewer(arguments);
    osg::ref_ptr<StatsScreen> stats = new StatsScreen;
    setUpViewer(viewer, stage, explorer.get(), stats.get(), input.output.background);

    // An image run reads back every frame drawn, so that the last one can be saved.
    const bool imageRun = !imageFile.empty();
    std::unique_ptr<SavedImage> image;
    if (imageRun)
        image = std::make_unique<SavedImage>(viewer, imageFile);
    if (!openWindow(viewer))
        throw OutputError(
            "Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)");
    if (image)
        image->prepare();

    // The first view frames the whole scene, unless a view was given; the trackball never moves farther away
    // than the whole scene's frame, and Space returns to the first view.
    viewer.home();
    const float ceiling = takeFirstView(*stage.trackball, input.settings);

    // Frames are drawn while something changes, and the window rests otherwise.
    FrameLoop loop(viewer, *stage.trackball, input.scene.root.get(), nullptr, stats.get(), image.get());
    std::unique_ptr<MotionPicture> motion;
    std::unique_ptr<SlicedPicture> sliced;
    if (drawsInSlices(input, imageRun))
    {
        // Too large for one frame: the light picture comes first, then the full one in slices.
        motion = lightPicture(input, stage, *explorer, loop);
        sliced = std::make_unique<SlicedPicture>(viewer, input.scene.root.get(), input.scene.trace.get());
        stage.top->addChild(sliced->getNode());
        loop.setSlicedPicture(
            sliced.get(), [&explorer] { return explorer->pictureRevision(); }, &waiting);
    }
    // Paths asked for in the window are found beside the loop, which shows them when they are.
    loop.setWake([&explorer] { return explorer->collectPaths(); });
    // The c key saves what the window shows, from its first frame on: a key pressed as soon as the window
    // appears is not lost.
    if (!imageRun)
    {
        osg::ref_ptr<ViewSaver> saver =
            new ViewSaver(viewer, [&explorer](const std::string& notice) { explorer->setNotice(notice); });
        viewer.addEventHandler(saver.get());
        loop.setViewSaver(saver.get());
    }
    else
        loop.setImageSeconds(input.settings.imageSeconds);
    loop.step(ceiling);
    waiting.finish();

    // Once the first frame is up, the window gets the light picture it draws while the view moves.
    if (!imageRun && !motion)
        motion = lightPicture(input, stage, *explorer, loop);
    loop.run(ceiling);
    closeWindows(viewer);

    if (image && !image->write())
        throw OutputError("Error: could not write the image " + imageFile);
}
