#include <network/NumberText.h>
#include <network/TextFields.h>
#include <network/ValidText.h>
#include <scene/LabelAtlas.h>
#include <scene/SceneFile.h>

#include <tiny_gltf.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

namespace
{

// The double whose shortest decimal is the float's: written as briefly as the float needs, and read back as
// the same float.
double shortestDouble(float value)
{
    return std::strtod(shortestText(value).c_str(), nullptr);
}

// How much of a dimmed link's or site's colour shows over what is behind it: as much as a dimmed link keeps.
const double dimmedLinkOpacity = LinkLook::dimmedOpacity();

// glTF's colours are linear; the program's are the display's.
double linearOf(double display)
{
    return display <= 0.04045 ? display / 12.92 : std::pow((display + 0.055) / 1.055, 2.4);
}

std::vector<double> linearColor(const osg::Vec4& color)
{
    return {linearOf(color.r()), linearOf(color.g()), linearOf(color.b()), 1.0};
}

// The model's one buffer, filled view by view, each aligned to four bytes as glTF asks.
class SceneModel
{
public:
    SceneModel()
    {
        model.asset.version = "2.0";
        model.asset.generator = "linkmap";
        model.buffers.emplace_back();
    }

    int addMaterial(const std::string& name, const std::vector<double>& color)
    {
        tinygltf::Material material;
        material.name = name;
        material.pbrMetallicRoughness.baseColorFactor = color;
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = 0.7;
        model.materials.push_back(material);
        return static_cast<int>(model.materials.size()) - 1;
    }

    // A view of bytes, for target (TINYGLTF_TARGET_*, or 0 for none).
    int addView(const void* bytes, std::size_t size, int target)
    {
        std::vector<unsigned char>& data = model.buffers[0].data;
        while (data.size() % 4 != 0)
            data.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = data.size();
        view.byteLength = size;
        view.target = target;
        const auto* first = static_cast<const unsigned char*>(bytes);
        data.insert(data.end(), first, first + size);
        model.bufferViews.push_back(view);
        return static_cast<int>(model.bufferViews.size()) - 1;
    }

    // An accessor of count elements of type (TINYGLTF_TYPE_*) and component, over bytes.
    int addAccessor(const void* bytes, std::size_t size, int component, int type, std::size_t count,
                    int target, bool normalized = false)
    {
        tinygltf::Accessor accessor;
        accessor.bufferView = addView(bytes, size, target);
        accessor.componentType = component;
        accessor.type = type;
        accessor.count = count;
        accessor.normalized = normalized;
        model.accessors.push_back(accessor);
        return static_cast<int>(model.accessors.size()) - 1;
    }

    // A vertex attribute of floats, width of them a vertex (TINYGLTF_TYPE_VEC2 or VEC3).
    int addVertexFloats(const std::vector<float>& values, int type, std::size_t width)
    {
        return addAccessor(values.data(), values.size() * sizeof(float), TINYGLTF_COMPONENT_TYPE_FLOAT, type,
                           values.size() / width, TINYGLTF_TARGET_ARRAY_BUFFER);
    }

