#include <network/CorrelationNetwork>
#include <network/LineReader>
#include <network/TextFields>

#include <cstdio>

bool CorrelationNetwork::readRegionFile(std::string path, int kind)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;

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
    LineReader reader(file);
    std::string line;
    LineReader::Status status;
    while ((status = reader.readLine(line)) == LineReader::Status::Line)
    {
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
    }
    reader.reportEnd(status, path);
    std::fclose(file);
    return true;
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
