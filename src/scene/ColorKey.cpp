#include <network/NumberText.h>
#include <network/SiteMeasures.h>
#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/Overlay.h>

#include <osg/Geode>
#include <osg/Geometry>
#include <osgText/Text>

#include <algorithm>

namespace
{

ColorKeyLayout layOutSwatches(const std::vector<std::pair<RegionKind, std::string>>& regions,
                              const std::vector<KeyEntry>& communities, const WeightKey& weights);

// Sizes in the key's units, a hundredth of the window's height.
const double margin = 2.0;
const double barWidth = 24.0;
const double barHeight = 2.5;
const double rowHeight = 3.6;

osg::ref_ptr<osgText::Text> createText(const ColorKeyInfo& info, const KeyText& text)
{
    osg::ref_ptr<osgText::Text> label = new osgText::Text;
    label->setFont(info.font.get());
    label->setCharacterSize(overlayTextHeight);
    label->setColor(info.textColor);
    label->setAlignment(text.alignment < 0   ? osgText::Text::LEFT_BASE_LINE
                        : text.alignment > 0 ? osgText::Text::RIGHT_BASE_LINE
                                             : osgText::Text::CENTER_BASE_LINE);
    label->setPosition(osg::Vec3(static_cast<float>(text.x), static_cast<float>(text.y), 0.0f));
    label->setText(text.text, osgText::String::ENCODING_UTF8);
    return label;
}

// A rectangle from corner to corner, its colours given at the left and right edges.
void addRectangle(osg::Vec3Array& vertices, osg::Vec4Array& colors, const KeyBox& box,
                  const osg::Vec4& leftColor, const osg::Vec4& rightColor)
{
    const auto left = static_cast<float>(box.left);
    const auto bottom = static_cast<float>(box.bottom);
    const auto right = static_cast<float>(box.right);
    const auto top = static_cast<float>(box.top);
    for (const auto& [corner, color] : {std::pair{osg::Vec3(left, bottom, 0.0f), leftColor},
                                        {osg::Vec3(right, bottom, 0.0f), rightColor},
                                        {osg::Vec3(right, top, 0.0f), rightColor},
                                        {osg::Vec3(left, top, 0.0f), leftColor}})
    {
        vertices.push_back(corner);
        colors.push_back(color);
    }
}

} // namespace

std::vector<std::pair<RegionKind, std::string>>
keySwatches(const std::vector<std::pair<RegionKind, std::string>>& regions)
{
    std::vector<std::pair<RegionKind, std::string>> swatches;
    if (regions.empty())
        return swatches;
    swatches.emplace_back(RegionKind::None, "no region");
    swatches.insert(swatches.end(), regions.begin(), regions.end());
    return swatches;
}

std::vector<KeyEntry> communityKey(const std::vector<std::uint32_t>& communities)
{
    return communityKey(communitySizes(communities));
}

std::vector<KeyEntry> communityKey(const std::vector<std::size_t>& sizes)
{
    std::vector<KeyEntry> key;
    for (std::size_t community = 0; community < sizes.size() && community < communityColorCount; ++community)
        key.push_back({communityColor(community), "Community " + std::to_string(community + 1) + " (" +
                                                      std::to_string(sizes[community]) +
                                                      (sizes[community] == 1 ? " site)" : " sites)")});
    if (sizes.size() > communityColorCount)
    {
        std::size_t rest = 0;
        for (std::size_t community = communityColorCount; community < sizes.size(); ++community)
            rest += sizes[community];
        const std::string first = std::to_string(communityColorCount + 1);
        const std::string last = std::to_string(sizes.size());
        key.push_back({communityColor(communityColorCount),
                       (sizes.size() == communityColorCount + 1 ? "Community " + first
                                                                : "Communities " + first + " to " + last) +
                           " (" + std::to_string(rest) + (rest == 1 ? " site)" : " sites)")});
    }
    return key;
}

ColorKeyLayout layOutColorKey(const std::vector<std::pair<RegionKind, std::string>>& regions,
                              const std::vector<KeyEntry>& communities, const std::string& sizeNote,
                              const WeightKey& weights)
{
    ColorKeyLayout key = layOutSwatches(regions, communities, weights);
    if (!sizeNote.empty())
    {
        const double top = key.swatches.empty() ? key.barTexts.back().y + rowHeight
                                                : key.swatches.back().box.bottom + rowHeight;
        key.sizeNote = KeyText{sizeNote, margin, top + 0.3, -1};
    }
    return key;
}

