#ifndef LINKMAP_SCENE_FIGUREPAINTER
#define LINKMAP_SCENE_FIGUREPAINTER 1

#include <scene/FigureContent.h>

#include <cairo.h>

#include <optional>
#include <string>
#include <vector>

struct Rgb
{
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

// A text to be written on the page: at its origin, in pixels, at a size in pixels.
struct PageText
{
    std::string text;
    double x = 0.0;
    double y = 0.0;
    double size = 0.0;
    Rgb color;
    /** The colour of the outline round the text's letters, when it has one. */
    std::optional<Rgb> halo;
};

/** Paints the figure of content, seen as view, with cairo: the background, the spheres and links back to
 *  front, the labels, and the overlays. With textsApart, every word is left off the drawing and returned,
 *  to be written as text; otherwise nothing is returned. */
std::vector<PageText> paintFigure(cairo_t* cairo, const FigureContent& content, const FigureView& view,
                                  bool textsApart);

#endif
