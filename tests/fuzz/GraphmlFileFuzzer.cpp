#include <FuzzInput>
#include <network/NetworkReader>

#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the settings; the rest is the file.
    if (size == 0)
        return 0;
    ReadSettings settings;
    settings.format = InputFormat::Graphml;
    settings.minimumWeight = static_cast<float>(data[0] & 3) / 4.0f;
    settings.grouping = static_cast<RingGrouping>((data[0] >> 2) % 3);
    settings.scaleToLargest = (data[0] & 32) != 0;
    settings.firstNumber = (data[0] & 64) != 0 ? 0 : 1;
    CorrelationNetwork network;
    LoadProgress silent;
    try
    {
        readNetwork(writeFuzzInput(data + 1, size - 1), settings, network, silent);
    }
    catch (const InputError&)
    {
        return 0;
    }

    // Every site stands on one ring and has a name that finds it; every link joins two sites and weighs at
    // least the minimum.
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
        if (rings[site] != 1 || network.findSite(network.names[site]) != site)
            std::abort();
    for (const SiteLink& link : network.links)
        if (link.first >= sites || link.second >= sites || link.first == link.second ||
            (!settings.scaleToLargest && std::fabs(link.weight) < settings.minimumWeight))
            std::abort();
    return 0;
}
