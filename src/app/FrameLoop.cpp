#include <app/DistanceCeiling>
#include <app/FrameLoop>

#include <OpenThreads/Thread>

namespace
{

// How often a window at rest looks for events, in microseconds: a hundred times a second.
const unsigned int restPollMicroseconds = 10000;

// How long the one-second image run shows the scene before its last frame is saved, in seconds.
const double imageRunSeconds = 1.0;

} // namespace

FrameDraw decideFrame(const FrameState& state)
{
    if (state.imageRun)
        return FrameDraw::Full;
    // While the view moves, and a little after, in case the pointer moves on.
    if (state.viewMoved || state.spinning || state.sinceMoved < settleSeconds)
        return FrameDraw::Motion;
    // A drag held still keeps its light picture until the button is let go.
    if (state.buttonHeld)
        return state.changed ? FrameDraw::Motion : FrameDraw::Nothing;
    if (!state.fullShown || state.changed || state.statsShown)
        return FrameDraw::Full;
    return FrameDraw::Nothing;
}

bool FrameLoop::EventWatch::handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter&)
{
    switch (event.getEventType())
    {
    case osgGA::GUIEventAdapter::FRAME:
    case osgGA::GUIEventAdapter::MOVE:
        break;
    case osgGA::GUIEventAdapter::PUSH:
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
    showMotion(false);
}

void FrameLoop::setMotionPicture(MotionPicture* light)
{
    motion = light;
    showMotion(false);
}

void FrameLoop::setViewSaver(ViewSaver* shots)
{
    saver = shots;
}

void FrameLoop::showMotion(bool moving)
{
    const bool light = moving && motion != nullptr;
    fullPicture->setNodeMask(light ? 0u : ~0u);
    if (motion != nullptr)
        motion->getNode()->setNodeMask(light ? ~0u : 0u);
}

void FrameLoop::run(float ceiling)
{
    bool resting = false;
    while (!viewer.done())
    {
        if (saver.valid() && saver->expireNotice(viewer.elapsedTime()))
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

FrameDraw FrameLoop::step(float ceiling)
{
    // Events move the trackball; its distance is limited before the camera follows it.
    viewer.advance();
    viewer.eventTraversal();
    // A saved view is the one its text makes, so that a script setting that text draws the same frame; the
    // step to it is no move of the view.
    const bool shot = saver.valid() && saver->takeRequest();
    const bool still = shot && viewSeen && trackball.getInverseMatrix() == lastView;
    if (shot)
        saver->beginShot(trackball);
    limitDistance(trackball, ceiling);
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
    state.spinning = viewer.getRequestContinousUpdate();
    state.buttonHeld = watch->buttonHeld;
    state.changed = watch->changed || viewer.getRequestRedraw();
    state.statsShown = stats.valid() && stats->isShown();
    state.fullShown = fullShown;
    watch->changed = false;

    const FrameDraw draw = shot ? FrameDraw::Full : decideFrame(state);
    if (draw == FrameDraw::Nothing)
        return draw;
    showMotion(draw == FrameDraw::Motion);
    viewer.updateTraversal();
    viewer.renderingTraversals();
    // Without a motion picture, the full one stands in for it.
    fullShown = draw == FrameDraw::Full || motion == nullptr;
    if (shot)
    {
        saver->endShot(viewer.elapsedTime());
        // The notice of what was saved is drawn next.
        viewer.requestRedraw();
    }

    if (image != nullptr && image->hasFrame() && viewer.elapsedTime() >= imageRunSeconds)
        viewer.setDone(true);
    return draw;
}
