#include <app/FrameCapture.h>

#include <osg/GL>
#include <osgDB/WriteFile>

FrameCapture::FrameCapture() : image(new osg::Image) {}

void FrameCapture::operator()(osg::RenderInfo& renderInfo) const
{
    const osg::Viewport* viewport = renderInfo.getCurrentCamera()->getViewport();
    if (viewport == nullptr || !armed)
        return;
    image->readPixels(static_cast<int>(viewport->x()), static_cast<int>(viewport->y()),
                      static_cast<int>(viewport->width()), static_cast<int>(viewport->height()), GL_RGB,
                      GL_UNSIGNED_BYTE);
    ++frameCount;
}

bool FrameCapture::write(const std::string& fileName) const
{
    return frameCount > 0 && osgDB::writeImageFile(*image, fileName);
}
