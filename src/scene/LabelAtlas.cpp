#include <network/ValidText.h>
#include <scene/LabelAtlas.h>
#include <scene/LabelStyle.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{

const char* const fontFamily = "Liberation Sans";

// The tallest a name is drawn, and the least, in pixels.
constexpr double tallest = 48.0;
constexpr double least = 4.0;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

Context contextOf(cairo_surface_t* surface, double size)
{
    Context cairo(cairo_create(surface), &cairo_destroy);
    cairo_select_font_face(cairo.get(), fontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo.get(), size);
    return cairo;
}

struct Box
{
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
};

// The boxes of names of text size in rows of width, and the height they take; each box is as wide as its
// name's advance and as tall as the font, with the halo and a pixel all round.
double packRows(const std::vector<double>& advances, double size, double width, double rowHeight,
                std::vector<Box>& boxes)
{
    const double halo = LabelStyle::haloWidth * size + 1.0;
    boxes.assign(advances.size(), Box{});
    double x = 0.0;
    double y = 0.0;
    for (std::size_t name = 0; name < advances.size(); ++name)
    {
        const double boxWidth = std::min(std::ceil(advances[name] * size + 2.0 * halo), width);
        if (x + boxWidth > width && x > 0.0)
        {
            x = 0.0;
            y += rowHeight;
        }
        boxes[name] = Box{x, y, boxWidth};
        x += boxWidth;
    }
    return advances.empty() ? 0.0 : y + rowHeight;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

LabelAtlas drawLabelAtlas(const std::vector<std::string>& names, const osg::Vec4& textColor,
                          const osg::Vec4& haloColor, int largest)
{
    LabelAtlas atlas;
    if (names.empty())
        return atlas;
    // Every name's advance at a size of 1, and the font's height.
    Surface scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1), &cairo_surface_destroy);
    Context measure = contextOf(scratch.get(), 100.0);
    std::vector<std::string> texts;
    std::vector<double> advances;
    for (const std::string& name : names)
    {
        texts.push_back(validText(name));
        cairo_text_extents_t extents;
        cairo_text_extents(measure.get(), texts.back().c_str(), &extents);
        advances.push_back(std::max(extents.x_advance, 0.0) / 100.0);
    }
    cairo_font_extents_t font;
    cairo_font_extents(measure.get(), &font);
    const double ascent = font.ascent / 100.0;
    const double fontHeight = (font.ascent + font.descent) / 100.0;

    // The largest size at which the rows fit: from the tallest down, a tenth at a time.
    const double width = largest;
    double size = tallest;
    std::vector<Box> boxes;
    double height = 0.0;
    for (;; size = std::max(least, size * 0.9))
    {
        const double rowHeight = std::ceil(fontHeight * size + 2.0 * (LabelStyle::haloWidth * size + 1.0));
        height = packRows(advances, size, width, rowHeight, boxes);
        if (height <= largest || size <= least)
            break;
    }
    const double rowHeight = std::ceil(fontHeight * size + 2.0 * (LabelStyle::haloWidth * size + 1.0));
    double used = 0.0;
    for (const Box& box : boxes)
        used = std::max(used, box.x + box.width);
    atlas.width = static_cast<int>(std::max(1.0, used));
    atlas.height = static_cast<int>(std::min<double>(std::max(1.0, height), largest));

    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, atlas.width, atlas.height),
                    &cairo_surface_destroy);
    Context cairo = contextOf(surface.get(), size);
    cairo_set_line_join(cairo.get(), CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cairo.get(), 2.0 * LabelStyle::haloWidth * size);
    const double halo = LabelStyle::haloWidth * size + 1.0;
    for (std::size_t name = 0; name < boxes.size(); ++name)
    {
        const Box& box = boxes[name];
        // Names past the picture's foot, at the least size, get no box of their own.
        if (box.y + rowHeight > atlas.height)
        {
            atlas.places.push_back(LabelAtlas::Place{});
            continue;
        }
        cairo_new_path(cairo.get());
        cairo_move_to(cairo.get(), box.x + halo, box.y + halo + ascent * size);
        cairo_text_path(cairo.get(), texts[name].c_str());
        cairo_set_source_rgba(cairo.get(), haloColor.r(), haloColor.g(), haloColor.b(), 1.0);
        cairo_stroke_preserve(cairo.get());
        cairo_set_source_rgba(cairo.get(), textColor.r(), textColor.g(), textColor.b(), 1.0);
        cairo_fill(cairo.get());
        atlas.places.push_back(LabelAtlas::Place{
            static_cast<float>(box.x / atlas.width), static_cast<float>(box.y / atlas.height),
            static_cast<float>((box.x + box.width) / atlas.width),
            static_cast<float>((box.y + rowHeight) / atlas.height), static_cast<float>(box.width / size),
            static_cast<float>(rowHeight / size)});
    }
    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png_stream(surface.get(), appendBytes, &atlas.png) != CAIRO_STATUS_SUCCESS)
        atlas.png.clear();
    return atlas;
}
