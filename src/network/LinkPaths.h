#ifndef LINKMAP_NETWORK_LINKPATHS
#define LINKMAP_NETWORK_LINKPATHS 1

#include <network/CorrelationNetwork.h>
#include <network/SiteLink.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

/** One path through the network: its sites from the source to the sink, the links between them by their
 *  places in the log, and its length, the sum of its links' −ln|w|. */
struct SitePath
{
    std::vector<std::uint32_t> sites;
    std::vector<std::size_t> links;
    double length = 0.0;
};

/** The paths between two sites, shortest first, and how many of them pass through each site and each link. */
struct PathSearch
{
    std::uint32_t source = 0;
    std::uint32_t sink = 0;

    /** How many paths were asked for. */
    std::size_t asked = 0;

    std::vector<SitePath> paths;

    /** One a site and one a link of the network: how many of the paths pass through it. */
    std::vector<std::uint32_t> siteCounts;
    std::vector<std::uint32_t> linkCounts;
};

/** The most paths a search may ask for. */
constexpr std::size_t mostPaths = 1000;

/** The shortest path from source to sink and the next count − 1 loopless ones (Yen's, by igraph), over the
 *  links filter shows whose weight is not 0, each link as long as −ln|w|; paths of equal length in the order
 *  of their sites. Throws InputError when a link shown weighs more than 1 either way, which has no length.
 *  igraph, as Debian builds it, keeps its state for the whole process: one search runs at a time, and nothing
 *  else calls igraph meanwhile. */
PathSearch findPaths(const CorrelationNetwork& network, std::uint32_t source, std::uint32_t sink,
                     std::size_t count, const LinkFilter& filter);

/** The line of the path at index among search's: "Path 2 of 10 from K45 to R78, length 1.203973: K45 G50 H12
 *  R78". */
std::string describePath(const PathSearch& search, std::size_t index, const CorrelationNetwork& network);

/** The line that says search found no path: "No path joins K45 and R78 among the links shown". */
std::string describeNoPath(const PathSearch& search, const CorrelationNetwork& network);

/** Writes what search found on out: a line for each path, shortest first, with its length and its sites,
 *  then the sites on them by how many paths pass through each, most first, then by name. Fewer paths than
 *  were asked for are said first; none, in one line. */
void writePaths(const CorrelationNetwork& network, const PathSearch& search, std::FILE* out = stdout);

#endif
