#include <app/CommandLine.h>
#include <app/Explorer.h>
#include <network/InputFormat.h>
#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <network/RegionKind.h>
#include <network/TextFields.h>
#include <network/ValidText.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace
{

// Only files that can be read as a stream of text are accepted: regular files, pipes and terminals. For one
// that exists but may not be read, the reason goes to standard error beside the refusal.
bool isReadableFile(const std::string& path)
{
    // "-" is standard input, which is read as it comes.
    if (path == "-")
        return true;
    if (access(path.c_str(), R_OK) != 0)
    {
        const int reason = errno;
        if (reason != ENOENT && reason != ENOTDIR)
        {
            std::string text = std::strerror(reason);
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
            std::fprintf(stderr, "linkmap: %s: %s\n", inputName(path).c_str(), text.c_str());
        }
        return false;
    }
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return false;
    return S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
}

// Reads one option's path and checks it at once, before the next option is read.
void readCheckedOption(osg::ArgumentParser& arguments, const char* option, std::string& path)
{
    if (arguments.read(option, osg::ArgumentParser::Parameter(path)))
        checkInputFile(path, "a region list");
}

// The formats their names choose: ".csv, .tsv: a matrix or a pair list, as the shape says; .graphml: GraphML;
// ...", from the table of formats.
std::string formatsByName()
{
    std::string text;
    for (const InputFormatEntry& entry : inputFormats)
    {
        std::string names;
        for (const char* extension : entry.extensions)
            if (extension != nullptr)
                names += (names.empty() ? "" : ", ") + std::string(extension);
        if (!names.empty())
            text += (text.empty() ? "" : "; ") + names + ": " + entry.what;
    }
    return text;
}

// text in lines of at most width characters, broken at spaces, each ended.
std::string wrapped(const std::string& text, std::size_t width)
{
    std::string lines;
    for (const std::string& line : wrapText(text, width))
        lines += line + "\n";
    return lines;
}

} // namespace

void describeUsage(osg::ArgumentParser& arguments)
{
    osg::ApplicationUsage* usage = arguments.getApplicationUsage();
    usage->setApplicationName(arguments.getApplicationName());
    usage->setDescription(arguments.getApplicationName());
    usage->setCommandLineUsage(arguments.getApplicationName() + " <linkmap-file>");
    for (const RegionKindEntry& entry : regionKinds)
        usage->addCommandLineOption(std::string(entry.option) + " <" + entry.word + "-file>", " ", "");
    usage->addCommandLineOption("--generate-image <filename>", "Save an screenshoot image and exit", "");
    usage->addCommandLineOption("--background <color>",
                                "Set the background color: black, white, blue (default)", "");
}

Request readRequest(osg::ArgumentParser& arguments)
{
    if (arguments.argc() != 2)
        return Request::Run;
    const std::string only = arguments.argv()[1];
    if (only == "--help" || only == "-h")
        return Request::Help;
    if (only == "--version")
        return Request::Version;
    return Request::Run;
}

bool answerRequest(osg::ArgumentParser& arguments, std::ostream& out)
{
    switch (readRequest(arguments))
    {
    case Request::Help:
        writeHelp(arguments, out);
        return true;
    case Request::Version:
        writeVersion(out);
        return true;
    case Request::Run:
        break;
    }
    return false;
}

