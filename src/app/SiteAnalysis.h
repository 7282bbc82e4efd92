#ifndef LINKMAP_APP_SITEANALYSIS
#define LINKMAP_APP_SITEANALYSIS 1

#include <app/Output.h>
#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>
#include <scene/SiteLayout.h>

#include <string>
#include <vector>

/** What colours the spheres of network, read from source: LINKMAP_COLOR's choice; else regions where a region
 *  list is given, or where the file gave its own rings; else the communities. */
SiteColoring coloringOf(const Settings& settings, const NetworkSource& source);

/** How the picture is drawn: LINKMAP_STYLE's choice; else a figure for a network whose file gave no rings or
 *  that stands on a structure, and the plain style for a group file on its rings. */
DrawingStyle styleOf(const Settings& settings, const NetworkSource& source);

/** The links shown at the start, by the settings' cutoff and region filter. */
LinkFilter startingFilter(const Settings& settings);

/** One scale a site for spheres sized as the settings ask, from 1 for the least to 3 for the most, the area
 *  growing as the measure does; empty for spheres all the same, or a measure the same at every site. */
std::vector<float> sphereScales(const CorrelationNetwork& network, const Settings& settings);

/** What size means, as the key says it: "Sphere size: betweenness, 0 to 3301", or for a network of
 *  communities "Sphere size: sites held, 6 to 57"; empty for spheres all the same. */
std::string sizeMeaning(const CorrelationNetwork& network, const Settings& settings);

/** Replaces network, laid out at layout, with the network of its communities, as LINKMAP_COARSE and the
 *  window's g ask: a site each community (C1, C2…, the largest first), at the centre of its sites, sized by
 *  how many they are and in its community's colour, and a link between two communities that any link filter
 *  shows joins, weighing the largest |w| between them. Each keeps the names of its sites (members). */
void showCommunityNetwork(CorrelationNetwork& network, SiteLayout& layout, const LinkFilter& filter);

/** Finds what the run shows of network's sites beyond their regions: their communities, when the spheres are
 *  coloured by them and reading did not find them (by LINKMAP_GROUPS's method, Leiden for one that finds
 *  none); and their betweenness over the links shown at the start, when LINKMAP_GROUPS=betweenness asks for
 *  Girvan and Newman's measure, or LINKMAP_SIZE sizes the spheres by it. The table of communities and the
 *  measured structure need both, the PyMOL script the communities. Throws InputError where that method would
 *  take minutes. */
void analyseSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings,
                  OutputKind output = OutputKind::Window);

#endif
