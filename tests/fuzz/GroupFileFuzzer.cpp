#include <FuzzInput>
#include <network/NetworkReader>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The reader alone, at its own speed.
    CorrelationNetwork network;
    LoadProgress silent;
    if (!readGroupFile(writeFuzzInput(data, size), network, silent))
        std::abort();

    // Every site is named once and stands on one ring; every link joins two sites.
    checkNetworkRecord(network);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The reader alone, at its own speed.
    CorrelationNetwork network;
    LoadProgress silent;
    if (!readGroupFile(writeFuzzInput(data, size), network, silent))
        std::abort();

    // Every site is named once and stands on one ring; every link joins two sites.
    const std::size_t sites = network.siteCount();
    if (network.numbers.size() != sites || network.regions.size() != sites ||
        network.linkRegions.size() != network.linkCount())
        std::abort();
    std::vector<int> rings(sites, 0);
    for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
        for (const std::uint32_t site : network.ring(ring))
            if (site >= sites || ++rings[site] > 1)
                std::abort();
    for (std::size_t site = 0; site < sites; ++site)
        if (rings[site] != 1 || network.names[site].empty() || network.findSite(network.names[site]) != site)
            std::abort();
    for (const SiteLink& link : network.links)
        if (link.first >= sites || link.second >= sites)
            std::abort();
    return 0;
}
