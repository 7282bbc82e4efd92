#include <FuzzInput.h>
#include <network/ValidText.h>

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
    const int written = memfd_create("linkmap-fuzz-output", 0);
    if (written < 0 || std::fflush(stdout) != 0 || dup2(written, STDOUT_FILENO) < 0)
        std::abort();
    close(written);
    return 0;
}

void checkText(std::string_view text)
{
    if (isValidText(text))
        return;
    // What was written, every byte that is not plain ASCII shown by its number.
    for (const char c : text)
        std::fprintf(stderr, c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\nis no valid text\n");
    std::abort();
}

void checkWrittenText()
{
    if (std::fflush(stdout) != 0)
        std::abort();
    const off_t size = lseek(STDOUT_FILENO, 0, SEEK_CUR);
    if (size < 0)
        std::abort();
    std::string text(static_cast<std::size_t>(size), '\0');
    if (pread(STDOUT_FILENO, text.data(), text.size(), 0) != size)
        std::abort();
    checkText(text);
    if (ftruncate(STDOUT_FILENO, 0) != 0 || lseek(STDOUT_FILENO, 0, SEEK_SET) != 0)
        std::abort();
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
