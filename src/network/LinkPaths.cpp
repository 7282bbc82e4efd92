#include <network/IgraphCall.h>
#include <network/InputError.h>
#include <network/LinkPaths.h>
#include <network/NumberText.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>

namespace
{

// igraph's objects, freed however the search ends.
struct Search
{
    igraph_t graph;
    igraph_vector_int_t ends;
    igraph_vector_t lengths;
    igraph_vector_int_list_t sitePaths;
    igraph_vector_int_list_t linkPaths;
    bool made = false;

    Search()
    {
        // igraph's handlers are the thread's own: a search on a thread of its own sets them again. A site
        // that no path reaches is no news.
        igraph_set_error_handler(igraph_error_handler_ignore);
        igraph_set_warning_handler(igraph_warning_handler_ignore);
        igraph_vector_int_init(&ends, 0);
        igraph_vector_init(&lengths, 0);
        igraph_vector_int_list_init(&sitePaths, 0);
        igraph_vector_int_list_init(&linkPaths, 0);
    }
    ~Search()
    {
        if (made)
            igraph_destroy(&graph);
        igraph_vector_int_destroy(&ends);
        igraph_vector_destroy(&lengths);
        igraph_vector_int_list_destroy(&sitePaths);
        igraph_vector_int_list_destroy(&linkPaths);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
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

    // The links a path may take, and the place in the log of each: those shown, of a weight other than 0
    // (which has no finite length) and no link of a site to itself.
    std::vector<std::size_t> usable;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        const std::uint8_t regions = link < network.linkRegions.size() ? network.linkRegions[link] : 0;
        if (!filter.shows(ends, regions) || !(std::fabs(ends.weight) > 0.0f) || ends.first == ends.second ||
            ends.first >= network.siteCount() || ends.second >= network.siteCount())
            continue;
        if (std::fabs(ends.weight) > 1.0f)
            throw InputError("Error: paths need weights from -1 to 1, and " + network.names[ends.first] +
                             "-" + network.names[ends.second] + " weighs " + weightText(ends.weight) +
                             "; LINKMAP_SCALE=max divides every weight by the largest");
        usable.push_back(link);
    }

    Search igraph;
    igraph_vector_int_t& ends = igraph.ends;
    checkIgraph(igraph_vector_int_resize(&ends, static_cast<igraph_integer_t>(2 * usable.size())),
                "make room");
    checkIgraph(igraph_vector_resize(&igraph.lengths, static_cast<igraph_integer_t>(usable.size())),
                "make room");
    for (std::size_t i = 0; i < usable.size(); ++i)
    {
        const SiteLink& link = network.links[usable[i]];
        VECTOR(ends)[2 * i] = link.first;
        VECTOR(ends)[2 * i + 1] = link.second;
        VECTOR(igraph.lengths)[i] = -std::log(std::fabs(static_cast<double>(link.weight)));
    }
    checkIgraph(igraph_create(&igraph.graph, &ends, static_cast<igraph_integer_t>(network.siteCount()),
                              IGRAPH_UNDIRECTED),
                "join the sites");
    igraph.made = true;
    checkIgraph(igraph_get_k_shortest_paths(&igraph.graph, &igraph.lengths, &igraph.sitePaths,
                                            &igraph.linkPaths, static_cast<igraph_integer_t>(count), source,
                                            sink, IGRAPH_ALL),
                "find the paths");

    const igraph_integer_t pathCount = igraph_vector_int_list_size(&igraph.linkPaths);
    for (igraph_integer_t p = 0; p < pathCount; ++p)
    {
        SitePath path;
        std::vector<double> lengths;
        const igraph_vector_int_t* sites = igraph_vector_int_list_get_ptr(&igraph.sitePaths, p);
        const igraph_vector_int_t* links = igraph_vector_int_list_get_ptr(&igraph.linkPaths, p);
        for (igraph_integer_t i = 0; i < igraph_vector_int_size(sites); ++i)
            path.sites.push_back(static_cast<std::uint32_t>(VECTOR(*sites)[i]));
        for (igraph_integer_t i = 0; i < igraph_vector_int_size(links); ++i)
        {
            const auto edge = static_cast<std::size_t>(VECTOR(*links)[i]);
            path.links.push_back(usable[edge]);
            lengths.push_back(VECTOR(igraph.lengths)[static_cast<igraph_integer_t>(edge)]);
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
