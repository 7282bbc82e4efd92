#include <network/TextFields.h>
#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>
#include <scene/NetworkSize.h>
#include <scene/Shaders.h>
#include <scene/TraceTube.h>
#include <scene/ValidText.h>
#include <scene/WebAssets.h>
#include <scene/WebPage.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

const char* const threeFolder = LINKMAP_THREE_DIR;

namespace
{

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

// A JSON string: quoted, with what JSON escapes escaped, and "<" too, so that no "</script" ends the data
// early.
std::string jsonText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char each : validText(text))
    {
        switch (each)
        {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '<':
            quoted += "\\u003c";
            break;
        default:
            quoted += each;
        }
    }
    return quoted + "\"";
}

std::string htmlText(const std::string& text)
{
    return escapeXml(validText(text));
}

// A number as JSON has them: one that is no finite number is 0.
std::string jsonNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", std::isfinite(value) ? value : 0.0);
    return text;
}

std::string jsonVector(const double* values, int count)
{
    std::string text = "[";
    for (int i = 0; i < count; ++i)
        text += (i > 0 ? "," : "") + jsonNumber(values[i]);
    return text + "]";
}

std::string jsonColor(const osg::Vec4& color)
{
    const double rgb[3] = {color.r(), color.g(), color.b()};
    return jsonVector(rgb, 3);
}

