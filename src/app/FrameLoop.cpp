#include <app/DistanceCeiling.h>
#include <app/FrameLoop.h>

#include <OpenThreads/Thread>
#include <osg/Timer>

#include <csignal>
#include <iterator>
#include <utility>

namespace
{

// How often a window at rest looks for events, in microseconds: a hundred times a second.
const unsigned int restPollMicroseconds = 10000;

} // namespace

FrameDraw decideFrame(const FrameState& state)
{
    if (state.imageRun)
        return FrameDraw::Full;
    // While the view moves, and a little after, in case the pointer moves on; a picture drawn in slices
    // starts on them at once once the button is up, since a slice leaves the light picture on screen and
    // gives way to the next move within a frame.
    if (state.viewMoved || state.spinning ||
        (state.sinceMoved < settleSeconds && (!state.sliced || state.buttonHeld)))
        return FrameDraw::Motion;
    // A drag held still keeps its light picture until the button is let go, where the full picture takes a
    // frame. One drawn in slices is refined meanwhile, since a slice gives way to the next move within a
    // frame; but not at once after the press, when the first move of a drag is still to come.
    const bool heldStill = state.sliced && !state.changed && state.sincePressed >= settleSeconds;
    if (state.buttonHeld && !heldStill)
        return state.changed ? FrameDraw::Motion : FrameDraw::Nothing;
    const bool redraw = !state.fullShown || state.changed || state.statsShown;
    if (!state.sliced)
        return redraw ? FrameDraw::Full : FrameDraw::Nothing;
    // Answered at once, then refined.
    if (state.firstFrame || state.pictureChanged)
        return FrameDraw::Motion;
    if (!state.refined)
        return state.lightShown && !state.changed && !state.statsShown ? FrameDraw::Slice
                                                                       : FrameDraw::LightAndSlice;
    return redraw ? FrameDraw::Refined : FrameDraw::Nothing;
}

bool FrameLoop::EventWatch::handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter&)
{
    switch (event.getEventType())
    {
    case osgGA::GUIEventAdapter::FRAME:
    case osgGA::GUIEventAdapter::MOVE:
        break;
    case osgGA::GUIEventAdapter::PUSH:
        pressed = true;
        [[fallthrough]];
    case osgGA::GUIEventAdapter::RELEASE:
    case osgGA::GUIEventAdapter::DOUBLECLICK:
    case osgGA::GUIEventAdapter::DRAG:
        // The mask an event carries is the buttons held once it has happened.
        buttonHeld = event.getButtonMask() != 0;
        changed = true;
        break;
    default:
        changed = true;
        break;
    }
    return false;
}

FrameLoop::FrameLoop(osgViewer::Viewer& driven, osgGA::TrackballManipulator& turning, osg::Node* full,
                     MotionPicture* light, const StatsScreen* statistics, const SavedImage* saved)
    : viewer(driven), trackball(turning), fullPicture(full), motion(light), stats(statistics), image(saved),
      watch(new EventWatch)
{
    // First among the handlers, so that it sees every event whatever the others make of it.
    viewer.getEventHandlers().push_front(watch.get());
    show(FrameDraw::Full);
}

void FrameLoop::setMotionPicture(MotionPicture* light)
{
    motion = light;
    show(FrameDraw::Full);
}

void FrameLoop::setSlicedPicture(SlicedPicture* picture, std::function<std::uint64_t()> revision,
                                 LoadProgress* line)
{
    sliced = picture;
    pictureRevision = std::move(revision);
    progress = line;
    revisionSeen = pictureRevision ? pictureRevision() : 0;
}

void FrameLoop::setWake(std::function<bool()> work)
{
    wake = std::move(work);
}

void FrameLoop::setImageSeconds(double seconds)
{
    imageSeconds = seconds;
}

void FrameLoop::setViewSaver(ViewSaver* shots)
{
    saver = shots;
}

void FrameLoop::show(FrameDraw draw)
{
    // The scene's root is drawn by the window, by the offscreen slices alone, or not at all: the one place
    // its mask is set.
    const bool light = (draw == FrameDraw::Motion || draw == FrameDraw::LightAndSlice) && motion != nullptr;
    const bool offscreen =
        sliced != nullptr &&
        (draw == FrameDraw::Slice || draw == FrameDraw::LightAndSlice || draw == FrameDraw::Refined);
    fullPicture->setNodeMask(offscreen ? offscreenOnly : light ? 0u : ~0u);
    if (motion != nullptr)
        motion->getNode()->setNodeMask(light ? ~0u : 0u);
    if (sliced == nullptr)
        return;
    if (draw == FrameDraw::Slice || draw == FrameDraw::LightAndSlice)
        sliced->prepareSlice(draw == FrameDraw::LightAndSlice);
    else if (draw == FrameDraw::Refined)
        sliced->prepareFinished();
    else
        sliced->hide();
}

bool FrameLoop::followPicture(const osg::Matrixd& view)
{
    const std::uint64_t revision = pictureRevision ? pictureRevision() : 0;
    const bool changed = revision != revisionSeen;
    revisionSeen = revision;
    const osg::Camera* camera = viewer.getCamera();
    const osg::Viewport* viewport = camera->getViewport();
    sliced->follow(view, camera->getProjectionMatrix(), viewport != nullptr ? int(viewport->width()) : 0,
                   viewport != nullptr ? int(viewport->height()) : 0, revision);
    return changed;
}

