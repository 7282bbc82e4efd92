#ifndef LINKMAP_APP_SITEANALYSIS
#define LINKMAP_APP_SITEANALYSIS 1

#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>

/** What colours the spheres of network, read from source: LINKMAP_COLOR's choice; else regions where a region
 *  list is given, or where the file gave its own rings; else the communities. */
SiteColoring coloringOf(const Settings& settings, const NetworkSource& source);

/** Finds what the run shows of network's sites beyond their regions: their communities, when the spheres are
 *  coloured by them and reading did not find them (by LINKMAP_GROUPS's method, Leiden for one that finds
 *  none); and their betweenness over the links shown at the start, when LINKMAP_GROUPS=betweenness asks for
 *  Girvan and Newman's measure. Throws InputError where that method would take minutes. */
void analyseSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings);

#endif
