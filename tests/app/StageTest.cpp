#include <app/Explorer.h>
#include <app/FigurePage.h>
#include <app/SiteAnalysis.h>
#include <app/SitePlacement.h>
#include <app/Stage.h>
#include <app/StartingView.h>
#include <app/Trackball.h>
#include <network/InputError.h>
#include <network/NetworkReader.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{

TEST(Stage, KeepsTheNetworksRootUnderTheTopForTheFrameLoopToHide)
{
    // A batched network's root has one child, which an optimiser would merge away with its root, and the
    // window could then no longer swap the full picture for the light one.
    for (const RenderPath path : {RenderPath::OneGlyphPerElement, RenderPath::Batched})
    {
        const auto drawn = drawNetwork("H12 K45 0.35 R78 0.35 0.35\nD101 E104 0.9\n", path);
        const InputFiles files;
        const Settings settings;
        const Output output;
        ViewState view;
        const RunInput input{files,         settings,     output,       drawn->network,
                             drawn->layout, drawn->scene, drawn->style, view};
        const Stage stage = setStage(input);
        ASSERT_EQ(drawn->scene.root->getNumParents(), 1u);
        EXPECT_EQ(drawn->scene.root->getParent(0), stage.top.get());
        EXPECT_EQ(stage.top->getChild(0), drawn->scene.root.get());
        // Each link drawn as a glyph of its own stays one, in the scene, for the explorer to colour.
        for (const osg::ref_ptr<osg::ShapeDrawable>& link : drawn->scene.linkGlyphs)
            EXPECT_EQ(link->getNumParents(), 1u);
    }
}

TEST(ViewState, StartsFromTheSettingsAndReadsTheSameInAFigureAsInTheWindow)
{
    const std::string examples = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    InputFiles files;
    files.groupFile = examples + "network.txt";
    files.positiveFile = examples + "positive.txt";
    files.negativeFile = examples + "negative.txt";
    const auto drawn =
        drawNetwork(readText(files.groupFile), RenderPath::OneGlyphPerElement, readRegionLists(files));
    const Output output;

    // The cutoff is held within 0 to 1; a site that LINKMAP_SELECT does not name is refused in one line.
    Settings settings;
    settings.cutoff = 7.0f;
    settings.select = "Q1";
    try
    {
        startingView(settings, drawn->network);
        ADD_FAILURE() << "a site of no name was picked";
    }
    catch (const InputError& error)
    {
        EXPECT_STREQ(error.what(), "Error: LINKMAP_SELECT names no site of the network: \"Q1\"");
    }

    // Whatever the view, a figure describes and dims it exactly as the window's explorer does, without one.
    struct Case
    {
        float cutoff;
        RegionKind region;
        const char* select;
    };
    for (const Case& each :
         {Case{0.0f, RegionKind::None, ""}, Case{7.0f, RegionKind::None, "K45"},
          Case{0.3f, RegionKind::Positive, "F201"}, Case{0.0f, RegionKind::Negative, "R78"}})
    {
        settings.cutoff = each.cutoff;
        settings.region = each.region;
        settings.select = each.select;
        ViewState view = startingView(settings, drawn->network);
        EXPECT_EQ(view.cutoff, std::min(each.cutoff, 1.0f));
        EXPECT_EQ(view.pick.kind, *each.select != '\0' ? Pick::Kind::Site : Pick::Kind::Nothing);
        const RunInput input{files,         settings,     output,       drawn->network,
                             drawn->layout, drawn->scene, drawn->style, view};
        const FigureContent figure = describeFigure(input, nullptr);

        ViewState windowView = view;
        osg::ref_ptr<Explorer> explorer =
            new Explorer(ExploredNetwork{drawn->network, drawn->layout, drawn->scene, files, drawn->style},
                         windowView, new osgGA::TrackballManipulator, output.background);
        EXPECT_EQ(figure.cornerText, explorer->getCornerText()) << each.select;
        EXPECT_EQ(figure.cornerText.empty(),
                  each.cutoff == 0.0f && each.region == RegionKind::None && !*each.select);
        std::size_t shown = 0;
        for (std::size_t link = 0; link < drawn->network.linkCount(); ++link)
        {
            const bool figureShows =
                figure.filter.shows(drawn->network.links[link], figure.linkRegions[link]);
            EXPECT_EQ(figureShows, explorer->isShown(link)) << link;
            shown += figureShows;
            if (!figure.emphasised.empty())
            {
                const SiteLink& ends = drawn->network.links[link];
                EXPECT_EQ(figure.emphasised[link],
                          ends.first == view.pick.index || ends.second == view.pick.index);
            }
        }
        EXPECT_EQ(figure.emphasised.empty(), view.pick.kind == Pick::Kind::Nothing);
        EXPECT_EQ(shown, countShownLinks(view, drawn->network));
    }
}

} // namespace

