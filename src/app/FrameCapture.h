#ifndef LINKMAP_APP_FRAMECAPTURE
#define LINKMAP_APP_FRAMECAPTURE 1

#include <osg/Camera>
#include <osg/Image>
#include <osg/ref_ptr>

#include <string>

/** A camera's final draw callback that reads back every frame drawn while it is armed, so that the last one
 * can be saved. It is armed from the start. */
class FrameCapture : public osg::Camera::DrawCallback
{
public:
    FrameCapture();

    /** Reads the camera's viewport from the frame buffer into the image. */
    void operator()(osg::RenderInfo& renderInfo) const override;

    /** Reads back the frames drawn from now on, or none. */
    void setArmed(bool on)
    {
        armed = on;
    }

    /** The number of frames read back so far. */
    unsigned int getFrameCount() const
    {
        return frameCount;
    }

    /** Writes the last frame to fileName, in the format its extension names; false when nothing was drawn
     *  or the file could not be written. */
    bool write(const std::string& fileName) const;

protected:
    ~FrameCapture() override = default;

private:
    osg::ref_ptr<osg::Image> image;
    mutable unsigned int frameCount = 0;
    bool armed = true;
};

#endif
