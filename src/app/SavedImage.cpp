#include <app/Display.h>
#include <app/ImageCamera.h>
#include <app/SavedImage.h>

#include <osg/DisplaySettings>
#include <osgDB/WriteFile>

SavedImage::SavedImage(osgViewer::Viewer& drawing, const std::string& name, Frames kept)
    : viewer(drawing), fileName(name), frames(kept),
      samples(static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples())),
      capture(new FrameCapture)
{
    capture->setArmed(frames == Frames::Every);
    viewer.getCamera()->setFinalDrawCallback(capture.get());
}

void SavedImage::prepare()
{
    if (frames == Frames::Every)
        drawOffscreen();
}

void SavedImage::drawOffscreen()
{
    osg::Camera* camera = viewer.getCamera();
    const osg::Viewport* viewport = camera->getViewport();
    osg::GraphicsContext* context = camera->getGraphicsContext();
    if (viewport == nullptr || context == nullptr)
        return;
    // Asked of the connection the run holds: the toolkit would open one of its own.
    int screenWidth = 0;
    int screenHeight = 0;
    screenSize(context->getTraits()->screenNum, screenWidth, screenHeight);
    const auto width = static_cast<int>(viewport->width());
    const auto height = static_cast<int>(viewport->height());
    if (!needsOffscreenImage(samples, width, height, screenWidth, screenHeight))
        return;
    // Several samples a pixel are drawn at a multiple of the size, then averaged down.
    offscreenFactor = samplesAcross(samples);
    offscreenImage = new osg::Image;
    offscreenCamera =
        createImageCamera(*camera, width * offscreenFactor, height * offscreenFactor, offscreenImage.get());
    viewer.addSlave(offscreenCamera.get(), true);
}

void SavedImage::keepFrames(bool on)
{
    if (frames != Frames::Requested)
        return;
    if (on)
    {
        offscreenImage = nullptr;
        drawOffscreen();
        capture->setArmed(!offscreenImage.valid());
        return;
    }
    capture->setArmed(false);
    if (offscreenCamera.valid())
    {
        // Out of the view and off the window's context, the camera draws no more.
        viewer.removeSlave(viewer.findSlaveIndexForCamera(offscreenCamera.get()));
        offscreenCamera->setGraphicsContext(nullptr);
        offscreenCamera = nullptr;
    }
}

bool SavedImage::hasFrame() const
{
    if (offscreenImage.valid() && frames == Frames::Requested)
        return true;
    return capture->getFrameCount() > 0;
}

bool SavedImage::write() const
{
    return write(fileName);
}

bool SavedImage::write(const std::string& name) const
{
    if (offscreenImage.valid())
        return hasFrame() && osgDB::writeImageFile(*shrinkImage(*offscreenImage, offscreenFactor), name);
    return capture->write(name);
}
