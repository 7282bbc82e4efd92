#ifndef LINKMAP_APP_SITEPLACEMENT
#define LINKMAP_APP_SITEPLACEMENT 1

#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>
#include <scene/SiteLayout.h>

/** Gives every site of network, read in format, its place: at its residue of the structure the settings
 *  give, after a warning on standard output for each site that stands elsewhere or names another residue;
 *  without one, a group file keeps its grid and rings read without one get cells that fit them. */
SiteLayout placeSites(const CorrelationNetwork& network, InputFormat format, const Settings& settings);

#endif
