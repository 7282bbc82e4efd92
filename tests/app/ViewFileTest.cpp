#include <app/ViewFile.h>
#include <app/ViewSaver.h>
#include <support/TestSupport.h>

#include <osgGA/TrackballManipulator>

#include <gtest/gtest.h>

#include <random>

namespace
{

TEST(ViewFile, AViewWrittenReadsBackAsTheSameViewAndTurnsTheTrackballTheSameWay)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anywhere(-1e4, 1e4);
    for (int trial = 0; trial < 200; ++trial)
    {
        osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
        osg::Vec3d eye(anywhere(random), anywhere(random), anywhere(random));
        const osg::Vec3d centre(anywhere(random) / 3.0, anywhere(random) / 7.0, 0.1);
        trackball->setTransformation(eye, centre, osg::Vec3d(0.0, 0.0, 1.0));

        // The text reads back to the very numbers written, whatever they are.
        const CameraView shown = viewOf(*trackball);
        const std::string text = formatView(shown);
        ASSERT_EQ(text.find('\n'), text.size() - 1) << "one line";
        CameraView read;
        ASSERT_TRUE(parseView(text, read)) << text;
        EXPECT_EQ(read.eye, shown.eye);
        EXPECT_EQ(read.centre, shown.centre);
        EXPECT_EQ(read.up, shown.up);

        // Once settled, the window's trackball and one set from the text show the same matrix to the last
        // bit.
        const std::string settled = settleView(*trackball);
        osg::ref_ptr<osgGA::TrackballManipulator> scripted = new osgGA::TrackballManipulator;
        CameraView fromText;
        ASSERT_TRUE(parseView(settled, fromText));
        setView(*scripted, fromText);
        EXPECT_EQ(scripted->getInverseMatrix(), trackball->getInverseMatrix()) << settled;
        EXPECT_EQ(settleView(*trackball), settleView(*scripted));
        // And the settled view is the one shown before, but for rounding.
        EXPECT_NEAR((viewOf(*trackball).eye - shown.eye).length(), 0.0, 1e-6 * shown.eye.length() + 1e-9);
    }
}

TEST(ViewFile, RefusesWhatIsNoViewAndTakesSpacesAndLineEndsAroundTheNumbers)
{
    const std::pair<const char*, bool> cases[] = {
        {"0 -160 0 50 0 0 0 0 1", true},         {"  0\t-160 0\n50 0 0   0 0 1\n\n", true},
        {"1e2 -1.5E1 .5 50 0 0 0 0 1", true},    {"", false},
        {"0 -160 0 50 0 0 0 0", false},          // eight numbers
        {"0 -160 0 50 0 0 0 0 1 1", false},      // ten
        {"0 -160 0 50 0 0 0 0 one", false},      // a word
        {"0 -160 0 50 0 0 0 0 1x", false},       // a number run into a word
        {"0,-160,0,50,0,0,0,0,1", false},        // commas
        {"0 -160 0 50 0 0 0 0 nan", false},      // no number
        {"0 -160 0 50 0 0 0 0 inf", false},      // no finite one
        {"0 -160 0 50 0 0 0 0 1e999", false},    // too large to be one
        {"50 0 0 50 0 0 0 0 1", false},          // the eye on the centre
        {"0 -160 0 50 0 0 0 0 0", false},        // no up direction
        {"0 -160 0 0 0 0 0 1 0", false},         // up along the line of sight
        {"0 -160 0 0 0 0 0 -2 0", false},        // and backwards
        {"0 -160 0 50 0 0 0 0 1 # view", false}, // anything after
    };
    for (const auto& [text, valid] : cases)
    {
        CameraView view{osg::Vec3d(1, 2, 3), osg::Vec3d(4, 5, 6), osg::Vec3d(0, 0, 1)};
        EXPECT_EQ(parseView(text, view), valid) << '"' << text << '"';
        if (!valid)
        {
            EXPECT_EQ(view.eye, osg::Vec3d(1, 2, 3)) << "a refused text leaves the view: " << text;
        }
    }
}

TEST(ViewFile, TheNextImageNameSkipsEveryNumberWhoseImageOrViewIsThere)
{
    TemporaryFolder folder;
    const std::string path = folder.path("");
    EXPECT_EQ(nextFreeImageName(path), folder.path("linkmap-1.png"));
    folder.write("linkmap-1.png", "");
    folder.write("linkmap-2.view", "");
    folder.write("linkmap-4.png", "");
    EXPECT_EQ(nextFreeImageName(path), folder.path("linkmap-3.png"));
    folder.write("linkmap-3.png", "");
    EXPECT_EQ(nextFreeImageName(path), folder.path("linkmap-5.png")) << "nothing is overwritten";
}

} // namespace
