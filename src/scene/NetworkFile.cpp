#include <network/GraphmlKeys.h>
#include <network/NumberText.h>
#include <network/RegionLists.h>
#include <network/TextFields.h>
#include <network/ValidText.h>
#include <scene/NetworkFile.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

std::string floatText(float value)
{
    return shortestText(value);
}

void declareKey(pugi::xml_node& root, const char* name, const char* domain, const char* type,
                const char* id = nullptr)
{
    pugi::xml_node key = root.append_child("key");
    key.append_attribute("id") = id != nullptr ? id : name;
    key.append_attribute("for") = domain;
    key.append_attribute("attr.name") = name;
    key.append_attribute("attr.type") = type;
}

void addData(pugi::xml_node& element, const char* key, const std::string& value)
{
    pugi::xml_node data = element.append_child("data");
    data.append_attribute("key") = key;
    data.append_child(pugi::node_pcdata).set_value(value.c_str());
}

} // namespace

bool isNetworkFileName(const std::string& fileName)
{
    return endsWithCaseless(fileName, ".graphml");
}

namespace
{

// What stopped the writing, or nothing when it was written.
std::string graphmlFailure(const CorrelationNetwork& network, const SiteLayout& layout,
                           const std::string& path, const PathSearch* paths)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = document.append_child("graphml");
    root.append_attribute("xmlns") = "http://graphml.graphdrawing.org/xmlns";
    for (const char* name : {graphml::name, graphml::region})
        declareKey(root, name, "node", "string");
    declareKey(root, graphml::group, "node", "int");
    for (const char* name : {graphml::x, graphml::y, graphml::z})
        declareKey(root, name, "node", "float");
    // Weights a file wrote exactly are written as it wrote them, so that they read back to the same log; the
    // key stays the same, so that a file read back writes the same file again.
    const bool exact = network.exactWeights.size() == network.linkCount() && network.linkCount() > 0;
    declareKey(root, graphml::weight, "edge", "float");
    const bool communities = network.communities.size() == network.siteCount() && network.siteCount() > 0;
    if (communities)
        declareKey(root, graphml::community, "node", "int");
    const bool betweenness = network.betweenness.size() == network.siteCount() && network.siteCount() > 0;
    if (betweenness)
        declareKey(root, graphml::betweenness, "node", "double");
    const bool members = network.members.size() == network.siteCount() && network.siteCount() > 0;
    if (members)
    {
        declareKey(root, graphml::sites, "node", "string");
        declareKey(root, graphml::size, "node", "int");
    }
    // What the selection analyses report of each site: an attribute a statistic, "FEL alpha", each once.
    struct Statistic
    {
        const SiteStatistics* entry;
        std::size_t value;
        std::string id;
    };
    std::vector<Statistic> statistics;
    std::vector<std::string> statisticNames;
    for (const SiteStatistics& entry : network.statistics)
        for (std::size_t value = 0; value < entry.names.size(); ++value)
        {
            const std::string name = entry.method + " " + entry.names[value];
            if (std::find(statisticNames.begin(), statisticNames.end(), name) != statisticNames.end())
                continue;
            statisticNames.push_back(name);
            statistics.push_back({&entry, value, "statistic" + std::to_string(statistics.size())});
            declareKey(root, name.c_str(), "node", "double", statistics.back().id.c_str());
        }
    if (paths != nullptr)
    {
        declareKey(root, graphml::paths, "node", "int");
        declareKey(root, graphml::paths, "edge", "int", graphml::edgePathsId);
    }

    pugi::xml_node graph = root.append_child("graph");
    graph.append_attribute("id") = "linkmap";
    graph.append_attribute("edgedefault") = "undirected";

