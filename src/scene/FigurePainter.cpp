#include <network/ValidText.h>
#include <scene/ColorKey.h>
#include <scene/FigurePainter.h>
#include <scene/GlyphStyle.h>
#include <scene/LabelStyle.h>
#include <scene/Overlay.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{

// Below this width in pixels a sphere or link is one flat colour, the mean of its shading: its gradient could
// not be told apart, and would only make the file larger.
const double shadedPixels = 3.0;

// How near the eye a point may come and still be drawn, in scene units.
const double nearest = 1e-3;

const char* const fontFamily = "Liberation Sans";

double channel(float value)
{
    return std::isfinite(value) ? std::clamp(static_cast<double>(value), 0.0, 1.0) : 0.0;
}

Rgb rgbOf(const osg::Vec4& color)
{
    return Rgb{channel(color.r()), channel(color.g()), channel(color.b())};
}

Rgb lit(const Rgb& color, double cosine)
{
    const double share = LinkLook::lightShare(cosine);
    return Rgb{color.red * share, color.green * share, color.blue * share};
}

// Where the camera puts scene points on the page, in pixels from the top left corner.
class Projection
{
public:
    Projection(const FigureView& view)
        : viewMatrix(view.view), projection(view.projection), width(view.width), height(view.height),
          unitPixels(view.projection(1, 1) * view.height / 2.0)
    {
    }

    osg::Vec3d toEye(const osg::Vec3& point) const
    {
        return osg::Vec3d(point) * viewMatrix;
    }

    /** The page point of an eye-space point in front of the eye. */
    osg::Vec2d toPage(const osg::Vec3d& eye) const
    {
        const osg::Vec4d clip = osg::Vec4d(eye, 1.0) * projection;
        return osg::Vec2d((clip.x() / clip.w() + 1.0) * 0.5 * width,
                          (1.0 - clip.y() / clip.w()) * 0.5 * height);
    }

    /** How many pixels a scene unit across the line of sight covers at an eye-space point. */
    double pixelsPerUnit(const osg::Vec3d& eye) const
    {
        return unitPixels / -eye.z();
    }

    bool onPage(const osg::Vec2d& point, double reach) const
    {
        return point.x() + reach >= 0.0 && point.x() - reach <= width && point.y() + reach >= 0.0 &&
               point.y() - reach <= height;
    }

    double getWidth() const
    {
        return width;
    }

    double getHeight() const
    {
        return height;
    }

private:
    osg::Matrixd viewMatrix;
    osg::Matrixd projection;
    double width;
    double height;
    double unitPixels;
};

