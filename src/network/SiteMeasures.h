#ifndef LINKMAP_NETWORK_SITEMEASURES
#define LINKMAP_NETWORK_SITEMEASURES 1

#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>
#include <network/SiteLink.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/** The communities of the network's sites as grouping finds them (Leiden, Girvan and Newman's edge
 *  betweenness, walktrap, fast greedy or infomap; Leiden for a grouping that finds none): one a site,
 * numbered from 0, the largest community first, then by its first site. numbered, when given, gets them as
 * the method numbered them, from 0. Throws InputError when Girvan and Newman's method would take minutes. */
std::vector<std::uint32_t> findCommunities(const CorrelationNetwork& network, RingGrouping grouping,
                                           std::vector<std::uint32_t>* numbered = nullptr);

/** The number of sites in each community of membership (one a site, from 0). */
std::vector<std::size_t> communitySizes(const std::vector<std::uint32_t>& membership);

/** Whether measuring the betweenness of this many sites and links would take more than about half a minute:
 *  its time grows as the sites times the links. */
bool siteBetweennessTakesTooLong(std::size_t sites, std::size_t links);

/** Every site's betweenness (igraph's, undirected) over the links filter shows, each as long as −ln|w| with
 *  |w| capped at 0.9999, as the communities are found; a link of no weight is no link. */
std::vector<double> siteBetweenness(const CorrelationNetwork& network, const LinkFilter& filter);

/** Every site's degree: how many links filter shows that join it to another site. */
std::vector<double> siteDegree(const CorrelationNetwork& network, const LinkFilter& filter);

/** The network of communities: a site each community, at the index of its number, and a link between two
 *  communities that any link filter shows joins, weighing the largest |w| between their sites (the "max"
 *  collapse of correlation network analysis), whose ends lie in every region the ends of those links lie in.
 *  Its sites are named C1, C2… and its rings hold one site each.
 *  members gives the sites of each community, by their names. */
struct CommunityNetwork
{
    CorrelationNetwork network;
    std::vector<std::vector<std::uint32_t>> members;
};
CommunityNetwork collapseCommunities(const CorrelationNetwork& network,
                                     const std::vector<std::uint32_t>& membership, const LinkFilter& filter);

/** A place in three dimensions for every site of network, by igraph's Fruchterman-Reingold layout in 3D over
 *  every link, each pulling as strongly as its |weight|, from igraph's random generator seeded alike on every
 *  run, so that a network is laid out the same way each time; in igraph's own units. */
std::vector<std::array<double, 3>> forcePositions(const CorrelationNetwork& network);

#endif
