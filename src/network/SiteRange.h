#ifndef LINKMAP_NETWORK_SITERANGE
#define LINKMAP_NETWORK_SITERANGE 1

#include <vector>

/** A closed range of site numbers; it holds nothing when first is greater than last. */
struct SiteRange
{
    /** The first site number of the range. */
    int first = 0;

    /** The last site number of the range, itself included. */
    int last = 0;

    /** Whether siteNumber lies within the range. */
    bool contains(int siteNumber) const
    {
        return first <= siteNumber && siteNumber <= last;
    }
};

/** The numbers a sequence of ranges holds, as sorted, disjoint ranges, so that a number is found in time
 *  logarithmic in their count. Empty ranges hold nothing and are left out. */
class RangeIndex
{
public:
    RangeIndex() = default;

    /** Indexes the numbers that ranges hold. */
    explicit RangeIndex(const std::vector<SiteRange>& ranges);

    /** Whether any of the indexed ranges holds siteNumber. */
    bool contains(int siteNumber) const;

private:
    std::vector<SiteRange> disjoint;
};

#endif