class FigurePainter
{
public:
    FigurePainter(cairo_t* context, const FigureContent& shown, const FigureView& view, bool textsApart)
        : cairo(context), content(shown), projection(view), textsLater(textsApart)
    {
        cairo_select_font_face(cairo, fontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_set_font_options(cairo, options);
        cairo_font_options_destroy(options);
    }

    void paint()
    {
        const Rgb background = rgbOf(content.background);
        cairo_set_source_rgb(cairo, background.red, background.green, background.blue);
        cairo_paint(cairo);
        if (!content.figureStyle)
            paintTrace();
        paintGlyphs();
        paintLabels();
        paintOverlays();
    }

    /** The texts kept apart from the drawing, in the order they go on the page. */
    const std::vector<PageText>& getTexts() const
    {
        return texts;
    }

private:
    // One sphere or link, and how far it is: the eye-space z of its centre, more negative farther away.
    struct Element
    {
        double depth;
        bool sphere;
        std::size_t index;
        /** A half of a segment of a figure's trace tube (index among traceHalves), not a link. */
        bool trace = false;
    };

    /** A half of a segment of the trace, from a point to the middle of the segment, in the point's colour. */
    struct TraceHalf
    {
        osg::Vec3 from;
        osg::Vec3 to;
        osg::Vec4 color;
    };
    std::vector<TraceHalf> traceHalves;

    void paintGlyphs()
    {
        std::vector<Element> elements;
        elements.reserve(content.sites.size() + content.links.size());
        for (std::size_t site = 0; site < content.sites.size(); ++site)
            elements.push_back(Element{projection.toEye(content.sites[site]).z(), true, site});
        const std::size_t siteCount = content.sites.size();
        for (std::size_t link = 0; link < content.links.size(); ++link)
        {
            const SiteLink& each = content.links[link];
            const std::uint8_t regions = link < content.linkRegions.size() ? content.linkRegions[link] : 0;
            if (each.first >= siteCount || each.second >= siteCount || !content.filter.shows(each, regions))
                continue;
            const osg::Vec3 middle = (content.sites[each.first] + content.sites[each.second]) * 0.5f;
            elements.push_back(Element{projection.toEye(middle).z(), false, link});
        }
        // A figure's trace is a tube among the spheres and links, each half of a segment in its end's colour.
        if (content.figureStyle)
        {
            const bool coloured = content.traceColors.size() == content.trace.size();
            for (std::size_t run = 0; run < content.trace.size(); ++run)
                for (std::size_t i = 1; i < content.trace[run].size(); ++i)
                {
                    const osg::Vec3& a = content.trace[run][i - 1];
                    const osg::Vec3& b = content.trace[run][i];
                    const osg::Vec3 middle = (a + b) * 0.5f;
                    const auto colorAt = [&](std::size_t at) {
                        const osg::Vec4 color = coloured && at < content.traceColors[run].size()
                                                    ? content.traceColors[run][at]
                                                    : GlyphStyle::traceColor;
                        return content.traceDimmed ? dimmedColor(color, content.background) : color;
                    };
                    for (const TraceHalf& half :
                         {TraceHalf{a, middle, colorAt(i - 1)}, TraceHalf{b, middle, colorAt(i)}})
                    {
                        elements.push_back(Element{projection.toEye((half.from + half.to) * 0.5f).z(), false,
                                                   traceHalves.size(), true});
                        traceHalves.push_back(half);
                    }
                }
        }
        // Back to front; at the same depth links first, as the spheres they end in hide their ends.
        std::sort(elements.begin(), elements.end(), [](const Element& a, const Element& b) {
            if (a.depth != b.depth)
                return a.depth < b.depth;
            if (a.sphere != b.sphere)
                return b.sphere;
            if (a.trace != b.trace)
                return a.trace;
            return a.index < b.index;
        });
        for (const Element& element : elements)
        {
            if (element.sphere)
                paintSphere(element.index);
            else if (element.trace)
            {
                const TraceHalf& half = traceHalves[element.index];
                osg::Vec3d start = projection.toEye(half.from);
                osg::Vec3d end = projection.toEye(half.to);
                if (clipToFront(start, end))
                    paintCylinder(start, end, GlyphStyle::traceTubeRadius, rgbOf(half.color));
                // The joint at the point, rounded as the tube bends there.
                paintBall(half.from, GlyphStyle::traceTubeRadius, rgbOf(half.color));
            }
            else
                paintLink(element.index);
        }
        // The rings round the paths' ends over everything, as the window draws them.
        for (const std::uint32_t end : content.pathEnds)
            if (end < content.sites.size())
                paintPathEndRing(end);
    }

    // Cuts off at the eye what lies behind it of the eye-space segment from start to end; false when all
    // of it does.
    static bool clipToFront(osg::Vec3d& start, osg::Vec3d& end)
    {
        if (-start.z() < nearest && -end.z() < nearest)
            return false;
        if (-start.z() < nearest || -end.z() < nearest)
        {
            osg::Vec3d& behind = -start.z() < nearest ? start : end;
            const osg::Vec3d& front = -start.z() < nearest ? end : start;
            const double share = (front.z() + nearest) / (front.z() - behind.z());
            behind = front + (behind - front) * share;
        }
        return true;
    }

    // The chain the sites stand on, a thin grey line beneath everything else, as the window draws it.
    void paintTrace()
    {
        if (content.trace.empty())
            return;
        if (content.traceColors.size() == content.trace.size())
            return paintColouredTrace();
        cairo_new_path(cairo);
        for (const std::vector<osg::Vec3>& run : content.trace)
        {
            for (std::size_t i = 1; i < run.size(); ++i)
            {
                osg::Vec3d start = projection.toEye(run[i - 1]);
                osg::Vec3d end = projection.toEye(run[i]);
                if (!clipToFront(start, end))
                    continue;
                const osg::Vec2d p0 = projection.toPage(start);
                const osg::Vec2d p1 = projection.toPage(end);
                cairo_move_to(cairo, p0.x(), p0.y());
                cairo_line_to(cairo, p1.x(), p1.y());
            }
        }
        const Rgb grey = rgbOf(GlyphStyle::traceColor);
        cairo_set_source_rgb(cairo, grey.red, grey.green, grey.blue);
        cairo_set_line_width(cairo, GlyphStyle::tracePixels);
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cairo);
    }