namespace
{

TEST(SitePlacement, RingsAFileGivesKeepTheRingGridAndRingsTheProgramMakesGetCellsThatFitThem)
{
    // Two rings, one of twelve sites, which the fitted grid sets farther apart than the ring grid does: in
    // GraphML whose every node has a group, and in the same links as a pair list, which has no rings.
    std::string graphml =
        "<?xml version=\"1.0\"?>\n<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
        "<key id=\"g\" for=\"node\" attr.name=\"group\" attr.type=\"int\"/>\n"
        "<key id=\"w\" for=\"edge\" attr.name=\"weight\" attr.type=\"double\"/>\n"
        "<graph edgedefault=\"undirected\">\n";
    std::string pairs;
    for (int site = 1; site <= 14; ++site)
        graphml += "<node id=\"K" + std::to_string(site) + "\"><data key=\"g\">" + (site <= 12 ? "0" : "1") +
                   "</data></node>\n";
    for (int site = 1; site <= 13; ++site)
    {
        const std::string other = std::to_string(site == 12 ? 1 : site + 1);
        graphml += "<edge source=\"K" + std::to_string(site) + "\" target=\"K" + other +
                   "\"><data key=\"w\">0.5</data></edge>\n";
        pairs += "K" + std::to_string(site) + "\tK" + other + "\t0.5\n";
    }
    graphml += "</graph>\n</graphml>\n";
    TemporaryFolder folder;
    for (const auto& [path, given] : {std::pair{folder.write("rings.graphml", graphml), true},
                                      std::pair{folder.write("rings.tsv", pairs), false}})
    {
        CorrelationNetwork network;
        LoadProgress silent;
        ReadSettings components;
        components.grouping = RingGrouping::Components;
        NetworkSource source;
        captureOutput([&] { source = readNetwork(path, components, network, silent); });
        EXPECT_EQ(source.ringsGiven, given) << path;
        const SiteLayout placed = placeSites(network, source, Settings());
        const SiteLayout ringGrid = layoutSites(network, LayoutKind::RingGrid);
        const SiteLayout fitted = layoutSites(network, LayoutKind::FittedRingGrid);
        ASSERT_NE(ringGrid.positions, fitted.positions) << path;
        EXPECT_EQ(placed.positions, given ? ringGrid.positions : fitted.positions) << path;
    }
}

} // namespace

TEST(Trackball, AFiguresFirstViewFillsTheFrameWithEveryPointInIt)
{
    // A flat square, a flat strip wider than the frame, and a deep box, in a 4:3 frame seen as the window
    // sees it: every point inside the frame, within a twentieth of it, and the farthest out at that margin.
    std::vector<std::vector<osg::Vec3>> shapes(3);
    for (int i = -5; i <= 5; ++i)
        for (int j = -5; j <= 5; ++j)
        {
            shapes[0].emplace_back(10.0f * i, 0.0f, 10.0f * j);
            shapes[1].emplace_back(40.0f * i + 300.0f, 0.0f, 2.0f * j - 50.0f);
            shapes[2].emplace_back(10.0f * i, 8.0f * j, 6.0f * (i + j));
        }
    // With a band of a third of the frame's height on the left, the key's, every point stays right of it.
    for (const double band : {0.0, 33.0})
        for (const std::vector<osg::Vec3>& points : shapes)
        {
            SCOPED_TRACE(band);
            osg::ref_ptr<osg::Camera> camera = new osg::Camera;
            camera->setProjectionMatrixAsPerspective(30.0, 4.0 / 3.0, 1.0, 10000.0);
            osg::ref_ptr<Trackball> trackball = new Trackball;
            trackball->framePoints(points, band);
            trackball->computeHomePosition(camera.get());
            osg::Vec3d eye, centre, up;
            trackball->getHomePosition(eye, centre, up);
            const osg::Matrixd view = osg::Matrixd::lookAt(eye, centre, up);
            double farthest = 0.0;
            for (const osg::Vec3& point : points)
            {
                const osg::Vec3d seen = osg::Vec3d(point) * view * camera->getProjectionMatrix();
                // In the frame's units, -1 to 1 across; the band takes 2 × band / 100 / aspect of them.
                const double bandEdge = -1.0 + 2.0 * band / 100.0 / (4.0 / 3.0);
                const double middle = (bandEdge + 1.0) / 2.0;
                const double free = (1.0 - bandEdge) / 2.0;
                EXPECT_LE(std::fabs(seen.x() - middle) / free, 0.9 + 1e-9);
                EXPECT_LE(std::fabs(seen.y()), 0.9 + 1e-9);
                farthest = std::max({farthest, std::fabs(seen.x() - middle) / free, std::fabs(seen.y())});
            }
            EXPECT_NEAR(farthest, 0.9, 1e-6);
            EXPECT_EQ(up, osg::Vec3d(0.0, 0.0, 1.0));
        }
}

