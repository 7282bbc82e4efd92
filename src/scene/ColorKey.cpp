#include <scene/ColorKey.h>
#include <scene/GlyphStyle.h>
#include <scene/Overlay.h>

#include <osg/Geode>
#include <osg/Geometry>
#include <osgText/Text>

namespace
{

// Sizes in the key's units, a hundredth of the window's height.
const float margin = 2.0f;
const float barWidth = 24.0f;
const float barHeight = 2.5f;
const float rowHeight = 3.6f;

osg::ref_ptr<osgText::Text> createText(const ColorKeyInfo& info, const std::string& text, const osg::Vec3& at,
                                       osgText::Text::AlignmentType alignment)
{
    osg::ref_ptr<osgText::Text> label = new osgText::Text;
    label->setFont(info.font.get());
    label->setCharacterSize(overlayTextHeight);
    label->setColor(info.textColor);
    label->setAlignment(alignment);
    label->setPosition(at);
    label->setText(text);
    return label;
}

// A rectangle from corner to corner, its colours given at the left and right edges.
void addRectangle(osg::Vec3Array& vertices, osg::Vec4Array& colors, float left, float bottom, float right,
                  float top, const osg::Vec4& leftColor, const osg::Vec4& rightColor)
{
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

osg::ref_ptr<osg::Node> createColorKey(const ColorKeyInfo& info)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    osg::ref_ptr<osg::Geometry> shapes = new osg::Geometry;
    geode->addDrawable(shapes.get());

    // The weight bar: link colours change linearly from -1 to 0 and from 0 to +1.
    float y = margin + overlayTextHeight + 1.0f;
    const float middle = margin + barWidth / 2.0f;
    addRectangle(*vertices, *colors, margin, y, middle, y + barHeight, weightColor(-1.0f), weightColor(0.0f));
    addRectangle(*vertices, *colors, middle, y, margin + barWidth, y + barHeight, weightColor(0.0f),
                 weightColor(1.0f));
    geode->addDrawable(
        createText(info, "-1", osg::Vec3(margin, margin, 0.0f), osgText::Text::LEFT_BASE_LINE));
    geode->addDrawable(
        createText(info, "0", osg::Vec3(middle, margin, 0.0f), osgText::Text::CENTER_BASE_LINE));
    geode->addDrawable(
        createText(info, "+1", osg::Vec3(margin + barWidth, margin, 0.0f), osgText::Text::RIGHT_BASE_LINE));
    y += barHeight + 1.0f;
    geode->addDrawable(
        createText(info, "link weight", osg::Vec3(margin, y, 0.0f), osgText::Text::LEFT_BASE_LINE));
    y += rowHeight;

    // A swatch per region kind given, the last one given on top.
    for (const auto& [kind, name] : keySwatches(info.regions))
    {
        osg::Vec4 color;
        if (!regionColor(kind, color))
            continue;
        addRectangle(*vertices, *colors, margin, y, margin + barHeight, y + barHeight, color, color);
        geode->addDrawable(createText(info, name, osg::Vec3(margin + barHeight + 1.0f, y + 0.3f, 0.0f),
                                      osgText::Text::LEFT_BASE_LINE));
        y += rowHeight;
    }

    shapes->setVertexArray(vertices.get());
    shapes->setColorArray(colors.get(), osg::Array::BIND_PER_VERTEX);
    shapes->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices->size())));
    return createOverlay(geode.get(), "colour key");
}
