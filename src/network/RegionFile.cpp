#include <network/CorrelationNetwork>
#include <network/LineReader>
#include <network/TextFields>

#include <cstdio>

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
            }
            expectFirst = !expectFirst;
        });
    });
}

RegionKind CorrelationNetwork::classifySite(int siteNumber) const
{
    const auto holds = [siteNumber](const std::vector<SiteRange>& ranges) {
        for (const SiteRange& range : ranges)
        {
            if (range.contains(siteNumber))
                return true;
        }
        return false;
    };
    if (holds(positiveRanges))
        return RegionKind::Positive;
    if (holds(negativeRanges))
        return RegionKind::Negative;
    if (holds(acceleratedRanges))
        return RegionKind::Accelerated;
    return RegionKind::None;
}
