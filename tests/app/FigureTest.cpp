#include <app/ViewFile.h>
#include <support/TestSupport.h>

#include <osg/Image>
#include <osgDB/ReadFile>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace
{

const std::string exampleFolder = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
const std::vector<std::string> example = {
    exampleFolder + "network.txt",  "-p", exampleFolder + "positive.txt",   "-n",
    exampleFolder + "negative.txt", "-a", exampleFolder + "accelerated.txt"};
const char* const exampleNames[] = {"H12",  "K45",  "R78",  "D101", "E104", "G110", "S115",
                                    "Y150", "W152", "T160", "F201", "L205", "M210", "V212"};

// Runs the program with arguments and --generate-image into file; its exit status.
int makeImage(std::vector<std::string> arguments, const std::string& file,
              const std::vector<std::string>& environment)
{
    arguments.insert(arguments.end(), {"--generate-image", file});
    return runLinkmap(arguments, environment).exitStatus;
}

// How far two pictures of the same size are apart as a person sees them: the mean difference a channel, from
// 0 to 255, of their 4 by 4 pixel blocks' averages; infinite when they cannot be compared.
double blockDifference(const osg::Image& a, const osg::Image& b)
{
    if (a.s() != b.s() || a.t() != b.t())
        return INFINITY;
    const int channelsA = static_cast<int>(osg::Image::computeNumComponents(a.getPixelFormat()));
    const int channelsB = static_cast<int>(osg::Image::computeNumComponents(b.getPixelFormat()));
    double total = 0.0;
    int blocks = 0;
    for (int row = 0; row + 4 <= a.t(); row += 4)
        for (int column = 0; column + 4 <= a.s(); column += 4, ++blocks)
            for (int channel = 0; channel < 3; ++channel)
            {
                double difference = 0.0;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x)
                        difference += double(a.data(column + x, row + y)[std::min(channel, channelsA - 1)]) -
                                      double(b.data(column + x, row + y)[std::min(channel, channelsB - 1)]);
                total += std::fabs(difference) / 16.0;
            }
    return blocks > 0 ? total / (blocks * 3.0) : INFINITY;
}

// How far the SVG figure of a network, rasterised, is from its PNG, both made as name in folder at the
// 800 x 600 window that settings give: blockDifference, or infinite when either could not be made.
double figureDifference(const std::vector<std::string>& network, const std::vector<std::string>& settings,
                        const TemporaryFolder& folder, const std::string& name)
{
    if (makeImage(network, folder.path(name + ".png"), settings) != 0 ||
        makeImage(network, folder.path(name + ".svg"), settings) != 0 ||
        std::system(("rsvg-convert -w 800 -h 600 '" + folder.path(name + ".svg") + "' -o '" +
                     folder.path(name + "-svg.png") + "'")
                        .c_str()) != 0)
        return INFINITY;
    const osg::ref_ptr<osg::Image> picture = osgDB::readRefImageFile(folder.path(name + ".png"));
    const osg::ref_ptr<osg::Image> figure = osgDB::readRefImageFile(folder.path(name + "-svg.png"));
    return picture.valid() && figure.valid() ? blockDifference(*picture, *figure) : INFINITY;
}

// The view file the c key saved beside the picture at image.
std::string viewOf(const std::string& image)
{
    return image.substr(0, image.size() - 4) + ".view";
}

