#include <network/CorrelationNetwork.h>
#include <network/TextFields.h>
#include <network/ValidText.h>
#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>
#include <scene/MotionPicture.h>
#include <scene/NetworkSize.h>
#include <scene/Shaders.h>
#include <scene/TraceTube.h>
#include <scene/WebAssets.h>
#include <scene/WebPage.h>
#include <view/ViewModel.h>
#include <view/ViewRules.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

const char* const threeFolder = LINKMAP_THREE_DIR;

namespace
{

// Whether a weight as its file wrote it may print otherwise than its float, as the corner prints weights:
// only where a rounding point of the last decimal lies between the two, which a few operations tell, so that
// the texts are made for those alone.
bool mayPrintOtherwise(double exact, float drawn)
{
    if (!std::isfinite(exact) || !std::isfinite(drawn))
        return true;
    const double scale = std::pow(10.0, ViewRules::weightDigits);
    const double a = exact * scale;
    const double b = static_cast<double>(drawn) * scale;
    if (std::fabs(a) > 1e15)
        return true;
    const double margin = 1e-6;
    return std::floor(std::max(a, b) + margin + 0.5) != std::floor(std::min(a, b) - margin + 0.5);
}

// How many labels a page shows at most; of a larger network, those nearest the eye.
const std::size_t labelBudget = 300;

std::string readWhole(const std::string& path, std::string& failure)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file || text.str().empty())
        failure = "cannot read " + path + " (three.js, of Debian's libjs-three)";
    return text.str();
}

std::string htmlText(const std::string& text)
{
    return escapeXml(validText(text));
}

using Json = nlohmann::ordered_json;

// A number as the page reads it: one that is no finite number is 0.
double number(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

Json color(const osg::Vec4& rgb)
{
    return Json::array({number(rgb.r()), number(rgb.g()), number(rgb.b())});
}

Json point(const osg::Vec3d& at)
{
    return Json::array({number(at.x()), number(at.y()), number(at.z())});
}

// Text as the page shows it: valid UTF-8, whatever the name held.
Json text(const std::string& words)
{
    return validText(words);
}

Json texts(const std::vector<std::string>& words)
{
    Json list = Json::array();
    for (const std::string& each : words)
        list.push_back(validText(each));
    return list;
}

// Typed arrays travel as their little-endian bytes in base64, which the page reads into arrays of its own.
class Bytes
{
public:
    void add(std::uint32_t word)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(word >> shift));
    }
    void add(float value)
    {
        std::uint32_t word = 0;
        std::memcpy(&word, &value, sizeof word);
        add(word);
    }
    void addByte(std::uint8_t byte)
    {
        bytes.push_back(byte);
    }
    std::string text() const
    {
        return base64(bytes.data(), bytes.size());
    }

private:
    std::vector<unsigned char> bytes;
};

Json keyText(const KeyText& label)
{
    return {{"text", text(label.text)},
            {"x", number(label.x)},
            {"y", number(label.y)},
            {"alignment", label.alignment}};
}

Json keyBox(const KeyBox& box)
{
    return {{"left", number(box.left)},
            {"bottom", number(box.bottom)},
            {"right", number(box.right)},
            {"top", number(box.top)}};
}

Json colorKey(const FigureContent& figure)
{
    if (!figure.colorKey)
        return nullptr;
    const ColorKeyLayout key =
        layOutColorKey(figure.keyRegions, figure.keyCommunities, figure.keySizeNote, figure.keyWeights);
    Json barTexts = Json::array();
    for (const KeyText& each : key.barTexts)
        barTexts.push_back(keyText(each));
    Json swatches = Json::array();
    for (const ColorKeyLayout::Swatch& swatch : key.swatches)
        swatches.push_back(
            {{"box", keyBox(swatch.box)}, {"color", color(swatch.color)}, {"name", keyText(swatch.name)}});
    Json stops = Json::array();
    for (const ColorKeyLayout::BarStop& stop : key.barStops)
        stops.push_back({{"share", number(stop.share)}, {"color", color(stop.color)}});
    Json described = {
        {"bar", keyBox(key.bar)}, {"barStops", stops}, {"barTexts", barTexts}, {"swatches", swatches}};
    if (!key.sizeNote.text.empty())
        described["sizeNote"] = keyText(key.sizeNote);
    return described;
}

