#ifndef LINKMAP_NETWORK_GRAPHMLKEYS
#define LINKMAP_NETWORK_GRAPHMLKEYS 1

/** The GraphML attributes that linkmap writes and reads back; other programs and scripts rely on them. */
namespace graphml
{
constexpr const char* name = "name";
constexpr const char* label = "label";
constexpr const char* region = "region";
constexpr const char* group = "group";
constexpr const char* x = "x";
constexpr const char* y = "y";
constexpr const char* z = "z";
constexpr const char* weight = "weight";

/** A node's community, from 1, the largest first, and its betweenness; written only when they were found. */
constexpr const char* community = "community";
constexpr const char* betweenness = "betweenness";
/** A node of a network of communities: the names of its sites, separated by spaces, and how many they are. */
constexpr const char* sites = "sites";
constexpr const char* size = "size";
/** How many of the paths asked for pass through a node or along an edge; written only when paths were. */
constexpr const char* paths = "paths";
constexpr const char* edgePathsId = "edge_paths";
} // namespace graphml

#endif
