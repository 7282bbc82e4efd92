#include <app/Output.h>
#include <network/ValidText.h>
#include <scene/MoleculeFiles.h>
#include <scene/NetworkFile.h>
#include <scene/SceneFile.h>
#include <scene/WebPage.h>

#include <osgDB/FileNameUtils>
#include <osgDB/Registry>

#include <cstdio>

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

Output readOutput(osg::ArgumentParser& arguments, const Settings& settings)
{
    Output output;
    std::string file;
    if (arguments.read("--generate-image", osg::ArgumentParser::Parameter(file)))
    {
        output.file = file;
        MoleculeFormat molecule = MoleculeFormat::PymolScript;
        output.kind = isNetworkFileName(file)                     ? OutputKind::NetworkFile
                      : isWebPageName(file)                       ? OutputKind::WebPage
                      : isSceneFileName(file)                     ? OutputKind::SceneFile
                      : figureFormatOf(file, output.figureFormat) ? OutputKind::VectorFigure
                      : !moleculeFormatOf(file, molecule)         ? OutputKind::RasterImage
                      : molecule == MoleculeFormat::PymolScript   ? OutputKind::PymolScript
                                                                  : OutputKind::MeasuredStructure;
        // Told before anything is read or drawn, as every output is decided here.
        if (output.kind == OutputKind::RasterImage && !writesImage(file))
            throw OutputError(
                "Error: linkmap cannot write " + validText(file) +
                ": its name ends in no format linkmap writes (an image: .png, .jpg, .bmp, .tif; a "
                "figure: .svg, .pdf, .eps; .html, .glb, .gltf, .graphml, .pml, .pdb)");
        // The files for molecular viewers draw on the structure's residues, the sites' own.
        const bool molecular =
            output.kind == OutputKind::PymolScript || output.kind == OutputKind::MeasuredStructure;
        if (molecular && !settings.structure)
            throw OutputError("Error: linkmap writes " + validText(file) +
                              " of the structure the sites stand on, and LINKMAP_STRUCTURE names none");
        if (molecular && settings.coarse)
            throw OutputError("Error: linkmap writes " + validText(file) +
                              " of the sites on their residues, and LINKMAP_COARSE=1 shows their communities "
                              "in their place");
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
    return kind != OutputKind::NetworkFile && kind != OutputKind::MeasuredStructure;
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

void writeMeasuredStructure(const Output& output, const CorrelationNetwork& network, const SiteLayout& layout,
                            const ChainTrace& structure)
{
    for (const std::string& note : writeMeasuredStructure(network, structure, layout.residueOf, output.file))
        std::printf("%s\n", note.c_str());
}
