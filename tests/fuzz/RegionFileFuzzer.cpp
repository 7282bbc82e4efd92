#include <FuzzInput>
#include <network/CorrelationNetwork>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CorrelationNetwork network;
    network.positiveRanges.clear();
    if (!network.readRegionFile(writeFuzzInput(data, size), 1))
        std::abort();
    // No number of the file is negative, since "-" separates them.
    for (const SiteRange& range : network.positiveRanges)
    {
        if (range.first < 0 || range.last < 0)
            std::abort();
        if (network.classifySite(range.first) != RegionKind::Positive && range.first <= range.last)
            std::abort();
    }
    return 0;
}
