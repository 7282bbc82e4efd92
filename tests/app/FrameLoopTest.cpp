#include <app/FrameLoop.h>
#include <app/Trackball.h>

#include <gtest/gtest.h>

#include <limits>

namespace
{

TEST(FrameLoop, DrawsTheLightPictureWhileTheViewMovesTheFullOneWhenSomethingChangedAndNothingAtRest)
{
    const double never = std::numeric_limits<double>::infinity();
    const double justNow = 0.5 * settleSeconds;
    const double settled = 2.0 * settleSeconds;
    struct Case
    {
        const char* what;
        FrameState state;
        FrameDraw expected;
    };
    // imageRun, viewMoved, spinning, sinceMoved, buttonHeld, changed, statsShown, fullShown
    const Case cases[] = {
        {"the first frame", {false, false, false, never, false, true, false, false}, FrameDraw::Full},
        {"at rest", {false, false, false, never, false, false, false, true}, FrameDraw::Nothing},
        {"at rest, long after a move",
         {false, false, false, settled, false, false, false, true},
         FrameDraw::Nothing},
        {"a key, a click or a resize",
         {false, false, false, never, false, true, false, true},
         FrameDraw::Full},
        {"the statistics on screen", {false, false, false, never, false, false, true, true}, FrameDraw::Full},
        {"a drag that turns the view",
         {false, true, false, 0.0, true, true, false, false},
         FrameDraw::Motion},
        {"a drag paused between moves",
         {false, false, false, justNow, true, false, false, false},
         FrameDraw::Motion},
        {"a drag held still", {false, false, false, settled, true, false, false, false}, FrameDraw::Nothing},
        {"a key while a drag is held",
         {false, false, false, settled, true, true, false, false},
         FrameDraw::Motion},
        {"letting go of a drag held still",
         {false, false, false, settled, false, true, false, false},
         FrameDraw::Full},
        {"a throw spinning the view",
         {false, true, true, 0.0, false, false, false, false},
         FrameDraw::Motion},
        {"a turn of the wheel", {false, true, false, 0.0, false, true, false, true}, FrameDraw::Motion},
        {"the wheel just turned",
         {false, false, false, justNow, false, false, false, false},
         FrameDraw::Motion},
        {"the view settled after the wheel",
         {false, false, false, settled, false, false, false, false},
         FrameDraw::Full},
        {"moving with the statistics shown",
         {false, true, false, 0.0, true, true, true, true},
         FrameDraw::Motion},
        {"the one-second image run", {true, false, false, never, false, false, false, true}, FrameDraw::Full},
        {"the image run, view moving", {true, true, true, 0.0, true, true, false, true}, FrameDraw::Full},
    };
    for (const Case& each : cases)
        EXPECT_EQ(decideFrame(each.state), each.expected) << each.what;
}

TEST(FrameLoop, AnswersALargePictureWithTheLightOneAndRefinesItASliceAFrameUntilItIsWhole)
{
    const double never = std::numeric_limits<double>::infinity();
    const double justNow = 0.5 * settleSeconds;
    struct Case
    {
        const char* what;
        bool firstFrame, pictureChanged, refined, lightShown, viewMoved, buttonHeld, changed, statsShown,
            fullShown;
        double sinceMoved;
        FrameDraw expected;
        double sincePressed = std::numeric_limits<double>::infinity();
    };
    using D = FrameDraw;
    // first, look changed, refined, light shown, moved, button, changed, stats, full shown, since moved
    const Case cases[] = {
        {"the first frame", true, false, false, false, false, false, true, false, false, never, D::Motion},
        {"a slice, the light picture on screen", false, false, false, true, false, false, false, false, false,
         never, D::Slice},
        {"a slice with an expose", false, false, false, true, false, false, true, false, false, never,
         D::LightAndSlice},
        {"a slice with the statistics", false, false, false, true, false, false, false, true, false, never,
         D::LightAndSlice},
        {"a slice after a save", false, false, false, false, false, false, false, false, true, never,
         D::LightAndSlice},
        {"the last slice drawn", false, false, true, true, false, false, false, false, false, never,
         D::Refined},
        {"at rest, whole", false, false, true, false, false, false, false, false, true, never, D::Nothing},
        {"an expose at rest", false, false, true, false, false, false, true, false, true, never, D::Refined},
        {"a drag mid-refinement", false, false, false, true, true, true, true, false, false, 0.0, D::Motion},
        {"a drag paused mid-move", false, false, false, true, false, true, false, false, false, justNow,
         D::Motion},
        {"the button let go", false, false, false, true, false, false, true, false, false, justNow,
         D::LightAndSlice},
        {"just after the wheel", false, false, false, true, false, false, false, false, false, justNow,
         D::Slice},
        {"a drag held still mid-refinement", false, false, false, true, false, true, false, false, false, 2.0,
         D::Slice},
        {"a drag held still, refined", false, false, true, false, false, true, false, false, false, 2.0,
         D::Refined},
        {"a button just pressed mid-refinement", false, false, false, true, false, true, false, false, false,
         never, D::Nothing, justNow},
        {"a drag held still, the full picture shown", false, false, true, false, false, true, false, false,
         true, 2.0, D::Nothing},
        {"a key that changes the look", false, true, false, false, false, false, true, false, true, never,
         D::Motion},
        {"a click mid-refinement", false, true, false, true, false, false, true, false, false, never,
         D::Motion},
    };
    for (const Case& each : cases)
    {
        FrameState state;
        state.sliced = true;
        state.firstFrame = each.firstFrame;
        state.pictureChanged = each.pictureChanged;
        state.refined = each.refined;
        state.lightShown = each.lightShown;
        state.viewMoved = each.viewMoved;
        state.buttonHeld = each.buttonHeld;
        state.changed = each.changed;
        state.statsShown = each.statsShown;
        state.fullShown = each.fullShown;
        state.sinceMoved = each.sinceMoved;
        state.sincePressed = each.sincePressed;
        EXPECT_EQ(decideFrame(state), each.expected) << each.what;
        // A picture drawn in one frame never slices.
        state.sliced = false;
        const FrameDraw whole = decideFrame(state);
        EXPECT_TRUE(whole == D::Full || whole == D::Motion || whole == D::Nothing) << each.what;
    }
}

TEST(Trackball, ThrowsOnlyAReleaseFasterThanATurnInTwentySeconds)
{
    // The last move before letting go, across a window 1,280 pixels wide, 40 ms after the one before.
    osg::ref_ptr<Trackball> trackball = new Trackball;
    const struct
    {
        float pixels;
        bool thrown;
    } cases[] = {{1.0f, false}, {3.0f, false}, {12.0f, false}, {20.0f, true}, {40.0f, true}};
    for (const auto& c : cases)
    {
        const float across = c.pixels / 640.0f;
        const double speed = trackball->throwSpeed(0.0f, 0.0f, 1.0, across, 0.0f, 1.04);
        EXPECT_EQ(speed >= slowestThrow, c.thrown) << c.pixels << " pixels: " << speed << " rad/s";
        // The same move upwards turns alike; in half the time, twice as fast.
        EXPECT_NEAR(trackball->throwSpeed(0.0f, 0.0f, 1.0, 0.0f, across, 1.04), speed, 1e-3 * speed);
        EXPECT_NEAR(trackball->throwSpeed(0.0f, 0.0f, 1.0, across, 0.0f, 1.02), 2.0 * speed, 2e-3 * speed);
    }
    EXPECT_EQ(trackball->throwSpeed(0.1f, 0.2f, 1.0, 0.3f, 0.2f, 1.0), 0.0) << "no time, no throw";
}

} // namespace
