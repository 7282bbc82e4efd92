// The Python module linkmap: the command line's readers, analyses, layouts and writers, for notebooks. Every
// call holds the interpreter's lock throughout: the settings given stand for the whole process while a call
// reads them, and igraph keeps its state for the whole process.

#include <app/Display.h>
#include <app/OutputRun.h>
#include <app/Settings.h>
#include <app/SitePlacement.h>
#include <app/Stage.h>
#include <app/StartingView.h>
#include <network/InputError.h>
#include <network/LinkPaths.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <network/SiteMeasures.h>
#include <network/ValidText.h>
#include <scene/NetworkScene.h>
#include <scene/OutputError.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace py = pybind11;

namespace
{

/** One link as .links gives it: its two sites, by their places among .sites, and its weight. */
struct LinkRow
{
    std::uint32_t first;
    std::uint32_t second;
    double weight;
};

// The settings that choose how a network is read: given to read or Network, not to figure.
const char* const readingSettings[] = {"LINKMAP_FORMAT",       "LINKMAP_SEQUENCE",      "LINKMAP_REFERENCE",
                                       "LINKMAP_FIRST_NUMBER", "LINKMAP_MIN_WEIGHT",    "LINKMAP_GROUPS",
                                       "LINKMAP_SCALE",        "LINKMAP_WEIGHT_COLUMN", "LINKMAP_WEIGHTS",
                                       "LINKMAP_P_VALUE",      "LINKMAP_POSTERIOR",     "LINKMAP_CONTACT"};

// The region lists a keyword names, as -p, -n and -a do.
const std::pair<const char*, std::string InputFiles::*> regionKeywords[] = {
    {"positive", &InputFiles::positiveFile},
    {"negative", &InputFiles::negativeFile},
    {"accelerated", &InputFiles::acceleratedFile}};

// A keyword's value as its setting's text: True and False as 1 and 0, anything else as Python writes it.
std::string settingValue(const py::handle& value)
{
    if (py::isinstance<py::bool_>(value))
        return value.cast<bool>() ? "1" : "0";
    if (py::isinstance<py::str>(value))
        return value.cast<std::string>();
    return py::str(value).cast<std::string>();
}

// Keywords made settings by their names (min_weight: LINKMAP_MIN_WEIGHT); the region lists' go to files.
std::map<std::string, std::string> settingsOf(const py::kwargs& keywords, InputFiles* files = nullptr)
{
    std::map<std::string, std::string> settings;
    for (const auto& [key, value] : keywords)
    {
        const std::string word = key.cast<std::string>();
        const auto region = std::find_if(std::begin(regionKeywords), std::end(regionKeywords),
                                         [&word](const auto& entry) { return word == entry.first; });
        if (region != std::end(regionKeywords) && files != nullptr)
        {
            files->*(region->second) = settingValue(value);
            continue;
        }
        std::string name = "LINKMAP_";
        for (const char c : word)
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (std::find_if(std::begin(settingNames), std::end(settingNames),
                         [&name](const char* known) { return name == known; }) == std::end(settingNames))
            throw InputError("Error: linkmap has no setting " + validText(word));
        settings[name] = settingValue(value);
    }
    return settings;
}

} // namespace

/** A network read, as the command line reads it, with the settings it was read by. */
class Network
{
public:
    Network(const InputFiles& files, std::map<std::string, std::string> settings, const MatrixArray* array)
        : inputFiles(files), given(std::move(settings))
    {
        const SettingsGiven scope(given);
        const Settings read = readSettings(inputFiles);
        ReadSettings reading = read.reading;
        reading.array = array;
        LoadProgress quiet;
        source = readNetwork(inputFiles.groupFile, reading, network, quiet);
        classifyRegions(network, readRegionLists(inputFiles, read.reading.selection));
    }

    py::list sites() const
    {
        py::list names;
        for (const std::string& name : network.names)
            names.append(py::str(name));
        return names;
    }

    py::array links() const
    {
        py::array_t<LinkRow> rows(static_cast<py::ssize_t>(network.linkCount()));
        auto row = rows.mutable_unchecked<1>();
        for (std::size_t link = 0; link < network.linkCount(); ++link)
            row(static_cast<py::ssize_t>(link)) =
                LinkRow{network.links[link].first, network.links[link].second, network.exactWeight(link)};
        return std::move(rows);
    }

    py::array_t<std::uint32_t> communities(const std::string& method) const
    {
        // The method's word alone is read, by the settings' own check.
        const SettingsGiven scope({{"LINKMAP_GROUPS", method}});
        const Settings read = readSettings(inputFiles);
        const std::vector<std::uint32_t> found = findCommunities(network, read.reading.grouping);
        py::array_t<std::uint32_t> numbers(static_cast<py::ssize_t>(found.size()));
        for (std::size_t site = 0; site < found.size(); ++site)
            numbers.mutable_at(static_cast<py::ssize_t>(site)) = found[site] + 1;
        return numbers;
    }

