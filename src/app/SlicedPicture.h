#ifndef LINKMAP_APP_SLICEDPICTURE
#define LINKMAP_APP_SLICEDPICTURE 1

#include <app/SlicePlan.h>

#include <osg/Camera>
#include <osg/Group>
#include <osg/Matrixd>
#include <osg/Node>
#include <osg/Texture2D>
#include <osg/ref_ptr>
#include <osgViewer/Viewer>

#include <cstddef>
#include <cstdint>

/** The mask bits that tell the window's camera from the offscreen ones: a node only the offscreen pictures
 *  draw carries offscreenOnly, one the window draws directly carries all bits. */
constexpr osg::Node::NodeMask windowOnly = 0x1u;
constexpr osg::Node::NodeMask offscreenOnly = 0x2u;

/** How long a frame that draws a slice takes at most, about, in seconds: a hand that moves while it is drawn
 *  waits for it and then for one light frame. */
constexpr double sliceSeconds = 0.06;

/** The full picture of a large network, too slow to draw in one frame, drawn offscreen a slice at a time
 *  between the window's frames and shown once it is whole. A slice is a run of the drawables in the order the
 *  full picture draws them, into the same colour and depth buffers, cleared before the first slice only, and
 *  rasterised as the window is; so the whole is the picture drawn in one frame, pixel for pixel. Meanwhile
 *  the window keeps showing the light picture: a frame that only draws a slice leaves the window as it is. */
class SlicedPicture
{
public:
    /** Draws full (the network's scene, under whichever parents) with trace (what it shows beneath it, or
     *  nothing) for viewer's window, whose camera's cull mask becomes windowOnly. */
    SlicedPicture(osgViewer::Viewer& viewer, osg::Node* full, osg::Node* trace);

    ~SlicedPicture();

    SlicedPicture(const SlicedPicture&) = delete;
    SlicedPicture& operator=(const SlicedPicture&) = delete;

    /** The node to add beside the scene: the offscreen camera and the window-filling picture. */
    osg::Node* getNode() const
    {
        return root.get();
    }

    /** Starts over unless the slices drawn so far are of this view, projection, window size and revision of
     *  the picture's looks. */
    void follow(const osg::Matrixd& view, const osg::Matrixd& projection, int width, int height,
                std::uint64_t revision);

    /** Every drawable of the full picture is drawn for what follow was last given. */
    bool complete() const
    {
        return slices > 0 && drawn >= total;
    }

    /** How much of the full picture is drawn, from 0 to 1. */
    double fraction() const;

    /** The next frame draws the next slice, of the full picture that the frame loop gives to the offscreen
     *  camera alone (offscreenOnly). Unless shown, the window's own picture is neither drawn nor
     *  swapped in: the window keeps the light picture it shows. */
    void prepareSlice(bool shown);

    /** The next frame shows the finished picture. */
    void prepareFinished();

    /** The next frame draws the window's pictures directly: nothing offscreen is drawn or shown. */
    void hide();

    /** After a frame that drew a slice, which took seconds. */
    void sliceDrawn(double seconds);

    /** Decides which drawables of the full picture are drawn. */
    class Gate;

    /** Swaps the window's buffers unless told not to. */
    class Swap;

private:
    void resize(int width, int height);
    void showWindow(bool shown);

    osgViewer::Viewer& viewer;
    osg::ref_ptr<osg::Node> full;
    osg::ref_ptr<osg::Node> trace;
    osg::ref_ptr<Gate> gate;
    osg::ref_ptr<Swap> swap;
    osg::ref_ptr<osg::Group> root;
    osg::ref_ptr<osg::Camera> fullCamera;
    osg::ref_ptr<osg::Texture2D> fullTexture;
    osg::ref_ptr<osg::Node> shown;
    GLbitfield windowClear = 0;

    // What the slices drawn so far are of.
    bool following = false;
    osg::Matrixd view;
    osg::Matrixd projection;
    int width = 0;
    int height = 0;
    std::uint64_t revision = 0;

    // The drawables of the full picture, in the order drawn: how many there were when last counted, how many
    // are drawn, in how many slices, and how the slices are planned.
    std::size_t total = 0;
    std::size_t drawn = 0;
    std::size_t slices = 0;
    SlicePlan plan;
    bool sliceArmed = false;
};

#endif
