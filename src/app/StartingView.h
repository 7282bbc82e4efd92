#ifndef LINKMAP_APP_STARTINGVIEW
#define LINKMAP_APP_STARTINGVIEW 1

#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <view/ViewState.h>

/** The view a run starts from: the settings' cutoff and region filter, the site LINKMAP_SELECT names picked,
 *  and the sites of LINKMAP_FROM and LINKMAP_TO that paths are asked for between. Throws InputError when a
 *  setting names no site of network, or both of the paths' name the same. */
ViewState startingView(const Settings& settings, const CorrelationNetwork& network);

#endif