    // Triangles' indices, of two or four bytes each, as a primitive of material.
    template <typename Index>
    void addTriangles(tinygltf::Primitive& primitive, const std::vector<Index>& indices, int material)
    {
        primitive.indices =
            addAccessor(indices.data(), indices.size() * sizeof(Index),
                        sizeof(Index) == 2 ? TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT
                                           : TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                        TINYGLTF_TYPE_SCALAR, indices.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        primitive.material = material;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
    }

    // Positions, with the bounds glTF requires of them.
    int addPoints(const std::vector<float>& points)
    {
        std::vector<double> low(3, std::numeric_limits<double>::infinity());
        std::vector<double> high(3, -std::numeric_limits<double>::infinity());
        for (std::size_t i = 0; i < points.size(); ++i)
        {
            low[i % 3] = std::min(low[i % 3], double(points[i]));
            high[i % 3] = std::max(high[i % 3], double(points[i]));
        }
        const int accessor =
            addAccessor(points.data(), points.size() * sizeof(float), TINYGLTF_COMPONENT_TYPE_FLOAT,
                        TINYGLTF_TYPE_VEC3, points.size() / 3, TINYGLTF_TARGET_ARRAY_BUFFER);
        model.accessors[accessor].minValues = low;
        model.accessors[accessor].maxValues = high;
        return accessor;
    }

    int addNode(tinygltf::Node node)
    {
        model.nodes.push_back(std::move(node));
        return static_cast<int>(model.nodes.size()) - 1;
    }

    tinygltf::Model model;
};

// A sphere of radius, its rings from pole to pole, with its normals, in one primitive.
tinygltf::Primitive spherePrimitive(SceneModel& scene, float radius, int material)
{
    const int slices = 16;
    const int rings = 10;
    std::vector<float> points;
    std::vector<float> normals;
    for (int ring = 0; ring <= rings; ++ring)
    {
        const double polar = osg::PI * ring / rings;
        for (int slice = 0; slice <= slices; ++slice)
        {
            const double around = 2.0 * osg::PI * slice / slices;
            const float normal[3] = {float(std::sin(polar) * std::cos(around)), float(std::cos(polar)),
                                     float(std::sin(polar) * std::sin(around))};
            for (const float axis : normal)
            {
                normals.push_back(axis);
                points.push_back(axis * radius);
            }
        }
    }
    std::vector<std::uint16_t> indices;
    for (int ring = 0; ring < rings; ++ring)
        for (int slice = 0; slice < slices; ++slice)
        {
            const auto corner = [&](int r, int s) { return std::uint16_t(r * (slices + 1) + s); };
            // Counterclockwise seen from outside, as glTF's front faces are.
            for (const std::uint16_t index :
                 {corner(ring, slice), corner(ring + 1, slice + 1), corner(ring + 1, slice),
                  corner(ring, slice), corner(ring, slice + 1), corner(ring + 1, slice + 1)})
                indices.push_back(index);
        }
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] = scene.addPoints(points);
    primitive.attributes["NORMAL"] = scene.addVertexFloats(normals, TINYGLTF_TYPE_VEC3, 3);
    scene.addTriangles(primitive, indices, material);
    return primitive;
}

// Prisms merged into primitives of at most 65,535 vertices, so that two-byte indices reach them all short of
// 65,535, which glTF keeps for restarting a strip. Six-sided prisms carry normals out from their axis, and
// are shaded round as a cylinder; square ones carry none, and each face is shaded flat, as glTF lets a reader
// do.
class PrismMesh
{
public:
    PrismMesh(SceneModel& model, int meshMaterial, unsigned int prismSides)
        : scene(model), material(meshMaterial), sides(prismSides == 6 ? 6u : 4u)
    {
    }

    /** Adds a prism from a to b; a link's carries its weight, and where paths were asked for how many pass
     *  along it, in its primitive's extras (weights, paths: one a prism, in the order of the prisms). A
     * weight that is no finite number is written as the log spells it, "inf", "-inf", "nan" or "-nan": JSON
     * has no number for it. */
    void add(const osg::Vec3& a, const osg::Vec3& b, float radius, const osg::Vec4& color,
             std::optional<double> weight = std::nullopt, std::optional<float> paths = std::nullopt)
    {
        if (points.size() / 3 + 2 * sides > 65535)
            finish();
        osg::Vec3 along = b - a;
        if (along.normalize() == 0.0f)
            along.set(0.0f, 0.0f, 1.0f);
        osg::Vec3 side = along ^ (std::fabs(along.x()) < 0.9f ? osg::Vec3(1, 0, 0) : osg::Vec3(0, 1, 0));
        side.normalize();
        const osg::Vec3 other = along ^ side;
        const auto first = static_cast<std::uint16_t>(points.size() / 3);
        unsigned char rgba[4];
        // A colour of a weight that is no number has a channel that is none either: it is drawn as 0, as
        // the window's display draws it.
        for (int channel = 0; channel < 3; ++channel)
        {
            const double linear = linearOf(color[channel]);
            rgba[channel] = static_cast<unsigned char>(
                std::isnan(linear) ? 0 : std::lround(std::clamp(linear, 0.0, 1.0) * 255.0));
        }
        rgba[3] = 255;
        // The corners of a ring, round from side towards other: the square's exactly, the hexagon's by angle.
        std::vector<osg::Vec3> outward;
        if (sides == 4)
            outward = {side, other, -side, -other};
        else
            for (unsigned int corner = 0; corner < sides; ++corner)
            {
                const double angle = 2.0 * osg::PI * corner / sides;
                outward.push_back(side * static_cast<float>(std::cos(angle)) +
                                  other * static_cast<float>(std::sin(angle)));
            }
        for (const osg::Vec3& end : {a, b})
            for (const osg::Vec3& direction : outward)
            {
                const osg::Vec3 point = end + direction * radius;
                points.insert(points.end(), {point.x(), point.y(), point.z()});
                colors.insert(colors.end(), rgba, rgba + 4);
                if (sides == 6)
                    normals.insert(normals.end(), {direction.x(), direction.y(), direction.z()});
            }
        if (weight)
            weights.push_back(*weight);
        if (paths)
            pathCounts.push_back(*paths);
        const auto ring = static_cast<std::uint16_t>(sides);
        for (std::uint16_t face = 0; face < ring; ++face)
        {
            const auto next = static_cast<std::uint16_t>((face + 1) % ring);
            for (const std::uint16_t corner : {face, std::uint16_t(ring + next), std::uint16_t(ring + face),
                                               face, next, std::uint16_t(ring + next)})
                indices.push_back(static_cast<std::uint16_t>(first + corner));
        }
    }