    // The trace in the colours of its points, each segment shading from one end's to the other's, as the
    // window interpolates them.
    void paintColouredTrace()
    {
        cairo_set_line_width(cairo, GlyphStyle::tracePixels);
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
        for (std::size_t run = 0; run < content.trace.size(); ++run)
        {
            const std::vector<osg::Vec3>& points = content.trace[run];
            const std::vector<osg::Vec4>& colors = content.traceColors[run];
            for (std::size_t i = 1; i < points.size() && i < colors.size(); ++i)
            {
                osg::Vec3d start = projection.toEye(points[i - 1]);
                osg::Vec3d end = projection.toEye(points[i]);
                if (!clipToFront(start, end))
                    continue;
                const osg::Vec2d p0 = projection.toPage(start);
                const osg::Vec2d p1 = projection.toPage(end);
                cairo_pattern_t* shade = cairo_pattern_create_linear(p0.x(), p0.y(), p1.x(), p1.y());
                for (const auto& [offset, color] : {std::pair{0.0, colors[i - 1]}, std::pair{1.0, colors[i]}})
                {
                    const Rgb rgb = rgbOf(color);
                    cairo_pattern_add_color_stop_rgb(shade, offset, rgb.red, rgb.green, rgb.blue);
                }
                cairo_new_path(cairo);
                cairo_move_to(cairo, p0.x(), p0.y());
                cairo_line_to(cairo, p1.x(), p1.y());
                cairo_set_source(cairo, shade);
                cairo_stroke(cairo);
                cairo_pattern_destroy(shade);
            }
        }
    }

    float scaleOf(std::size_t site) const
    {
        return site < content.scales.size() ? content.scales[site] : 1.0f;
    }

