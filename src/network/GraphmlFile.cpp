#include <network/GraphmlKeys.h>
#include <network/LineReader.h>
#include <network/LinkCollector.h>
#include <network/NetworkReader.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{

// Reads the nodes and edges of a GraphML document into a network, naming the line of every fault.
class GraphmlReader
{
public:
    GraphmlReader(const std::string& path, const ReadSettings& settings_, CorrelationNetwork& network_)
        : shownName(inputName(path)), settings(settings_), network(network_), text(readWholeText(path))
    {
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            lineEnds.push_back(static_cast<std::ptrdiff_t>(at));
    }

    ImportReport read()
    {
        ImportReport report;
        report.format = InputFormat::Graphml;
        // An empty file is an empty network, as an empty group file is.
        if (text.find_first_not_of(" \t\r\n") == std::string::npos)
            return report;
        const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
        if (!parsed)
            fail(lineOf(parsed.offset), std::string("is not well-formed XML: ") + parsed.description());
        const pugi::xml_node root = document.child("graphml");
        const pugi::xml_node graph = root.child("graph");
        if (!root || !graph)
            fail(1, "holds no GraphML graph");
        readKeys(root);
        std::vector<std::pair<long long, std::uint32_t>> groups;
        for (const pugi::xml_node node : graph.children("node"))
            readNode(node, groups);
        for (const pugi::xml_node edge : graph.children("edge"))
            readEdge(edge);
        links.warnOfConflicts(shownName);
        report.ringsGiven = makeGroupRings(groups);
        report.belowMinimum = links.belowMinimum();
        report.columnNote = columnNote;
        return report;
    }

private:
    [[noreturn]] void fail(std::size_t line, const std::string& why) const
    {
        throw InputError("Error: line " + std::to_string(line) + " of " + shownName + " " + why);
    }

    std::size_t lineOf(std::ptrdiff_t offset) const
    {
        return static_cast<std::size_t>(std::lower_bound(lineEnds.begin(), lineEnds.end(), offset) -
                                        lineEnds.begin()) +
               1;
    }

    std::size_t lineOf(const pugi::xml_node& node) const
    {
        return lineOf(node.offset_debug());
    }

    // The attribute each key stands for, and its default, for nodes and edges. Edges without a weight but
    // with one attribute of numbers, as networkx writes a graph's own (corr, say), are weighed by it.
    void readKeys(const pugi::xml_node& root)
    {
        std::vector<pugi::xml_node> numeric;
        for (const pugi::xml_node key : root.children("key"))
        {
            const std::string domain = key.attribute("for").as_string("all");
            const std::string attribute = key.attribute("attr.name").as_string();
            const std::string type = key.attribute("attr.type").as_string();
            if (domain == "node" || domain == "all")
                nodeKeys[key.attribute("id").as_string()] = attribute;
            if (domain != "edge" && domain != "all")
                continue;
            if (settings.weightColumn.empty() ? attribute == graphml::weight
                                              : attribute == settings.weightColumn)
                useWeightKey(key);
            else if (type == "double" || type == "float" || type == "int" || type == "long")
                numeric.push_back(key);
        }
        std::string names;
        for (const pugi::xml_node& key : numeric)
            names += (names.empty() ? "" : ", ") + std::string(key.attribute("attr.name").as_string());
        if (weightKeys.empty() && !settings.weightColumn.empty())
            throw InputError("Error: LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn +
                             ", but the edges of " + shownName + " have no such attribute" +
                             (names.empty() ? std::string() : "; their attributes of numbers are " + names));
        // Several attributes of numbers and none named weight: which is the weight the file does not say.
        if (weightKeys.empty() && numeric.size() > 1)
            throw InputError("Error: the edges of " + shownName + " have " + std::to_string(numeric.size()) +
                             " attributes of numbers, " + names +
                             ", and none named weight; LINKMAP_WEIGHT_COLUMN chooses one");
        if (weightKeys.empty() && numeric.size() == 1)
        {
            useWeightKey(numeric.front());
            columnNote = "Note: weights from the edge attribute " +
                         std::string(numeric.front().attribute("attr.name").as_string()) + " of " + shownName;
        }
    }

