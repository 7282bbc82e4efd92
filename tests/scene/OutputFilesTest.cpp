#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>
#include <scene/SceneFile.h>
#include <scene/TraceTube.h>
#include <scene/WebPage.h>
#include <support/TestSupport.h>
#include <view/ViewRules.h>

#include <tiny_gltf.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace
{

// Three sites, one in no region and one whose name is no UTF-8, that would end a script or a tag; four links,
// one of them to a site that does not exist, one weighing no number, one beyond the cutoff.
FigureContent awkwardFigure()
{
    FigureContent figure;
    figure.sites = {osg::Vec3(0, 0, 0), osg::Vec3(10, 0, 0), osg::Vec3(0, 0, 10)};
    figure.kinds = {RegionKind::Positive, RegionKind::None, RegionKind::Accelerated};
    figure.names = {"K45", "A\xff</script>7", "Q&\"<b>9"};
    figure.links = {SiteLink{0, 1, 0.5f}, SiteLink{1, 2, std::numeric_limits<float>::quiet_NaN()},
                    SiteLink{0, 2, 0.05f}, SiteLink{0, 7, 0.9f}};
    figure.filter = LinkFilter{0.1f, 0};
    figure.trace = {{osg::Vec3(0, 0, 0), osg::Vec3(3.8f, 0, 0), osg::Vec3(7.6f, 0, 0)}};
    return figure;
}

TEST(SceneFile, HoldsTheSitesByNameAndTheLinksShownAsValidPrisms)
{
    TemporaryFolder folder;
    for (const char* name : {"scene.glb", "scene.gltf", "SCENE.GLB"})
    {
        SCOPED_TRACE(name);
        ASSERT_TRUE(isSceneFileName(name));
        const std::string path = folder.path(name);
        ASSERT_NO_THROW(writeSceneFile(awkwardFigure(), path));

        tinygltf::Model model;
        tinygltf::TinyGLTF loader;
        std::string error;
        std::string warning;
        const bool binary = path.back() == 'b' || path.back() == 'B';
        ASSERT_TRUE(binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                           : loader.LoadASCIIFromFile(&model, &error, &warning, path))
            << error;

        // The root turns +z up into glTF's +y up; under it the sites, the links and the chain.
        const tinygltf::Node& root = model.nodes[model.scenes[0].nodes[0]];
        ASSERT_EQ(root.rotation.size(), 4u);
        EXPECT_NEAR(root.rotation[0], -std::sqrt(0.5), 1e-9);
        std::map<std::string, const tinygltf::Node*> parts;
        for (const int child : root.children)
            parts[model.nodes[child].name] = &model.nodes[child];
        ASSERT_EQ(parts.size(), 3u);
        const tinygltf::Node& sites = *parts.at("sites");
        ASSERT_EQ(sites.children.size(), 3u);
        EXPECT_EQ(model.nodes[sites.children[1]].name, "A\xEF\xBF\xBD</script>7");
        EXPECT_EQ(model.nodes[sites.children[1]].translation, (std::vector<double>{10, 0, 0}));
        // Two sphere meshes of three sites: one a region kind met.
        EXPECT_NE(model.nodes[sites.children[0]].mesh, model.nodes[sites.children[1]].mesh);

        // The cutoff hides 0.05, the missing site drops its link, and NaN is shown as the filter shows it;
        // every index stays below glTF's restart value and every vertex inside its accessor's bounds.
        std::size_t vertices = 0;
        for (const tinygltf::Primitive& primitive : model.meshes[parts.at("links")->mesh].primitives)
        {
            const tinygltf::Accessor& points = model.accessors[primitive.attributes.at("POSITION")];
            vertices += points.count;
            EXPECT_EQ(model.accessors[primitive.attributes.at("COLOR_0")].count, points.count);
            EXPECT_EQ(model.accessors[primitive.attributes.at("NORMAL")].count, points.count);
            ASSERT_EQ(points.minValues.size(), 3u);
            EXPECT_LE(points.maxValues[0], 10.5);
        }
        EXPECT_EQ(vertices, 2u * 12u);
        EXPECT_EQ(model.meshes[parts.at("chain")->mesh].primitives.size(), 1u);
    }
}

TEST(SceneFile, DimsTheChainWithTheSitesWhilePathsShow)
{
    // The chain's one colour, as its vertices hold it: the trace's grey, or that grey dimmed towards the
    // background, a dark blue.
    TemporaryFolder folder;
    std::vector<std::array<int, 3>> chainColors;
    for (const bool dimmed : {false, true})
    {
        SCOPED_TRACE(dimmed);
        FigureContent figure = awkwardFigure();
        figure.figureStyle = true;
        figure.background = osg::Vec4(0.2f, 0.2f, 0.4f, 1.0f);
        figure.traceDimmed = dimmed;
        const std::string path = folder.path("chain.glb");
        ASSERT_NO_THROW(writeSceneFile(figure, path));
        tinygltf::Model model;
        tinygltf::TinyGLTF loader;
        std::string error;
        std::string warning;
        ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, path)) << error;
        const tinygltf::Node& root = model.nodes[model.scenes[0].nodes[0]];
        const auto chain = std::find_if(root.children.begin(), root.children.end(),
                                        [&](int child) { return model.nodes[child].name == "chain"; });
        ASSERT_NE(chain, root.children.end());
        const tinygltf::Primitive& primitive = model.meshes[model.nodes[*chain].mesh].primitives.at(0);
        const tinygltf::Accessor& colors = model.accessors[primitive.attributes.at("COLOR_0")];
        ASSERT_EQ(colors.componentType, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE);
        ASSERT_EQ(colors.type, TINYGLTF_TYPE_VEC4);
        ASSERT_GT(colors.count, 0u);
        const tinygltf::BufferView& view = model.bufferViews[colors.bufferView];
        const unsigned char* bytes =
            model.buffers[view.buffer].data.data() + view.byteOffset + colors.byteOffset;
        const std::size_t stride = view.byteStride != 0 ? view.byteStride : 4;
        const std::array<int, 3> first{bytes[0], bytes[1], bytes[2]};
        for (std::size_t vertex = 0; vertex < colors.count; ++vertex)
            for (int channel = 0; channel < 3; ++channel)
                ASSERT_EQ(bytes[vertex * stride + channel], first[channel]) << vertex;
        chainColors.push_back(first);
    }
    const std::array<int, 3> grey = chainColors[0];
    const std::array<int, 3> dimmed = chainColors[1];
    EXPECT_EQ(grey[0], grey[2]);
    EXPECT_LT(dimmed[0], grey[0]);
    EXPECT_LT(dimmed[2], grey[2]);
    EXPECT_LT(dimmed[0], dimmed[2]);
}

