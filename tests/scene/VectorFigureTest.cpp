#include <scene/VectorFigure.h>
#include <support/TestSupport.h>

#include <osg/Image>
#include <osgDB/ReadFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace
{

const int pageSize = 200;

// A camera 100 units up the z axis, looking down it at the origin, y up, with a 30 degree field of view.
FigureView lookingDown()
{
    FigureView view;
    view.view = osg::Matrixd::lookAt(osg::Vec3d(0.0, 0.0, 100.0), osg::Vec3d(), osg::Vec3d(0.0, 1.0, 0.0));
    view.projection = osg::Matrixd::perspective(30.0, 1.0, 1.0, 1000.0);
    view.width = pageSize;
    view.height = pageSize;
    return view;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The figure drawn as pixels by another program, as a reader would see it; null when it cannot be drawn.
osg::ref_ptr<osg::Image> rasterise(const TemporaryFolder& folder, const std::string& svg)
{
    const std::string png = folder.path("raster.png");
    std::filesystem::remove(png);
    const std::string command = "rsvg-convert -w " + std::to_string(pageSize) + " -h " +
                                std::to_string(pageSize) + " '" + svg + "' -o '" + png + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return nullptr;
    return osgDB::readRefImageFile(png);
}

// The colour of the middle pixel.
osg::Vec3 middleColour(const osg::Image& image)
{
    const unsigned char* pixel = image.data(pageSize / 2, pageSize / 2);
    return osg::Vec3(pixel[0], pixel[1], pixel[2]);
}

TEST(VectorFigure, KnowsItsFormatsByTheirExtensionsInAnyCase)
{
    const std::pair<const char*, int> cases[] = {
        {"figure.svg", 0},  {"FIGURE.SVG", 0},  {"a.b/figure.pdf", 1},  {"x.Eps", 2},
        {"figure.png", -1}, {"svg", -1},        {"figure.svg.png", -1}, {"dir.svg/figure", -1},
        {"figure.", -1},    {"figure.svgz", -1}};
    for (const auto& [name, expected] : cases)
    {
        FigureFormat format = FigureFormat::Eps;
        const bool known = figureFormatOf(name, format);
        EXPECT_EQ(known, expected >= 0) << name;
        if (known)
        {
            EXPECT_EQ(static_cast<int>(format), expected) << name;
        }
    }
}

TEST(VectorFigure, PaintsBackToFrontAndLeavesOutTheLinksTheCutoffHides)
{
    // A sphere and a link cross the middle of the page, one in front of the other.
    struct Case
    {
        const char* what;
        float sphereZ;
        float linkZ;
        float weight;
        float cutoff;
        bool dimmed;
        std::function<bool(const osg::Vec3&)> seen;
    };
    const auto red = [](const osg::Vec3& c) { return c.x() > 150 && c.y() < 60 && c.z() < 60; };
    const auto green = [](const osg::Vec3& c) { return c.y() > 150 && c.x() < 60 && c.z() < 60; };
    const auto background = [](const osg::Vec3& c) { return c == osg::Vec3(51, 51, 102); };
    const auto faded = [](const osg::Vec3& c) { return c.y() > 60 && c.y() < 130 && c.z() > 60; };
    const Case cases[] = {
        {"a nearer sphere over a farther link", 10.0f, -10.0f, 1.0f, 0.0f, false, red},
        {"a nearer link over a farther sphere", -10.0f, 10.0f, 1.0f, 0.0f, false, green},
        {"a link under the cutoff is left out", 40.0f, 10.0f, 1.0f, 0.0f, false, green},
        {"a link under the cutoff is left out", 40.0f, 10.0f, 0.4f, 0.5f, false, background},
        {"a dimmed link fades to the background", 40.0f, 10.0f, 1.0f, 0.0f, true, faded},
    };
    TemporaryFolder folder;
    for (const Case& c : cases)
    {
        FigureContent content;
        // The sphere stands out of the way when the link alone is looked at.
        const float sphereX = c.sphereZ > 20.0f ? 80.0f : 0.0f;
        content.sites = {osg::Vec3(sphereX, 0.0f, c.sphereZ), osg::Vec3(-40.0f, 0.0f, c.linkZ),
                         osg::Vec3(40.0f, 0.0f, c.linkZ)};
        content.kinds = {RegionKind::Positive, RegionKind::None, RegionKind::None};
        content.names = {"", "", ""};
        content.links = {SiteLink{1, 2, c.weight}};
        content.filter.cutoff = c.cutoff;
        if (c.dimmed)
            content.emphasised = {false};
        const std::string svg = folder.path("order.svg");
        ASSERT_NO_THROW(writeVectorFigure(svg, FigureFormat::Svg, content, lookingDown())) << c.what;
        const osg::ref_ptr<osg::Image> image = rasterise(folder, svg);
        ASSERT_TRUE(image.valid()) << c.what;
        const osg::Vec3 seen = middleColour(*image);
        EXPECT_TRUE(c.seen(seen)) << c.what << ": " << seen.x() << " " << seen.y() << " " << seen.z();
    }
}

TEST(VectorFigure, WritesEveryNameOnThePageAsTextAndLeavesOutWhatIsOffItOrBehindTheEye)
{
    FigureContent content;
    const std::vector<std::string> shown = {"K45", "a<b&c>\"d", "\xC3\x9Cn\xC3\xAF"};
    content.names = shown;
    content.names.insert(content.names.end(), {"offThePage", "behindTheEye", "bad\xFF\x01"});
    content.sites = {osg::Vec3(-10.0f, 10.0f, 0.0f), osg::Vec3(10.0f, 10.0f, 0.0f),
                     osg::Vec3(0.0f, -10.0f, 0.0f),  osg::Vec3(500.0f, 0.0f, 0.0f),
                     osg::Vec3(0.0f, 0.0f, 200.0f),  osg::Vec3(0.0f, 0.0f, 0.0f)};
    content.kinds.assign(content.sites.size(), RegionKind::None);
    content.colorKey = true;
    content.keyRegions = {{RegionKind::Positive, "positive.txt"}};
    content.cornerText = "Cutoff 0.30: 1 of 2 links shown";

    TemporaryFolder folder;
    const std::string svg = folder.path("names.svg");
    const std::string pdf = folder.path("names.pdf");
    const std::string eps = folder.path("names.eps");
    ASSERT_NO_THROW(writeVectorFigure(svg, FigureFormat::Svg, content, lookingDown()));
    ASSERT_NO_THROW(writeVectorFigure(pdf, FigureFormat::Pdf, content, lookingDown()));
    ASSERT_NO_THROW(writeVectorFigure(eps, FigureFormat::Eps, content, lookingDown()));

    const std::string svgText = readText(svg);
    EXPECT_NE(svgText.find(">K45</text>"), std::string::npos);
    EXPECT_NE(svgText.find(">a&lt;b&amp;c&gt;&quot;d</text>"), std::string::npos);
    EXPECT_NE(svgText.find(">\xC3\x9Cn\xC3\xAF</text>"), std::string::npos);
    EXPECT_NE(svgText.find(">bad\xEF\xBF\xBD\xEF\xBF\xBD</text>"), std::string::npos)
        << "bytes of no character";
    EXPECT_NE(svgText.find(">link weight</text>"), std::string::npos);
    EXPECT_NE(svgText.find(">positive.txt</text>"), std::string::npos);
    EXPECT_NE(svgText.find(">Cutoff 0.30: 1 of 2 links shown</text>"), std::string::npos);
    EXPECT_EQ(svgText.find("offThePage"), std::string::npos);
    EXPECT_EQ(svgText.find("behindTheEye"), std::string::npos);
    EXPECT_TRUE(rasterise(folder, svg).valid()) << "the SVG is well formed";

    const std::string words = folder.path("names.txt");
    ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + words + "'").c_str()), 0);
    const std::string pdfText = readText(words);
    for (const std::string& name : shown)
        EXPECT_NE(pdfText.find(name), std::string::npos) << name;
    EXPECT_EQ(pdfText.find("offThePage"), std::string::npos);
    EXPECT_EQ(readText(eps).rfind("%!PS-Adobe-3.0 EPSF-3.0", 0), 0u);
}

