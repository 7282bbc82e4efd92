#ifndef LINKMAP_NETWORK_REGIONCLASSIFIER
#define LINKMAP_NETWORK_REGIONCLASSIFIER 1

#include <network/RegionKind.h>
#include <network/RegionLists.h>
#include <network/SiteRange.h>

#include <iterator>

class CorrelationNetwork;

/** Tells the region of a site number: the first kind, in the order positive, negative, accelerated, whose
 *  ranges hold it. */
class RegionClassifier
{
public:
    /** Indexes the ranges of lists, which are not read again. */
    explicit RegionClassifier(const RegionLists& lists);

    /** The region of siteNumber; RegionKind::None when no list holds it. */
    RegionKind classify(int siteNumber) const;

private:
    RangeIndex indexes[std::size(regionKinds)];
};

/** Gives every site of network its region and every link the regions of its ends. */
void classifyRegions(CorrelationNetwork& network, const RegionLists& lists);

#endif
