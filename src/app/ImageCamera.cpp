#include <app/ImageCamera.h>

#include <algorithm>
#include <cmath>

bool needsOffscreenImage(int samples, int windowWidth, int windowHeight, int screenWidth, int screenHeight)
{
    const bool knownScreen = screenWidth > 0 && screenHeight > 0;
    return samples > 1 || (knownScreen && (windowWidth > screenWidth || windowHeight > screenHeight));
}

int samplesAcross(int samples)
{
    if (samples <= 1)
        return 1;
    const auto across = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(samples)) - 1e-9));
    return std::clamp(across, 1, 4);
}

osg::ref_ptr<osg::Camera> createImageCamera(osg::Camera& master, int width, int height, osg::Image* image)
{
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setName("saved image");
    camera->setGraphicsContext(master.getGraphicsContext());
    camera->setStateSet(master.getOrCreateStateSet());
    camera->setClearColor(master.getClearColor());
    camera->setClearMask(master.getClearMask());
    camera->setViewport(0, 0, width, height);
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->setComputeNearFarMode(master.getComputeNearFarMode());
    camera->setCullingMode(master.getCullingMode());

    image->allocateImage(width, height, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    image->setInternalTextureFormat(GL_RGBA8);
    camera->attach(osg::Camera::COLOR_BUFFER, image);
    camera->attach(osg::Camera::DEPTH_BUFFER, GL_DEPTH_COMPONENT24);
    return camera;
}

osg::ref_ptr<osg::Image> shrinkImage(const osg::Image& frame, int factor)
{
    const int width = frame.s() / factor;
    const int height = frame.t() / factor;
    const int channels = static_cast<int>(osg::Image::computeNumComponents(frame.getPixelFormat()));
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(width, height, 1, GL_RGB, GL_UNSIGNED_BYTE);
    image->setOrigin(frame.getOrigin());
    const int area = factor * factor;
    for (int row = 0; row < height; ++row)
    {
        for (int column = 0; column < width; ++column)
        {
            unsigned char* pixel = image->data(column, row);
            for (int channel = 0; channel < 3; ++channel)
            {
                int sum = 0;
                for (int y = 0; y < factor; ++y)
                    for (int x = 0; x < factor; ++x)
                        sum += frame.data(column * factor + x,
                                          row * factor + y)[std::min(channel, channels - 1)];
                pixel[channel] = static_cast<unsigned char>((sum + area / 2) / area);
            }
        }
    }
    return image;
}