std::string jsonPoint(const osg::Vec3d& point)
{
    return jsonVector(point.ptr(), 3);
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

std::string jsonKeyText(const KeyText& text)
{
    return "{\"text\":" + jsonText(text.text) + ",\"x\":" + jsonNumber(text.x) +
           ",\"y\":" + jsonNumber(text.y) + ",\"alignment\":" + std::to_string(text.alignment) + "}";
}

std::string jsonKeyBox(const KeyBox& box)
{
    return "{\"left\":" + jsonNumber(box.left) + ",\"bottom\":" + jsonNumber(box.bottom) +
           ",\"right\":" + jsonNumber(box.right) + ",\"top\":" + jsonNumber(box.top) + "}";
}

std::string jsonKey(const FigureContent& figure)
{
    if (!figure.colorKey)
        return "null";
    const ColorKeyLayout key = layOutColorKey(figure.keyRegions, figure.keyCommunities, figure.keySizeNote);
    std::string text = "{\"bar\":" + jsonKeyBox(key.bar) + ",\"barTexts\":[";
    for (std::size_t i = 0; i < key.barTexts.size(); ++i)
        text += (i > 0 ? "," : "") + jsonKeyText(key.barTexts[i]);
    text += "],\"swatches\":[";
    for (std::size_t i = 0; i < key.swatches.size(); ++i)
        text += std::string(i > 0 ? "," : "") + "{\"box\":" + jsonKeyBox(key.swatches[i].box) +
                ",\"color\":" + jsonColor(key.swatches[i].color) +
                ",\"name\":" + jsonKeyText(key.swatches[i].name) + "}";
    text += "]";
    if (!key.sizeNote.text.empty())
        text += ",\"sizeNote\":" + jsonKeyText(key.sizeNote);
    return text + "}";
}

std::string jsonRegions(const PageContent& content)
{
    std::string text = "[";
    std::size_t place = 0;
    for (const RegionKindEntry& entry : regionKinds)
    {
        osg::Vec4 color;
        regionColor(entry.kind, color);
        const std::string list = place < content.listNames.size() ? content.listNames[place] : std::string();
        text += std::string(place > 0 ? "," : "") +
                "{\"kind\":" + std::to_string(static_cast<int>(entry.kind)) +
                ",\"word\":" + jsonText(entry.word) + ",\"option\":" + jsonText(entry.option) +
                ",\"key\":" + jsonText(std::string(1, entry.key)) + ",\"bit\":" + std::to_string(entry.bit) +
                ",\"color\":" + jsonColor(color) + ",\"list\":" + jsonText(list) + "}";
        ++place;
    }
    return text + "]";
}

std::string jsonStrings(const std::vector<std::string>& strings)
{
    std::string text = "[";
    for (std::size_t i = 0; i < strings.size(); ++i)
        text += (i > 0 ? "," : "") + jsonText(strings[i]);
    return text + "]";
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
    }
    // A link whose end is no site is left out, as every figure leaves it out.
    Bytes ends;
    Bytes weights;
    Bytes regions;
    Bytes emphasised;
    Bytes thickness;
    std::size_t linkCount = 0;
    for (std::size_t link = 0; link < figure.links.size(); ++link)
    {
        const SiteLink& each = figure.links[link];
        if (each.first >= siteCount || each.second >= siteCount)
            continue;
        ++linkCount;
        ends.add(static_cast<std::uint32_t>(each.first));
        ends.add(static_cast<std::uint32_t>(each.second));
        weights.add(each.weight);
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
    std::string data = "{\"sites\":" + std::to_string(siteCount) + ",\"links\":" + std::to_string(linkCount);
    data += ",\"positions\":\"" + places.text() + "\",\"kinds\":\"" + kinds.text() + "\"";
    data += ",\"siteColors\":\"" + (figure.colors.size() >= siteCount ? colors.text() : std::string()) + "\"";
    data += ",\"siteScales\":\"" + (figure.scales.size() >= siteCount ? scales.text() : std::string()) + "\"";
    data += ",\"ends\":\"" + ends.text() + "\",\"weights\":\"" + weights.text() + "\"";
    data += ",\"linkRegions\":\"" + (figure.linkRegions.empty() ? std::string() : regions.text()) + "\"";
    data += ",\"emphasised\":\"" + (figure.emphasised.empty() ? std::string() : emphasised.text()) + "\"";
    data += ",\"thickness\":\"" + (figure.linkThickness.empty() ? std::string() : thickness.text()) + "\"";
    data += ",\"trace\":\"" + trace.text() + "\"";
    data += ",\"traceColors\":\"" + traceColors.text() + "\"";
    data += ",\"residues\":" + (anyResidue ? jsonStrings(content.residues) : std::string("[]"));
    data += ",\"measures\":" + jsonStrings(content.measures);
    data += ",\"glyphs\":{\"siteRadius\":" + jsonNumber(glyphs.siteRadius) +
            ",\"linkRadius\":" + jsonNumber(glyphs.linkRadius) +
            ",\"labelHeight\":" + jsonNumber(glyphs.labelHeight) +
            ",\"labelDrop\":" + jsonNumber(glyphs.labelDrop) +
            ",\"thinnestWeight\":" + jsonNumber(glyphs.thinnestWeight) + "}";
    data += ",\"regions\":" + jsonRegions(content);
    osg::Vec4 noRegion;
    regionColor(RegionKind::None, noRegion);
    data +=
        ",\"noRegionColor\":" + jsonColor(noRegion) + ",\"traceColor\":" + jsonColor(GlyphStyle::traceColor);
    data += ",\"background\":" + jsonColor(figure.background);
    data += ",\"view\":{\"cutoff\":" + jsonNumber(content.cutoff) +
            ",\"region\":" + std::to_string(static_cast<int>(content.region)) + ",\"pick\":{\"kind\":\"" +
            pickKind + "\",\"index\":" + std::to_string(content.pick.index) + "}}";
    data += ",\"pathLines\":" + jsonStrings(content.pathLines);
    data += ",\"camera\":{\"eye\":" + jsonPoint(content.eye) + ",\"center\":" + jsonPoint(content.center) +
            ",\"up\":" + jsonPoint(content.up) + ",\"fov\":" + jsonNumber(content.fieldOfView) + "}";
    data += ",\"key\":" + jsonKey(figure);
    data += ",\"labelBudget\":" + std::to_string(labelBudget);
    // A figure style's labels keep apart, the favoured and the more central first, outlined haloWidth of
    // their height wide; its sites on no path are dimmed while the paths show.
    if (figure.figureStyle)
    {
        Bytes ranks;
        for (std::size_t site = 0; site < siteCount; ++site)
            ranks.add(site < figure.labelPreference.ranks.size() ? figure.labelPreference.ranks[site]
                                                                 : std::uint32_t{0});
        Bytes dimmed;
        for (std::size_t site = 0; site < siteCount; ++site)
            dimmed.addByte(site < figure.dimmedSites.size() && figure.dimmedSites[site] ? 1 : 0);
        // The trace as the window draws it in a figure, a lit tube.
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
        const std::string traceTube = tube.points.empty()
                                          ? std::string("null")
                                          : "{\"points\":\"" + tubePoints.text() + "\",\"normals\":\"" +
                                                tubeNormals.text() + "\",\"colors\":\"" + tubeColors.text() +
                                                "\",\"triangles\":\"" + tubeTriangles.text() + "\"}";
        std::string favoured;
        for (const std::uint32_t site : figure.labelPreference.favoured)
            favoured += (favoured.empty() ? "" : ",") + std::to_string(site);
        data += ",\"figureStyle\":{\"traceTube\":" + traceTube + ",\"labelRanks\":\"" + ranks.text() +
                "\",\"favoured\":[" + favoured + "],\"haloWidth\":" + jsonNumber(LabelStyle::haloWidth) +
                ",\"dimmedSites\":\"" + (figure.dimmedSites.empty() ? std::string() : dimmed.text()) + "\"}";
    }
    else
        data += ",\"figureStyle\":null";
    data += ",\"lightFrom\":" + std::to_string(NetworkSize::slicedElementCount);
    return data + "}";
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
         << "<div id=\"key\"></div>\n<div id=\"panel\">\n<p id=\"label-note\"></p>\n"
         << "<details id=\"sites\"><summary>" << figure.names.size()
         << (figure.names.size() == 1 ? " site" : " sites") << "</summary>\n<ol>";
    for (std::size_t site = 0; site < figure.names.size(); ++site)
        page << "<li data-site=\"" << site << "\">" << htmlText(figure.names[site]) << "</li>";
    page << "</ol>\n</details>\n<p>Drag to turn, wheel to zoom, right or middle button to pan, Space for the "
            "first "
            "view; click a site or a link; + and - set the cutoff, 0 to 3 the region filter.</p>\n</div>\n"
         << "<script id=\"link-look\" type=\"x-shader/x-vertex\">\n"
         << Shaders::linkLook << "</script>\n<script id=\"linkmap-data\" type=\"application/json\">"
         << pageData(content) << "</script>\n<script>\n"
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
