#include <app/FrameLoop.h>
#include <app/Trackball.h>
#include <network/RegionLists.h>
#include <scene/MotionPicture.h>
#include <support/TestSupport.h>

#include <osg/Image>
#include <osgDB/ReadFile>
#include <osgGA/TrackballManipulator>
#include <osgViewer/Viewer>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <thread>

namespace
{

const std::vector<std::string> smallWindow = {"OSG_WINDOW=0 0 320 240"};

struct Pixel
{
    int red, green, blue;
};

Pixel pixelAt(const osg::Image& image, int column, int row)
{
    const unsigned char* data = image.data(column, row);
    return {data[0], data[1], data[2]};
}

// Counts the pixels of a rectangle, given in columns and rows from the image's bottom left corner, for which
// test holds.
template <typename Test>
int countPixels(const osg::Image& image, int column0, int row0, int column1, int row1, Test&& test)
{
    int count = 0;
    for (int row = row0; row < row1; ++row)
        for (int column = column0; column < column1; ++column)
            count += test(pixelAt(image, column, row)) ? 1 : 0;
    return count;
}

bool isRed(const Pixel& p)
{
    return p.red > 90 && p.green * 2 < p.red && p.blue * 2 < p.red;
}
bool isGreen(const Pixel& p)
{
    return p.green > 90 && p.red * 2 < p.green && p.blue * 2 < p.green;
}
bool isDarkBlue(const Pixel& p)
{
    // Brighter than the default background's blue, (51, 51, 102).
    return p.blue > 130 && p.blue > p.red * 2 && p.blue > p.green * 2;
}
bool isGrey(const Pixel& p)
{
    return p.red > 80 && std::abs(p.red - p.green) < 10 && std::abs(p.green - p.blue) < 10;
}
bool isYellow(const Pixel& p)
{
    return p.red > 150 && p.green > 150 && p.blue < 60;
}
bool isNearWhite(const Pixel& p)
{
    return p.red > 240 && p.green > 240 && p.blue > 240;
}
bool isLabelWhite(const Pixel& p)
{
    return p.red > 200 && p.green > 200 && p.blue > 200;
}
bool isNearBlack(const Pixel& p)
{
    return p.red < 15 && p.green < 15 && p.blue < 15;
}

osg::ref_ptr<osg::Image> readImage(const std::string& path)
{
    osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(path);
    if (image.valid())
        image->setOrigin(osg::Image::BOTTOM_LEFT);
    return image;
}

TEST(Screenshot, SavesTheLastFrameUnderTheGivenNameWithTheChosenBackground)
{
    struct Case
    {
        std::vector<std::string> background;
        Pixel corner;
        bool whiteLabels;
    };
    const Case cases[] = {{{"--background", "black"}, {51, 51, 51}, true},
                          {{"--background", "white"}, {204, 204, 204}, false},
                          {{}, {51, 51, 102}, true},
                          {{"--background", "blue"}, {51, 51, 102}, true},
                          {{"--background", "White"}, {51, 51, 102}, true},
                          {{"--background"}, {51, 51, 102}, true}};
    for (const Case& c : cases)
    {
        const std::string what = c.background.empty() ? "no background option" : c.background.back();
        TemporaryFolder folder;
        const std::string image = folder.path("shot.png");
        std::vector<std::string> arguments = {dataFile("road-of-one-line.txt"), "--generate-image", image};
        arguments.insert(arguments.end(), c.background.begin(), c.background.end());
        const RunResult run = runLinkmap(arguments, smallWindow);
        EXPECT_EQ(run.exitStatus, 0) << what;

        // Exactly the one file, under exactly the given name.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path("")),
                                std::filesystem::directory_iterator()),
                  1)
            << what;
        osg::ref_ptr<osg::Image> shot = readImage(image);
        ASSERT_TRUE(shot.valid()) << what;
        EXPECT_EQ(shot->s(), 320) << what;
        EXPECT_EQ(shot->t(), 240) << what;
        for (const auto& [column, row] : {std::pair{0, 0}, {319, 239}, {0, 239}, {319, 0}})
        {
            const Pixel corner = pixelAt(*shot, column, row);
            EXPECT_EQ(corner.red, c.corner.red) << what;
            EXPECT_EQ(corner.green, c.corner.green) << what;
            EXPECT_EQ(corner.blue, c.corner.blue) << what;
        }

        // The labels: white ones on the dark backgrounds, black ones on the light one.
        const int white = countPixels(*shot, 0, 0, 320, 240, isNearWhite);
        const int black = countPixels(*shot, 0, 0, 320, 240, isNearBlack);
        if (c.whiteLabels)
        {
            EXPECT_GT(white, 20) << what;
            EXPECT_EQ(black, 0) << what;
        }
        else
        {
            EXPECT_GT(black, 20) << what;
            EXPECT_EQ(white, 0) << what;
        }
    }
}

