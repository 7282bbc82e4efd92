#include <app/Output.h>
#include <network/ValidText.h>
#include <scene/NetworkFile.h>
#include <scene/SceneFile.h>
#include <scene/WebPage.h>

#include <osgDB/FileNameUtils>
#include <osgDB/Registry>

namespace
{

// Whether the toolkit has a writer of images for the name's extension: .png, .jpg, .bmp, .tif and others.
bool writesImage(const std::string& file)
{
    const std::string extension = osgDB::getLowerCaseFileExtension(file);
    if (extension.empty())
        return false;
    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension(extension);
    return writer != nullptr && (writer->supportedFeatures() & osgDB::ReaderWriter::FEATURE_WRITE_IMAGE) != 0;
}

} // namespace

Output readOutput(osg::ArgumentParser& arguments)
{
    Output output;
    std::string file;
    if (arguments.read("--generate-image", osg::ArgumentParser::Parameter(file)))
    {
        output.file = file;
        output.kind = isNetworkFileName(file)                     ? OutputKind::NetworkFile
                      : isWebPageName(file)                       ? OutputKind::WebPage
                      : isSceneFileName(file)                     ? OutputKind::SceneFile
                      : figureFormatOf(file, output.figureFormat) ? OutputKind::VectorFigure
                                                                  : OutputKind::RasterImage;
        // Told before anything is read or drawn, as every output is decided here.
        if (output.kind == OutputKind::RasterImage && !writesImage(file))
            throw OutputError(
                "Error: linkmap cannot write " + validText(file) +
                ": its name ends in no format linkmap writes (an image: .png, .jpg, .bmp, .tif; a "
                "figure: .svg, .pdf, .eps; .html, .glb, .gltf, .graphml)");
    }
    std::string backgroundName;
    if (arguments.read("--background", osg::ArgumentParser::Parameter(backgroundName)))
    {
        if (backgroundName == "black")
            output.background.set(0.2f, 0.2f, 0.2f, 0.0f);
        if (backgroundName == "white")
        {
            output.background.set(0.8f, 0.8f, 0.8f, 0.0f);
            output.textColor.set(0.0f, 0.0f, 0.0f, 1.0f);
        }
    }
    return output;
}

bool drawsScene(OutputKind kind)
{
    return kind != OutputKind::NetworkFile;
}

bool needsDisplay(OutputKind kind)
{
    return kind == OutputKind::Window || kind == OutputKind::RasterImage;
}

void writeNetworkFile(const Output& output, const CorrelationNetwork& network, const SiteLayout& layout,
                      ViewState& view)
{
    findViewPaths(view, network);
    writeGraphml(network, layout, output.file, view.paths ? &*view.paths : nullptr);
}
