#ifndef LINKMAP_APP_SITEPLACEMENT
#define LINKMAP_APP_SITEPLACEMENT 1

#include <app/Output.h>
#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <network/NetworkReader.h>
#include <scene/SiteLayout.h>

/** Gives every site of network, read from source, its place: at its residue of the structure the settings
 *  give, named by it when the file knows it by its number alone, after a warning on standard output for each
 *  site that stands elsewhere or names another residue and a note of how many stand on residues;
 *  without one, rings the file gave keep the ring grid, and rings the program made get cells that fit them.
 *  Where the spheres are coloured by community (coloringOf), each site takes its community's colour.
 */
SiteLayout placeSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings);

/** The run's arrangement of network: what the analyses the settings ask for find of its sites
 *  (analyseSites), their places (placeSites), and, for LINKMAP_COARSE, the network of communities put in
 *  the network's place (showCommunityNetwork). */
SiteLayout arrangeSites(CorrelationNetwork& network, const NetworkSource& source, const Settings& settings,
                        OutputKind output = OutputKind::Window);

#endif
