#ifndef LINKMAP_SCENE_NETWORKFILE
#define LINKMAP_SCENE_NETWORKFILE 1

#include <network/CorrelationNetwork.h>
#include <network/LinkPaths.h>
#include <scene/OutputError.h>
#include <scene/SiteLayout.h>

#include <string>

/** Whether a file's extension, in any case, names a network file: .graphml. */
bool isNetworkFileName(const std::string& fileName);

/** Writes network as drawn at layout to path as GraphML: a node a site, with its name, region, ring (group)
 *  and place (x, y, z), and its community (from 1) and betweenness where they were found; and an edge a
 *  link, with its weight written so that it reads back to the same float;
 *  with paths, also how many of them pass through each node and along each edge (paths). Throws
 *  OutputError, saying why, when the file cannot be written. */
void writeGraphml(const CorrelationNetwork& network, const SiteLayout& layout, const std::string& path,
                  const PathSearch* paths = nullptr);

/** Writes the table of network's communities to path as CSV, a row a site: its name, the residue it stands
 *  on at layout (empty off a structure), its community as the method that found it numbered them (from 1),
 *  its betweenness and its degree over every link. Throws OutputError, saying why, when the file cannot be
 *  written. */
void writeCommunityTable(const CorrelationNetwork& network, const SiteLayout& layout,
                         const std::string& path);

/** Writes text to path whole. Throws OutputError, saying why, when it cannot. */
void writeTextFile(const std::string& path, const std::string& text);

#endif
