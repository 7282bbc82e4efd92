#include <network/ContentFormat.h>
#include <network/CorrelationNetwork.h>
#include <network/HyphyResult.h>
#include <network/LineReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionKind.h>
#include <network/RegionLists.h>
#include <network/TextFields.h>

#include <algorithm>
#include <cstdio>

const RegionKindEntry* findRegionKind(RegionKind kind)
{
    for (const RegionKindEntry& entry : regionKinds)
        if (entry.kind == kind)
            return &entry;
    return nullptr;
}

std::uint8_t regionBit(RegionKind kind)
{
    const RegionKindEntry* entry = findRegionKind(kind);
    return entry != nullptr ? entry->bit : 0;
}

const std::string& regionListOf(const InputFiles& files, RegionKind kind)
{
    static const std::string none;
    const RegionKindEntry* entry = findRegionKind(kind);
    return entry != nullptr ? files.*entry->listFile : none;
}

namespace
{

// "35-52", "35-52, 60-70" or "35-52, 60-70, ...": the first ranges read, as a note shows them.
std::string firstRanges(const std::vector<SiteRange>& ranges, std::size_t from)
{
    std::string text;
    for (std::size_t at = from; at < ranges.size() && at < from + 2; ++at)
        text += (at > from ? ", " : "") + std::to_string(ranges[at].first) + "-" +
                std::to_string(ranges[at].last);
    return ranges.size() > from + 2 ? text + ", ..." : text;
}

} // namespace

bool readRegionFile(const std::string& path, std::vector<SiteRange>& ranges)
{
    // The numbers of the whole file pair up in order, regardless of the lines they stand on.
    SiteRange pending;
    bool expectFirst = true;
    const std::size_t firstRange = ranges.size();
    std::size_t numbers = 0;
    bool oneALine = true;
    const bool opened = readTextLines(path, [&](const std::string& line, std::size_t) {
        std::size_t onLine = 0;
        forEachToken(line, "-\n", [&](std::string_view token) {
            ++onLine;
            const int value = parseInteger(std::string(token).c_str());
            if (expectFirst)
                pending.first = value;
            else
            {
                pending.last = value;
                ranges.push_back(pending);
            }
            expectFirst = !expectFirst;
        });
        numbers += onLine;
        oneALine = oneALine && onLine <= 1;
    });

    // Pairing across lines is the format's, but a list of single sites, or a number without its partner, is
    // rarely what was meant: it is said.
    const std::string name = inputName(path);
    const std::string unpaired = !expectFirst ? "the last number, " + std::to_string(pending.first) +
                                                    ", has no partner and is left out"
                                              : std::string();
    if (oneALine && numbers >= 2)
        std::printf(
            "Note: %s has one number a line; they are read two by two as ranges, %s; write %d-%d for a "
            "single site%s\n",
            name.c_str(), firstRanges(ranges, firstRange).c_str(), ranges[firstRange].first,
            ranges[firstRange].first, unpaired.empty() ? "" : ("; " + unpaired).c_str());
    else if (!unpaired.empty())
        std::printf("Note: %s holds an odd count of numbers, %zu, read two by two as ranges; %s\n",
                    name.c_str(), numbers, unpaired.c_str());
    return opened;
}

RegionLists readRegionLists(const InputFiles& files, const SelectionThresholds& thresholds)
{
    RegionLists lists;
    for (const RegionKindEntry& entry : regionKinds)
    {
        const std::string& path = files.*entry.listFile;
        if (path.empty())
            continue;
        if (isJsonRegionList(path))
        {
            SiteStatistics statistics;
            lists.*entry.ranges = readSelectedSites(path, entry.kind, thresholds, statistics);
            lists.statistics.push_back(std::move(statistics));
        }
        else
            readRegionFile(path, lists.*entry.ranges);
    }
    return lists;
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

RegionClassifier::RegionClassifier(const RegionLists& lists)
{
    for (std::size_t i = 0; i < std::size(regionKinds); ++i)
        indexes[i] = RangeIndex(lists.*regionKinds[i].ranges);
}

RegionKind RegionClassifier::classify(int siteNumber) const
{
    for (std::size_t i = 0; i < std::size(regionKinds); ++i)
        if (indexes[i].contains(siteNumber))
            return regionKinds[i].kind;
    return RegionKind::None;
}

void classifyRegions(CorrelationNetwork& network, const RegionLists& lists)
{
    const RegionClassifier classifier(lists);
    std::vector<std::uint8_t> siteBits(network.siteCount());
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        network.regions[site] = classifier.classify(network.fileNumber(site));
        siteBits[site] = regionBit(network.regions[site]);
    }
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const SiteLink& ends = network.links[link];
        network.linkRegions[link] = static_cast<std::uint8_t>(siteBits[ends.first] | siteBits[ends.second]);
    }
    network.statistics = lists.statistics;
}