TEST(Screenshot, ShowsRegionColouredSpheresLabelledAndLinked)
{
    // One ring of four: P1 at the bottom, N2 on the left, A3 at the top, Z4 on the right, all linked in
    // yellow (weight 0).
    TemporaryFolder folder;
    const std::string groups = folder.write("ring.txt", "P1 N2 A3 Z4 0.0 0.0 0.0 0.0 0.0 0.0\n");
    const std::string positive = folder.write("positive.txt", "1-1\n");
    const std::string negative = folder.write("negative.txt", "2-2\n");
    const std::string accelerated = folder.write("accelerated.txt", "3-3\n");
    const std::vector<std::string> arguments = {groups,   "-p", positive,    "-n",
                                                negative, "-a", accelerated, "--generate-image"};

    // The second run saves the first frame it draws.
    std::vector<osg::ref_ptr<osg::Image>> shots;
    for (const char* name : {"first.png", "second.png"})
    {
        std::vector<std::string> run = arguments;
        run.push_back(folder.path(name));
        std::vector<std::string> environment = smallWindow;
        if (!shots.empty())
            environment.push_back("LINKMAP_IMAGE_SECONDS=0");
        ASSERT_EQ(runLinkmap(run, environment).exitStatus, 0);
        shots.push_back(readImage(folder.path(name)));
        ASSERT_TRUE(shots.back().valid());
    }
    const osg::Image& shot = *shots[0];

    // Bands through the middle of the window towards each side.
    const struct
    {
        const char* side;
        int column0, row0, column1, row1;
        bool (*colour)(const Pixel&);
    } bands[] = {{"bottom: positive, red", 150, 0, 170, 110, isRed},
                 {"left: negative, green", 0, 110, 150, 130, isGreen},
                 {"top: accelerated, dark blue", 150, 130, 170, 240, isDarkBlue},
                 {"right: no region, grey", 170, 110, 320, 130, isGrey}};
    for (const auto& band : bands)
    {
        EXPECT_GT(countPixels(shot, band.column0, band.row0, band.column1, band.row1, band.colour), 20)
            << band.side;
        for (const auto& other : bands)
        {
            if (other.colour == band.colour || other.colour == isGrey)
                continue;
            EXPECT_EQ(countPixels(shot, band.column0, band.row0, band.column1, band.row1, other.colour), 0)
                << other.side << " seen in " << band.side;
        }
        // Each sphere carries its white label.
        EXPECT_GT(countPixels(shot, band.column0, band.row0, band.column1, band.row1, isLabelWhite), 3)
            << band.side;
    }
    // The links cross at the centre of the ring.
    EXPECT_GT(countPixels(shot, 140, 110, 180, 130, isYellow), 20);

    // The same input draws the same picture, in its first frame as after a second.
    ASSERT_EQ(shots[1]->getTotalSizeInBytes(), shot.getTotalSizeInBytes());
    EXPECT_EQ(std::memcmp(shots[1]->data(), shot.data(), shot.getTotalSizeInBytes()), 0);
}

TEST(Screenshot, PrintsTheLinksOfTheWorkedExampleAndNothingElse)
{
    TemporaryFolder folder;
    const RunResult run = runLinkmap(
        {dataFile("worked-example.txt"), "--generate-image", folder.path("shot.png")}, smallWindow);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "Creating link between H12 and K45 with weight 0.350000\n"
                          "Creating link between H12 and R78 with weight -0.200000\n"
                          "Creating link between K45 and R78 with weight 0.800000\n"
                          "Creating link between A3 and B9 with weight 0.500000\n"
                          "Creating link between 7 and 1e-3 with weight 0.100000\n");
}

TEST(Screenshot, FailsWithOneLineWhenTheImageCannotBeWritten)
{
    TemporaryFolder folder;
    const std::string readOnly = folder.path("read-only");
    std::filesystem::create_directory(readOnly);
    std::filesystem::permissions(readOnly,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);

    std::vector<std::string> images = {folder.path("missing/shot.png")};
    // Root writes into a read-only folder all the same.
    if (geteuid() != 0)
        images.push_back(readOnly + "/shot.png");
    for (const std::string& image : images)
    {
        const RunResult run =
            runLinkmap({dataFile("road-of-one-line.txt"), "--generate-image", image}, smallWindow, 60);
        EXPECT_EQ(run.exitStatus, 1) << image;
        const std::string expected = "Error: could not write the image " + image + "\n";
        ASSERT_GE(run.output.size(), expected.size()) << image;
        EXPECT_EQ(run.output.substr(run.output.size() - expected.size()), expected);
        EXPECT_FALSE(std::filesystem::exists(image));
    }
}

TEST(Screenshot, DrawsTheColourKeyInTheBottomLeftCornerWhenAskedFor)
{
    TemporaryFolder folder;
    const std::string positive = folder.write("positive.txt", "12-12\n");
    std::vector<osg::ref_ptr<osg::Image>> shots;
    for (const char* setting : {"LINKMAP_KEY=1", "LINKMAP_KEY=0"})
    {
        const std::string image = folder.path(std::string(setting) + ".png");
        // Large enough for the key's text to be read.
        const std::vector<std::string> environment = {"OSG_WINDOW=0 0 640 480", setting};
        const RunResult run = runLinkmap(
            {dataFile("road-of-one-line.txt"), "-p", positive, "--generate-image", image}, environment);
        EXPECT_EQ(run.exitStatus, 0) << setting;
        shots.push_back(readImage(image));
        ASSERT_TRUE(shots.back().valid()) << setting;
    }
    // The bar runs from red through yellow to green; the swatch is red and named in white.
    const osg::Image& keyed = *shots[0];
    const int corner[] = {0, 0, 150, 120};
    EXPECT_GT(countPixels(keyed, corner[0], corner[1], corner[2], corner[3], isRed), 20);
    EXPECT_GT(countPixels(keyed, corner[0], corner[1], corner[2], corner[3], isYellow), 5);
    EXPECT_GT(countPixels(keyed, corner[0], corner[1], corner[2], corner[3], isGreen), 20);
    EXPECT_GT(countPixels(keyed, corner[0], corner[1], corner[2], corner[3],
                          [](const Pixel& p) { return p.red > 150 && p.green > 150 && p.blue > 150; }),
              20);
    // Without it the corner is the background alone, and the rest of the picture is the same either way.
    const osg::Image& plain = *shots[1];
    EXPECT_EQ(countPixels(plain, corner[0], corner[1], corner[2], corner[3],
                          [](const Pixel& p) { return p.red != 51 || p.green != 51 || p.blue != 102; }),
              0);
    for (int row = 160; row < 480; ++row)
        for (int column = 0; column < 640; ++column)
            ASSERT_EQ(std::memcmp(keyed.data(column, row), plain.data(column, row), 3), 0)
                << column << ", " << row;
}

