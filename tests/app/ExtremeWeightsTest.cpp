// Every weight a double can hold reaches every output whole: the log writes it as printf does, every digit;
// GraphML and the scene's extras as the same double; the page's corner as the log does.
#include <network/ValidText.h>
#include <support/TestSupport.h>

#include <tiny_gltf.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

// What printf writes for "%f", in a buffer made as large as it asks.
std::string printed(double value)
{
    const int length = std::snprintf(nullptr, 0, "%f", value);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    EXPECT_EQ(std::snprintf(text.data(), text.size(), "%f", value), length);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The network A1-B2 0.5, A1-C3 w, B2-C3 0.2 as each reader that keeps its weights reads it, w as text.
struct Reader
{
    const char* name;
    std::string (*file)(const std::string& weight);
    /** How the log names the link of w: numpy's matrix has no names, and its sites are X1 to X3. */
    const char* ends = "A1 and C3";
};

std::string matrixCsv(const std::string& weight)
{
    return "\"\",\"A1\",\"B2\",\"C3\"\n\"A1\",1,0.5," + weight + "\n\"B2\",0.5,1,0.2\n\"C3\"," + weight +
           ",0.2,1\n";
}

std::string pairsCsv(const std::string& weight)
{
    return "from,to,weight\nA1,B2,0.5\nA1,C3," + weight + "\nB2,C3,0.2\n";
}

std::string graphml(const std::string& weight)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<graphml "
           "xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
           "<key id=\"w\" for=\"edge\" attr.name=\"weight\" attr.type=\"double\"/>\n"
           "<graph edgedefault=\"undirected\">\n<node id=\"A1\"/><node id=\"B2\"/><node id=\"C3\"/>\n"
           "<edge source=\"A1\" target=\"B2\"><data key=\"w\">0.5</data></edge>\n"
           "<edge source=\"A1\" target=\"C3\"><data key=\"w\">" +
           weight +
           "</data></edge>\n"
           "<edge source=\"B2\" target=\"C3\"><data key=\"w\">0.2</data></edge>\n</graph>\n</graphml>\n";
}

// numpy's format 1.0: a little-endian float64 matrix, its header padded to 64 bytes; the weight as strtod
// reads it, the form in which numpy would have saved it.
std::string npy(const std::string& weight)
{
    const double w = std::strtod(weight.c_str(), nullptr);
    const double cells[] = {1, 0.5, w, 0.5, 1, 0.2, w, 0.2, 1};
    std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (3, 3), }";
    header.append((64 - (10 + header.size() + 1) % 64) % 64, ' ');
    header += '\n';
    std::string file = std::string("\x93NUMPY\x01\x00", 8);
    file += static_cast<char>(header.size() & 0xff);
    file += static_cast<char>(header.size() >> 8);
    file += header;
    file.append(reinterpret_cast<const char*>(cells), sizeof cells);
    return file;
}

const Reader readers[] = {{"matrix.csv", matrixCsv},
                          {"pairs.csv", pairsCsv},
                          {"network.graphml", graphml},
                          {"matrix.npy", npy, "X1 and X3"}};

// The weights of the links of a scene's primitives' extras, in the order of the prisms, numbers or texts.
std::vector<tinygltf::Value> sceneWeights(const std::string& path)
{
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string error;
    std::string warning;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, path)) << error;
    std::vector<tinygltf::Value> weights;
    for (const tinygltf::Mesh& mesh : model.meshes)
        for (const tinygltf::Primitive& primitive : mesh.primitives)
            if (primitive.extras.Has("weights"))
                for (std::size_t at = 0; at < primitive.extras.Get("weights").ArrayLen(); ++at)
                    weights.push_back(primitive.extras.Get("weights").Get(static_cast<int>(at)));
    return weights;
}