Json regionList(const PageContent& content)
{
    Json list = Json::array();
    std::size_t place = 0;
    for (const RegionKindEntry& entry : regionKinds)
    {
        osg::Vec4 rgb;
        regionColor(entry.kind, rgb);
        list.push_back(
            {{"kind", static_cast<int>(entry.kind)},
             {"word", entry.word},
             {"option", entry.option},
             {"key", std::string(1, entry.key)},
             {"bit", entry.bit},
             {"color", color(rgb)},
             {"list", place < content.listNames.size() ? text(content.listNames[place]) : Json("")}});
        ++place;
    }
    return list;
}

// What a figure's page adds: its labels' ranks and outline, the sites favoured and dimmed, and the trace's
// tube, as the window draws it; null for a plain page.
Json figureStyleData(const FigureContent& figure)
{
    if (!figure.figureStyle)
        return nullptr;
    const std::size_t siteCount = figure.sites.size();
    Bytes ranks;
    Bytes dimmed;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        ranks.add(site < figure.labelPreference.ranks.size() ? figure.labelPreference.ranks[site]
                                                             : std::uint32_t{0});
        dimmed.addByte(site < figure.dimmedSites.size() && figure.dimmedSites[site] ? 1 : 0);
    }
    const TubeMesh tube = traceTube(figure.trace, figure.traceColors, GlyphStyle::traceTubeRadius);
    Bytes tubePoints;
    Bytes tubeNormals;
    Bytes tubeColors;
    Bytes tubeTriangles;
    for (std::size_t i = 0; i < tube.points.size(); ++i)
        for (int axis = 0; axis < 3; ++axis)
        {
            tubePoints.add(tube.points[i][axis]);
            tubeNormals.add(tube.normals[i][axis]);
            tubeColors.add(tube.colors[i][axis]);
        }
    for (const std::uint32_t corner : tube.triangles)
        tubeTriangles.add(corner);
    return {{"traceTube", tube.points.empty() ? Json(nullptr)
                                              : Json{{"points", tubePoints.text()},
                                                     {"normals", tubeNormals.text()},
                                                     {"colors", tubeColors.text()},
                                                     {"triangles", tubeTriangles.text()}}},
            {"labelRanks", ranks.text()},
            {"favoured", figure.labelPreference.favoured},
            {"haloWidth", LabelStyle::haloWidth},
            {"dimmedSites", figure.dimmedSites.empty() ? std::string() : dimmed.text()}};
}