TEST(Screenshot, SmoothsTheSavedImageWithTheSamplesAskedFor)
{
    TemporaryFolder folder;
    std::vector<osg::ref_ptr<osg::Image>> shots;
    // 8 samples are more than the virtual display's windows offer: the window opens without them.
    for (const char* samples : {"OSG_MULTI_SAMPLES=0", "OSG_MULTI_SAMPLES=4", "OSG_MULTI_SAMPLES=8"})
    {
        const std::string image = folder.path(std::string(samples) + ".png");
        const RunResult run = runLinkmap({dataFile("road-of-one-line.txt"), "--generate-image", image},
                                         {"OSG_WINDOW=0 0 320 240", samples});
        EXPECT_EQ(run.exitStatus, 0) << samples;
        shots.push_back(readImage(image));
        ASSERT_TRUE(shots.back().valid()) << samples;
        ASSERT_EQ(shots.back()->s(), 320) << samples;
        ASSERT_EQ(shots.back()->t(), 240) << samples;
    }
    for (std::size_t smooth = 1; smooth < shots.size(); ++smooth)
    {
        // The edges of spheres, links and labels take in-between colours; the picture stays the same.
        int changed = 0;
        double difference = 0.0;
        for (int row = 0; row < 240; ++row)
            for (int column = 0; column < 320; ++column)
            {
                const Pixel a = pixelAt(*shots[0], column, row);
                const Pixel b = pixelAt(*shots[smooth], column, row);
                const int most = std::max(
                    {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
                changed += most > 0 ? 1 : 0;
                difference += most;
            }
        EXPECT_GT(changed, 320 * 240 / 50) << "samples, run " << smooth;
        EXPECT_LT(difference / (320 * 240), 3.0) << "samples, run " << smooth;
    }
}

TEST(Screenshot, SavesAWindowLargerThanTheScreenWhole)
{
    // The virtual display is 1024 by 768; the window reaches below it.
    TemporaryFolder folder;
    const std::string image = folder.path("tall.png");
    const RunResult run = runLinkmap({dataFile("road-of-one-line.txt"), "--generate-image", image},
                                     {"OSG_WINDOW=0 0 600 1000"});
    EXPECT_EQ(run.exitStatus, 0);
    osg::ref_ptr<osg::Image> shot = readImage(image);
    ASSERT_TRUE(shot.valid());
    ASSERT_EQ(shot->s(), 600);
    ASSERT_EQ(shot->t(), 1000);
    // The network is framed in the middle of the whole image: what is drawn reaches as far above the middle
    // as below it, where the window passes the screen's edge.
    int lowest = 1000;
    int highest = -1;
    for (int row = 0; row < 1000; ++row)
        for (int column = 0; column < 600; ++column)
        {
            const Pixel p = pixelAt(*shot, column, row);
            if (p.red != 51 || p.green != 51 || p.blue != 102)
            {
                lowest = std::min(lowest, row);
                highest = std::max(highest, row);
            }
        }
    ASSERT_GE(highest, lowest);
    EXPECT_NEAR((lowest + highest) / 2.0, 500.0, 20.0);
    EXPECT_GT(highest - lowest, 300);
}

TEST(Screenshot, ShowsAnEmptySceneForAFileWithoutGroups)
{
    TemporaryFolder folder;
    const std::string image = folder.path("empty.png");
    const RunResult run = runLinkmap({dataFile("empty.txt"), "--generate-image", image}, smallWindow);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "Note: " + dataFile("empty.txt") + " holds no sites or links\n");
    osg::ref_ptr<osg::Image> shot = readImage(image);
    ASSERT_TRUE(shot.valid());
    EXPECT_EQ(countPixels(*shot, 0, 0, 320, 240, [](const Pixel& p) { return p.blue != 102; }), 0);
}

} // namespace

namespace
{

TEST(Viewer, NeverZoomsOutBeyondTheFirstView)
{
    // The window fills the screen, under the pointer wherever it rests.
    LiveWindow window({dataFile("road-of-one-line.txt")}, {}, 400, 300);
    const osg::ref_ptr<osg::Image> still = readImage(window.firstPicture());
    window.send("click --repeat 25 --delay 20 4");
    const osg::ref_ptr<osg::Image> zoomedOut = readImage(window.save());
    window.send("click --repeat 25 --delay 20 5");
    const osg::ref_ptr<osg::Image> zoomedIn = readImage(window.save());
    EXPECT_EQ(window.close().exitStatus, 0);
    ASSERT_TRUE(still.valid() && zoomedOut.valid() && zoomedIn.valid());
    ASSERT_EQ(zoomedOut->getTotalSizeInBytes(), still->getTotalSizeInBytes());
    ASSERT_EQ(zoomedIn->getTotalSizeInBytes(), still->getTotalSizeInBytes());

    // Zooming in is free, which shows that the wheel reached the window; zooming out stops at the first view.
    EXPECT_NE(std::memcmp(zoomedIn->data(), still->data(), still->getTotalSizeInBytes()), 0);
    EXPECT_EQ(std::memcmp(zoomedOut->data(), still->data(), still->getTotalSizeInBytes()), 0);
}

TEST(Viewer, RunsUntilEscapeIsPressedAndThenExitsCleanly)
{
    // Without a screenshot the window stays until the user ends the run: it has saved a picture, so it takes
    // keys, and it is still there. It fills the screen, so the pointer is over it and it receives the keys.
    LiveWindow window({dataFile("road-of-one-line.txt"), "--background", "black"}, {}, 400, 300);
    LinkmapProcess& run = window.process();
    ASSERT_TRUE(run.running());
    window.send("key Escape");
    ASSERT_TRUE(run.waitForExit(patienceSeconds)) << "the window did not close on Escape";
    const RunResult result = run.finish();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "Creating link between H12 and K45 with weight 0.350000\n"
                             "Creating link between H12 and R78 with weight -0.200000\n"
                             "Creating link between K45 and R78 with weight 0.800000\n");
}