    // The ring round a path's end, in the labels' colour.
    void paintPathEndRing(std::size_t site)
    {
        const double radius = content.glyphs.siteRadius * scaleOf(site) * PathEndMark::ringScale;
        const osg::Vec3d centre = projection.toEye(content.sites[site]);
        if (-centre.z() < nearest)
            return;
        const osg::Vec2d middle = projection.toPage(centre);
        const Rgb ring = rgbOf(content.textColor);
        cairo_new_path(cairo);
        cairo_arc(cairo, middle.x(), middle.y(), projection.pixelsPerUnit(centre) * radius, 0.0, 2.0 * M_PI);
        cairo_set_source_rgb(cairo, ring.red, ring.green, ring.blue);
        cairo_set_line_width(cairo, 2.0);
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cairo);
    }

    void paintSphere(std::size_t site)
    {
        osg::Vec4 color(1.0f, 1.0f, 1.0f, 1.0f);
        siteColor(content.colors, site, site < content.kinds.size() ? content.kinds[site] : RegionKind::None,
                  color);
        if (site < content.dimmedSites.size() && content.dimmedSites[site])
            color = dimmedColor(color, content.background);
        paintBall(content.sites[site], content.glyphs.siteRadius * content.sphereScale(site), rgbOf(color));
    }

    // A sphere of radius round the scene point at, lit from the eye; flat where it is too small for its
    // shading to show.
    void paintBall(const osg::Vec3& at, double radius, const Rgb& base)
    {
        const osg::Vec3d centre = projection.toEye(at);
        const double distance = centre.length();
        if (-centre.z() < radius + nearest || distance <= radius)
            return;
        // Seen in perspective, the outline is a little wider than the sphere.
        const osg::Vec2d middle = projection.toPage(centre);
        const double pixels = projection.pixelsPerUnit(centre) * radius * distance /
                              std::sqrt(distance * distance - radius * radius);
        if (!projection.onPage(middle, pixels))
            return;
        cairo_new_path(cairo);
        cairo_arc(cairo, middle.x(), middle.y(), pixels, 0.0, 2.0 * M_PI);
        if (pixels * 2.0 < shadedPixels)
        {
            // The mean over the disc of the cosine of a sphere lit from the eye is two thirds.
            const Rgb flat = lit(base, 2.0 / 3.0);
            cairo_set_source_rgb(cairo, flat.red, flat.green, flat.blue);
            cairo_fill(cairo);
            return;
        }
        // The brightest point is where the sphere faces the light, which shines from the eye along the axis.
        const osg::Vec2d bright = projection.toPage(centre + osg::Vec3d(0.0, 0.0, radius));
        cairo_pattern_t* shading =
            cairo_pattern_create_radial(bright.x(), bright.y(), 0.0, middle.x(), middle.y(), pixels);
        for (const double out : {0.0, 0.35, 0.55, 0.7, 0.82, 0.91, 0.97, 1.0})
        {
            const Rgb shade = lit(base, std::sqrt(std::max(0.0, 1.0 - out * out)));
            cairo_pattern_add_color_stop_rgb(shading, out, shade.red, shade.green, shade.blue);
        }
        cairo_set_source(cairo, shading);
        cairo_fill(cairo);
        cairo_pattern_destroy(shading);
    }

    void paintLink(std::size_t index)
    {
        const SiteLink& link = content.links[index];
        const osg::Vec3d a = content.sites[link.first];
        const osg::Vec3d b = content.sites[link.second];
        osg::Vec3d along = b - a;
        const double length = along.normalize();
        // The parts inside the two spheres never show; only what lies between their surfaces is drawn.
        const GlyphSizes& sizes = content.glyphs;
        const float radius = sizes.linkRadius *
                             (index < content.linkThickness.size() ? content.linkThickness[index] : 1.0f) *
                             LinkLook::linkWidth(link.weight, sizes.thinnestWeight, sizes.weightTop);
        const auto inside = [&](std::size_t site) {
            const float sphere = sizes.siteRadius * scaleOf(site);
            return std::sqrt(std::max(0.0f, sphere * sphere - radius * radius));
        };
        const float insideA = inside(link.first);
        const float insideB = inside(link.second);
        if (!(length > insideA + insideB))
            return;
        osg::Vec3d start = projection.toEye(a + along * insideA);
        osg::Vec3d end = projection.toEye(b - along * insideB);
        if (!clipToFront(start, end))
            return;
        osg::Vec4 color = weightColor(std::isfinite(link.weight) ? link.weight : 0.0f, sizes.weightTop);
        if (!content.emphasised.empty() && !content.emphasised[index])
            color = dimmedColor(color, content.background);
        paintCylinder(start, end, radius, rgbOf(color));
    }

    // A cylinder of radius from start to end, eye-space points in front of the eye, shaded across as lit
    // from the eye; flat where it is too thin for its shading to show.
    void paintCylinder(const osg::Vec3d& start, const osg::Vec3d& end, double radius, const Rgb& base)
    {
        const osg::Vec2d p0 = projection.toPage(start);
        const osg::Vec2d p1 = projection.toPage(end);
        const double half0 = radius * projection.pixelsPerUnit(start);
        const double half1 = radius * projection.pixelsPerUnit(end);
        osg::Vec2d across(p0.y() - p1.y(), p1.x() - p0.x());
        if (!(across.normalize() > 1e-9))
            return;
        const double reach = std::max(half0, half1);
        const osg::Vec2d low(std::min(p0.x(), p1.x()), std::min(p0.y(), p1.y()));
        const osg::Vec2d high(std::max(p0.x(), p1.x()), std::max(p0.y(), p1.y()));
        if (high.x() + reach < 0.0 || low.x() - reach > projection.getWidth() || high.y() + reach < 0.0 ||
            low.y() - reach > projection.getHeight())
            return;

        cairo_new_path(cairo);
        cairo_move_to(cairo, p0.x() + across.x() * half0, p0.y() + across.y() * half0);
        cairo_line_to(cairo, p1.x() + across.x() * half1, p1.y() + across.y() * half1);
        cairo_line_to(cairo, p1.x() - across.x() * half1, p1.y() - across.y() * half1);
        cairo_line_to(cairo, p0.x() - across.x() * half0, p0.y() - across.y() * half0);
        cairo_close_path(cairo);

        // Across the cylinder the normal turns from one side to the other; its share towards the eye is
        // smaller the more the cylinder points at the eye.
        osg::Vec3d axis = end - start;
        axis.normalize();
        const double facing = std::sqrt(std::max(0.0, 1.0 - axis.z() * axis.z()));
        if ((half0 + half1) < shadedPixels)
        {
            // The mean of the cosine across a cylinder lit from the eye is a quarter of pi.
            const Rgb flat = lit(base, facing * M_PI / 4.0);
            cairo_set_source_rgb(cairo, flat.red, flat.green, flat.blue);
            cairo_fill(cairo);
            return;
        }
        const osg::Vec2d middle = (p0 + p1) * 0.5;
        const double half = (half0 + half1) * 0.5;
        cairo_pattern_t* shading =
            cairo_pattern_create_linear(middle.x() - across.x() * half, middle.y() - across.y() * half,
                                        middle.x() + across.x() * half, middle.y() + across.y() * half);
        for (const double place : {0.0, 0.15, 0.5, 0.85, 1.0})
        {
            const double side = place * 2.0 - 1.0;
            const Rgb shade = lit(base, facing * std::sqrt(std::max(0.0, 1.0 - side * side)));
            cairo_pattern_add_color_stop_rgb(shading, place, shade.red, shade.green, shade.blue);
        }
        cairo_set_source(cairo, shading);
        cairo_fill(cairo);
        cairo_pattern_destroy(shading);
    }

    // The text with its ink centred on (x, y), at size pixels; extents, when asked, takes its ink's.
    PageText centredText(const std::string& text, double x, double y, double size, const Rgb& color,
                         cairo_text_extents_t* inked = nullptr)
    {
        cairo_set_font_size(cairo, size);
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, text.c_str(), &extents);
        if (inked != nullptr)
            *inked = extents;
        return PageText{text,
                        x - (extents.x_bearing + extents.width / 2.0),
                        y - (extents.y_bearing + extents.height / 2.0),
                        size,
                        color,
                        std::nullopt};
    }

    void write(const PageText& text)
    {
        if (textsLater)
        {
            texts.push_back(text);
            return;
        }
        cairo_set_font_size(cairo, text.size);
        cairo_move_to(cairo, text.x, text.y);
        if (text.halo)
        {
            // The outline first, as wide each way as the window's, then the letters over it.
            cairo_text_path(cairo, text.text.c_str());
            cairo_set_source_rgb(cairo, text.halo->red, text.halo->green, text.halo->blue);
            cairo_set_line_width(cairo, 2.0 * LabelStyle::haloWidth * text.size);
            cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke(cairo);
            cairo_move_to(cairo, text.x, text.y);
        }
        cairo_set_source_rgb(cairo, text.color.red, text.color.green, text.color.blue);
        cairo_show_text(cairo, text.text.c_str());
        cairo_new_path(cairo);
    }

    // Every site's name, centred two units below the site, at the size the window gives it there. A figure
    // style's labels keep apart, outlined in the background's colour.
    void paintLabels()
    {
        const Rgb color = rgbOf(content.textColor);
        const std::optional<Rgb> halo =
            content.figureStyle ? std::optional<Rgb>(rgbOf(content.background)) : std::nullopt;
        std::vector<ScreenLabel> labels;
        std::vector<PageText> placed(content.sites.size());
        for (std::size_t site = 0; site < content.sites.size() && site < content.names.size(); ++site)
        {
            const osg::Vec3 anchor = content.glyphs.sized(scaleOf(site)).labelAnchor(content.sites[site]);
            const osg::Vec3d eye = projection.toEye(anchor);
            if (-eye.z() < nearest)
                continue;
            const double size = content.glyphs.labelHeight * projection.pixelsPerUnit(eye);
            const osg::Vec2d at = projection.toPage(eye);
            const std::string& name = content.names[site];
            if (!projection.onPage(at, size * static_cast<double>(name.size())))
                continue;
            cairo_text_extents_t extents;
            placed[site] = centredText(validText(name), at.x(), at.y(), size, color, &extents);
            placed[site].halo = halo;
            const double padding = halo ? LabelStyle::haloWidth * size + 1.0 : 0.0;
            labels.push_back(ScreenLabel{
                static_cast<std::uint32_t>(site), static_cast<float>(at.x()), static_cast<float>(at.y()),
                static_cast<float>(extents.width / 2.0 + padding),
                static_cast<float>(extents.height / 2.0 + padding), static_cast<float>(-eye.z())});
        }
        std::vector<bool> shown(content.sites.size(), true);
        if (content.figureStyle)
        {
            orderByPreference(labels, content.labelPreference);
            shown = keepApart(labels, content.sites.size());
        }
        for (std::size_t site = 0; site < placed.size(); ++site)
            if (shown[site] && !placed[site].text.empty())
                write(placed[site]);
    }

    // A text of the overlays, placed as the window aligns it: its origin's left, middle or right at x.
    void overlayText(const std::string& text, double x, double y, int alignment)
    {
        const double unit = projection.getHeight() / overlayWindowHeight;
        const double size = overlayTextHeight * unit;
        cairo_set_font_size(cairo, size);
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, text.c_str(), &extents);
        double left = x * unit;
        if (alignment == 0)
            left -= extents.x_bearing + extents.width / 2.0;
        else if (alignment > 0)
            left -= extents.x_bearing + extents.width;
        write(PageText{text, left, projection.getHeight() - y * unit, size, rgbOf(content.textColor),
                       std::nullopt});
    }

    void overlayBox(double left, double bottom, double right, double top)
    {
        const double unit = projection.getHeight() / overlayWindowHeight;
        const double height = projection.getHeight();
        cairo_new_path(cairo);
        cairo_rectangle(cairo, left * unit, height - top * unit, (right - left) * unit,
                        (top - bottom) * unit);
    }

    void paintOverlays()
    {
        if (content.colorKey)
        {
            // The key as the window lays it out: the bar of link colours with its
            // texts, then every swatch with its name.
            const ColorKeyLayout key = layOutColorKey(content.keyRegions, content.keyCommunities,
                                                      content.keySizeNote, content.keyWeights);
            const double unit = projection.getHeight() / overlayWindowHeight;
            overlayBox(key.bar.left, key.bar.bottom, key.bar.right, key.bar.top);
            cairo_pattern_t* bar =
                cairo_pattern_create_linear(key.bar.left * unit, 0.0, key.bar.right * unit, 0.0);
            for (const ColorKeyLayout::BarStop& stop : key.barStops)
            {
                const Rgb color = rgbOf(stop.color);
                cairo_pattern_add_color_stop_rgb(bar, stop.share, color.red, color.green, color.blue);
            }
            cairo_set_source(cairo, bar);
            cairo_fill(cairo);
            cairo_pattern_destroy(bar);
            for (const KeyText& text : key.barTexts)
                overlayText(text.text, text.x, text.y, text.alignment);
            if (!key.sizeNote.text.empty())
                overlayText(key.sizeNote.text, key.sizeNote.x, key.sizeNote.y, key.sizeNote.alignment);
            for (const ColorKeyLayout::Swatch& swatch : key.swatches)
            {
                const Rgb color = rgbOf(swatch.color);
                overlayBox(swatch.box.left, swatch.box.bottom, swatch.box.right, swatch.box.top);
                cairo_set_source_rgb(cairo, color.red, color.green, color.blue);
                cairo_fill(cairo);
                overlayText(validText(swatch.name.text), swatch.name.x, swatch.name.y, swatch.name.alignment);
            }
        }
        paintCornerText();
    }

    // The corner's lines, the top of their ink and its left edge at the margin from the top left corner.
    void paintCornerText()
    {
        if (content.cornerText.empty())
            return;
        const double unit = projection.getHeight() / overlayWindowHeight;
        const double size = overlayTextHeight * unit;
        cairo_set_font_size(cairo, size);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start <= content.cornerText.size())
        {
            const std::size_t end = std::min(content.cornerText.find('\n', start), content.cornerText.size());
            lines.push_back(validText(content.cornerText.substr(start, end - start)));
            start = end + 1;
        }
        double left = 0.0;
        double top = 0.0;
        for (std::size_t i = 0; i < lines.size(); ++i)
        {
            cairo_text_extents_t extents;
            cairo_text_extents(cairo, lines[i].c_str(), &extents);
            left = i == 0 ? extents.x_bearing : std::min(left, extents.x_bearing);
            if (i == 0)
                top = extents.y_bearing;
        }
        const double margin = 2.0 * unit;
        for (std::size_t i = 0; i < lines.size(); ++i)
            write(PageText{lines[i], margin - left, margin - top + static_cast<double>(i) * size, size,
                           rgbOf(content.textColor), std::nullopt});
    }

    cairo_t* cairo;
    const FigureContent& content;
    Projection projection;
    bool textsLater;
    std::vector<PageText> texts;
};

} // namespace

std::vector<PageText> paintFigure(cairo_t* cairo, const FigureContent& content, const FigureView& view,
                                  bool textsApart)
{
    FigurePainter painter(cairo, content, view, textsApart);
    painter.paint();
    return painter.getTexts();
}