// The page's data: the network's records as typed arrays, and the first view.
std::string pageData(const PageContent& content)
{
    const FigureContent& figure = content.figure;
    const std::size_t siteCount = figure.sites.size();
    Bytes places;
    Bytes kinds;
    Bytes colors;
    Bytes scales;
    Bytes numbers;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        scales.add(figure.sphereScale(site));
        for (int axis = 0; axis < 3; ++axis)
            places.add(figure.sites[site][axis]);
        if (site < figure.colors.size())
            for (int channel = 0; channel < 3; ++channel)
                colors.add(figure.colors[site][channel]);
        kinds.addByte(
            static_cast<std::uint8_t>(site < figure.kinds.size() ? figure.kinds[site] : RegionKind::None));
        // The number a search by number finds the site by, as the window's finds it; none (the least int,
        // which no number typed reads as) for a name of one character or none.
        const bool numbered = site < figure.names.size() && figure.names[site].size() > 1;
        numbers.add(static_cast<std::uint32_t>(numbered ? siteNumber(figure.names[site]) : INT_MIN));
    }
    // A link whose end is no site is left out, as every figure leaves it out.
    Bytes ends;
    Bytes weights;
    Bytes regions;
    Bytes emphasised;
    Bytes thickness;
    std::size_t linkCount = 0;
    // The page prints a link's float as the window does; where the weight its file wrote prints otherwise
    // (beyond a float's range or precision), that text comes with it.
    Json weightTexts = Json::object();
    for (std::size_t link = 0; link < figure.links.size(); ++link)
    {
        const SiteLink& each = figure.links[link];
        if (each.first >= siteCount || each.second >= siteCount)
            continue;
        ++linkCount;
        ends.add(static_cast<std::uint32_t>(each.first));
        ends.add(static_cast<std::uint32_t>(each.second));
        weights.add(each.weight);
        if (link < figure.exactWeights.size() && mayPrintOtherwise(figure.exactWeights[link], each.weight))
        {
            std::string exact = ViewRules::weightText(figure.exactWeights[link]);
            if (exact != ViewRules::weightText(each.weight))
                weightTexts[std::to_string(linkCount - 1)] = std::move(exact);
        }
        regions.addByte(link < figure.linkRegions.size() ? figure.linkRegions[link] : 0);
        emphasised.addByte(link < figure.emphasised.size() && figure.emphasised[link] ? 1 : 0);
        thickness.add(link < figure.linkThickness.size() ? figure.linkThickness[link] : 1.0f);
    }
    Bytes trace;
    Bytes traceColors;
    const bool colouredTrace = figure.traceColors.size() == figure.trace.size();
    for (std::size_t run = 0; run < figure.trace.size(); ++run)
        for (std::size_t i = 1; i < figure.trace[run].size(); ++i)
            for (const std::size_t at : {i - 1, i})
            {
                for (int axis = 0; axis < 3; ++axis)
                    trace.add(figure.trace[run][at][axis]);
                if (colouredTrace)
                    for (int channel = 0; channel < 3; ++channel)
                        traceColors.add(at < figure.traceColors[run].size()
                                            ? figure.traceColors[run][at][channel]
                                            : GlyphStyle::traceColor[channel]);
            }

    const char* pickKind = content.pick.kind == Pick::Kind::Site   ? "site"
                           : content.pick.kind == Pick::Kind::Link ? "link"
                                                                   : "";
    const GlyphSizes& glyphs = figure.glyphs;
    const bool anyResidue = std::any_of(content.residues.begin(), content.residues.end(),
                                        [](const std::string& residue) { return !residue.empty(); });
    const auto bytesOrEmpty = [](bool given, const Bytes& bytes) {
        return given ? bytes.text() : std::string();
    };
    Json data = {
        {"sites", siteCount},
        {"links", linkCount},
        {"positions", places.text()},
        {"kinds", kinds.text()},
        {"siteNumbers", numbers.text()},
        {"siteColors", bytesOrEmpty(figure.colors.size() >= siteCount, colors)},
        {"siteScales", bytesOrEmpty(figure.scales.size() >= siteCount, scales)},
        {"ends", ends.text()},
        {"weights", weights.text()},
        {"weightTexts", std::move(weightTexts)},
        {"linkRegions", bytesOrEmpty(!figure.linkRegions.empty(), regions)},
        {"emphasised", bytesOrEmpty(!figure.emphasised.empty(), emphasised)},
        {"thickness", bytesOrEmpty(!figure.linkThickness.empty(), thickness)},
        {"trace", trace.text()},
        {"traceColors", traceColors.text()},
        {"residues", anyResidue ? texts(content.residues) : Json::array()},
        {"measures", texts(content.measures)},
        {"glyphs",
         {{"siteRadius", number(glyphs.siteRadius)},
          {"linkRadius", number(glyphs.linkRadius)},
          {"labelHeight", number(glyphs.labelHeight)},
          {"labelDrop", number(glyphs.labelDrop)},
          {"thinnestWeight", number(glyphs.thinnestWeight)},
          {"weightTop", number(glyphs.weightTop)}}},
        {"regions", regionList(content)},
    };
    osg::Vec4 noRegion;
    regionColor(RegionKind::None, noRegion);
    data["noRegionColor"] = color(noRegion);
    data["traceColor"] = color(GlyphStyle::traceColor);
    data["background"] = color(figure.background);
    data["view"] = {{"cutoff", number(content.cutoff)},
                    {"weakest", number(content.weakest)},
                    {"region", static_cast<int>(content.region)},
                    {"pick", {{"kind", pickKind}, {"index", content.pick.index}}}};
    data["pathLines"] = texts(content.pathLines);
    data["caption"] = validText(content.caption);
    // The paths by the page's places of their links, which leave out the links to no site.
    std::vector<std::int64_t> pagePlace(figure.links.size(), -1);
    for (std::size_t link = 0, place = 0; link < figure.links.size(); ++link)
        if (figure.links[link].first < siteCount && figure.links[link].second < siteCount)
            pagePlace[link] = static_cast<std::int64_t>(place++);
    // Every site's strongest link, by its page place; none (all bits set) for a site without links.
    Bytes strongest;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        const std::size_t link =
            site < content.strongestLinks.size() ? content.strongestLinks[site] : pagePlace.size();
        strongest.add(static_cast<std::uint32_t>(
            link < pagePlace.size() && pagePlace[link] >= 0 ? pagePlace[link] : 0xFFFFFFFFu));
    }
    data["strongest"] = strongest.text();
    Json paths = Json::array();
    for (const PageContent::Path& path : content.paths)
    {
        Json links = Json::array();
        for (const std::size_t link : path.links)
            if (link < pagePlace.size() && pagePlace[link] >= 0)
                links.push_back(pagePlace[link]);
        paths.push_back({{"line", text(path.line)}, {"links", links}, {"sites", path.sites}});
    }
    data["paths"] = {{"list", paths},
                     {"foundAt", text(content.pathsFoundAt)},
                     {"onePathThickness", number(content.onePathThickness)}};
    data["camera"] = {{"eye", point(content.camera.eye)},
                      {"center", point(content.camera.center)},
                      {"up", point(content.camera.up)},
                      {"fov", number(content.camera.fieldOfView)},
                      {"aspect", number(content.camera.aspectRatio)},
                      {"farthest", number(content.farthest)},
                      {"framed", content.framed}};
    data["key"] = colorKey(figure);
    data["labelBudget"] = labelBudget;
    data["figureStyle"] = figureStyleData(figure);
    // The rules the page follows as the window does, and the light picture's budgets.
    Json patterns = Json::object();
    for (const ViewRules::Pattern& pattern : ViewRules::patterns())
        patterns[pattern.name] = pattern.text;
    // The keys, each a command of the view model, that the page answers as the window does.
    Json keys = Json::array();
    for (const KeyBinding& binding : keyBindings())
        keys.push_back({{"label", binding.label},
                        {"keys", binding.keys},
                        {"command", commandWord(binding.command)},
                        {"region", static_cast<int>(binding.region)},
                        {"help", binding.help},
                        {"windowOnly", binding.windowOnly}});
    data["keys"] = keys;
    data["rules"] = {{"patterns", patterns},
                     {"weightDigits", ViewRules::weightDigits},
                     {"cutoffDigits", ViewRules::cutoffDigitsOf(content.cutoffTop)},
                     {"cutoffSteps", ViewRules::cutoffSteps},
                     {"cutoffTop", number(content.cutoffTop)}};
    Json shaders = {{"LinkLook.glsl", Shaders::linkLook}};
    for (const auto& [name, source] : Shaders::page())
        shaders[name] = source;
    data["shaders"] = shaders;
    const MotionDetail motion;
    data["light"] = {{"from", NetworkSize::slicedElementCount},
                     {"linkBudget", motion.linkBudget},
                     {"siteBudget", motion.siteBudget}};
    // Nothing in the data ends its script: "<" only ever stands in a string, where JSON may escape it.
    std::string written = data.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string safe;
    safe.reserve(written.size());
    for (const char each : written)
        safe += each == '<' ? std::string("\\u003c") : std::string(1, each);
    return safe;
}