TEST(ExtremeWeights, ReachTheLogGraphmlThePageAndTheSceneWhole)
{
    const char* const weights[] = {
        "1e38", "1e57",      "-1e100",         "1e308", "1.7976931348623157e308", "4.9406564584124654e-324",
        "-0",   "0.1234565", "-123456.7890123"};
    TemporaryFolder folder;
    for (const Reader& reader : readers)
        for (const char* weight : weights)
        {
            SCOPED_TRACE(std::string(reader.name) + " " + weight);
            const double value = std::strtod(weight, nullptr);
            const std::string network = folder.write(reader.name, reader.file(weight));
            const std::string logged =
                std::string("Creating link between ") + reader.ends + " with weight " + printed(value) + "\n";

            // The log, every digit, and GraphML's weight, the same double.
            const RunResult graph = runLinkmap({network, "--generate-image", folder.path("out.graphml")}, {});
            ASSERT_EQ(graph.exitStatus, 0) << graph.output;
            EXPECT_NE(graph.output.find(logged), std::string::npos) << graph.output;
            EXPECT_TRUE(isValidText(graph.output));
            const std::string text = readText(folder.path("out.graphml"));
            const std::size_t edge = text.find("source=\"n0\" target=\"n2\"");
            ASSERT_NE(edge, std::string::npos) << text;
            const std::size_t data =
                text.find("<data key=\"weight\">", edge) + std::strlen("<data key=\"weight\">");
            const std::string written = text.substr(data, text.find('<', data) - data);
            EXPECT_TRUE(sameDouble(std::strtod(written.c_str(), nullptr), value)) << written;

            // The page's corner prints the weight as the log does: from its float where that prints the same,
            // else from the text the page carries.
            const RunResult page = runLinkmap({network, "--generate-image", folder.path("out.html")}, {});
            ASSERT_EQ(page.exitStatus, 0) << page.output;
            const nlohmann::json pageWeights = pageData(readText(folder.path("out.html")))["weightTexts"];
            const bool floatPrintsIt =
                printed(static_cast<double>(static_cast<float>(value))) == printed(value);
            if (floatPrintsIt)
                EXPECT_TRUE(pageWeights.empty()) << pageWeights.dump();
            else
            {
                ASSERT_EQ(pageWeights.size(), 1u) << pageWeights.dump();
                EXPECT_EQ(pageWeights.begin().value(), printed(value));
            }

            // The scene's extras hold the double itself.
            const RunResult scene = runLinkmap({network, "--generate-image", folder.path("out.glb")}, {});
            ASSERT_EQ(scene.exitStatus, 0) << scene.output;
            std::size_t found = 0;
            for (const tinygltf::Value& each : sceneWeights(folder.path("out.glb")))
                found += each.IsNumber() && sameDouble(each.GetNumberAsDouble(), value) ? 1 : 0;
            EXPECT_EQ(found, 1u);
        }
}

TEST(ExtremeWeights, NoNumberIsRefusedOrLeavesItsPairUnlinked)
{
    // Every way of writing infinity that a reader reads is refused, naming the file; NaN is a pair without a
    // link, as R and numpy write a missing value.
    TemporaryFolder folder;
    for (const Reader& reader : readers)
        for (const char* weight : {"inf", "-inf", "Inf", "INF", "Infinity", "-Infinity", "nan", "NaN", "NAN"})
        {
            SCOPED_TRACE(std::string(reader.name) + " " + weight);
            const bool infinite = std::isinf(std::strtod(weight, nullptr));
            const std::string network = folder.write(reader.name, reader.file(weight));
            const RunResult run = runLinkmap({network, "--generate-image", folder.path("out.graphml")}, {});
            EXPECT_EQ(run.exitStatus, infinite ? 1 : 0) << run.output;
            EXPECT_TRUE(isValidText(run.output));
            EXPECT_EQ(run.output.find(std::string("between ") + reader.ends), std::string::npos)
                << run.output;
            if (infinite)
            {
                EXPECT_NE(run.output.find(network), std::string::npos) << run.output;
            }
        }
}

} // namespace