TEST(Figure, TheCKeySavesTheFullPictureWithItsViewAndAScriptMakesTheSameImageAgainPixelForPixel)
{
    for (const char* samples : {"OSG_MULTI_SAMPLES=0", "OSG_MULTI_SAMPLES=4"})
    {
        TemporaryFolder folder;
        const std::vector<std::string> settings = {"OSG_WINDOW=0 0 800 600", "LINKMAP_KEY=1",
                                                   "LINKMAP_CUTOFF=0.3", samples};
        // Turn the view and let go at rest, then save it twice, the second time with the first notice still
        // in the corner; the first picture, of the first view, was saved before.
        LiveWindow live(example, settings, 400, 300);
        live.send(
            "mousedown 1 mousemove_relative 80 50 sleep 0.1 mousemove_relative 80 40 sleep 0.6 mouseup 1");
        const std::string turned = live.save();
        const std::string turnedAgain = live.save();
        const RunResult window = live.close();
        EXPECT_EQ(window.exitStatus, 0) << samples;

        CameraView view;
        const std::string viewText = readText(viewOf(turned));
        ASSERT_TRUE(parseView(viewText, view)) << samples << ": " << viewText;
        EXPECT_EQ(readText(viewOf(turnedAgain)), viewText);

        std::vector<std::string> again = settings;
        again.push_back("LINKMAP_VIEW=" + viewText);
        std::vector<std::string> arguments = example;
        arguments.insert(arguments.end(), {"--generate-image", folder.path("again.png")});
        const RunResult script = runLinkmap(arguments, again);
        ASSERT_EQ(script.exitStatus, 0);
        ASSERT_EQ(makeImage(example, folder.path("first.png"), settings), 0);
        const osg::ref_ptr<osg::Image> saved = osgDB::readRefImageFile(turned);
        const osg::ref_ptr<osg::Image> savedAgain = osgDB::readRefImageFile(turnedAgain);
        const osg::ref_ptr<osg::Image> savedFirst = osgDB::readRefImageFile(live.firstPicture());
        const osg::ref_ptr<osg::Image> made = osgDB::readRefImageFile(folder.path("again.png"));
        const osg::ref_ptr<osg::Image> first = osgDB::readRefImageFile(folder.path("first.png"));
        ASSERT_TRUE(saved.valid() && savedAgain.valid() && savedFirst.valid() && made.valid() &&
                    first.valid())
            << samples;
        ASSERT_EQ(saved->s(), 800);
        ASSERT_EQ(saved->t(), 600);
        ASSERT_EQ(made->getTotalSizeInBytes(), saved->getTotalSizeInBytes());
        EXPECT_EQ(std::memcmp(made->data(), saved->data(), saved->getTotalSizeInBytes()), 0) << samples;
        EXPECT_EQ(std::memcmp(savedAgain->data(), saved->data(), saved->getTotalSizeInBytes()), 0)
            << samples << ": the notice of the first is not in the second";
        EXPECT_GT(blockDifference(*first, *saved), 1.0) << samples << ": the saved view is the turned one";
        // Saved before any input, the first view is the one an image run makes.
        EXPECT_LT(blockDifference(*first, *savedFirst), 0.5) << samples;

        // The window's standard output is the log, as before.
        EXPECT_EQ(window.output, script.output);
    }
}

TEST(Figure, VectorFiguresAreThePictureOfTheSameViewWithEveryNameAsTextWithoutADisplay)
{
    TemporaryFolder folder;
    const std::vector<std::string> settings = {"OSG_WINDOW=0 0 800 600", "LINKMAP_KEY=1",
                                               "LINKMAP_CUTOFF=0.3",
                                               "LINKMAP_VIEW=70 -150 60 22 0 -20 0 0 1"};
    ASSERT_EQ(makeImage(example, folder.path("view.png"), settings), 0);
    ASSERT_EQ(makeImage(example, folder.path("view.svg"), settings), 0);
    ASSERT_EQ(makeImage(example, folder.path("view.pdf"), settings), 0);
    std::vector<std::string> headless = settings;
    headless.push_back("DISPLAY");
    ASSERT_EQ(makeImage(example, folder.path("headless.svg"), headless), 0);
    EXPECT_EQ(readText(folder.path("headless.svg")), readText(folder.path("view.svg")));

    ASSERT_EQ(
        std::system(("cd '" + folder.path("") + "' && rsvg-convert -w 800 -h 600 view.svg -o svg.png && " +
                     "pdftoppm -r 72 -png -singlefile view.pdf pdf && pdftotext view.pdf words.txt")
                        .c_str()),
        0);
    const osg::ref_ptr<osg::Image> picture = osgDB::readRefImageFile(folder.path("view.png"));
    ASSERT_TRUE(picture.valid());
    for (const char* drawn : {"svg.png", "pdf.png"})
    {
        const osg::ref_ptr<osg::Image> figure = osgDB::readRefImageFile(folder.path(drawn));
        ASSERT_TRUE(figure.valid()) << drawn;
        EXPECT_LT(blockDifference(*picture, *figure), 6.0) << drawn;
    }
    const std::string svg = readText(folder.path("view.svg"));
    const std::string words = readText(folder.path("words.txt"));
    for (const char* name : exampleNames)
    {
        EXPECT_NE(svg.find(std::string(">") + name + "</text>"), std::string::npos) << name;
        EXPECT_NE(words.find(name), std::string::npos) << name;
    }
}

