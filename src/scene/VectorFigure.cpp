#include <network/NumberText.h>
#include <network/ValidText.h>
#include <scene/FigurePainter.h>
#include <scene/LabelStyle.h>
#include <scene/VectorFigure.h>

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace
{

std::string percent(double value)
{
    return printfText("%.1f%%", value * 100.0);
}

// Where cairo writes a file: into memory, or straight to an open file, noting the first error.
struct Output
{
    std::FILE* file = nullptr;
    std::string* memory = nullptr;
    int error = 0;
};

cairo_status_t writeOutput(void* closure, const unsigned char* data, unsigned int length)
{
    auto* output = static_cast<Output*>(closure);
    if (output->memory != nullptr)
    {
        output->memory->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }
    if (std::fwrite(data, 1, length, output->file) != length)
    {
        output->error = output->error != 0 ? output->error : errno;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

// The texts of an SVG figure as text elements, in Liberation Sans, selectable and editable.
std::string svgTexts(const std::vector<PageText>& texts)
{
    std::string elements = "<g style=\"font-family:'Liberation Sans',sans-serif;font-style:normal;"
                           "font-weight:normal;stroke:none;\">\n";
    for (const PageText& text : texts)
    {
        elements += printfText("<text x=\"%.2f\" y=\"%.2f\" font-size=\"%.3f\" fill=\"rgb(", text.x, text.y,
                               text.size);
        elements += percent(text.color.red) + "," + percent(text.color.green) + "," +
                    percent(text.color.blue) + ")\"";
        // An outline under the letters, as wide each way as the window's.
        if (text.halo)
        {
            const std::string width = printfText("%.3f", 2.0 * LabelStyle::haloWidth * text.size);
            elements += std::string(" stroke=\"rgb(") + percent(text.halo->red) + "," +
                        percent(text.halo->green) + "," + percent(text.halo->blue) + ")\" stroke-width=\"" +
                        width + "\" stroke-linejoin=\"round\" paint-order=\"stroke\"";
        }
        elements += " xml:space=\"preserve\">" + escapeXml(text.text) + "</text>\n";
    }
    return elements + "</g>\n";
}

} // namespace

bool figureFormatOf(const std::string& fileName, FigureFormat& format)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos)
        return false;
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::pair<const char*, FigureFormat> formats[] = {
        {"svg", FigureFormat::Svg}, {"pdf", FigureFormat::Pdf}, {"eps", FigureFormat::Eps}};
    for (const auto& [name, each] : formats)
    {
        if (extension == name)
        {
            format = each;
            return true;
        }
    }
    return false;
}

namespace
{

// What stopped the writing, or nothing when it was written.
std::string vectorFigureFailure(const std::string& fileName, FigureFormat format,
                                const FigureContent& content, const FigureView& view)
{
    if (view.width <= 0 || view.height <= 0)
        return "the page has no size";
    Output output;
    std::string svg;
    output.file = std::fopen(fileName.c_str(), "wb");
    if (output.file == nullptr)
        return std::strerror(errno);
    if (format == FigureFormat::Svg)
        output.memory = &svg;

    const double width = view.width;
    const double height = view.height;
    cairo_surface_t* surface = nullptr;
    switch (format)
    {
    case FigureFormat::Svg:
        surface = cairo_svg_surface_create_for_stream(writeOutput, &output, width, height);
        cairo_svg_surface_restrict_to_version(surface, CAIRO_SVG_VERSION_1_1);
        cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
        break;
    case FigureFormat::Pdf:
        surface = cairo_pdf_surface_create_for_stream(writeOutput, &output, width, height);
        break;
    case FigureFormat::Eps:
        surface = cairo_ps_surface_create_for_stream(writeOutput, &output, width, height);
        cairo_ps_surface_set_eps(surface, 1);
        break;
    }
    cairo_t* context = cairo_create(surface);
    const std::vector<PageText> texts = paintFigure(context, content, view, format == FigureFormat::Svg);
    cairo_status_t status = cairo_status(context);
    cairo_destroy(context);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);

    // A stream's write error need not reach the surface's status.
    std::string failure;
    if (output.error != 0)
        failure = std::strerror(output.error);
    else if (status != CAIRO_STATUS_SUCCESS)
        failure = cairo_status_to_string(status);
    if (failure.empty() && format == FigureFormat::Svg)
    {
        // The labels and the overlays' words go last, as text, over everything cairo drew.
        const std::size_t close = svg.rfind("</svg>");
        if (close == std::string::npos)
            failure = "the drawing was not made";
        else
        {
            svg.insert(close, svgTexts(texts));
            if (std::fwrite(svg.data(), 1, svg.size(), output.file) != svg.size())
                failure = std::strerror(errno);
        }
    }
    if (std::fclose(output.file) != 0 && failure.empty())
        failure = std::strerror(errno);
    // What was written in part is taken away, unless it is no file of its own, such as a device.
    std::error_code ignored;
    if (!failure.empty() && std::filesystem::is_regular_file(fileName, ignored))
        std::remove(fileName.c_str());
    return failure;
}

} // namespace

void writeVectorFigure(const std::string& fileName, FigureFormat format, const FigureContent& content,
                       const FigureView& view)
{
    const std::string failure = vectorFigureFailure(fileName, format, content, view);
    if (!failure.empty())
        throw OutputError("Error: could not write the image " + fileName + ": " + failure);
}
