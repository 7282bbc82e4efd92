#include <FuzzInput.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The reader alone, at its own speed.
    // A gzip stream cut short or damaged is refused; anything else is read.
    CorrelationNetwork network;
    LoadProgress silent;
    try
    {
        if (!readGroupFile(writeFuzzInput(data, size), network, silent))
            std::abort();
    }
    catch (const InputError& error)
    {
        checkText(error.what());
        checkWrittenText();
        return 0;
    }

    // Every site is named once and stands on one ring; every link joins two sites; the warnings and the log
    // are text.
    checkNetworkRecord(network);
    if (network.linkCount() <= 20000)
        logLinks(network);
    checkWrittenText();
    return 0;
}