    // The mesh's primitives, once the last is finished; none when nothing was added.
    std::vector<tinygltf::Primitive> take()
    {
        finish();
        return std::move(primitives);
    }

private:
    void finish()
    {
        if (points.empty())
            return;
        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] = scene.addPoints(points);
        if (!normals.empty())
            primitive.attributes["NORMAL"] = scene.addAccessor(
                normals.data(), normals.size() * sizeof(float), TINYGLTF_COMPONENT_TYPE_FLOAT,
                TINYGLTF_TYPE_VEC3, normals.size() / 3, TINYGLTF_TARGET_ARRAY_BUFFER);
        primitive.attributes["COLOR_0"] =
            scene.addAccessor(colors.data(), colors.size(), TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
                              TINYGLTF_TYPE_VEC4, colors.size() / 4, TINYGLTF_TARGET_ARRAY_BUFFER, true);
        tinygltf::Value::Object extras;
        for (const auto& [name, values] : {std::pair{"weights", &weights}, std::pair{"paths", &pathCounts}})
            if (!values->empty())
            {
                tinygltf::Value::Array list;
                list.reserve(values->size());
                for (const double value : *values)
                    list.push_back(std::isfinite(value) ? tinygltf::Value(value)
                                                        : tinygltf::Value(shortestText(value)));
                extras[name] = tinygltf::Value(std::move(list));
            }
        if (!extras.empty())
            primitive.extras = tinygltf::Value(std::move(extras));
        scene.addTriangles(primitive, indices, material);
        primitives.push_back(primitive);
        points.clear();
        normals.clear();
        colors.clear();
        weights.clear();
        pathCounts.clear();
        indices.clear();
    }

    SceneModel& scene;
    int material;
    unsigned int sides;
    std::vector<float> points;
    std::vector<float> normals;
    std::vector<unsigned char> colors;
    std::vector<double> weights;
    std::vector<double> pathCounts;
    std::vector<std::uint16_t> indices;
    std::vector<tinygltf::Primitive> primitives;
};

// Links are six-sided prisms with normals, shaded round as the window's cylinders are, while the scene stays
// within its budget of 20 MB: twelve vertices of 28 bytes and 36 two-byte indices, 408 bytes a link, 16 MB at
// this many links, the rest left to the sites and the weights. Beyond, square prisms without normals: 176
// bytes a link.
constexpr std::size_t roundLinkLimit = 40000;

// A node of the prisms of mesh, named name, under parent; none when the mesh is empty.
void addPrismNode(SceneModel& scene, PrismMesh& prisms, const std::string& name, tinygltf::Node& parent)
{
    tinygltf::Mesh mesh;
    mesh.name = name;
    mesh.primitives = prisms.take();
    if (mesh.primitives.empty())
        return;
    scene.model.meshes.push_back(mesh);
    tinygltf::Node node;
    node.name = name;
    node.mesh = static_cast<int>(scene.model.meshes.size()) - 1;
    parent.children.push_back(scene.addNode(node));
}

