#ifndef LINKMAP_NETWORK_IGRAPHCALL
#define LINKMAP_NETWORK_IGRAPHCALL 1

#include <igraph/igraph.h>

#include <stdexcept>
#include <string>

/** Throws, saying what igraph could not do and why, when a call of igraph's did not succeed. */
inline void checkIgraph(igraph_error_t result, const char* what)
{
    if (result != IGRAPH_SUCCESS)
        throw std::runtime_error(std::string("igraph could not ") + what + ": " + igraph_strerror(result));
}

#endif