// Writes page to path: the one line of why it could not, or nothing.
std::string pageFailure(const PageContent& page, const std::string& path)
{
    try
    {
        writeWebPage(page, path);
    }
    catch (const OutputError& failure)
    {
        return failure.what();
    }
    return std::string();
}

TEST(WebPage, CarriesTheRecordsAsDataAndTheNamesAsEscapedText)
{
    TemporaryFolder folder;
    PageContent page;
    page.figure = awkwardFigure();
    page.title = "linkmap: <odd>.txt";
    page.listNames = {"positive.txt", "", "accelerated.txt"};
    page.pathLines = {"Paths from K45 to Q9: 1, the shortest 0.5 long"};
    // The first site's strongest is the link to no site, which the page leaves out.
    page.strongestLinks = {3, 0, 2};
    const std::string path = folder.path("page.HTML");
    ASSERT_TRUE(isWebPageName(path));
    const std::string failure = pageFailure(page, path);
    if (failure.find("libjs-three") != std::string::npos)
        GTEST_SKIP() << failure;
    ASSERT_EQ(failure, "");
    const std::string text = readText(path);

    // Nothing of a name ends the data's script or opens a tag; the names are the list's text.
    EXPECT_EQ(text.find("</script>7"), std::string::npos);
    EXPECT_NE(text.find("<li data-site=\"1\">A\xEF\xBF\xBD&lt;/script&gt;7</li>"), std::string::npos);
    EXPECT_NE(text.find("<li data-site=\"2\">Q&amp;&quot;&lt;b&gt;9</li>"), std::string::npos);
    EXPECT_NE(text.find("<title>linkmap: &lt;odd&gt;.txt</title>"), std::string::npos);
    // The data is JSON, read as the page reads it. The link to no site is left out of it; the counts say so,
    // and the region of no list is empty.
    const nlohmann::json data = pageData(text);
    EXPECT_EQ(data["sites"], 3);
    EXPECT_EQ(data["links"], 3);
    ASSERT_EQ(data["regions"].size(), 3u);
    EXPECT_EQ(data["regions"][1],
              nlohmann::json::parse(R"({"kind":2,"word":"negative","option":"-n","key":"2","bit":2,)"
                                    R"("color":[0.10000000149011612,1.0,0.10000000149011612],"list":""})"));
    EXPECT_EQ(data["regions"][2]["list"], "accelerated.txt");
    EXPECT_EQ(data["pathLines"], nlohmann::json::array({"Paths from K45 to Q9: 1, the shortest 0.5 long"}));
    EXPECT_TRUE(data["figureStyle"].is_null());
    EXPECT_EQ(data["labelBudget"], 300);
    // Each site's strongest link by its place on the page, none where it is not there.
    const std::string strongest = data["strongest"];
    EXPECT_EQ(strongest, base64(std::vector<std::uint32_t>{0xFFFFFFFFu, 0u, 2u}.data(), 12));
    // The rules and the light the page follows come from the program, every pattern by its name.
    EXPECT_EQ(data["rules"]["patterns"]["cutoff"], ViewRules::cutoff.text);
    EXPECT_EQ(data["rules"]["patterns"].size(), ViewRules::patterns().size());
    EXPECT_EQ(data["rules"]["cutoffSteps"], ViewRules::cutoffSteps);
    EXPECT_NE(data["shaders"]["LinkLook.glsl"].get<std::string>().find("float lightShare(float cosine)"),
              std::string::npos);
    EXPECT_TRUE(data["shaders"].contains("PageSphere.frag"));
    // Everything the page runs is in it: three.js, its trackball, the shared link look, the page's script.
    EXPECT_NE(text.find("vec3 weightColor(float weight, float top)"), std::string::npos);
    EXPECT_NE(text.find("THREE.TrackballControls"), std::string::npos);
    EXPECT_EQ(text.find("src=\""), std::string::npos);
}