TEST(SitePlacement, ASiteOnAStructureColoursItsResidueOfTheTraceAsItsSphere)
{
    // The protease's chain A with two sites linked, coloured by community: each one's residue of the trace
    // takes its sphere's colour, every other residue the trace's grey; coloured by region, all grey.
    const std::string protease = std::string(LINKMAP_SOURCE_DIR) + "/examples/1hpv.pdb";
    TemporaryFolder folder;
    const std::string pairs = folder.write("pairs.tsv", "K45\tI50\t0.8\n");
    for (const SiteColoring coloring : {SiteColoring::Communities, SiteColoring::Regions})
    {
        Settings settings;
        settings.structure = readChainTrace(protease, "A", 0);
        settings.coloring = coloring;
        CorrelationNetwork network;
        LoadProgress silent;
        NetworkSource source;
        captureOutput([&] { source = readNetwork(pairs, settings.reading, network, silent); });
        analyseSites(network, source, settings);
        const SiteLayout layout = placeSites(network, source, settings);
        const std::vector<std::vector<osg::Vec4>> colors = traceColors(layout);
        if (coloring == SiteColoring::Regions)
        {
            EXPECT_TRUE(colors.empty());
            continue;
        }
        ASSERT_EQ(colors.size(), layout.trace.size());
        std::size_t coloured = 0;
        for (std::size_t run = 0; run < layout.trace.size(); ++run)
        {
            ASSERT_EQ(colors[run].size(), layout.trace[run].size());
            for (std::size_t at = 0; at < layout.trace[run].size(); ++at)
            {
                const std::uint32_t site = layout.traceSites[run][at];
                if (site == SiteLayout::noTraceSite)
                {
                    EXPECT_EQ(colors[run][at], GlyphStyle::traceColor);
                    continue;
                }
                ++coloured;
                EXPECT_EQ(layout.trace[run][at], layout.positions[site]);
                EXPECT_EQ(colors[run][at], sphereColor(layout, network, site));
                EXPECT_NE(colors[run][at], GlyphStyle::traceColor);
            }
        }
        EXPECT_EQ(coloured, 2u);
    }
}

namespace
{

// WCAG 2's relative luminance of an sRGB colour, and the contrast ratio of two colours.
double luminance(const osg::Vec4& color)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.r()) + 0.7152 * linear(color.g()) + 0.0722 * linear(color.b());
}

double contrast(const osg::Vec4& a, const osg::Vec4& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(LabelStyle, LabelsStandAtLeastFourAndAHalfToOneAgainstTheirOutlineOnEveryBackground)
{
    // A figure's labels are outlined in the background's colour, so the text stands on it wherever it lies.
    for (const char* background : {"", "black", "white", "other"})
    {
        std::vector<std::string> words = {"linkmap"};
        if (*background != '\0')
            words.insert(words.end(), {"--background", background});
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        int argc = static_cast<int>(argv.size());
        osg::ArgumentParser arguments(&argc, argv.data());
        const Output output = readOutput(arguments, Settings());
        // Asked of an output that draws no scene, so that no font is read.
        Output drawsNothing = output;
        drawsNothing.kind = OutputKind::NetworkFile;
        const LabelStyle style = labelStyleOf(drawsNothing);
        EXPECT_EQ(osg::Vec3(style.haloColor.r(), style.haloColor.g(), style.haloColor.b()),
                  osg::Vec3(output.background.r(), output.background.g(), output.background.b()));
        EXPECT_EQ(style.haloColor.a(), 1.0f) << "an outline hides what is under it";
        EXPECT_GE(contrast(style.textColor, style.haloColor), 4.5) << background;
    }
}

} // namespace