namespace
{

ColorKeyLayout layOutSwatches(const std::vector<std::pair<RegionKind, std::string>>& regions,
                              const std::vector<KeyEntry>& communities, const WeightKey& weights)
{
    // The bar of link colours, its values below, its title above; then a swatch a row.
    ColorKeyLayout key;
    double y = margin + overlayTextHeight + 1.0;
    key.bar = KeyBox{margin, y, margin + barWidth, y + barHeight};
    const double middle = margin + barWidth / 2.0;
    if (weights.top > 0.0f)
    {
        // A probability or a score, from 0 to its top, through the sequential ramp's stops.
        key.barTexts = {KeyText{"0", margin, margin, -1},
                        KeyText{shortNumber(weights.top / 2.0f), middle, margin, 0},
                        KeyText{shortNumber(weights.top), margin + barWidth, margin, 1}};
        for (int stop = 0; stop <= 4; ++stop)
            key.barStops.push_back({weights.top * static_cast<float>(stop) / 4.0f, stop / 4.0,
                                    weightColor(weights.top * static_cast<float>(stop) / 4.0f, weights.top)});
    }
    else
    {
        key.barTexts = {KeyText{"-1", margin, margin, -1}, KeyText{"0", middle, margin, 0},
                        KeyText{"+1", margin + barWidth, margin, 1}};
        for (const float weight : {-1.0f, 0.0f, 1.0f})
            key.barStops.push_back({weight, (weight + 1.0) / 2.0, weightColor(weight, 0.0f)});
    }
    y += barHeight + 1.0;
    key.barTexts.push_back(KeyText{weights.title, margin, y, -1});
    y += rowHeight;
    // The communities read from the first down, so the last is drawn first, from the bottom.
    for (auto entry = communities.rbegin(); entry != communities.rend(); ++entry)
    {
        key.swatches.push_back({KeyBox{margin, y, margin + barHeight, y + barHeight}, entry->color,
                                KeyText{entry->name, margin + barHeight + 1.0, y + 0.3, -1}});
        y += rowHeight;
    }
    if (!communities.empty())
        return key;
    for (const auto& [kind, name] : keySwatches(regions))
    {
        osg::Vec4 color;
        if (!regionColor(kind, color))
            continue;
        key.swatches.push_back({KeyBox{margin, y, margin + barHeight, y + barHeight}, color,
                                KeyText{name, margin + barHeight + 1.0, y + 0.3, -1}});
        y += rowHeight;
    }
    return key;
}

} // namespace

double keyReach(const ColorKeyLayout& key)
{
    double reach = key.bar.right;
    const auto reachOf = [&reach](const KeyText& text) {
        const double width = 0.45 * overlayTextHeight * static_cast<double>(text.text.size());
        reach = std::max(reach, text.alignment < 0 ? text.x + width : text.x);
    };
    for (const KeyText& text : key.barTexts)
        reachOf(text);
    for (const ColorKeyLayout::Swatch& swatch : key.swatches)
        reachOf(swatch.name);
    reachOf(key.sizeNote);
    return reach + margin;
}

osg::ref_ptr<osg::Node> createColorKey(const ColorKeyInfo& info)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    osg::ref_ptr<osg::Geometry> shapes = new osg::Geometry;
    geode->addDrawable(shapes.get());

    // The weight bar: a rectangle from each of its stops to the next, its colours changing linearly.
    const ColorKeyLayout key = layOutColorKey(info.regions, info.communities, info.sizeNote, info.weights);
    const auto across = [&key](double share) {
        return key.bar.left + (key.bar.right - key.bar.left) * share;
    };
    for (std::size_t stop = 0; stop + 1 < key.barStops.size(); ++stop)
        addRectangle(*vertices, *colors,
                     KeyBox{across(key.barStops[stop].share), key.bar.bottom,
                            across(key.barStops[stop + 1].share), key.bar.top},
                     key.barStops[stop].color, key.barStops[stop + 1].color);
    for (const KeyText& text : key.barTexts)
        geode->addDrawable(createText(info, text));
    if (!key.sizeNote.text.empty())
        geode->addDrawable(createText(info, key.sizeNote));
    for (const ColorKeyLayout::Swatch& swatch : key.swatches)
    {
        addRectangle(*vertices, *colors, swatch.box, swatch.color, swatch.color);
        geode->addDrawable(createText(info, swatch.name));
    }

    shapes->setVertexArray(vertices.get());
    shapes->setColorArray(colors.get(), osg::Array::BIND_PER_VERTEX);
    shapes->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices->size())));
    return createOverlay(geode.get(), "colour key");
}