// The sites' names, each a quad at its label's place facing the first view (or the layout's -y), that shows
// its part of one picture of every name, outlined as a figure's labels are; unlit and blended, so that a
// renderer draws the names as they are. None without a picture.
void addLabelNode(SceneModel& scene, const FigureContent& content, const std::optional<SceneCamera>& camera,
                  tinygltf::Node& parent)
{
    const std::size_t siteCount = std::min(content.sites.size(), content.names.size());
    const std::vector<std::string> names(content.names.begin(), content.names.begin() + siteCount);
    const LabelAtlas atlas = drawLabelAtlas(names, content.textColor, content.background);
    if (atlas.png.empty())
        return;
    tinygltf::Image image;
    image.name = "labels";
    image.mimeType = "image/png";
    image.bufferView = scene.addView(atlas.png.data(), atlas.png.size(), 0);
    scene.model.images.push_back(image);
    tinygltf::Sampler sampler;
    sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
    sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    sampler.wrapS = sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
    scene.model.samplers.push_back(sampler);
    tinygltf::Texture texture;
    texture.source = static_cast<int>(scene.model.images.size()) - 1;
    texture.sampler = static_cast<int>(scene.model.samplers.size()) - 1;
    scene.model.textures.push_back(texture);
    const int material = scene.addMaterial("label", {1.0, 1.0, 1.0, 1.0});
    tinygltf::Material& look = scene.model.materials[material];
    look.pbrMetallicRoughness.baseColorTexture.index = static_cast<int>(scene.model.textures.size()) - 1;
    look.alphaMode = "BLEND";
    look.doubleSided = true;
    look.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
    scene.model.extensionsUsed.push_back("KHR_materials_unlit");

    // Across and up as the first view sees them.
    osg::Vec3 across(1.0f, 0.0f, 0.0f);
    osg::Vec3 up(0.0f, 0.0f, 1.0f);
    if (camera)
    {
        const osg::Vec3 sight = camera->center - camera->eye;
        osg::Vec3 right = sight ^ osg::Vec3(camera->up);
        if (right.normalize() > 0.0f)
        {
            across = right;
            up = right ^ sight;
            up.normalize();
        }
    }
    std::vector<float> points;
    std::vector<float> corners;
    std::vector<std::uint32_t> indices;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        const LabelAtlas::Place& place = atlas.places[site];
        if (place.width <= 0.0f)
            continue;
        const GlyphSizes sizes = content.glyphs.sized(static_cast<float>(content.sphereScale(site)));
        const osg::Vec3 middle = sizes.labelAnchor(content.sites[site]);
        const osg::Vec3 halfAcross = across * (place.width * sizes.labelHeight / 2.0f);
        const osg::Vec3 halfUp = up * (place.height * sizes.labelHeight / 2.0f);
        const auto first = static_cast<std::uint32_t>(points.size() / 3);
        for (const auto& [point, u, v] : {std::tuple{middle - halfAcross - halfUp, place.left, place.bottom},
                                          std::tuple{middle + halfAcross - halfUp, place.right, place.bottom},
                                          std::tuple{middle - halfAcross + halfUp, place.left, place.top},
                                          std::tuple{middle + halfAcross + halfUp, place.right, place.top}})
        {
            points.insert(points.end(), {point.x(), point.y(), point.z()});
            corners.insert(corners.end(), {u, v});
        }
        for (const std::uint32_t corner : {0u, 1u, 2u, 2u, 1u, 3u})
            indices.push_back(first + corner);
    }
    if (points.empty())
        return;
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] = scene.addPoints(points);
    primitive.attributes["TEXCOORD_0"] = scene.addVertexFloats(corners, TINYGLTF_TYPE_VEC2, 2);
    scene.addTriangles(primitive, indices, material);
    tinygltf::Mesh mesh;
    mesh.name = "labels";
    mesh.primitives.push_back(primitive);
    scene.model.meshes.push_back(mesh);
    tinygltf::Node node;
    node.name = "labels";
    node.mesh = static_cast<int>(scene.model.meshes.size()) - 1;
    parent.children.push_back(scene.addNode(node));
}

} // namespace

bool isSceneFileName(const std::string& fileName)
{
    return endsWithCaseless(fileName, ".glb") || endsWithCaseless(fileName, ".gltf");
}

