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
    // The reader alone, at its own speed: one network, emptied before each input.
    static CorrelationNetwork network;
    network.groups.clear();
    if (!network.readGroupFile(writeFuzzInput(data, size)))
        std::abort();

    // Every site keeps the weights of its later pairs and never more.
    for (const SiteGroup& group : network.groups)
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i].weights.size() > group.size() - i - 1 || group[i].name.empty())
                std::abort();
    return 0;
}
