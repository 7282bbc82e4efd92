#include <app/CommandLine>
#include <app/DistanceCeiling>
#include <app/Explorer>
#include <app/FrameCapture>
#include <app/ImageCamera>
#include <app/StandardErrorNotifyHandler>
#include <network/CorrelationNetwork>
#include <scene/ColorKey>

#include <osg/ArgumentParser>
#include <osg/Group>
#include <osgDB/WriteFile>
#include <osgGA/StateSetManipulator>
#include <osgGA/TrackballManipulator>
#include <osgUtil/Optimizer>
#include <osgViewer/Viewer>
#include <osgViewer/ViewerEventHandlers>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
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

    // links weaker than a cutoff may be hidden from the start, in the window and in a saved image.
    const char* cutoffSetting = std::getenv("LINKMAP_CUTOFF");
    float cutoff = 0.0f;
    if (!readCutoffSetting(cutoffSetting, cutoff))
    {
        std::printf("Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"%s\"\n", cutoffSetting);
        return 1;
    }

    // construct the viewer from what is left of the arguments, drawing on the main thread.
    osgViewer::Viewer viewer(arguments);
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setLightingMode(osg::View::HEADLIGHT);
    viewer.setKeyEventSetsDone(osgGA::GUIEventAdapter::KEY_Escape);
    viewer.addEventHandler(new osgGA::StateSetManipulator(viewer.getCamera()->getOrCreateStateSet()));
    viewer.addEventHandler(new osgViewer::StatsHandler);
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

    // in screenshot mode every drawn frame is read back, so that the last one can be saved.
    std::string imageFile;
    osg::ref_ptr<FrameCapture> capture;
    if (arguments.read("--generate-image", osg::ArgumentParser::Parameter(imageFile)))
    {
        capture = new FrameCapture;
        viewer.getCamera()->setFinalDrawCallback(capture.get());
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

    // read the inputs and build the scene, then optimise it once.
    network.load(files);
    scene->addChild(network.getRoot());
    osgUtil::Optimizer optimizer;
    keepGlyphTextures(optimizer);
    optimizer.optimize(scene.get());

    // a key to the colours, when asked for, over the scene in the window's corner.
    if (wantsColorKey(std::getenv("LINKMAP_KEY")))
    {
        ColorKeyInfo key;
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
    osg::ref_ptr<Explorer> explorer =
        new Explorer(network, files, trackball.get(), viewer.getCamera()->getClearColor());
    explorer->setCutoff(cutoff);
    scene->addChild(explorer->getCornerNode());
    viewer.addEventHandler(explorer.get());
    viewer.setSceneData(scene.get());

    // a display that cannot give the multisampled window asked for gets a plain one, and a warning.
    const int samples = static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples());
    viewer.realize();
    if (!viewer.isRealized() && samples > 0)
    {
        std::fprintf(stderr,
                     "Warning: the display offers no window with %d samples; the window is drawn without "
                     "multisampling\n",
                     samples);
        osg::DisplaySettings::instance()->setNumMultiSamples(0);
        // the failed attempt ended the run; the second one starts it again.
        viewer.setDone(false);
        viewer.realize();
    }
    if (!viewer.isRealized())
    {
        std::printf("Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)\n");
        return 1;
    }

    // the saved image is drawn offscreen when it asks for samples, several to a pixel and then averaged, or
    // when the window is larger than its screen; otherwise it is read from the window.
    osg::ref_ptr<osg::Image> offscreenImage;
    int offscreenFactor = 1;
    if (capture.valid())
    {
        osg::Camera* camera = viewer.getCamera();
        const osg::Viewport* viewport = camera->getViewport();
        unsigned int screenWidth = 0;
        unsigned int screenHeight = 0;
        const osg::GraphicsContext::Traits* traits = camera->getGraphicsContext()->getTraits();
        if (osg::GraphicsContext::WindowingSystemInterface* system =
                osg::GraphicsContext::getWindowingSystemInterface())
            system->getScreenResolution(*traits, screenWidth, screenHeight);
        const auto width = static_cast<int>(viewport->width());
        const auto height = static_cast<int>(viewport->height());
        if (needsOffscreenImage(samples, width, height, static_cast<int>(screenWidth),
                                static_cast<int>(screenHeight)))
        {
            offscreenFactor = samplesAcross(samples);
            offscreenImage = new osg::Image;
            const osg::ref_ptr<osg::Camera> imageCamera = createImageCamera(
                *camera, width * offscreenFactor, height * offscreenFactor, offscreenImage.get());
            viewer.addSlave(imageCamera.get(), true);
        }
    }

    // the first view frames the whole scene; the trackball never moves farther away than that.
    viewer.home();
    const auto ceiling = static_cast<float>(trackball->getDistance());

    // events move the trackball; its distance is limited before the camera follows it and the frame is drawn.
    while (!viewer.done())
    {
        viewer.advance();
        viewer.eventTraversal();
        limitDistance(*trackball, ceiling);
        viewer.updateTraversal();
        viewer.renderingTraversals();
        if (capture.valid() && capture->getFrameCount() > 0 && viewer.elapsedTime() >= 1.0)
            viewer.setDone(true);
    }

    // release the scene's graphics resources while the window is still there.
    osgViewer::Viewer::Contexts contexts;
    viewer.getContexts(contexts);
    for (osg::GraphicsContext* context : contexts)
        context->close();

    bool written = true;
    if (offscreenImage.valid())
        written = capture->getFrameCount() > 0 &&
                  osgDB::writeImageFile(*shrinkImage(*offscreenImage, offscreenFactor), imageFile);
    else if (capture.valid())
        written = capture->write(imageFile);
    if (!written)
    {
        std::printf("Error: could not write the image %s\n", imageFile.c_str());
        return 1;
    }
    return 0;
}