namespace
{

// What stopped the writing, or nothing when it was written.
std::string sceneFileFailure(const FigureContent& content, const std::string& fileName,
                             const std::optional<SceneCamera>& camera, bool labels)
{
    SceneModel scene;
    // The layout stands +z up, glTF +y: the root turns it a quarter round x.
    tinygltf::Node root;
    root.name = "linkmap";
    root.rotation = {-std::sqrt(0.5), 0.0, 0.0, std::sqrt(0.5)};

    // Sites: one sphere mesh a region kind, or a community colour, shared by the nodes of its sites.
    std::map<std::size_t, int> sphereMeshes;
    tinygltf::Node sites;
    sites.name = "sites";
    const std::size_t siteCount = content.sites.size();
    const bool byCommunity = !content.colors.empty() && content.communities.size() >= siteCount;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        const RegionKind kind = site < content.kinds.size() ? content.kinds[site] : RegionKind::None;
        const std::size_t community =
            byCommunity ? std::min<std::size_t>(content.communities[site], communityColorCount) : 0;
        // A figure's site on no path shown is dimmed as the links are: its colour, under a material that lets
        // the background through.
        const bool dimmed = site < content.dimmedSites.size() && content.dimmedSites[site];
        const std::size_t meshKey =
            (byCommunity ? community : static_cast<std::size_t>(kind)) * 2 + (dimmed ? 1 : 0);
        auto found = sphereMeshes.find(meshKey);
        if (found == sphereMeshes.end())
        {
            osg::Vec4 color;
            if (!siteColor(content.colors, site, kind, color))
                regionColor(RegionKind::None, color);
            const RegionKindEntry* entry = findRegionKind(kind);
            const std::string name =
                std::string(dimmed ? "dimmed " : "") +
                (byCommunity        ? (community < communityColorCount
                                           ? "site of community " + std::to_string(community + 1)
                                           : "site of communities from " + std::to_string(communityColorCount + 1))
                 : entry != nullptr ? std::string(entry->word) + " site"
                                    : "site in no region");
            std::vector<double> rgba = linearColor(color);
            if (dimmed)
                rgba[3] = dimmedLinkOpacity;
            const int material = scene.addMaterial(name, rgba);
            if (dimmed)
                scene.model.materials[material].alphaMode = "BLEND";
            tinygltf::Mesh mesh;
            mesh.name = name;
            mesh.primitives.push_back(spherePrimitive(scene, content.glyphs.siteRadius, material));
            scene.model.meshes.push_back(mesh);
            found = sphereMeshes.emplace(meshKey, static_cast<int>(scene.model.meshes.size()) - 1).first;
        }
        tinygltf::Node node;
        node.name = site < content.names.size() ? validText(content.names[site]) : std::string();
        node.mesh = found->second;
        const osg::Vec3& place = content.sites[site];
        node.translation = {place.x(), place.y(), place.z()};
        if (const double scale = content.sphereScale(site); scale != 1.0)
            node.scale = {scale, scale, scale};
        sites.children.push_back(scene.addNode(node));
    }
    root.children.push_back(scene.addNode(sites));

    // Links: those the filter shows, as the figures draw them, in a mesh by what they are, so that each can
    // be hidden or restyled: the paths' links, the dimmed ones (in their own colours, under a material that
    // lets the background through), and the rest. Each carries its weight, and its count of paths.
    const bool withPaths = !content.linkThickness.empty();
    const int linkMaterial = scene.addMaterial("link", {1.0, 1.0, 1.0, 1.0});
    const int dimmedMaterial = scene.addMaterial("dimmed link", {1.0, 1.0, 1.0, dimmedLinkOpacity});
    scene.model.materials[dimmedMaterial].alphaMode = "BLEND";
    std::size_t shownLinks = 0;
    for (std::size_t link = 0; link < content.links.size(); ++link)
        shownLinks += content.linkShown(link) ? 1 : 0;
    const unsigned int sides = shownLinks <= roundLinkLimit ? 6 : 4;
    PrismMesh links(scene, linkMaterial, sides);
    PrismMesh pathLinks(scene, linkMaterial, sides);
    PrismMesh dimmedLinks(scene, dimmedMaterial, sides);
    for (std::size_t link = 0; link < content.links.size(); ++link)
    {
        const SiteLink& each = content.links[link];
        if (!content.linkShown(link))
            continue;
        const bool dimmed = !content.emphasised.empty() && !content.emphasised[link];
        const float paths =
            link < content.pathCounts.size() ? static_cast<float>(content.pathCounts[link]) : 0.0f;
        const float thickness = content.linkScale(link);
        PrismMesh& mesh = dimmed ? dimmedLinks : withPaths ? pathLinks : links;
        mesh.add(content.sites[each.first], content.sites[each.second], content.glyphs.linkRadius * thickness,
                 weightColor(each.weight, content.glyphs.weightTop),
                 link < content.exactWeights.size() ? content.exactWeights[link]
                                                    : shortestDouble(each.weight),
                 withPaths ? std::optional<float>(paths) : std::nullopt);
    }
    addPrismNode(scene, links, "links", root);
    addPrismNode(scene, pathLinks, "paths", root);
    addPrismNode(scene, dimmedLinks, "dimmed links", root);