TEST(VectorFigure, AFigureStylesLabelsKeepApartOutlinedAndItsSitesOnNoPathAreDimmed)
{
    // A1 and B2 stand at the same place, C3 apart; B2 is the more central.
    FigureContent content;
    content.names = {"A1", "B2", "C3"};
    content.sites = {osg::Vec3(0.0f, 0.0f, 0.0f), osg::Vec3(0.0f, 0.0f, 0.0f), osg::Vec3(15.0f, 15.0f, 0.0f)};
    content.kinds.assign(content.sites.size(), RegionKind::Positive);
    content.cornerText = "corner";
    content.labelPreference.ranks = {1, 0, 2};
    TemporaryFolder folder;
    const std::string svg = folder.path("figure.svg");
    const auto written = [&] {
        EXPECT_NO_THROW(writeVectorFigure(svg, FigureFormat::Svg, content, lookingDown()));
        return readText(svg);
    };
    const auto labelled = [](const std::string& text, const std::string& name) {
        return text.find(">" + name + "</text>") != std::string::npos;
    };
    const struct
    {
        bool figure;
        std::vector<std::uint32_t> favoured;
        bool a1, b2;
    } cases[] = {{false, {}, true, true}, {true, {}, false, true}, {true, {0}, true, false}};
    for (const auto& each : cases)
    {
        content.figureStyle = each.figure;
        content.labelPreference.favoured = each.favoured;
        const std::string text = written();
        EXPECT_EQ(labelled(text, "A1"), each.a1) << each.figure;
        EXPECT_EQ(labelled(text, "B2"), each.b2) << each.figure;
        EXPECT_TRUE(labelled(text, "C3"));
        // Labels are outlined in the background's colour, the corner is not.
        const std::size_t c3 = text.find(">C3</text>");
        const std::size_t opening = text.rfind("<text", c3);
        EXPECT_EQ(text.substr(opening, c3 - opening).find("paint-order=\"stroke\"") != std::string::npos,
                  each.figure)
            << "outlined exactly in a figure";
        if (each.figure)
        {
            EXPECT_NE(text.substr(opening, c3 - opening).find("stroke=\"rgb(20.0%,20.0%,40.0%)\""),
                      std::string::npos)
                << text.substr(opening, c3 - opening);
        }
        const std::size_t corner = text.find(">corner</text>");
        EXPECT_EQ(
            text.substr(text.rfind("<text", corner), corner - text.rfind("<text", corner)).find("stroke="),
            std::string::npos);
    }

    // The sphere in the middle, dimmed, comes nearer the background.
    const osg::Vec3 background(0.2f * 255, 0.2f * 255, 0.4f * 255);
    content.labelPreference = {};
    content.names.clear();
    const auto middle = [&] {
        written();
        osg::ref_ptr<osg::Image> image = rasterise(folder, svg);
        return image.valid() ? middleColour(*image) : osg::Vec3();
    };
    const osg::Vec3 bright = middle();
    content.dimmedSites = {true, true, false};
    const osg::Vec3 dimmed = middle();
    EXPECT_LT((dimmed - background).length(), 0.5f * (bright - background).length())
        << bright.x() << " " << dimmed.x();
}

TEST(VectorFigure, SaysWhyAFigureCannotBeWrittenInOneLineAndLeavesNoFileBehind)
{
    TemporaryFolder folder;
    // The one line a writer throws, or nothing when it wrote the figure.
    const auto failure = [](const std::string& path, FigureFormat format, const FigureContent& content) {
        try
        {
            writeVectorFigure(path, format, content, lookingDown());
        }
        catch (const OutputError& error)
        {
            return std::string(error.what());
        }
        return std::string();
    };
    const std::string path = folder.path("missing/figure.svg");
    EXPECT_EQ(failure(path, FigureFormat::Svg, FigureContent()),
              "Error: could not write the image " + path + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(path));
    if (std::filesystem::exists("/dev/full"))
    {
        FigureContent content;
        content.names = {"K45"};
        content.sites = {osg::Vec3()};
        content.kinds = {RegionKind::None};
        EXPECT_EQ(failure("/dev/full", FigureFormat::Pdf, content),
                  "Error: could not write the image /dev/full: No space left on device");
    }
}

} // namespace