    py::array_t<double> betweenness() const
    {
        if (siteBetweennessTakesTooLong(network.siteCount(), network.linkCount()))
            throw InputError("Error: the betweenness of " + std::to_string(network.siteCount()) +
                             " sites and " + std::to_string(network.linkCount()) +
                             " links would take more than half a minute");
        const std::vector<double> found = siteBetweenness(network, LinkFilter{});
        return py::array_t<double>(static_cast<py::ssize_t>(found.size()), found.data());
    }

    py::list paths(const std::string& from, const std::string& to, std::size_t count) const
    {
        const std::size_t start = siteNamed(from);
        const std::size_t end = siteNamed(to);
        if (count < 1 || count > mostPaths)
            throw InputError("Error: k must be from 1 to " + std::to_string(mostPaths));
        const PathSearch found = findPaths(network, static_cast<std::uint32_t>(start),
                                           static_cast<std::uint32_t>(end), count, LinkFilter{});
        py::list paths;
        for (const SitePath& path : found.paths)
        {
            py::list names;
            for (const std::uint32_t site : path.sites)
                names.append(py::str(network.names[site]));
            paths.append(py::make_tuple(names, path.length));
        }
        return paths;
    }

    std::shared_ptr<Network> onStructure(const std::string& path, const py::kwargs& keywords) const
    {
        auto placed = std::make_shared<Network>(*this);
        placed->given["LINKMAP_STRUCTURE"] = path;
        for (const auto& [name, value] : settingsOf(keywords))
            placed->given[name] = value;
        return placed;
    }

    /** Makes what the command line makes of this network for --generate-image file, by its settings and
     *  those given. */
    void save(const std::string& file, const std::map<std::string, std::string>& settings) const
    {
        std::map<std::string, std::string> all = given;
        for (const auto& [name, value] : settings)
        {
            if (std::find_if(std::begin(readingSettings), std::end(readingSettings),
                             [&name = name](const char* reading) { return name == reading; }) !=
                std::end(readingSettings))
            {
                std::string keyword = name.substr(std::string("LINKMAP_").size());
                for (char& c : keyword)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                throw InputError("Error: " + keyword +
                                 " chooses how the network is read: give it to "
                                 "linkmap.read or linkmap.Network");
            }
            all[name] = value;
        }
        const SettingsGiven scope(all);
        const Settings read = readSettings(inputFiles);
        std::vector<std::string> words = {"linkmap", "--generate-image", file};
        std::vector<char*> pointers;
        for (std::string& word : words)
            pointers.push_back(word.data());
        int count = static_cast<int>(pointers.size());
        osg::ArgumentParser arguments(&count, pointers.data());
        const Output output = readOutput(arguments, read);
        if (output.kind == OutputKind::Window)
            throw OutputError(
                "Error: linkmap's module saves figures to files; the window is the command line's");
        // An image of the window is drawn on the display, as the command line draws it.
        watchDisplay(output);
        CorrelationNetwork shown = network;
        const SiteLayout layout = arrangeSites(shown, source, read, output.kind);
        LoadProgress quiet;
        const LabelStyle style = labelStyleOf(output);
        const NetworkScene scene = drawNetwork(shown, layout, style, output, quiet);
        ViewState view = startingView(read, shown);
        const RunInput input{inputFiles, read, output, shown, layout, scene, style, view};
        makeOutput(arguments, input);
    }

private:
    std::size_t siteNamed(const std::string& name) const
    {
        const std::size_t site = network.findSite(name);
        if (site >= network.siteCount())
            throw InputError("Error: " + validText(name) + " names no site of the network");
        return site;
    }

    InputFiles inputFiles;
    std::map<std::string, std::string> given;
    CorrelationNetwork network;
    NetworkSource source;
};

/** A figure of a network: what the command line draws of it, by the settings given. */
class Figure
{
public:
    Figure(std::shared_ptr<const Network> network_, std::map<std::string, std::string> settings_)
        : network(std::move(network_)), settings(std::move(settings_))
    {
    }

    void save(const std::string& file) const
    {
        network->save(file, settings);
    }