TEST(Viewer, ASignalEndsTheWindowAsEscapeDoesWhileAPathSearchRuns)
{
    // A chain of 60 rings of 8 sites, each sharing half its sites with the next: a thousand paths from one
    // end to the other take the search some ten seconds, well past the signal.
    TemporaryFolder folder;
    const std::string chain = folder.write(
        "chain.txt", eightSiteRings(60, 4, [](int, int pair) { return pair % 3 == 0 ? 0.9 : 0.5; }));
    // The search starts with the window's loop, which has drawn a frame once the window saves a picture.
    LiveWindow window({chain}, {"LINKMAP_FROM=K1", "LINKMAP_TO=K244", "LINKMAP_PATHS=1000"}, 400, 300);
    const auto asked = std::chrono::steady_clock::now();
    const RunResult result = window.close();
    // Far less than the search takes, even on a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
    EXPECT_EQ(result.exitStatus, 0);
    // The log, whole, and no path: the run ended before the search did.
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 60 * 28);
    EXPECT_EQ(result.output.find("Path "), std::string::npos);
}

// An X display of a test's own, which no other test's windows cover.
struct PrivateDisplay
{
    pid_t server = -1;
    std::string name;
};

// Starts Xvfb on a free display from :150 up, far from :0, where a run without DISPLAY looks, and says when
// it accepts connections, however long starting takes on a busy machine.
PrivateDisplay startPrivateDisplay(const char* screen = "640x480x24")
{
    PrivateDisplay own;
    for (int number = 150; number < 250; ++number)
    {
        if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
            continue;
        int ready[2];
        if (pipe(ready) != 0)
            return own;
        const std::string name = ":" + std::to_string(number);
        own.server = fork();
        if (own.server == 0)
        {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen,
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // The server writes its number and a new line once it is ready, or exits without a word when the
        // display is taken; the pipe stays open until the line is whole, or the server would find it closed.
        std::string said;
        char letter = 0;
        while (own.server > 0)
        {
            const ssize_t got = read(ready[0], &letter, 1);
            if (got == 1 && letter != '\n')
                said += letter;
            else if (!(got < 0 && errno == EINTR))
                break;
        }
        close(ready[0]);
        const bool started = !said.empty();
        if (started)
        {
            own.name = name;
            return own;
        }
        if (own.server > 0)
            waitpid(own.server, nullptr, 0);
    }
    own.server = -1;
    return own;
}

// Waits until the display holds a window, or the run has ended. Asking the display itself every few
// milliseconds keeps up even when the machine is busy.
void waitForFirstWindow(const std::string& display, LinkmapProcess& run)
{
    ::Display* connection = XOpenDisplay(display.c_str());
    ASSERT_NE(connection, nullptr);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (run.running() && std::chrono::steady_clock::now() < giveUp)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
        if (children != nullptr)
            XFree(children);
        if (count > 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    XCloseDisplay(connection);
}

TEST(Viewer, EndsWithOneMessageWhenTheDisplayGoesAway)
{
    // A display of the test's own, ended under the window and under an image run.
    for (const bool imageRun : {false, true})
    {
        const PrivateDisplay own = startPrivateDisplay();
        ASSERT_GT(own.server, 0) << "Xvfb did not start";
        const std::string& display = own.name;
        const pid_t server = own.server;
        TemporaryFolder folder;
        std::vector<std::string> arguments = {dataFile("road-of-one-line.txt")};
        if (imageRun)
            arguments.insert(arguments.end(), {"--generate-image", folder.path("lost.png")});
        // The image run shows its scene far longer than the test takes to end the display.
        LinkmapProcess run(arguments, {"DISPLAY=" + display, "LINKMAP_IMAGE_SECONDS=600"}, 60,
                           folder.path(""));
        waitForFirstWindow(display, run);
        // The window ends once its loop runs: it saves a picture with the c key, sent once the window, which
        // fills the screen, takes keys.
        if (!imageRun)
        {
            const std::string xdotool = "DISPLAY=" + display + " xdotool ";
            EXPECT_EQ(std::system((xdotool + "mousemove 100 100").c_str()), 0);
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (run.running() && !windowUnderPointerTakesInput(display) &&
                   std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(std::system((xdotool + "key c").c_str()), 0);
            EXPECT_TRUE(run.waitForError("Saved linkmap-1.png", patienceSeconds))
                << "the window saved no picture: " << run.errorText();
        }
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        const RunResult result = run.finish();
        EXPECT_EQ(result.exitStatus, 1) << result.output;
        const std::string last =
            result.output.substr(result.output.rfind('\n', result.output.size() - 2) + 1);
        EXPECT_EQ(last, imageRun ? "Error: the display went away; linkmap stopped and wrote no image " +
                                       folder.path("lost.png") + "\n"
                                 : std::string("Error: the display went away; linkmap stopped\n"));
        EXPECT_FALSE(std::filesystem::exists(folder.path("lost.png")));
    }
}

TEST(Viewer, AnImageRunOutlastsADisplayThatRefusesOneOfItsConnections)
{
    // A display of the test's own, started as xvfb-run starts it: it resets when its last client leaves, and
    // refuses connections for a moment then. Whichever of a run's first connections it refuses, the run asks
    // again, and saves the image a run without a refusal saves, saying nothing more.
    const PrivateDisplay own = startPrivateDisplay("640x480x24");
    ASSERT_GT(own.server, 0) << "Xvfb did not start";
    TemporaryFolder folder;
    // Drawn one glyph per element, and in batches, for which the display is asked whether it runs shaders.
    const std::string batched =
        eightSiteRings(40, 8, [](int ring, int pair) { return (ring + pair) % 19 / 10.0 - 0.9; });
    for (const std::string& groups : {dataFile("road-of-one-line.txt"), folder.write("batched.txt", batched)})
    {
        // What a run saves, prints and says on standard error, refused its connection number refused (none
        // when 0).
        struct Saved
        {
            int exitStatus;
            std::string image, output, errors;
        };
        const auto run = [&](int refused) {
            const std::string image = folder.path("refused" + std::to_string(refused) + ".png");
            std::vector<std::string> settings = {"DISPLAY=" + own.name};
            if (refused > 0)
                settings.insert(settings.end(), {std::string("LD_PRELOAD=") + LINKMAP_REFUSING_DISPLAY,
                                                 "XFAIL_AT=" + std::to_string(refused)});
            LinkmapProcess process({groups, "--generate-image", image}, settings, 120);
            const RunResult result = process.finish();
            return Saved{result.exitStatus, readText(image), result.output, process.errorText()};
        };
        const Saved clean = run(0);
        ASSERT_EQ(clean.exitStatus, 0) << groups << ": " << clean.output;
        ASSERT_FALSE(clean.image.empty()) << groups;
        for (int refused = 1; refused <= 5; ++refused)
        {
            const Saved saved = run(refused);
            EXPECT_EQ(saved.exitStatus, 0) << groups << ", connection " << refused << " refused";
            EXPECT_EQ(saved.output, clean.output) << groups << ", connection " << refused << " refused";
            EXPECT_EQ(saved.errors, clean.errors) << groups << ", connection " << refused << " refused";
            EXPECT_TRUE(saved.image == clean.image) << groups << ", connection " << refused << " refused";
        }
    }
    kill(own.server, SIGTERM);
    waitpid(own.server, nullptr, 0);
}

TEST(Viewer, AFullPictureDrawnInSlicesIsTheOneFramePicturePixelForPixel)
{
    TemporaryFolder folder;
    const std::string groups = folder.write("rings.txt", slicedNetworkText());
    const PrivateDisplay own = startPrivateDisplay("640x480x24");
    ASSERT_GT(own.server, 0) << "Xvfb did not start";
    const std::vector<std::string> settings = {"DISPLAY=" + own.name, "OSG_WINDOW=0 0 400 300"};
    const std::string image = folder.path("one-frame.png");
    EXPECT_EQ(runLinkmap({groups, "--generate-image", image}, settings, 120).exitStatus, 0);
    const osg::ref_ptr<osg::Image> oneFrame = readImage(image);
    ASSERT_TRUE(oneFrame.valid());

    LinkmapProcess run({groups}, settings, 120);
    waitForFirstWindow(own.name, run);
    ::Display* connection = XOpenDisplay(own.name.c_str());
    ASSERT_NE(connection, nullptr);
    // The window shows the light picture first and the full one once every slice is drawn; it then rests.
    ASSERT_EQ(oneFrame->s(), 400);
    ASSERT_EQ(oneFrame->t(), 300);
    ASSERT_GE(osg::Image::computeNumComponents(oneFrame->getPixelFormat()), 3u);
    // The pixels of the window that are not those of the one-frame picture, whose rows run from the bottom
    // up.
    const auto differing = [&](XImage* screen) {
        std::size_t count = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
            {
                const unsigned long pixel = XGetPixel(screen, x, y);
                const unsigned char shown[3] = {static_cast<unsigned char>(pixel >> 16),
                                                static_cast<unsigned char>(pixel >> 8),
                                                static_cast<unsigned char>(pixel)};
                count += std::memcmp(oneFrame->data(x, 299 - y), shown, 3) != 0 ? 1 : 0;
            }
        return count;
    };
    // The window shows the light picture first, and the full one once every slice is drawn.
    std::size_t left = 120000;
    std::size_t looks = 0;
    for (; looks < 120 && left != 0; ++looks)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        XImage* screen =
            XGetImage(connection, DefaultRootWindow(connection), 0, 0, 400, 300, AllPlanes, ZPixmap);
        ASSERT_NE(screen, nullptr);
        left = differing(screen);
        XDestroyImage(screen);
    }
    XCloseDisplay(connection);
    // Ending the display ends the run.
    kill(own.server, SIGTERM);
    waitpid(own.server, nullptr, 0);
    const RunResult ended = run.finish();
    EXPECT_NE(ended.output.find("the display went away"), std::string::npos) << ended.output.substr(0, 300);
    EXPECT_EQ(left, 0u) << "pixels of 120,000 differ after " << looks << " looks";
}

// Where the bundled example draws points in the first view of a 800 by 600 window, in pixels from the top
// left corner as the pointer moves.
struct ExampleView
{
    std::unique_ptr<DrawnNetwork> drawn;
    std::vector<std::string> files;
    osg::Matrixd toWindow;

    ExampleView()
    {
        const std::string folder = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
        files = {folder + "network.txt",  "-p", folder + "positive.txt",   "-n",
                 folder + "negative.txt", "-a", folder + "accelerated.txt"};
        InputFiles inputs;
        inputs.positiveFile = files[2];
        inputs.negativeFile = files[4];
        inputs.acceleratedFile = files[6];
        drawn = drawNetwork(readText(files[0]), std::nullopt, readRegionLists(inputs));
        // The program's viewer in the same window, framing the same scene, unrealized.
        osgViewer::Viewer viewer;
        viewer.setUpViewInWindow(0, 0, 800, 600);
        osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
        viewer.setCameraManipulator(trackball.get());
        viewer.setSceneData(drawn->scene.root.get());
        viewer.home();
        toWindow = trackball->getInverseMatrix() * viewer.getCamera()->getProjectionMatrix() *
                   osg::Matrixd::translate(1.0, -1.0, 0.0) * osg::Matrixd::scale(400.0, -300.0, 1.0);
    }

    osg::Vec2 onScreen(const osg::Vec3& position) const
    {
        const osg::Vec3d point = osg::Vec3d(position) * toWindow;
        return osg::Vec2(static_cast<float>(point.x()), static_cast<float>(point.y()));
    }

    osg::Vec2 siteOnScreen(const std::string& name) const
    {
        return onScreen(drawn->layout.positions.at(drawn->network.findSite(name)));
    }

    osg::Vec2 middleOnScreen(const std::string& a, const std::string& b) const
    {
        return (siteOnScreen(a) + siteOnScreen(b)) * 0.5f;
    }
};

// The picture of the bundled example's window, 800 by 600, after the pointer, resting at start, does what
// gesture says with xdotool (nothing when it is empty), once what the run prints shows answer (when it is not
// empty).
osg::ref_ptr<osg::Image> shotWithGesture(const ExampleView& example, const osg::Vec2& start,
                                         const std::string& gesture,
                                         const std::vector<std::string>& settings = {},
                                         const std::string& answer = std::string())
{
    std::vector<std::string> environment = settings;
    environment.push_back("OSG_WINDOW=0 0 800 600");
    LiveWindow window(example.files, environment, int(std::lround(start.x())), int(std::lround(start.y())));
    std::string picture = window.firstPicture();
    if (!gesture.empty())
    {
        window.send(gesture);
        if (!answer.empty())
        {
            EXPECT_TRUE(window.process().waitForOutput(answer, patienceSeconds))
                << "the window did not print \"" << answer << "\" after " << gesture;
        }
        picture = window.save();
    }
    osg::ref_ptr<osg::Image> image = readImage(picture);
    EXPECT_EQ(window.close().exitStatus, 0);
    return image;
}

// How far a pixel is from the default background, (51, 51, 102), at the point given from the top left.
int awayFromBackground(const osg::Image& image, const osg::Vec2& point)
{
    const Pixel p = pixelAt(image, int(std::lround(point.x())), 599 - int(std::lround(point.y())));
    return std::abs(p.red - 51) + std::abs(p.green - 51) + std::abs(p.blue - 102);
}

TEST(Viewer, AClickDescribesASphereAndDimsOtherLinksADoubleClickCentresItADragDoesNeither)
{
    const ExampleView example;
    const osg::Vec2 sphere = example.siteOnScreen("K45");
    const osg::Vec2 ownLink = example.middleOnScreen("K45", "R78");
    const osg::Vec2 otherLink = example.middleOnScreen("D101", "E104");
    const osg::ref_ptr<osg::Image> still = shotWithGesture(example, sphere, "");
    const osg::ref_ptr<osg::Image> clicked = shotWithGesture(example, sphere, "click 1");
    const osg::ref_ptr<osg::Image> dragged =
        shotWithGesture(example, sphere,
                        "mousedown 1 sleep 0.05 mousemove_relative 20 0 sleep 0.05 mousemove_relative -- -20 "
                        "0 sleep 0.05 mouseup 1");
    ASSERT_TRUE(still.valid() && clicked.valid() && dragged.valid());
    ASSERT_EQ(still->s(), 800);
    ASSERT_EQ(clicked->s(), 800);

    // The corner, the top 40 rows of the left half, is empty background until the click writes in it.
    const auto textPixels = [](const osg::Image& image) {
        return countPixels(image, 0, 560, 400, 600,
                           [](const Pixel& p) { return p.red != 51 || p.green != 51 || p.blue != 102; });
    };
    EXPECT_EQ(textPixels(*still), 0);
    EXPECT_GT(textPixels(*clicked), 100);

    // The link between D101 and E104 is not K45's: it fades towards the background; K45's own keeps its
    // colour.
    EXPECT_GT(awayFromBackground(*still, otherLink), 150);
    EXPECT_LT(awayFromBackground(*clicked, otherLink), awayFromBackground(*still, otherLink) / 2);
    EXPECT_GT(awayFromBackground(*still, ownLink), 150);
    EXPECT_NEAR(awayFromBackground(*clicked, ownLink), awayFromBackground(*still, ownLink), 20);

    // A drag away and back, let go over the sphere where it began, turns the view and picks nothing.
    EXPECT_EQ(textPixels(*dragged), 0);

    // A double click makes the sphere the centre of the view: K45's red is drawn in the middle.
    const osg::ref_ptr<osg::Image> doubled =
        shotWithGesture(example, sphere, "click --repeat 2 --delay 80 1");
    ASSERT_TRUE(doubled.valid());
    EXPECT_FALSE(isRed(pixelAt(*still, 400, 300)));
    EXPECT_TRUE(isRed(pixelAt(*doubled, 400, 300)));
}

TEST(Viewer, ShiftAndAClickOnASiteShowThePathsFromTheSitePickedThickerAndDimTheRest)
{
    // H12 picked from the start; Shift and a click on V212 asks for the paths between them. The shortest
    // runs H12 K45 F201 M210 V212; D101-E104 lies on none.
    const ExampleView example;
    const osg::Vec2 sink = example.siteOnScreen("V212");
    const std::vector<std::string> picked = {"LINKMAP_SELECT=H12"};
    const osg::ref_ptr<osg::Image> before = shotWithGesture(example, sink, "", picked);
    const osg::ref_ptr<osg::Image> paths =
        shotWithGesture(example, sink, "keydown shift click 1 keyup shift", picked, "Path 1 of ");
    ASSERT_TRUE(before.valid() && paths.valid());

    // K45-F201 is not H12's, so it was dimmed; on the paths it is bright. H12-K45, H12's own and on every
    // path, is drawn thicker.
    const osg::Vec2 dimmedBefore = example.middleOnScreen("K45", "F201");
    EXPECT_GT(awayFromBackground(*paths, dimmedBefore), awayFromBackground(*before, dimmedBefore) + 60);
    const osg::Vec2 onPath = example.middleOnScreen("H12", "K45");
    const osg::Vec2 across = example.siteOnScreen("H12") - example.siteOnScreen("K45");
    const osg::Vec2 side = osg::Vec2(-across.y(), across.x()) / across.length();
    const auto width = [&](const osg::Image& image) {
        int wide = 0;
        for (int step = -12; step <= 12; ++step)
            wide += awayFromBackground(image, onPath + side * static_cast<float>(step)) > 60;
        return wide;
    };
    EXPECT_GT(width(*paths), 2 * width(*before));
    // A link on no path stays dimmed.
    const osg::Vec2 offPath = example.middleOnScreen("D101", "E104");
    EXPECT_NEAR(awayFromBackground(*paths, offPath), awayFromBackground(*before, offPath), 20);
}

TEST(Viewer, PathsAreFoundAgainOverTheLinksShownWhenTheFilterChanges)
{
    // H12 to V212, asked for from the start. Links touching an accelerated site are none of H12's: the
    // filter 3 leaves no path, and 0 brings the first paths back.
    const ExampleView example;
    std::vector<std::string> environment = {"LINKMAP_FROM=H12", "LINKMAP_TO=V212", "OSG_WINDOW=0 0 800 600"};
    LiveWindow window(example.files, environment, 400, 300);
    LinkmapProcess& run = window.process();
    const std::string found = "Path 1 of 10 from H12 to V212";
    const std::string none = "No path joins H12 and V212 among the links shown\n";
    ASSERT_TRUE(run.waitForOutput(found, patienceSeconds)) << "no paths listed";
    const osg::ref_ptr<osg::Image> first = readImage(window.save());
    const std::size_t listed = run.outputRead();
    window.send("key 3");
    ASSERT_TRUE(run.waitForOutput(none, patienceSeconds, listed)) << "the filter did not search again";
    const osg::ref_ptr<osg::Image> filtered = readImage(window.save());
    const std::size_t refused = run.outputRead();
    window.send("key 0");
    ASSERT_TRUE(run.waitForOutput(found, patienceSeconds, refused)) << "the paths did not come back";
    const osg::ref_ptr<osg::Image> back = readImage(window.save());
    EXPECT_EQ(window.close().exitStatus, 0);
    ASSERT_TRUE(first.valid() && filtered.valid() && back.valid());

    // H12-K45, on every path, is drawn bright; filtered, it is hidden; found again, the picture is the first.
    const osg::Vec2 onPath = example.middleOnScreen("H12", "K45");
    EXPECT_GT(awayFromBackground(*first, onPath), 150);
    EXPECT_LT(awayFromBackground(*filtered, onPath), 30);
    ASSERT_EQ(back->getTotalSizeInBytes(), first->getTotalSizeInBytes());
    EXPECT_EQ(std::memcmp(back->data(), first->data(), first->getTotalSizeInBytes()), 0);
}

TEST(Viewer, TheFindPromptBringsASiteToTheMiddleAndARegionKeyHidesTheLinksTouchingNone)
{
    const ExampleView example;
    const osg::Vec2 middle(400.0f, 300.0f);
    // While the prompt is open it takes every key, so it is closed before the filter's key.
    const std::string find = "key slash type --delay 20 m210 && xdotool key Return key Escape";
    const osg::ref_ptr<osg::Image> found = shotWithGesture(example, middle, find);
    const osg::ref_ptr<osg::Image> filtered = shotWithGesture(example, middle, find + " key 2");
    ASSERT_TRUE(found.valid() && filtered.valid());

    // M210 is picked and in the middle, at the same distance: everything else moved as far as it did. Its
    // label lies over its centre, seen from the front; its sphere shows above.
    EXPECT_TRUE(isDarkBlue(pixelAt(*found, 400, 599 - 295)));
    const auto textPixels = [](const osg::Image& image) {
        return countPixels(image, 0, 560, 400, 600,
                           [](const Pixel& p) { return p.red != 51 || p.green != 51 || p.blue != 102; });
    };
    EXPECT_GT(textPixels(*found), 100);
    const osg::Vec2 shift = middle - example.siteOnScreen("M210");

    // 2 hides M210's link to V212, which touches no negative site; a link that does touch one stays.
    const osg::Vec2 hidden = example.middleOnScreen("M210", "V212") + shift;
    EXPECT_GT(awayFromBackground(*found, hidden), 150);
    EXPECT_LT(awayFromBackground(*filtered, hidden), 30);
    int kept = 0;
    for (const auto& [a, b] : {std::pair{"D101", "E104"}, {"W152", "Y150"}, {"E104", "G110"}})
    {
        const osg::Vec2 point = example.middleOnScreen(a, b) + shift;
        if (point.x() > 40.0f && point.x() < 760.0f && point.y() > 100.0f && point.y() < 560.0f)
        {
            // Not M210's: dimmed in both, so it shows in the same colour.
            EXPECT_GT(awayFromBackground(*filtered, point), 20) << a << " " << b;
            EXPECT_NEAR(awayFromBackground(*filtered, point), awayFromBackground(*found, point), 10)
                << a << " " << b;
            ++kept;
        }
    }
    EXPECT_GT(kept, 0) << "a negative link in view";
}

TEST(Viewer, DrawsTheLightPictureWhileTheViewMovesTheFullOneWhenItSettlesAndNothingAtRest)
{
    // The loop driven pass by pass in a real window, with events put in the window's queue as the window
    // system would.
    const auto drawn = drawNetwork("H12 K45 0.35 R78 -0.20 0.80\nD101 E104 0.9 G110 -0.6 0.4\n");
    osg::Group* root = drawn->scene.root.get();
    MotionPicture motion(drawn->layout.positions, sphereColors(drawn->layout, drawn->network),
                         drawn->network.links, osg::Vec4(0.2f, 0.2f, 0.4f, 1.0f));
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->addChild(root);
    scene->addChild(motion.getNode());

    osgViewer::Viewer viewer;
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setUpViewInWindow(0, 0, 320, 240);
    osg::ref_ptr<Trackball> trackball = new Trackball;
    viewer.setCameraManipulator(trackball.get());
    osg::ref_ptr<StatsScreen> stats = new StatsScreen;
    viewer.addEventHandler(stats.get());
    viewer.setSceneData(scene.get());
    viewer.realize();
    ASSERT_TRUE(viewer.isRealized()) << "no window could be opened";
    viewer.home();
    const auto ceiling = static_cast<float>(trackball->getDistance());
    FrameLoop loop(viewer, *trackball, root, &motion, stats.get(), nullptr);
    osgGA::EventQueue* queue =
        dynamic_cast<osgViewer::GraphicsWindow*>(viewer.getCamera()->getGraphicsContext())->getEventQueue();
    const auto lightShown = [&] {
        return root->getNodeMask() == 0u && motion.getNode()->getNodeMask() != 0u;
    };
    const auto settle = [] {
        std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds + 0.05));
    };

    // The first pass draws the full picture; then the window rests, and the pointer crossing it does not
    // wake it.
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Full);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);
    queue->mouseMotion(100.0f, 100.0f);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);

    // A key may change the scene: one full frame.
    queue->keyPress('+');
    queue->keyRelease('+');
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Full);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);

    // A drag turns the view in the light picture, which goes on a while after each move; held still, the
    // window rests with it, and letting go brings the full picture back once.
    queue->mouseButtonPress(160.0f, 120.0f, 1);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Motion);
    queue->mouseMotion(200.0f, 130.0f);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Motion);
    EXPECT_TRUE(lightShown());
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Motion);
    settle();
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);
    queue->mouseButtonRelease(200.0f, 130.0f, 1);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Full);
    EXPECT_FALSE(lightShown());
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);

    // Letting go of a pointer that only creeps, a pixel in 40 ms, is no throw: the view comes to rest.
    const double start = queue->getTime();
    queue->mouseButtonPress(160.0f, 120.0f, 1, start);
    queue->mouseMotion(161.0f, 120.0f, start + 0.04);
    queue->mouseMotion(162.0f, 120.0f, start + 0.08);
    queue->mouseButtonRelease(162.0f, 120.0f, 1, start + 0.09);
    // The events are taken once their times have come.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    loop.step(ceiling);
    settle();
    EXPECT_NE(loop.step(ceiling), FrameDraw::Motion);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);

    // Letting go while moving throws the view: it spins in the light picture until a press stops it.
    queue->mouseButtonPress(160.0f, 120.0f, 1);
    queue->mouseMotion(180.0f, 120.0f);
    queue->mouseMotion(200.0f, 120.0f);
    queue->mouseButtonRelease(200.0f, 120.0f, 1);
    for (int pass = 0; pass < 5; ++pass)
        EXPECT_EQ(loop.step(ceiling), FrameDraw::Motion) << pass;
    queue->mouseButtonPress(200.0f, 120.0f, 1);
    queue->mouseButtonRelease(200.0f, 120.0f, 1);
    loop.step(ceiling);
    settle();
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Full);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);

    // The statistics are drawn anew every pass while they are on screen; s cycles them off again.
    queue->keyPress('s');
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(loop.step(ceiling), FrameDraw::Full) << pass;
    for (int press = 0; press < 4; ++press)
        queue->keyPress('s');
    loop.step(ceiling);
    EXPECT_EQ(loop.step(ceiling), FrameDraw::Nothing);
}

} // namespace
