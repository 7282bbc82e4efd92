#include <app/FrameCapture.h>
#include <network/LinkPaths.h>
#include <scene/LinkHighlight.h>
#include <scene/Overlay.h>
#include <support/TestSupport.h>

#include <osg/Image>
#include <osgDB/ReadFile>
#include <osgGA/TrackballManipulator>
#include <osgUtil/Optimizer>
#include <osgViewer/Viewer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

namespace
{

// Draws a scene in a window of its own, framed as the program frames its first view, and returns the image of
// the second frame; betweenFrames, when given, runs after the first.
osg::ref_ptr<osg::Image> drawFirstView(osg::Node* scene, int width, int height,
                                       const std::function<void()>& betweenFrames = {})
{
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->readDISPLAY();
    traits->setUndefinedScreenDetailsToDefaultScreen();
    traits->width = width;
    traits->height = height;
    traits->windowDecoration = false;
    traits->doubleBuffer = true;
    osg::ref_ptr<osg::GraphicsContext> context = osg::GraphicsContext::createGraphicsContext(traits.get());
    if (!context.valid())
        return nullptr;

    osgViewer::Viewer viewer;
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setLightingMode(osg::View::HEADLIGHT);
    viewer.getCamera()->setGraphicsContext(context.get());
    viewer.getCamera()->setViewport(0, 0, width, height);
    viewer.getCamera()->setProjectionMatrixAsPerspective(30.0, static_cast<double>(width) / height, 1.0,
                                                         1000.0);
    osg::ref_ptr<FrameCapture> capture = new FrameCapture;
    viewer.getCamera()->setFinalDrawCallback(capture.get());
    viewer.setCameraManipulator(new osgGA::TrackballManipulator);
    viewer.setSceneData(scene);
    viewer.realize();
    viewer.home();
    viewer.frame();
    if (betweenFrames)
        betweenFrames();
    viewer.frame();
    TemporaryFolder folder;
    const std::string file = folder.path("frame.png");
    if (!capture->write(file))
        return nullptr;
    osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(file);
    if (image.valid())
        image->setOrigin(osg::Image::BOTTOM_LEFT);
    return image;
}

// How far two images of the same view are apart, as a person sees it: the mean difference per channel, out
// of 255, after averaging blocks of 4 × 4 pixels.
double blockDifference(const osg::Image& a, const osg::Image& b)
{
    double total = 0.0;
    int blocks = 0;
    for (int row = 0; row + 4 <= a.t(); row += 4)
    {
        for (int column = 0; column + 4 <= a.s(); column += 4)
        {
            for (int channel = 0; channel < 3; ++channel)
            {
                double sumA = 0.0;
                double sumB = 0.0;
                for (int y = row; y < row + 4; ++y)
                    for (int x = column; x < column + 4; ++x)
                    {
                        sumA += a.data(x, y)[channel];
                        sumB += b.data(x, y)[channel];
                    }
                total += std::fabs(sumA - sumB) / 16.0;
            }
            ++blocks;
        }
    }
    return total / (3.0 * blocks);
}

// A generated network of groupCount groups of siteCount sites, with weights spread over -1 to 1.
std::string generatedGroups(int groupCount, int siteCount)
{
    std::string text;
    int number = 1;
    unsigned seed = 1;
    for (int g = 0; g < groupCount; ++g)
    {
        for (int s = 0; s < siteCount; ++s)
        {
            text += std::string(1, "HKRDE"[number % 5]) + std::to_string(number) + " ";
            ++number;
        }
        for (int w = 0; w < siteCount * (siteCount - 1) / 2; ++w)
        {
            seed = seed * 1103515245u + 12345u;
            text += std::to_string(static_cast<int>((seed >> 16) % 2001) - 1000) + ".0e-3 ";
        }
        text += "\n";
    }
    return text;
}

struct Drawing
{
    std::string what;
    int groups, sites, width, height;
};

TEST(BatchedRender, LooksAsTheSameNetworkDrawnOneGlyphPerElement)
{
    // Links wide on screen show their whole front, narrow ones their roof; both must look as the cylinders
    // do.
    const Drawing drawings[] = {{"wide links", 3, 8, 640, 480}, {"narrow links", 60, 12, 320, 256}};
    for (const Drawing& drawing : drawings)
    {
        RegionLists lists;
        lists.positiveRanges = {{1, 40}};
        lists.negativeRanges = {{60, 90}};
        lists.acceleratedRanges = {{100, 200}};
        osg::ref_ptr<osg::Image> images[2];
        for (const bool batch : {false, true})
        {
            const auto drawn =
                drawNetwork(generatedGroups(drawing.groups, drawing.sites),
                            batch ? RenderPath::Batched : RenderPath::OneGlyphPerElement, lists);
            osg::ref_ptr<osg::Group> scene = new osg::Group;
            scene->addChild(drawn->scene.root.get());
            images[batch] = drawFirstView(scene.get(), drawing.width, drawing.height);
            ASSERT_TRUE(images[batch].valid()) << "no window could be opened";
            ASSERT_EQ(images[batch]->s(), drawing.width);
        }
        const double difference = blockDifference(*images[0], *images[1]);
        EXPECT_LT(difference, 2.0) << drawing.what;
        // Something was drawn: the images are not the background alone.
        int lit = 0;
        for (int y = 0; y < images[1]->t(); ++y)
            for (int x = 0; x < images[1]->s(); ++x)
                lit += images[1]->data(x, y)[1] > 150 ? 1 : 0;
        EXPECT_GT(lit, 100) << drawing.what;
    }
}

TEST(BatchedRender, HidesAndDimsLinksAsTheGlyphsDrawnOneEachAre)
{
    // A cutoff, then a cutoff with one site's links emphasised, or with the links of one region alone: the
    // shaders must hide and dim the same links as the drawables do, and the image must change with each.
    enum Highlight
    {
        None,
        Cutoff,
        CutoffAndEmphasis,
        CutoffAndRegion,
        CutoffAndPaths
    };
    osg::ref_ptr<osg::Image> images[2][5];
    for (const bool batch : {false, true})
    {
        for (const Highlight highlight : {None, Cutoff, CutoffAndEmphasis, CutoffAndRegion, CutoffAndPaths})
        {
            RegionLists lists;
            lists.negativeRanges = {{5, 12}};
            const auto drawn = drawNetwork(
                generatedGroups(3, 8), batch ? RenderPath::Batched : RenderPath::OneGlyphPerElement, lists);
            const CorrelationNetwork& network = drawn->network;
            LinkHighlight links(drawn->scene, network.links, osg::Vec4(0.2f, 0.2f, 0.4f, 1.0f));
            if (highlight != None)
                links.setCutoff(0.5f);
            if (highlight == CutoffAndEmphasis)
            {
                std::vector<std::size_t> own;
                for (std::size_t i = 0; i < network.links.size(); ++i)
                    if (network.links[i].first == 3 || network.links[i].second == 3)
                        own.push_back(i);
                links.emphasiseSite(drawn->layout.positions[3], own);
            }
            if (highlight == CutoffAndRegion)
                links.setRegionFilter(regionBit(RegionKind::Negative), network.linkRegions);
            if (highlight == CutoffAndPaths)
            {
                // Two paths drawn over the dimmed rest, one of them three times as thick.
                const PathSearch search = findPaths(network, 0, 5, 2, LinkFilter{0.5f, 0});
                ASSERT_EQ(search.paths.size(), 2u);
                std::vector<std::size_t> onPaths;
                std::vector<float> thickness(network.links.size(), 1.0f);
                for (std::size_t link = 0; link < network.links.size(); ++link)
                    if (search.linkCounts[link] > 0)
                        onPaths.push_back(link);
                for (const std::size_t link : search.paths[0].links)
                    thickness[link] = 3.0f;
                links.emphasisePaths(onPaths, thickness, drawn->layout.positions, drawn->layout.glyphs);
            }
            osg::ref_ptr<osg::Group> scene = new osg::Group;
            scene->addChild(drawn->scene.root.get());
            images[batch][highlight] = drawFirstView(scene.get(), 640, 480);
            ASSERT_TRUE(images[batch][highlight].valid()) << "no window could be opened";
        }
    }
    // The filter hides fewer links than the cutoff did, which changes less of the picture.
    const struct
    {
        Highlight highlight, before;
        double change;
    } steps[] = {{Cutoff, None, 2.0},
                 {CutoffAndEmphasis, Cutoff, 2.0},
                 {CutoffAndRegion, Cutoff, 1.0},
                 {CutoffAndPaths, Cutoff, 2.0}};
    for (const auto& step : steps)
    {
        EXPECT_LT(blockDifference(*images[0][step.highlight], *images[1][step.highlight]), 2.0)
            << step.highlight;
        EXPECT_GT(blockDifference(*images[1][step.highlight], *images[1][step.before]), step.change)
            << step.highlight;
    }
}

TEST(BatchedRender, TextWrittenWhileTheWindowRunsHasTheGlyphsTheLabelsUse)
{
    // The corner text is written after the first frame, with the glyphs of the batched labels and new ones;
    // it must look as it does when written before the first frame. The late one comes first, while the font
    // still lacks the new glyphs.
    const std::string text = "H12 and K45 at 0.35";
    int lit[2] = {0, 0};
    for (const bool late : {true, false})
    {
        const auto drawn = drawNetwork("H12 K45 0.35 R78 -0.20 0.80\n", RenderPath::Batched);
        osg::ref_ptr<osg::Group> scene = new osg::Group;
        scene->addChild(drawn->scene.root.get());
        osgUtil::Optimizer optimizer;
        keepBatchesWhole(optimizer);
        optimizer.optimize(scene.get());
        const CornerText corner =
            createCornerText(drawn->style.font.get(), osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f));
        scene->addChild(corner.node);
        if (!late)
            corner.text->setText(text);
        const osg::ref_ptr<osg::Image> image = drawFirstView(scene.get(), 640, 480, [&] {
            if (late)
                corner.text->setText(text);
        });
        ASSERT_TRUE(image.valid()) << "no window could be opened";
        for (int y = 480 - 40; y < 480; ++y)
            for (int x = 0; x < 320; ++x)
                lit[late] += image->data(x, y)[1] > 150 ? 1 : 0;
    }
    EXPECT_GT(lit[0], 100);
    EXPECT_GT(lit[1], lit[0] * 9 / 10) << lit[0] << " " << lit[1];
}

