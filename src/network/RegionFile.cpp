#include <network/CorrelationNetwork>
#include <network/LineReader>
#include <network/TextFields>

#include <algorithm>
#include <cstdio>
#include <iterator>

bool CorrelationNetwork::readRegionFile(std::string path, int kind)
{
    std::vector<SiteRange>* ranges = nullptr;
    switch (static_cast<RegionKind>(kind))
    {
    case RegionKind::Positive:
        ranges = &positiveRanges;
        break;
    case RegionKind::Negative:
        ranges = &negativeRanges;
        break;
    case RegionKind::Accelerated:
        ranges = &acceleratedRanges;
        break;
    default:
        break;
    }

    // The numbers of the whole file pair up in order, regardless of the lines they stand on.
    SiteRange pending;
    bool expectFirst = true;
    return readTextLines(path, [&](const std::string& line, std::size_t) {
        forEachToken(line, "-\n", [&](std::string_view token) {
            const int value = parseInteger(std::string(token).c_str());
            if (expectFirst)
            {
                pending.first = value;
            }
            else
            {
                pending.last = value;
                if (ranges != nullptr)
                    ranges->push_back(pending);
                // A list cleared and read again can come back to the same size: reading marks the index
                // stale.
                regionIndexValid = false;
            }
            expectFirst = !expectFirst;
        });
    });
}

RangeIndex::RangeIndex(const std::vector<SiteRange>& ranges)
{
    for (const SiteRange& range : ranges)
        if (range.first <= range.last)
            disjoint.push_back(range);
    std::sort(disjoint.begin(), disjoint.end(),
              [](const SiteRange& left, const SiteRange& right) { return left.first < right.first; });

    // Ranges that overlap or touch become one; the ends are compared wider than int so that INT_MAX is safe.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < disjoint.size(); ++i)
    {
        if (kept > 0 &&
            static_cast<long long>(disjoint[i].first) <= static_cast<long long>(disjoint[kept - 1].last) + 1)
            disjoint[kept - 1].last = std::max(disjoint[kept - 1].last, disjoint[i].last);
        else
            disjoint[kept++] = disjoint[i];
    }
    disjoint.resize(kept);
}

bool RangeIndex::contains(int siteNumber) const
{
    // The last range that starts at or before the number is the only one that can hold it.
    const auto after =
        std::upper_bound(disjoint.begin(), disjoint.end(), siteNumber,
                         [](int number, const SiteRange& range) { return number < range.first; });
    return after != disjoint.begin() && siteNumber <= (after - 1)->last;
}

RegionKind CorrelationNetwork::classifySite(int siteNumber) const
{
    // The index follows the range lists: it is made again whenever a list has grown or shrunk since.
    const std::size_t sizes[] = {positiveRanges.size(), negativeRanges.size(), acceleratedRanges.size()};
    if (!regionIndexValid || !std::equal(std::begin(sizes), std::end(sizes), std::begin(indexedRangeCounts)))
    {
        regionIndex[0] = RangeIndex(positiveRanges);
        regionIndex[1] = RangeIndex(negativeRanges);
        regionIndex[2] = RangeIndex(acceleratedRanges);
        std::copy(std::begin(sizes), std::end(sizes), std::begin(indexedRangeCounts));
        regionIndexValid = true;
    }
    // The first list that holds the number decides, in the order positive, negative, accelerated.
    if (regionIndex[0].contains(siteNumber))
        return RegionKind::Positive;
    if (regionIndex[1].contains(siteNumber))
        return RegionKind::Negative;
    if (regionIndex[2].contains(siteNumber))
        return RegionKind::Accelerated;
    return RegionKind::None;
}
