#ifndef LINKMAP_SCENE_VECTORFIGURE
#define LINKMAP_SCENE_VECTORFIGURE 1

#include <scene/FigureContent.h>
#include <scene/OutputError.h>

#include <string>

/** The vector formats a figure can be written in. */
enum class FigureFormat
{
    Svg,
    Pdf,
    Eps
};

/** The vector format a file's extension names, in any case: .svg, .pdf or .eps; false for any other. */
bool figureFormatOf(const std::string& fileName, FigureFormat& format);

/** Writes content as seen through view to fileName, a page of the window's size, in format: every site a disc
 *  shaded as the lit sphere, every link a band shaded across as its cylinder, painted back to front, then the
 *  labels as text in Liberation Sans, then the overlays. What falls outside the page is left out. Throws
 *  OutputError, saying why, when the file cannot be written. */
void writeVectorFigure(const std::string& fileName, FigureFormat format, const FigureContent& content,
                       const FigureView& view);

#endif
