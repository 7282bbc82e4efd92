#ifndef LINKMAP_APP_SAVEDIMAGE
#define LINKMAP_APP_SAVEDIMAGE 1

#include <app/FrameCapture.h>

#include <osg/Camera>
#include <osg/Image>
#include <osg/ref_ptr>
#include <osgViewer/Viewer>

#include <string>

/** The image of what the window draws: read from the window, or drawn offscreen when it asks for samples or
 *  is larger than the screen. A run that saves its last frame keeps every frame; the window keeps only the
 *  frames it asks for, at no cost in the others. */
class SavedImage
{
public:
    /** Which frames are kept. */
    enum class Frames
    {
        Every,
        Requested
    };

    /** Keeps the frames the viewer's camera draws, to be saved under fileName, with the samples a pixel that
     *  OSG_MULTI_SAMPLES asks for now, whatever window the display gives later. */
    SavedImage(osgViewer::Viewer& viewer, const std::string& fileName, Frames frames = Frames::Every);

    SavedImage(const SavedImage&) = delete;
    SavedImage& operator=(const SavedImage&) = delete;

    /** Once the window is open: draws the image offscreen as well, when samples are asked for or the window
     * is larger than its screen. */
    void prepare();

    /** For requested frames, once the window is open: keeps the frames drawn from now on at the window's size
     *  then, or none again. */
    void keepFrames(bool on);

    /** Whether a frame has been drawn that can be saved. */
    bool hasFrame() const;

    /** Writes the last frame kept, in the format the file's extension names; false when no frame was kept
     *  or the file could not be written. */
    bool write() const;
    bool write(const std::string& name) const;

private:
    /** Adds the camera that draws the image offscreen, when the window's size and the samples need it. */
    void drawOffscreen();

    osgViewer::Viewer& viewer;
    std::string fileName;
    Frames frames;
    int samples;
    osg::ref_ptr<FrameCapture> capture;
    osg::ref_ptr<osg::Image> offscreenImage;
    osg::ref_ptr<osg::Camera> offscreenCamera;
    int offscreenFactor = 1;
};

#endif