TEST(Figure, AVectorFigureOfTenThousandLinksIsThePictureOfTheSameView)
{
    // 1,000 rings of five sites, each pair linked, with weights across the range and all three regions.
    TemporaryFolder folder;
    std::string groups;
    for (int group = 0; group < 1000; ++group)
    {
        for (int site = 0; site < 5; ++site)
            groups += "K" + std::to_string(group * 5 + site) + " ";
        for (int pair = 0; pair < 10; ++pair)
            groups += std::to_string(((group * 10 + pair) % 21 - 10) / 10.0) + " ";
        groups += "\n";
    }
    const std::vector<std::string> network = {folder.write("groups.txt", groups),
                                              "-p",
                                              folder.write("positive.txt", "0-999\n"),
                                              "-n",
                                              folder.write("negative.txt", "1000-1999\n"),
                                              "-a",
                                              folder.write("accelerated.txt", "2000-2999\n")};
    const std::vector<std::string> settings = {"OSG_WINDOW=0 0 800 600"};
    EXPECT_LT(figureDifference(network, settings, folder, "big"), 6.0);
}

TEST(Figure, AVectorFigureOfANetworkOnItsStructureIsThePictureOfTheSameView)
{
    // The protease's chain A with a site picked: its corner names the residue, and the trace's tube, the
    // spheres at their residues and the emphasised links come out alike in both.
    TemporaryFolder folder;
    const std::vector<std::string> network = {exampleFolder + "protease-a-gnm.csv", "-p",
                                              exampleFolder + "protease-flaps.txt"};
    const std::vector<std::string> settings = {"OSG_WINDOW=0 0 800 600", "LINKMAP_MIN_WEIGHT=0.35",
                                               "LINKMAP_SELECT=K45",
                                               "LINKMAP_STRUCTURE=" + exampleFolder + "1hpv.pdb"};
    EXPECT_LT(figureDifference(network, settings, folder, "placed"), 6.0);
    const std::string svg = readText(folder.path("placed.svg"));
    EXPECT_NE(svg.find(">K45 (LYS 45, chain A): positive region (protease-flaps.txt); community 3; 8 links"),
              std::string::npos);
    // The trace is a tube among the links, as in the window, not a line beneath them.
    EXPECT_EQ(svg.find("stroke-width:2;stroke-linecap:round;stroke-linejoin:miter;stroke:rgb(55"),
              std::string::npos);

    // With paths asked for, a figure marks their two ends, larger and ringed in the labels' white, alike in
    // the window and the vector figure; a group file on its rings, drawn plainly, marks none.
    const auto rings = [](const std::string& drawing) {
        std::size_t count = 0;
        for (std::size_t at = 0;
             (at = drawing.find(
                  "fill:none;stroke-width:2;stroke-linecap:round;stroke-linejoin:miter;stroke:rgb("
                  "100%,100%,100%)",
                  at)) != std::string::npos;
             ++at)
            ++count;
        return count;
    };
    std::vector<std::string> withPaths = settings;
    withPaths.insert(withPaths.end(), {"LINKMAP_FROM=K45", "LINKMAP_TO=I50"});
    EXPECT_LT(figureDifference(network, withPaths, folder, "ends"), 6.0);
    EXPECT_EQ(rings(readText(folder.path("ends.svg"))), 2u);
    EXPECT_EQ(rings(svg), 0u);
    ASSERT_EQ(makeImage({exampleFolder + "network.txt"}, folder.path("plain.svg"),
                        {"LINKMAP_FROM=H12", "LINKMAP_TO=V212"}),
              0);
    EXPECT_EQ(rings(readText(folder.path("plain.svg"))), 0u);
}

} // namespace