    // The camera of the first view, looking down its own -z, +y up, in the layout's frame.
    if (camera)
    {
        tinygltf::Camera lens;
        lens.name = "first view";
        lens.type = "perspective";
        lens.perspective.yfov = osg::DegreesToRadians(camera->fieldOfView);
        lens.perspective.aspectRatio = camera->aspectRatio;
        lens.perspective.znear = camera->near;
        lens.perspective.zfar = camera->far;
        scene.model.cameras.push_back(lens);
        const osg::Matrixd place =
            osg::Matrixd::inverse(osg::Matrixd::lookAt(camera->eye, camera->center, camera->up));
        const osg::Quat turn = place.getRotate();
        tinygltf::Node node;
        node.name = "first view";
        node.camera = static_cast<int>(scene.model.cameras.size()) - 1;
        node.translation = {camera->eye.x(), camera->eye.y(), camera->eye.z()};
        node.rotation = {turn.x(), turn.y(), turn.z(), turn.w()};
        root.children.push_back(scene.addNode(node));
    }

    // The chain, thinner than a link, in its grey.
    PrismMesh trace(scene, content.trace.empty() ? -1 : scene.addMaterial("chain", {1.0, 1.0, 1.0, 1.0}), 6);
    const bool colouredTrace = content.traceColors.size() == content.trace.size();
    // A figure's trace is a tube among the links, a plain one a thin beam.
    const float traceRadius =
        content.figureStyle ? GlyphStyle::traceTubeRadius : content.glyphs.linkRadius * 0.5f;
    for (std::size_t run = 0; run < content.trace.size(); ++run)
        for (std::size_t i = 1; i < content.trace[run].size(); ++i)
        {
            const osg::Vec4 color = colouredTrace && i < content.traceColors[run].size()
                                        ? content.traceColors[run][i]
                                        : GlyphStyle::traceColor;
            trace.add(content.trace[run][i - 1], content.trace[run][i], traceRadius,
                      content.traceDimmed ? dimmedColor(color, content.background) : color);
        }
    addPrismNode(scene, trace, "chain", root);
    if (labels)
        addLabelNode(scene, content, camera, root);

    tinygltf::Scene shown;
    shown.name = "linkmap";
    shown.nodes.push_back(scene.addNode(root));
    scene.model.scenes.push_back(shown);
    scene.model.defaultScene = 0;
    if (scene.model.buffers[0].data.empty())
        scene.model.buffers.clear();

    // Written to a stream of our own, whose state says whether every byte reached the file: tinygltf's own
    // file writer reports success whatever became of its file.
    const bool binary = endsWithCaseless(fileName, ".glb");
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file)
        return std::strerror(errno);
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToStream(&scene.model, file, !binary, binary))
        return "the scene could not be written as glTF";
    file.close();
    if (!file)
        return std::strerror(errno);
    return std::string();
}

} // namespace

void writeSceneFile(const FigureContent& content, const std::string& fileName,
                    const std::optional<SceneCamera>& camera, bool labels)
{
    const std::string failure = sceneFileFailure(content, fileName, camera, labels);
    if (!failure.empty())
        throw OutputError("Error: could not write the scene " + fileName + ": " + failure);
}