    /** The page itself, inline in a notebook: self-contained, in a frame of its own. */
    std::string html() const
    {
        const std::filesystem::path folder = std::filesystem::temp_directory_path();
        const std::filesystem::path page = folder / ("linkmap-figure-" + std::to_string(::getpid()) + "-" +
                                                     std::to_string(++pages) + ".html");
        save(page.string());
        std::ifstream in(page, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        in.close();
        std::filesystem::remove(page);
        std::string escaped;
        for (const char c : text.str())
            escaped += c == '&' ? std::string("&amp;") : c == '"' ? std::string("&quot;") : std::string(1, c);
        return "<iframe srcdoc=\"" + escaped +
               "\" style=\"width: 100%; height: 640px; border: none\" "
               "title=\"linkmap\"></iframe>";
    }

private:
    std::shared_ptr<const Network> network;
    std::map<std::string, std::string> settings;
    static inline unsigned pages = 0;
};

PYBIND11_MODULE(linkmap, module)
{
    module.doc() =
        "linkmap: correlation networks of residues, read, analysed and drawn as the command line does";
    PYBIND11_NUMPY_DTYPE(LinkRow, first, second, weight);
    static py::exception<InputError> inputError(module, "InputError");
    static py::exception<OutputError> outputError(module, "OutputError");
    py::register_exception_translator([](std::exception_ptr thrown) {
        try
        {
            if (thrown)
                std::rethrow_exception(thrown);
        }
        catch (const InputError& error)
        {
            inputError(error.what());
        }
        catch (const OutputError& error)
        {
            outputError(error.what());
        }
        catch (const NetworkTooLarge& error)
        {
            inputError(
                (std::string("Error: the network has ") + error.what() + "; linkmap cannot show it").c_str());
        }
    });

    py::class_<Network, std::shared_ptr<Network>>(
        module, "Network", "A network of sites and weighted links, read as linkmap reads it")
        .def(py::init([](py::object given, py::object names, py::kwargs keywords) {
                 // The matrix is read in place, float32 or float64, in whatever order numpy holds it; a
                 // pandas DataFrame's index names its rows.
                 if (py::hasattr(given, "to_numpy") && py::hasattr(given, "index"))
                 {
                     if (names.is_none())
                         names = given.attr("index");
                     given = given.attr("to_numpy")();
                 }
                 const py::array matrix = py::array::ensure(given);
                 if (!matrix)
                     throw InputError("Error: the matrix given is no array");
                 MatrixArray array;
                 const py::buffer_info cells = matrix.request();
                 if (cells.ndim != 2 || cells.shape[0] != cells.shape[1])
                     throw InputError(
                         "Error: the matrix given is not square: a matrix of links has as many rows "
                         "as columns");
                 if (cells.format == py::format_descriptor<float>::format())
                     array.singlePrecision = true;
                 else if (cells.format != py::format_descriptor<double>::format())
                     throw InputError("Error: the matrix given holds " + cells.format +
                                      " items; linkmap reads float32 and float64");
                 array.data = cells.ptr;
                 array.size = static_cast<std::size_t>(cells.shape[0]);
                 array.rowStep = cells.strides[0];
                 array.columnStep = cells.strides[1];
                 if (!names.is_none())
                     for (const py::handle name : names)
                         array.names.push_back(py::str(name).cast<std::string>());
                 InputFiles files;
                 files.groupFile = "the matrix given";
                 std::map<std::string, std::string> settings = settingsOf(keywords, &files);
                 return std::make_shared<Network>(files, std::move(settings), &array);
             }),
             py::arg("matrix"), py::arg("names") = py::none(),
             "A network of the square matrix given (a numpy array of float32 or float64, read in place, or a "
             "pandas "
             "DataFrame, whose index names its rows), by the settings given")
        .def_property_readonly("sites", &Network::sites, "The sites' names, in order")
        .def_property_readonly(
            "links", &Network::links,
            "The links, one a row: first and second, the places of their sites among .sites, "
            "and weight")
        .def("communities", &Network::communities, py::arg("method") = "communities",
             "Each site's community, numbered from 1, the largest first, as LINKMAP_GROUPS's method finds "
             "them")
        .def("betweenness", &Network::betweenness, "Each site's betweenness, a link as long as -ln|w|")
        .def("paths", &Network::paths, py::arg("a"), py::arg("b"), py::arg("k") = 10,
             "The k shortest loopless paths from a to b: each its sites' names and its length")
        .def("on_structure", &Network::onStructure, py::arg("path"),
             "The same network, its sites standing on the residues of the structure at path")
        .def(
            "figure",
            [](std::shared_ptr<Network> network, py::kwargs keywords) {
        return Figure(std::move(network), settingsOf(keywords));
            },
            "A figure of the network, by the settings given")
        .def("save", [](const Network& network, const std::string& file) { network.save(file, {}); });

    py::class_<Figure>(module, "Figure", "What linkmap draws of a network")
        .def("save", &Figure::save, py::arg("file"),
             "Writes what the command line writes for a file of that name: .svg, .pdf, .eps, .html, .glb, "
             ".gltf, "
             ".graphml, .pml or .pdb, and on a display an image of the window (.png, .jpg ...)")
        .def("_repr_html_", &Figure::html);

    module.def(
        "read",
        [](const std::string& path, py::kwargs keywords) {
        InputFiles files;
        files.groupFile = path;
        std::map<std::string, std::string> settings = settingsOf(keywords, &files);
        return std::make_shared<Network>(files, std::move(settings), nullptr);
        },
        py::arg("path"), "Reads any network file the command line reads, by the settings given");
}