void writeHelp(osg::ArgumentParser& arguments, std::ostream& out)
{
    // The usage line as the usage record writes it, then every option with what it does: the record's own
    // options leave the region lists' explanations blank.
    out << "Usage: " << arguments.getApplicationName() << " <linkmap-file>\nOptions:\n";
    osg::ref_ptr<osg::ApplicationUsage> optionUsage = new osg::ApplicationUsage;
    for (const RegionKindEntry& entry : regionKinds)
        optionUsage->addCommandLineOption(std::string(entry.option) + " <" + entry.word + "-file>",
                                          std::string("The ") + entry.word +
                                              " region list: site numbers and ranges of them (10-50), one a "
                                              "line; its sites are drawn in their region's colour");
    optionUsage->addCommandLineOption("--generate-image <filename>",
                                      "Save an image, a figure, a web page, a scene or the network (by the "
                                      "name's extension, below) and exit");
    optionUsage->addCommandLineOption("--background <color>",
                                      "Set the background color: black, white, blue (default)");
    std::string options;
    optionUsage->getFormattedString(options, optionUsage->getCommandLineOptions());
    out << options;
    out << "\nAt most nine arguments may follow the program's name; with more, the usage is printed and the "
           "exit\nstatus is 1.\n\n"
        << wrapped(
               "The network file may also be, by its name (" + formatsByName() +
                   "), in any case and compressed or not (.gz), or by what its content proves. "
                   "--generate-image writes a vector figure for .svg, .pdf and .eps, the network as GraphML "
                   "for .graphml, a web page that turns in any browser for .html and .htm, a glTF scene for "
                   ".glb and .gltf, on a structure (LINKMAP_STRUCTURE) a PyMOL script for .pml and the "
                   "structure "
                   "with each residue's betweenness as its B-factor and community as its occupancy for .pdb, "
                   "and an image of the window for .png, .jpg, .bmp, .tif and the toolkit's "
                   "other image formats; a name of no format linkmap writes is refused before anything is "
                   "read.",
               100);

    // The window's keys and gestures, from the table of keys, in its order, and the trackball's buttons.
    out << "\nIn the window (and, but for those marked, in the web page):\n" << describeWindowKeys(80);

    osg::ref_ptr<osg::ApplicationUsage> environmentUsage = new osg::ApplicationUsage;
    osg::ApplicationUsage& environment = *environmentUsage;
    environment.addEnvironmentalVariable("DISPLAY", "The X display the window opens on");
    environment.addEnvironmentalVariable("OSG_WINDOW \"x y width height\"",
                                         "The window's place and size, and so the size of a saved image");
    environment.addEnvironmentalVariable("OSG_SCREEN <number>", "The screen the window opens on");
    environment.addEnvironmentalVariable(
        "OSG_MULTI_SAMPLES <number>",
        "Samples a pixel: a saved image always gets them, the window where the display offers them");
    environment.addEnvironmentalVariable(
        "LINKMAP_KEY 1", "Draw a key to the link and region colours in the bottom left corner");
    environment.addEnvironmentalVariable("LINKMAP_IMAGE_SECONDS <seconds>",
                                         "How long --generate-image shows the scene before it saves a raster "
                                         "image: 0 to 3600, 1 by default (0: the first frame)");
    environment.addEnvironmentalVariable("LINKMAP_CUTOFF <weight>",
                                         "Hide the links whose |weight| is below this number, from 0 to 1, "
                                         "in the window and in a saved image");
    std::string regionWords;
    for (const RegionKindEntry& entry : regionKinds)
        regionWords += (regionWords.empty() ? "" : "|") + std::string(entry.word);
    environment.addEnvironmentalVariable("LINKMAP_REGION " + regionWords,
                                         "Show only the links that touch a site of that region's list, which "
                                         "must be given, in the window and in a saved image");
    environment.addEnvironmentalVariable("LINKMAP_SELECT <site>",
                                         "Pick the site of that name from the start, as a click does, in the "
                                         "window and in a saved image");
    environment.addEnvironmentalVariable(
        "LINKMAP_FROM <site>, LINKMAP_TO <site>",
        "Find the shortest paths between these two sites over the links "
        "shown, a link as long as -ln|weight| (|weight| held at 0.9999): list "
        "them after the log, and "
        "draw them thicker in a saved figure and in GraphML's paths");
    environment.addEnvironmentalVariable(
        "LINKMAP_PATHS <k>", "How many paths, the shortest and the next loopless ones: 1 to 1000, "
                             "10 by default");
    environment.addEnvironmentalVariable(
        "LINKMAP_VIEW \"$(cat linkmap-1.view)\"",
        "Start from the view the c key saved: the eye, the centre and the up "
        "direction, nine numbers, in the window and in a saved image");
    std::string formatWords;
    for (const InputFormatEntry& entry : inputFormats)
        if (entry.word != nullptr)
            formatWords += (formatWords.empty() ? "" : "|") + std::string(entry.word);
    environment.addEnvironmentalVariable(
        "LINKMAP_FORMAT " + formatWords,
        "Read the network in this format, whatever its name and content say (" + formatsByName() +
            "; any other name: as the content proves, with a note, and text "
            "that is no format read is refused; a group file only when its "
            "lines are group lines; gzip is read uncompressed whatever the "
            "name)");
    environment.addEnvironmentalVariable(
        "LINKMAP_WEIGHT_COLUMN <name|number>",
        "The column of a pair list that gives the weights, by its header's "
        "name or its number from 1 (the last column of numbers), or the edge "
        "attribute of a graph (weight)");
    environment.addEnvironmentalVariable(
        "LINKMAP_P_VALUE <p>", "A HyPhy FEL, SLAC or MEME result given as a region list calls a site "
                               "selected at this p-value or below (0.1)");
    environment.addEnvironmentalVariable(
        "LINKMAP_POSTERIOR <probability>",
        "A HyPhy FUBAR result given as a region list calls a site selected at "
        "this posterior or above (0.9)");
    environment.addEnvironmentalVariable(
        "LINKMAP_SEQUENCE <file.fasta|file.nex|file.aln>",
        "Name a site known by its number by that letter of this sequence, as in K45; without it, X45. Of an "
        "alignment (FASTA, NEXUS or Clustal, codons or amino acids), site k is column k (codon k, as HyPhy "
        "numbers them), named by the reference's own residue there and numbered along it without gaps");
    environment.addEnvironmentalVariable(
        "LINKMAP_REFERENCE <name>", "The sequence of LINKMAP_SEQUENCE's alignment that names and numbers "
                                    "the sites (the first by default); with LINKMAP_STRUCTURE, it is "
                                    "aligned to the chain and each site stands on the residue its own "
                                    "aligns to");
    environment.addEnvironmentalVariable("LINKMAP_FIRST_NUMBER <number>",
                                         "The number of a matrix's first row and of the sequence's first "
                                         "letter (1)");
    environment.addEnvironmentalVariable(
        "LINKMAP_MIN_WEIGHT <weight>", "Leave out of a matrix, pair list or GraphML the links whose |weight| "
                                       "is below this (0: none); unset, HyPhy's BGM result shows the pairs "
                                       "at its own threshold");
    environment.addEnvironmentalVariable(
        "LINKMAP_GROUPS communities|components|one|betweenness|walktrap|greedy|infomap",
        "The rings of a network read without them: a ring a community found by Leiden (the default), a "
        "connected component, one ring, or a community of Girvan and Newman's edge betweenness, walktrap, "
        "fast "
        "greedy or infomap, as bio3d's cna finds and numbers them, each link weighing -ln|w|");
    environment.addEnvironmentalVariable(
        "LINKMAP_COMMUNITIES <file.csv>",
        "Also write the sites' communities to this table: a row a site, with its residue, its community as "
        "bio3d's cna numbers them, its betweenness and its degree");
    environment.addEnvironmentalVariable(
        "LINKMAP_WEIGHTS correlation|probability|score|distance",
        "What the weights are, where the file does not say: a correlation drawn from red through yellow to "
        "green, a probability on a sequential ramp from 0 to 1, a score on one from 0 to the largest; "
        "distance: lengths -ln|c|, as bio3d's cna writes its network, each drawn as |c| = e^-w");
    environment.addEnvironmentalVariable("LINKMAP_COLOR regions|community",
                                         "What the spheres are coloured by; unset, by regions where a region "
                                         "list is given or the file gave its rings, else by community");
    environment.addEnvironmentalVariable(
        "LINKMAP_STYLE plain|figure", "figure: links as thick as they are strong, from the weakest shown at "
                                      "the start to three times that at 1, a first view that fills the "
                                      "frame, the paths' ends marked and the sites on no path dimmed, and "
                                      "labels that never overlap (the pick's, the paths', then the more "
                                      "central keep theirs), outlined in the background's colour; unset, "
                                      "figure for a network read without rings or on a structure, plain for "
                                      "a group file");
    environment.addEnvironmentalVariable(
        "LINKMAP_COARSE 0|1", "1: show the network of communities instead of the sites: a sphere "
                              "each at the centre of its sites, sized by how many they are, joined "
                              "by the strongest link between them");
    environment.addEnvironmentalVariable(
        "LINKMAP_SCENE_LABELS 0|1", "1: a .glb or .gltf scene carries every site's name, outlined, on a quad "
                                    "facing its first view, in a mesh of its own (labels)");
    environment.addEnvironmentalVariable("LINKMAP_SIZE same|betweenness|degree|selection",
                                         "What the spheres are sized by: all the same (the default), "
                                         "betweenness or degree over the links shown at the start, or how "
                                         "surely the first HyPhy selection result calls the site (-log10 p, "
                                         "or the posterior), the largest three times the smallest");
    environment.addEnvironmentalVariable("LINKMAP_LAYOUT rings|force",
                                         "Where the sites stand without a structure: on rings (the default), "
                                         "or where their links pull them (igraph's Fruchterman-Reingold in "
                                         "3D, the same on every run)");
    environment.addEnvironmentalVariable(
        "LINKMAP_SCALE none|max", "max: divide every weight by the largest |weight| before it is drawn "
                                  "and logged");
    environment.addEnvironmentalVariable(
        "LINKMAP_STRUCTURE <file.pdb|file.cif>",
        "Stand every site at its residue's C-alpha (C4' of a nucleotide) in "
        "this PDB or mmCIF structure, gzipped or not, over the chain's trace");
    environment.addEnvironmentalVariable("LINKMAP_CHAIN <name>|all|A,B",
                                         "The structure's chain the sites stand on (the first that holds a "
                                         "polymer); all or a list: those chains' residues numbered 1 to N in "
                                         "file order, a matrix's named rows each on its own chain (P1:B)");
    environment.addEnvironmentalVariable(
        "LINKMAP_RESIDUE_OFFSET <number>",
        "Added to the structure's residue numbers to give the sites' numbers "
        "(0)");
    environment.addEnvironmentalVariable(
        "LINKMAP_CONTACT <angstroms>",
        "Keep only the links between residues of the structure in contact, as bio3d's cmap finds them: two "
        "heavy atoms closer than this, three or more residues apart");
    std::string text;
    environment.getFormattedString(text, environment.getEnvironmentalVariables());
    out << "\nEnvironment:\n" << text;
}