TEST(WebPage, AFiguresPageCarriesItsLabelsRanksTheSitesFavouredAndDimmedAndTheTracesTube)
{
    TemporaryFolder folder;
    PageContent page;
    page.figure = awkwardFigure();
    page.figure.figureStyle = true;
    page.figure.labelPreference = LabelPreference{{2, 0, 1}, {2, 0}};
    page.figure.dimmedSites = {false, true, false};
    const std::string path = folder.path("figure.html");
    const std::string failure = pageFailure(page, path);
    if (failure.find("libjs-three") != std::string::npos)
        GTEST_SKIP() << failure;
    ASSERT_EQ(failure, "");
    const std::string text = readText(path);
    const nlohmann::json figure = pageData(text)["figureStyle"];
    ASSERT_TRUE(figure.is_object());
    EXPECT_EQ(figure["favoured"], nlohmann::json::array({2, 0}));
    EXPECT_FLOAT_EQ(figure["haloWidth"].get<float>(), LabelStyle::haloWidth);
    // Typed arrays in base64: three ranks of four bytes, three flags of one.
    EXPECT_EQ(figure["labelRanks"], base64("\x02\0\0\0\0\0\0\0\x01\0\0\0", 12));
    EXPECT_EQ(figure["dimmedSites"], base64("\0\x01\0", 3));
    // The trace of three points, a ring of ten round each: 30 points of 12 bytes, 2 x 10 x 2 triangles.
    const TubeMesh tube = traceTube(page.figure.trace, {}, GlyphStyle::traceTubeRadius);
    ASSERT_EQ(tube.points.size(), 30u);
    EXPECT_EQ(figure["traceTube"]["points"].get<std::string>().size(), (30u * 12u + 2u) / 3u * 4u);
    EXPECT_EQ(figure["traceTube"]["triangles"].get<std::string>().size(), (40u * 3u * 4u + 2u) / 3u * 4u);
}

TEST(WebPage, Base64IsTheStandardAlphabetWithPadding)
{
    const struct
    {
        const char* bytes;
        const char* text;
    } rows[] = {{"", ""},
                {"f", "Zg=="},
                {"fo", "Zm8="},
                {"foo", "Zm9v"},
                {"foob", "Zm9vYg=="},
                {"\xff\xfe\xfd", "//79"},
                {"\xfb\xef", "++8="}};
    for (const auto& row : rows)
        EXPECT_EQ(base64(row.bytes, std::strlen(row.bytes)), row.text) << row.bytes;
}

} // namespace
