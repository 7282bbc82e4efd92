#ifndef LINKMAP_NETWORK_REGIONLISTS
#define LINKMAP_NETWORK_REGIONLISTS 1

#include <network/InputFiles.h>
#include <network/SelectionThresholds.h>
#include <network/SiteRange.h>
#include <network/SiteStatistics.h>

#include <string>
#include <vector>

/** The ranges of site numbers of the three region lists, in file order. */
struct RegionLists
{
    /** Ranges of the positive region list. */
    std::vector<SiteRange> positiveRanges;

    /** Ranges of the negative region list. */
    std::vector<SiteRange> negativeRanges;

    /** Ranges of the accelerated region list. */
    std::vector<SiteRange> acceleratedRanges;

    /** What each list that is a selection analysis reports of its sites, in the order of the lists. */
    std::vector<SiteStatistics> statistics;
};

/** Appends the ranges of the region list at path to ranges; false when the file cannot be opened. Throws
 *  InputError for a gzip stream that is cut short or damaged. */
bool readRegionFile(const std::string& path, std::vector<SiteRange>& ranges);

/** Reads each region list that files name: ranges of site numbers, or the sites that a HyPhy selection
 *  result finds under the selection of its list, at thresholds; a file that cannot be opened contributes
 *  nothing. Throws InputError for a file that is no region list, naming what it looks like. */
RegionLists readRegionLists(const InputFiles& files,
                            const SelectionThresholds& thresholds = SelectionThresholds());

#endif