void writeVersion(std::ostream& out)
{
    out << "linkmap " << LINKMAP_VERSION << "\n";
}

void checkArgumentCount(osg::ArgumentParser& arguments)
{
    if (arguments.argc() >= 2 && arguments.argc() <= 10)
        return;
    // The options, as the refusal; main ends it with the line end that the usage's own last line has.
    std::ostringstream usage;
    arguments.getApplicationUsage()->write(usage, osg::ApplicationUsage::COMMAND_LINE_OPTION, 80, false);
    std::string text = usage.str();
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    // Too many is a mistake the usage alone does not show.
    if (arguments.argc() > 10)
        text += "\nAt most nine arguments may follow the program's name; this run had " +
                std::to_string(arguments.argc() - 1);
    throw InputError(text);
}

void checkInputFile(std::string path, const char* expected)
{
    if (isDirectoryPath(path))
        throw InputError("Error: " + inputName(path) + " is a directory, not " + expected);
    if (isReadableFile(path))
        return;
    throw InputError("Error: No se encontro el fichero de entrada " + validText(path));
}

InputFiles readInputFiles(osg::ArgumentParser& arguments)
{
    InputFiles files;
    // The first argument is the group file, whatever it looks like.
    files.groupFile = arguments.argv()[1];
    arguments.remove(1, 1);
    checkInputFile(files.groupFile);

    for (const RegionKindEntry& entry : regionKinds)
        readCheckedOption(arguments, entry.option, files.*entry.listFile);
    return files;
}
