#include <app/ImageCamera>
#include <app/SavedImage>

#include <osg/DisplaySettings>
#include <osgDB/WriteFile>

SavedImage::SavedImage(osgViewer::Viewer& viewer, const std::string& name)
    : fileName(name), samples(static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples())),
      capture(new FrameCapture)
{
    viewer.getCamera()->setFinalDrawCallback(capture.get());
}

void SavedImage::prepare(osgViewer::Viewer& viewer)
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
    if (!needsOffscreenImage(samples, width, height, static_cast<int>(screenWidth),
                             static_cast<int>(screenHeight)))
        return;
    // Several samples a pixel are drawn at a multiple of the size, then averaged down.
    offscreenFactor = samplesAcross(samples);
    offscreenImage = new osg::Image;
    const osg::ref_ptr<osg::Camera> imageCamera =
        createImageCamera(*camera, width * offscreenFactor, height * offscreenFactor, offscreenImage.get());
    viewer.addSlave(imageCamera.get(), true);
}

bool SavedImage::hasFrame() const
{
    return capture->getFrameCount() > 0;
}

bool SavedImage::write() const
{
    if (offscreenImage.valid())
        return hasFrame() && osgDB::writeImageFile(*shrinkImage(*offscreenImage, offscreenFactor), fileName);
    return capture->write(fileName);
}

const std::string& SavedImage::getFileName() const
{
    return fileName;
}