namespace
{

// Set when the window is asked to close by a signal: the loop then ends as Escape ends it, and the run with
// it, the image saved and a path search beside the loop left behind. A second signal acts as the system
// would.
volatile std::sig_atomic_t endAsked = 0;

void askToEnd(int)
{
    endAsked = 1;
}

// Lets SIGINT, SIGTERM and SIGHUP end the loop while it runs, once; the handlers before come back after.
class EndOnSignals
{
public:
    EndOnSignals()
    {
        struct sigaction action = {};
        action.sa_handler = askToEnd;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(signals); ++i)
            sigaction(signals[i], &action, &before[i]);
    }
    ~EndOnSignals()
    {
        for (std::size_t i = 0; i < std::size(signals); ++i)
            sigaction(signals[i], &before[i], nullptr);
    }
    EndOnSignals(const EndOnSignals&) = delete;
    EndOnSignals& operator=(const EndOnSignals&) = delete;

private:
    static constexpr int signals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction before[std::size(signals)] = {};
};

} // namespace

void FrameLoop::run(float ceiling)
{
    const EndOnSignals ending;
    bool resting = false;
    while (!viewer.done())
    {
        if (endAsked != 0)
        {
            viewer.setDone(true);
            break;
        }
        if (saver.valid() && saver->expireNotice(viewer.elapsedTime()))
            viewer.requestRedraw();
        if (wake && wake())
            viewer.requestRedraw();
        // At rest, only an event or a request wakes the loop; until then it sleeps.
        if (resting && !viewer.checkEvents() && !viewer.getRequestRedraw() &&
            !viewer.getRequestContinousUpdate())
        {
            OpenThreads::Thread::microSleep(restPollMicroseconds);
            continue;
        }
        resting = step(ceiling) == FrameDraw::Nothing;
    }
}

void FrameLoop::sliceDrawn(double seconds)
{
    sliced->sliceDrawn(seconds);
    if (progress == nullptr)
        return;
    if (sliced->complete())
        progress->say("the full picture is complete");
    else
        progress->update("drawing the full picture", sliced->fraction());
}

FrameDraw FrameLoop::step(float ceiling)
{
    // Events move the trackball; its distance is limited before the camera follows it, and before a view is
    // saved.
    viewer.advance();
    viewer.eventTraversal();
    limitDistance(trackball, ceiling);
    // A saved view is the one its text makes, so that a script setting that text draws the same frame; the
    // step to it is no move of the view.
    const bool shot = saver.valid() && saver->takeRequest();
    const bool still = shot && viewSeen && trackball.getInverseMatrix() == lastView;
    if (shot)
        saver->beginShot(trackball);
    if (still)
        lastView = trackball.getInverseMatrix();

    FrameState state;
    state.imageRun = image != nullptr;
    const osg::Matrixd view = trackball.getInverseMatrix();
    state.viewMoved = viewSeen && view != lastView;
    viewSeen = true;
    lastView = view;
    const double now = viewer.elapsedTime();
    if (state.viewMoved)
        movedAt = now;
    state.sinceMoved = now - movedAt;
    if (watch->pressed)
        pressedAt = now;
    watch->pressed = false;
    state.sincePressed = now - pressedAt;
    state.spinning = viewer.getRequestContinousUpdate();
    state.buttonHeld = watch->buttonHeld;
    state.changed = watch->changed || viewer.getRequestRedraw();
    state.statsShown = stats.valid() && stats->isShown();
    state.fullShown = fullShown;
    state.firstFrame = !drawnYet;
    state.lightShown = lightShown;
    state.sliced = sliced != nullptr;
    if (sliced != nullptr)
    {
        state.pictureChanged = followPicture(view);
        state.refined = sliced->complete();
    }
    watch->changed = false;

    const FrameDraw draw = shot ? FrameDraw::Full : decideFrame(state);
    if (draw == FrameDraw::Nothing)
        return draw;
    show(draw);
    viewer.updateTraversal();
    const osg::Timer_t started = osg::Timer::instance()->tick();
    viewer.renderingTraversals();
    if (draw == FrameDraw::Slice || draw == FrameDraw::LightAndSlice)
        sliceDrawn(osg::Timer::instance()->delta_s(started, osg::Timer::instance()->tick()));
    drawnYet = true;
    if (draw != FrameDraw::Slice)
        lightShown = draw == FrameDraw::Motion || draw == FrameDraw::LightAndSlice;
    // Without a motion picture, the full one stands in for it.
    fullShown = draw == FrameDraw::Full || draw == FrameDraw::Refined || motion == nullptr;
    if (shot)
    {
        saver->endShot(viewer.elapsedTime());
        // The notice of what was saved is drawn next.
        viewer.requestRedraw();
    }

    if (image != nullptr && image->hasFrame() && viewer.elapsedTime() >= imageSeconds)
        viewer.setDone(true);
    return draw;
}
