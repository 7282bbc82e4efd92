#ifndef LINKMAP_APP_FRAMELOOP
#define LINKMAP_APP_FRAMELOOP 1

#include <app/SavedImage.h>
#include <app/SlicedPicture.h>
#include <app/ViewSaver.h>
#include <scene/MotionPicture.h>

#include <osg/Matrixd>
#include <osg/Node>
#include <osg/ref_ptr>
#include <osgGA/GUIEventHandler>
#include <osgGA/TrackballManipulator>
#include <osgViewer/Viewer>
#include <osgViewer/ViewerEventHandlers>

#include <network/LoadProgress.h>

#include <cstdint>
#include <functional>
#include <limits>

/** What one pass of the window's loop draws. */
enum class FrameDraw
{
    /** Nothing: the window rests and waits for an event. */
    Nothing,
    /** The light picture drawn while the view moves. */
    Motion,
    /** The full picture: every sphere, link and label. */
    Full,
    /** The next slice of the full picture, drawn offscreen; the window keeps the light picture it shows. */
    Slice,
    /** The light picture drawn anew, while the next slice of the full one is drawn offscreen. */
    LightAndSlice,
    /** The full picture drawn in slices, now whole. */
    Refined
};

/** What the window's loop knows when it decides what to draw. */
struct FrameState
{
    /** The run saves its last frame after a while, and draws the full picture all the while. */
    bool imageRun = false;

    /** The view moved since the pass before. */
    bool viewMoved = false;

    /** A throw keeps the view turning after the button was let go: the trackball asks for every frame. */
    bool spinning = false;

    /** Seconds since the view last moved. */
    double sinceMoved = std::numeric_limits<double>::infinity();

    /** A mouse button is held down, so a drag may go on. */
    bool buttonHeld = false;

    /** Something may have changed the picture: an event other than the bare pointer moving (a key, a click, a
     *  resize), or a request for a redraw (an expose). */
    bool changed = false;

    /** The statistics are on screen, and they are drawn anew every frame. */
    bool statsShown = false;

    /** The frame last drawn was the full picture. */
    bool fullShown = false;

    /** The full picture is too large for one frame: it is drawn offscreen, a slice a frame. */
    bool sliced = false;

    /** No frame has been drawn yet. */
    bool firstFrame = false;

    /** The look of the picture changed since the pass before: the cutoff, the region filter or the pick. */
    bool pictureChanged = false;

    /** Every slice of the full picture is drawn, for the view and the look of now. */
    bool refined = false;

    /** Seconds since a mouse button was last pressed. */
    double sincePressed = std::numeric_limits<double>::infinity();

    /** The window shows the light picture, as the frame last shown drew it. */
    bool lightShown = false;
};

/** How long after the view last moved, in seconds, the loop still draws the light picture, frame after
 *  frame: a drag whose pointer pauses between moves stays smooth, and a turn of the wheel ends in one full
 *  frame rather than one per step. */
constexpr double settleSeconds = 0.25;

/** The rules of the window's loop: the light picture while the view moves or has just moved, the full one
 *  once it has settled and whenever something else changed, and nothing at rest. A full picture drawn in
 *  slices answers a change of its look, and its first frame, with the light picture, draws a slice a frame
 *  until it is whole, and is then shown whole. */
FrameDraw decideFrame(const FrameState& state);

/** The toolkit's statistics screen (the s key), which tells whether it is on screen: it is drawn anew every
 *  frame while it is. */
class StatsScreen : public osgViewer::StatsHandler
{
public:
    /** Whether any statistics are shown. */
    bool isShown() const
    {
        return _statsType != NO_STATS;
    }

protected:
    ~StatsScreen() override = default;
};

/** The window's loop. It draws a frame only when decideFrame asks for one and otherwise sleeps until an event
 *  comes, so that a window at rest costs nothing; while the view moves it draws the motion picture in place
 * of the full one. Escape, or the end of an image run, ends it. */
class FrameLoop
{
public:
    /** Drives viewer, whose view trackball moves. fullPicture is the network's scene; motion, if not null, is
     *  drawn in its place while the view moves; stats, if not null, is the handler of the statistics screen;
     *  image, if not null, makes this a run that saves its last frame after a while (setImageSeconds). */
    FrameLoop(osgViewer::Viewer& viewer, osgGA::TrackballManipulator& trackball, osg::Node* fullPicture,
              MotionPicture* motion, const StatsScreen* stats, const SavedImage* image);

    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

    /** Runs until the viewer is done. The trackball is kept no farther from its centre than ceiling. */
    void run(float ceiling);

    /** One pass of the loop: takes the events that came, keeps the trackball within ceiling, and draws what
     *  decideFrame asks for; returns what it drew. */
    FrameDraw step(float ceiling);

    /** Makes light, or nothing, the picture drawn while the view moves. */
    void setMotionPicture(MotionPicture* light);

    /** Gives the loop work done beside it: wake is asked at every pass, at rest too, and answers true when
     *  it finished something that a frame should show. */
    void setWake(std::function<bool()> wake);

    /** How long an image run shows the scene before its last frame is saved, in seconds: one unless set. */
    void setImageSeconds(double seconds);

    /** Makes saver, or nothing, the c key that saves the full picture: the loop draws the frame it asks
     *  for, and clears its notice in time. */
    void setViewSaver(ViewSaver* saver);

    /** Makes sliced, or nothing, the full picture drawn in slices, which follows the view and the picture's
     *  look as revision tells it; progress tells on the terminal how far it has come. The light picture must
     *  be set. */
    void setSlicedPicture(SlicedPicture* sliced, std::function<std::uint64_t()> revision,
                          LoadProgress* progress);

private:
    /** Notes the events that may change the picture and whether a button is held. */
    class EventWatch : public osgGA::GUIEventHandler
    {
    public:
        bool handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action) override;

        bool changed = false;
        bool buttonHeld = false;
        bool pressed = false;
    };

    osgViewer::Viewer& viewer;
    osgGA::TrackballManipulator& trackball;
    osg::ref_ptr<osg::Node> fullPicture;
    MotionPicture* motion;
    osg::ref_ptr<const StatsScreen> stats;
    const SavedImage* image;
    osg::ref_ptr<ViewSaver> saver;
    osg::ref_ptr<EventWatch> watch;
    double imageSeconds = 1.0;
    SlicedPicture* sliced = nullptr;
    std::function<std::uint64_t()> pictureRevision;
    std::function<bool()> wake;
    LoadProgress* progress = nullptr;

    /** Sets the pictures up for a frame that draws draw. */
    void show(FrameDraw draw);

    /** After a frame that drew a slice in seconds: sizes the next and tells how far the picture has come. */
    void sliceDrawn(double seconds);

    /** Tells the sliced picture what the frame will show; returns whether the picture's look changed. */
    bool followPicture(const osg::Matrixd& view);

    // What the passes so far have seen: the view, when it last moved, and whether the full picture is shown.
    bool viewSeen = false;
    osg::Matrixd lastView;
    double movedAt = -std::numeric_limits<double>::infinity();
    double pressedAt = -std::numeric_limits<double>::infinity();
    bool fullShown = false;
    bool drawnYet = false;
    bool lightShown = false;
    std::uint64_t revisionSeen = 0;
};

#endif
