#include <FuzzInput.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

std::string writeFuzzInput(const std::uint8_t* data, std::size_t size)
{
    static const int file = memfd_create("linkmap-fuzz-input", 0);
    if (file < 0 || ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    return "/proc/self/fd/" + std::to_string(file);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
    return 0;
}

void checkNetworkRecord(const CorrelationNetwork& network)
{
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
}