    void useWeightKey(const pugi::xml_node& key)
    {
        weightKeys.insert(key.attribute("id").as_string());
        const pugi::xml_node fallback = key.child("default");
        if (fallback)
            defaultWeight = readWeight(fallback, fallback.child_value());
    }

    double readWeight(const pugi::xml_node& where, const char* value) const
    {
        char* end = nullptr;
        const double weight = std::strtod(value, &end);
        while (end != value && *end != '\0' && std::strchr(" \t\r\n", *end) != nullptr)
            ++end;
        if (end == value || *end != '\0')
            fail(lineOf(where),
                 "has the weight \"" + std::string(value).substr(0, 40) + "\", which is no number");
        if (std::isinf(weight))
            fail(lineOf(where),
                 "has the weight \"" + std::string(value).substr(0, 40) + "\", which is not finite");
        return weight;
    }

    void readNode(const pugi::xml_node& node, std::vector<std::pair<long long, std::uint32_t>>& groups)
    {
        const std::string id = node.attribute("id").as_string();
        if (id.empty())
            fail(lineOf(node), "has a node without an id");
        std::string name;
        std::string label;
        const char* group = nullptr;
        for (const pugi::xml_node data : node.children("data"))
        {
            const auto key = nodeKeys.find(data.attribute("key").as_string());
            if (key == nodeKeys.end())
                continue;
            if (key->second == graphml::name)
                name = data.child_value();
            else if (key->second == graphml::label)
                label = data.child_value();
            else if (key->second == graphml::group)
                group = data.child_value();
        }
        if (name.empty())
            name = !label.empty() ? label : id;
        const auto [site, isNew] = network.addSite(name);
        if (!isNew)
            fail(lineOf(node), "names a second node " + name);
        if (!nodes.emplace(id, site).second)
            fail(lineOf(node), "has a second node with the id " + id);
        char* end = nullptr;
        const long long ring = group != nullptr ? std::strtoll(group, &end, 10) : 0;
        if (group != nullptr && end != group && *end == '\0')
            groups.emplace_back(ring, site);
    }

    std::uint32_t endOf(const pugi::xml_node& edge, const char* end) const
    {
        const std::string id = edge.attribute(end).as_string();
        const auto found = nodes.find(id);
        if (found == nodes.end())
            fail(lineOf(edge), "has an edge to the node \"" + id.substr(0, 40) + "\", which does not exist");
        return found->second;
    }

    void readEdge(const pugi::xml_node& edge)
    {
        const std::uint32_t first = endOf(edge, "source");
        const std::uint32_t second = endOf(edge, "target");
        double weight = defaultWeight;
        for (const pugi::xml_node data : edge.children("data"))
            if (weightKeys.count(data.attribute("key").as_string()) != 0)
                weight = readWeight(data, data.child_value());
        links.add(first, second, weight);
    }

    // When every node has a group, the groups are the rings, in the order of their numbers.
    bool makeGroupRings(std::vector<std::pair<long long, std::uint32_t>>& groups)
    {
        if (groups.empty() || groups.size() != network.siteCount())
            return false;
        std::stable_sort(groups.begin(), groups.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t at = 0; at < groups.size(); ++at)
        {
            if (at == 0 || groups[at].first != groups[at - 1].first)
                network.beginRing();
            network.addToRing(groups[at].second);
        }
        return true;
    }

    const std::string shownName;
    const ReadSettings& settings;
    CorrelationNetwork& network;
    std::string text;
    std::vector<std::ptrdiff_t> lineEnds;
    pugi::xml_document document;

    std::unordered_map<std::string, std::string> nodeKeys;
    std::unordered_set<std::string> weightKeys;
    double defaultWeight = 1.0;
    std::string columnNote;
    std::unordered_map<std::string, std::uint32_t> nodes;
    LinkCollector links{network, settings.minimumWeight};
};

} // namespace

ImportReport readGraphmlFile(const std::string& path, const ReadSettings& settings,
                             CorrelationNetwork& network)
{
    return GraphmlReader(path, settings, network).read();
}
