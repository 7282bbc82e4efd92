#include <network/IgraphCall.h>
#include <network/LineReader.h>
#include <network/LinkCollector.h>
#include <network/NetworkReader.h>
#include <network/SiteNames.h>
#include <network/TextFields.h>

#include <igraph/igraph.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <strings.h>

namespace
{

// What igraph said of the last error, kept by the handler that also frees what the failed call held.
thread_local std::string igraphReason;

void keepReason(const char* reason, const char*, int, igraph_error_t)
{
    IGRAPH_FINALLY_FREE();
    igraphReason = reason != nullptr ? reason : "";
}

// igraph's own reader of a format, with the attribute table its names and weights are read into.
igraph_error_t readWithIgraph(InputFormat format, igraph_t& graph, std::FILE* file)
{
    igraph_set_attribute_table(&igraph_cattribute_table);
    igraph_set_error_handler(keepReason);
    igraph_set_warning_handler(igraph_warning_handler_ignore);
    switch (format)
    {
    case InputFormat::Gml:
        return igraph_read_graph_gml(&graph, file);
    case InputFormat::Pajek:
        return igraph_read_graph_pajek(&graph, file);
    case InputFormat::Lgl:
        return igraph_read_graph_lgl(&graph, file, true, IGRAPH_ADD_WEIGHTS_IF_PRESENT, false);
    default:
        return igraph_read_graph_ncol(&graph, file, nullptr, true, IGRAPH_ADD_WEIGHTS_IF_PRESENT, false);
    }
}

const char* formatName(InputFormat format)
{
    switch (format)
    {
    case InputFormat::Gml:
        return "GML";
    case InputFormat::Pajek:
        return "a Pajek network";
    case InputFormat::Lgl:
        return "LGL";
    case InputFormat::Sif:
        return "SIF";
    case InputFormat::Adjlist:
        return "an adjacency list";
    default:
        return "NCOL";
    }
}

// An igraph graph that is destroyed when it goes.
struct OwnedGraph
{
    igraph_t graph;
    bool made = false;
    ~OwnedGraph()
    {
        if (made)
            igraph_destroy(&graph);
    }
};

// The names of the attributes of one kind of element (vertices or edges) that hold type.
std::vector<std::string> attributesOf(const igraph_t& graph, bool edges, int type)
{
    igraph_strvector_t names[3];
    igraph_vector_int_t types[3];
    for (int each = 0; each < 3; ++each)
    {
        igraph_strvector_init(&names[each], 0);
        igraph_vector_int_init(&types[each], 0);
    }
    std::vector<std::string> found;
    if (igraph_cattribute_list(&graph, &names[0], &types[0], &names[1], &types[1], &names[2], &types[2]) ==
        IGRAPH_SUCCESS)
    {
        const int kind = edges ? 2 : 1;
        for (igraph_integer_t at = 0; at < igraph_strvector_size(&names[kind]); ++at)
            if (VECTOR(types[kind])[at] == type)
                found.emplace_back(igraph_strvector_get(&names[kind], at));
    }
    for (int each = 0; each < 3; ++each)
    {
        igraph_strvector_destroy(&names[each]);
        igraph_vector_int_destroy(&types[each]);
    }
    return found;
}

std::string unweightedNote(const std::string& shownName)
{
    return "Note: " + shownName + " gives no weights; every link weighs 1";
}

// The number of vertices a Pajek file declares on its *Vertices line, which igraph makes before it reads on:
// 0 when the first 64 KiB of the text have none.
long long declaredVertices(const std::string& text)
{
    const std::string_view start = std::string_view(text).substr(0, 64 * 1024);
    for (std::size_t line = 0; line < start.size(); line = start.find('\n', line) + 1)
    {
        const std::size_t first = start.find_first_not_of(" \t", line);
        if (first != std::string::npos && start.size() - first > 9 &&
            strncasecmp(start.data() + first, "*vertices", 9) == 0)
            return std::strtoll(std::string(start.substr(first + 9, 32)).c_str(), nullptr, 10);
        if (start.find('\n', line) == std::string::npos)
            break;
    }
    return 0;
}

// More vertices than any network linkmap shows, which igraph would make before a line of them is read.
const long long mostDeclaredVertices = 10000000;

ImportReport readThroughIgraph(const std::string& path, InputFormat format, const ReadSettings& settings,
                               CorrelationNetwork& network)
{
    const std::string shownName = inputName(path);
    // The whole text first: igraph's scanners abort the process when a read of their stream fails, as a
    // damaged gzip stream's would, so they read from memory, which never fails.
    std::string text = readWholeText(path);
    if (format == InputFormat::Pajek)
        if (const long long declared = declaredVertices(text); declared > mostDeclaredVertices)
            throw InputError("Error: " + shownName + " declares " + std::to_string(declared) +
                             " vertices, more than the " + std::to_string(mostDeclaredVertices) +
                             " that linkmap reads");
    OwnedGraph owned;
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> input(fmemopen(text.data(), text.size(), "r"),
                                                              &std::fclose);
        if (input == nullptr)
            throw InputError("Error: cannot read " + shownName + " from memory");
        igraphReason.clear();
        const igraph_error_t result = readWithIgraph(format, owned.graph, input.get());
        igraph_set_error_handler(igraph_error_handler_ignore);
        if (result != IGRAPH_SUCCESS)
            throw InputError("Error: " + shownName + " is not " + formatName(format) +
                             " that igraph reads: " +
                             (igraphReason.empty() ? igraph_strerror(result) : igraphReason.substr(0, 200)));
        owned.made = true;
    }
    const igraph_t& graph = owned.graph;

