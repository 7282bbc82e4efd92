#include <network/IgraphCall.h>
#include <network/InputError.h>
#include <network/LinkGraph.h>
#include <network/LinkPaths.h>
#include <network/NumberText.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <numeric>
#include <string>

namespace
{

// The paths igraph finds, as sites and as links, freed however the search ends.
struct FoundPaths
{
    igraph_vector_int_list_t sitePaths;
    igraph_vector_int_list_t linkPaths;

    FoundPaths()
    {
        checkIgraph(igraph_vector_int_list_init(&sitePaths, 0), "make room");
        if (igraph_vector_int_list_init(&linkPaths, 0) != IGRAPH_SUCCESS)
        {
            igraph_vector_int_list_destroy(&sitePaths);
            throw std::bad_alloc();
        }
    }
    ~FoundPaths()
    {
        igraph_vector_int_list_destroy(&sitePaths);
        igraph_vector_int_list_destroy(&linkPaths);
    }
    FoundPaths(const FoundPaths&) = delete;
    FoundPaths& operator=(const FoundPaths&) = delete;
};

std::string weightText(float weight)
{
    return shortNumber(static_cast<double>(weight));
}

} // namespace

PathSearch findPaths(const CorrelationNetwork& network, std::uint32_t source, std::uint32_t sink,
                     std::size_t count, const LinkFilter& filter)
{
    PathSearch search;
    search.source = source;
    search.sink = sink;
    search.asked = count;
    search.siteCounts.assign(network.siteCount(), 0);
    search.linkCounts.assign(network.linkCount(), 0);
    if (source >= network.siteCount() || sink >= network.siteCount() || count == 0)
        return search;

    // The links a path may take: those shown, of a weight other than 0 (which has no finite length), and no
    // link of a site to itself; each as long as the field's analysis makes it.
    const std::vector<std::size_t> usable = lengthLinks(network, filter);
    for (const std::size_t link : usable)
    {
        const SiteLink& ends = network.links[link];
        if (std::fabs(ends.weight) > 1.0f)
            throw InputError("Error: paths need weights from -1 to 1, and " + network.names[ends.first] +
                             "-" + network.names[ends.second] + " weighs " + weightText(ends.weight) +
                             "; LINKMAP_SCALE=max divides every weight by the largest");
    }
    LinkGraph igraph(network, usable);
    FoundPaths found;
    checkIgraph(igraph_get_k_shortest_paths(igraph.graph(), igraph.weights(), &found.sitePaths,
                                            &found.linkPaths, static_cast<igraph_integer_t>(count), source,
                                            sink, IGRAPH_ALL),
                "find the paths");

    const igraph_integer_t pathCount = igraph_vector_int_list_size(&found.linkPaths);
    for (igraph_integer_t p = 0; p < pathCount; ++p)
    {
        SitePath path;
        std::vector<double> lengths;
        const igraph_vector_int_t* sites = igraph_vector_int_list_get_ptr(&found.sitePaths, p);
        const igraph_vector_int_t* links = igraph_vector_int_list_get_ptr(&found.linkPaths, p);
        for (igraph_integer_t i = 0; i < igraph_vector_int_size(sites); ++i)
            path.sites.push_back(static_cast<std::uint32_t>(VECTOR(*sites)[i]));
        for (igraph_integer_t i = 0; i < igraph_vector_int_size(links); ++i)
        {
            const auto edge = static_cast<std::size_t>(VECTOR(*links)[i]);
            path.links.push_back(usable[edge]);
            lengths.push_back(VECTOR(*igraph.weights())[static_cast<igraph_integer_t>(edge)]);
        }
        // Summed shortest first, so that paths of the same links' lengths in another order tie exactly.
        std::sort(lengths.begin(), lengths.end());
        path.length = std::accumulate(lengths.begin(), lengths.end(), 0.0);
        if (!path.sites.empty())
            search.paths.push_back(std::move(path));
    }

    // Shortest first; paths of equal length in the order of their sites, then of their links.
    std::sort(search.paths.begin(), search.paths.end(), [](const SitePath& a, const SitePath& b) {
        if (a.length != b.length)
            return a.length < b.length;
        if (a.sites != b.sites)
            return a.sites < b.sites;
        return a.links < b.links;
    });
    for (const SitePath& path : search.paths)
    {
        for (const std::uint32_t site : path.sites)
            ++search.siteCounts[site];
        for (const std::size_t link : path.links)
            ++search.linkCounts[link];
    }
    return search;
}

std::string describePath(const PathSearch& search, std::size_t index, const CorrelationNetwork& network)
{
    const SitePath& path = search.paths[index];
    std::string line = printfText("Path %zu of %zu from ", index + 1, search.paths.size());
    appendValidText(line, network.names[search.source]);
    line += " to ";
    appendValidText(line, network.names[search.sink]);
    line += ", length " + fixedText(path.length, 6) + ":";
    for (const std::uint32_t site : path.sites)
    {
        line += ' ';
        appendValidText(line, network.names[site]);
    }
    return line;
}

std::string describeNoPath(const PathSearch& search, const CorrelationNetwork& network)
{
    return "No path joins " + validText(network.names[search.source]) + " and " +
           validText(network.names[search.sink]) + " among the links shown";
}

void writePaths(const CorrelationNetwork& network, const PathSearch& search, std::FILE* out)
{
    const std::string source = validText(network.names[search.source]);
    const std::string sink = validText(network.names[search.sink]);
    const std::size_t found = search.paths.size();
    if (found == 0)
    {
        std::fprintf(out, "%s\n", describeNoPath(search, network).c_str());
        return;
    }
    if (found < search.asked)
        std::fprintf(out, "Only %zu path%s join%s %s and %s among the links shown, of %zu asked for\n", found,
                     found == 1 ? "" : "s", found == 1 ? "s" : "", source.c_str(), sink.c_str(),
                     search.asked);
    for (std::size_t p = 0; p < found; ++p)
        std::fprintf(out, "%s\n", describePath(search, p, network).c_str());
    // The sites by how many paths pass through them, most first, then in the order of their names.
    std::vector<std::uint32_t> onPaths;
    for (std::uint32_t site = 0; site < search.siteCounts.size(); ++site)
        if (search.siteCounts[site] > 0)
            onPaths.push_back(site);
    std::sort(onPaths.begin(), onPaths.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (search.siteCounts[a] != search.siteCounts[b])
            return search.siteCounts[a] > search.siteCounts[b];
        return network.names[a] < network.names[b];
    });
    std::string counts;
    for (const std::uint32_t site : onPaths)
        counts += (counts.empty() ? " " : ", ") + validText(network.names[site]) + " " +
                  std::to_string(search.siteCounts[site]);
    std::fprintf(out, "Sites on the %zu path%s:%s\n", found, found == 1 ? "" : "s", counts.c_str());
}
