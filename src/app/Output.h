#ifndef LINKMAP_APP_OUTPUT
#define LINKMAP_APP_OUTPUT 1

#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <network/InputError.h>
#include <scene/OutputError.h>
#include <scene/SiteLayout.h>
#include <scene/VectorFigure.h>
#include <view/ViewState.h>

#include <osg/ArgumentParser>
#include <osg/Vec4>

#include <stdexcept>
#include <string>

/** What a run makes of the network. */
enum class OutputKind
{
    /** The interactive window. */
    Window,
    /** A raster image of the window's first view, saved after a second. */
    RasterImage,
    /** A vector figure painted from the records, without a window. */
    VectorFigure,
    /** The network as drawn, as GraphML, without a window. */
    NetworkFile,
    /** One HTML file that draws the first view in a browser and turns it, written without a window. */
    WebPage,
    /** The scene as glTF, for 3D tools, written without a window. */
    SceneFile,
    /** A PyMOL script that draws the network on its structure, written without a window. */
    PymolScript,
    /** The structure with its residues' measures in the B-factor and occupancy columns, as PDB. */
    MeasuredStructure
};

/** Whether an output of kind draws the network's scene: each but the network file and the measured structure,
 *  which need only the records and their places (the scene file and the PyMOL script frame their cameras as
 *  the window does). */
bool drawsScene(OutputKind kind);

/** Whether an output of kind needs a display: the window and the raster image it saves. */
bool needsDisplay(OutputKind kind);

/** The output of a run, and how it looks. */
struct Output
{
    OutputKind kind = OutputKind::Window;

    /** The file an image or a figure is written to. */
    std::string file;

    /** The format of a vector figure. */
    FigureFormat figureFormat = FigureFormat::Svg;

    /** The colour behind the network, and the labels' colour. */
    osg::Vec4 background{0.2f, 0.2f, 0.4f, 1.0f};
    osg::Vec4 textColor{1.0f, 1.0f, 1.0f, 1.0f};
};

/** Takes --generate-image and --background from arguments. The image's extension chooses the output: .svg,
 *  .pdf and .eps in any case a vector figure, .graphml the network file, .html and .htm the web page, .glb
 * and .gltf the scene file, .pml the PyMOL script, .pdb the measured structure, an image format the toolkit
 * writes (.png, .jpg, .bmp, .tif ...) a raster image; without one, the window. Throws OutputError for a name
 * of no format linkmap writes, and for a file of the structure where settings give none or show the network
 * of communities in place of the sites, before anything is read or drawn. A black background is dark grey,
 * white is light grey with black labels, and anything else keeps the dark blue. */
Output readOutput(osg::ArgumentParser& arguments, const Settings& settings);

/** Writes the structure the sites of network stand on (at layout) as PDB to output's file, each residue's
 *  B-factor its site's betweenness and its occupancy its site's community, and prints what it has to note.
 *  Throws OutputError, saying why, when the file cannot be written. */
void writeMeasuredStructure(const Output& output, const CorrelationNetwork& network, const SiteLayout& layout,
                            const ChainTrace& structure);

/** Writes network, set out as layout, to output's network file, with the paths view asks for, if any, found
 *  and listed first. Throws OutputError, saying why, when the file cannot be written. */
void writeNetworkFile(const Output& output, const CorrelationNetwork& network, const SiteLayout& layout,
                      ViewState& view);

#endif