    // The sites' names: the labels of networkx's GML, the names of igraph's and of LGL and NCOL, Pajek's ids;
    // else the vertices' numbers, from 1 as Pajek counts them.
    const std::vector<std::string> textual = attributesOf(graph, false, IGRAPH_ATTRIBUTE_STRING);
    std::string naming;
    for (const char* name : {"label", "name", "id"})
        if (naming.empty() && std::find(textual.begin(), textual.end(), name) != textual.end())
            naming = name;
    // A site is made when a link first meets it: the vertices of no link are only counted, however many a
    // Pajek file declares.
    const SiteNamer namer(settings);
    const igraph_integer_t vertices = igraph_vcount(&graph);
    const std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> sites(static_cast<std::size_t>(vertices), none);
    const auto siteOf = [&](igraph_integer_t vertex) {
        std::uint32_t& site = sites[static_cast<std::size_t>(vertex)];
        if (site == none)
        {
            const char* given = naming.empty() ? nullptr : VAS(&graph, naming.c_str(), vertex);
            const std::string name = given != nullptr && *given != '\0'
                                         ? std::string(given)
                                         : namer.nameOf(static_cast<long>(vertex) + 1);
            site = network.addSite(name).first;
        }
        return site;
    };

    // The weights: the attribute weight, or LINKMAP_WEIGHT_COLUMN's, else the one attribute of numbers.
    ImportReport report;
    report.format = format;
    namer.tell(report);
    const std::vector<std::string> numeric = attributesOf(graph, true, IGRAPH_ATTRIBUTE_NUMERIC);
    std::string names;
    for (const std::string& each : numeric)
        names += (names.empty() ? "" : ", ") + each;
    const std::string wanted = settings.weightColumn.empty() ? "weight" : settings.weightColumn;
    std::string weighing;
    if (std::find(numeric.begin(), numeric.end(), wanted) != numeric.end())
        weighing = wanted;
    else if (!settings.weightColumn.empty())
        throw InputError("Error: LINKMAP_WEIGHT_COLUMN is " + wanted + ", but the edges of " + shownName +
                         " have no such attribute" +
                         (names.empty() ? std::string() : "; their attributes of numbers are " + names));
    else if (numeric.size() == 1)
    {
        weighing = numeric.front();
        report.columnNote = "Note: weights from the edge attribute " + weighing + " of " + shownName;
    }
    else if (numeric.size() > 1)
        throw InputError("Error: the edges of " + shownName + " have " + std::to_string(numeric.size()) +
                         " attributes of numbers, " + names +
                         ", and none named weight; LINKMAP_WEIGHT_COLUMN "
                         "chooses one");
    else
        report.columnNote = unweightedNote(shownName);

    LinkCollector links(network, settings.minimumWeight);
    for (igraph_integer_t edge = 0; edge < igraph_ecount(&graph); ++edge)
    {
        const double weight = weighing.empty() ? 1.0 : EAN(&graph, weighing.c_str(), edge);
        if (std::isinf(weight))
            throw InputError("Error: edge " + std::to_string(edge + 1) + " of " + shownName +
                             " has a weight that is not finite");
        links.add(siteOf(IGRAPH_FROM(&graph, edge)), siteOf(IGRAPH_TO(&graph, edge)), weight);
    }
    links.warnOfConflicts(shownName);
    report.belowMinimum = links.belowMinimum();
    report.unlinkedVertices = static_cast<std::size_t>(std::count(sites.begin(), sites.end(), none));
    return report;
}

// Cytoscape's SIF (a site, the kind of interaction, the sites it links to) and an adjacency list (a site and
// the sites it links to), between tabs where a line has one, else spaces; # begins a comment.
ImportReport readNameLines(const std::string& path, InputFormat format, const ReadSettings& settings,
                           CorrelationNetwork& network)
{
    const std::string shownName = inputName(path);
    if (!settings.weightColumn.empty())
        throw InputError("Error: LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn + ", but " + shownName +
                         " is " + formatName(format) + ", which has no weights");
    ImportReport report;
    report.format = format;
    report.columnNote = unweightedNote(shownName);
    LinkCollector links(network, settings.minimumWeight);
    const bool opened = readTextLines(path, [&](const std::string& line, std::size_t lineNumber) {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            return;
        std::vector<std::string_view> words;
        forEachToken(line, line.find('\t') != std::string::npos ? "\t" : " ",
                     [&](std::string_view word) { words.push_back(word); });
        if (format == InputFormat::Sif && words.size() == 2)
            throw InputError("Error: line " + std::to_string(lineNumber) + " of " + shownName +
                             " is a site and an interaction with no site to link to, as no SIF line is");
        const std::uint32_t from = network.addSite(std::string(words[0])).first;
        for (std::size_t at = format == InputFormat::Sif ? 2 : 1; at < words.size(); ++at)
            links.add(from, network.addSite(std::string(words[at])).first, 1.0);
    });
    if (!opened)
        throw InputError("Error: cannot open " + shownName);
    report.belowMinimum = links.belowMinimum();
    return report;
}

} // namespace

ImportReport readGraphFile(const std::string& path, InputFormat format, const ReadSettings& settings,
                           CorrelationNetwork& network)
{
    if (format == InputFormat::Sif || format == InputFormat::Adjlist)
        return readNameLines(path, format, settings, network);
    return readThroughIgraph(path, format, settings, network);
}