std::string cssColor(const osg::Vec4& color)
{
    const auto channel = [](float value) {
        return std::to_string(static_cast<int>(std::lround(std::min(std::max(value, 0.0f), 1.0f) * 255.0f)));
    };
    return "rgb(" + channel(color.r()) + "," + channel(color.g()) + "," + channel(color.b()) + ")";
}

} // namespace

bool isWebPageName(const std::string& fileName)
{
    return endsWithCaseless(fileName, ".html") || endsWithCaseless(fileName, ".htm");
}

std::string base64(const void* data, std::size_t size)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3)
    {
        const std::uint32_t group = (std::uint32_t(bytes[i]) << 16) |
                                    (i + 1 < size ? std::uint32_t(bytes[i + 1]) << 8 : 0u) |
                                    (i + 2 < size ? std::uint32_t(bytes[i + 2]) : 0u);
        text += digits[(group >> 18) & 63];
        text += digits[(group >> 12) & 63];
        text += i + 1 < size ? digits[(group >> 6) & 63] : '=';
        text += i + 2 < size ? digits[group & 63] : '=';
    }
    return text;
}

namespace
{

// What stopped the writing, or nothing when it was written.
std::string webPageFailure(const PageContent& content, const std::string& fileName)
{
    std::string failure;
    const std::string folder = threeFolder;
    const std::string three = readWhole(folder + "/three.min.js", failure);
    const std::string trackball = readWhole(folder + "/examples/js/controls/TrackballControls.js", failure);
    if (!failure.empty())
        return failure;

    const FigureContent& figure = content.figure;
    std::ofstream page(fileName, std::ios::binary | std::ios::trunc);
    if (!page)
        return std::strerror(errno);
    page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         << "<title>" << htmlText(content.title) << "</title>\n<style>\n"
         << WebAssets::style << "</style>\n</head>\n"
         << "<body style=\"background:" << cssColor(figure.background)
         << ";color:" << cssColor(figure.textColor)
         << "\">\n<div id=\"scene\"></div>\n<div id=\"labels\"></div>\n<pre id=\"corner\"></pre>\n"
         << "<div id=\"controls\"></div>\n<div id=\"tooltip\"></div>\n"
         << "<div id=\"key\"></div>\n<div id=\"panel\">\n<p id=\"label-note\"></p>\n"
         << "<details id=\"sites\"><summary>" << figure.names.size()
         << (figure.names.size() == 1 ? " site" : " sites") << "</summary>\n<ol>";
    for (std::size_t site = 0; site < figure.names.size(); ++site)
        page << "<li data-site=\"" << site << "\">" << htmlText(figure.names[site]) << "</li>";
    // The help: the pointer, then every key of the table that the page answers, as the window's help has
    // them.
    page
        << "</ol>\n</details>\n<p>Drag (or one finger) to turn, the wheel (or two fingers) to zoom, the "
           "right "
           "or middle button (or three fingers) to pan. The controls at the top right set the cutoff and the "
           "filter, find a site, and save what the page shows as a PNG.</p>\n<details "
           "id=\"help-keys\"><summary>Keys"
           "</summary><dl id=\"keys\">";
    for (const KeyBinding& binding : keyBindings())
        if (!binding.windowOnly && !binding.help.empty())
            page << "<dt>" << htmlText(binding.label) << "</dt><dd>" << htmlText(binding.help) << "</dd>";
    page << "</dl></details>\n</div>\n"
         << "<script id=\"linkmap-data\" type=\"application/json\">" << pageData(content)
         << "</script>\n<script>\n"
         << three << "\n</script>\n<script>\n"
         << trackball << "\n</script>\n<script>\n"
         << WebAssets::script << "</script>\n</body>\n</html>\n";
    page.close();
    if (!page)
        return std::strerror(errno);
    return std::string();
}

} // namespace

void writeWebPage(const PageContent& content, const std::string& fileName)
{
    const std::string failure = webPageFailure(content, fileName);
    if (!failure.empty())
        throw OutputError("Error: could not write the page " + fileName + ": " + failure);
}
