#include <FuzzInput>
#include <network/NetworkReader>

#include <cstdlib>

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