    std::vector<std::size_t> ringOf(network.siteCount(), 0);
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
        for (const std::uint32_t site : network.ring(ring))
            ringOf[site] = ring;
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        pugi::xml_node node = graph.append_child("node");
        node.append_attribute("id") = ("n" + std::to_string(site)).c_str();
        addData(node, graphml::name, network.names[site]);
        const RegionKindEntry* region = findRegionKind(network.regions[site]);
        addData(node, graphml::region, region != nullptr ? region->word : "none");
        addData(node, graphml::group, std::to_string(ringOf[site]));
        const osg::Vec3& place = layout.positions[site];
        addData(node, graphml::x, floatText(place.x()));
        addData(node, graphml::y, floatText(place.y()));
        addData(node, graphml::z, floatText(place.z()));
        if (communities)
            addData(node, graphml::community, std::to_string(network.communities[site] + 1));
        if (betweenness)
            addData(node, graphml::betweenness, shortestText(network.betweenness[site]));
        if (members)
        {
            std::string names;
            for (const std::string& name : network.members[site])
                names += (names.empty() ? "" : " ") + name;
            addData(node, graphml::sites, names);
            addData(node, graphml::size, std::to_string(network.members[site].size()));
        }
        for (const Statistic& statistic : statistics)
        {
            const auto found = statistic.entry->sites.find(network.fileNumber(site));
            if (found != statistic.entry->sites.end() && statistic.value < found->second.size() &&
                !std::isnan(found->second[statistic.value]))
                addData(node, statistic.id.c_str(), shortestText(found->second[statistic.value]));
        }
        if (paths != nullptr)
            addData(node, graphml::paths, std::to_string(paths->siteCounts[site]));
    }
    for (std::size_t at = 0; at < network.linkCount(); ++at)
    {
        const SiteLink& link = network.links[at];
        pugi::xml_node edge = graph.append_child("edge");
        edge.append_attribute("source") = ("n" + std::to_string(link.first)).c_str();
        edge.append_attribute("target") = ("n" + std::to_string(link.second)).c_str();
        addData(edge, graphml::weight,
                exact ? shortestText(network.exactWeights[at]) : floatText(link.weight));
        if (paths != nullptr)
            addData(edge, graphml::edgePathsId, std::to_string(paths->linkCounts[at]));
    }
    errno = 0;
    if (!document.save_file(path.c_str(), "  "))
        return errno != 0 ? std::strerror(errno) : "it could not be written";
    return std::string();
}

} // namespace

void writeGraphml(const CorrelationNetwork& network, const SiteLayout& layout, const std::string& path,
                  const PathSearch* paths)
{
    const std::string failure = graphmlFailure(network, layout, path, paths);
    if (!failure.empty())
        throw OutputError("Error: could not write " + path + ": " + failure);
}

namespace
{

// A field of a CSV row, quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

void writeCommunityTable(const CorrelationNetwork& network, const SiteLayout& layout, const std::string& path)
{
    std::vector<std::size_t> degree(network.siteCount(), 0);
    for (const SiteLink& link : network.links)
    {
        ++degree[link.first];
        ++degree[link.second];
    }
    const std::vector<std::uint32_t>& numbered = network.methodCommunities.size() == network.siteCount()
                                                     ? network.methodCommunities
                                                     : network.communities;
    std::string text = "site,residue,community,betweenness,degree\n";
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        text += csvField(validText(network.names[site])) + ",";
        text += csvField(site < layout.residues.size() ? layout.residues[site] : std::string()) + ",";
        text += (site < numbered.size() ? std::to_string(numbered[site] + 1) : std::string()) + ",";
        text +=
            (site < network.betweenness.size() ? shortestText(network.betweenness[site]) : std::string()) +
            ",";
        text += std::to_string(degree[site]) + "\n";
    }
    writeTextFile(path, text);
}

void writeTextFile(const std::string& path, const std::string& text)
{
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr)
        written = std::fclose(file) == 0 && written;
    if (!written)
        throw OutputError("Error: could not write " + validText(path) + ": " +
                          (errno != 0 ? std::strerror(errno) : "it could not be written"));
}