TEST(BatchedRender, ADisplayWithoutTheShadersGetsTheSamePictureFromOneGlyphPerElement)
{
    // A driver with no GLSL 1.20, as indirect rendering over ssh gives, must not save an empty picture.
    TemporaryFolder folder;
    const std::string groups = folder.write("groups.txt", generatedGroups(30, 10));
    const std::vector<std::string> window = {"OSG_WINDOW=0 0 320 240"};
    std::vector<std::string> oldDriver = window;
    oldDriver.insert(oldDriver.end(), {"MESA_GLSL_VERSION_OVERRIDE=110", "MESA_GL_VERSION_OVERRIDE=2.0"});
    osg::ref_ptr<osg::Image> images[2];
    std::string outputs[2];
    for (const bool shaders : {true, false})
    {
        const std::string image = folder.path(shaders ? "shaders.png" : "none.png");
        const RunResult run = runLinkmap({groups, "--generate-image", image}, shaders ? window : oldDriver);
        ASSERT_EQ(run.exitStatus, 0);
        outputs[shaders] = run.output;
        images[shaders] = osgDB::readRefImageFile(image);
        ASSERT_TRUE(images[shaders].valid());
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_LT(blockDifference(*images[0], *images[1]), 2.0);
    int lit = 0;
    for (int y = 0; y < images[0]->t(); ++y)
        for (int x = 0; x < images[0]->s(); ++x)
            lit += images[0]->data(x, y)[1] > 150 ? 1 : 0;
    EXPECT_GT(lit, 100);
}

} // namespace
