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
    CorrelationNetwork network;
    if (!network.readGroupFile(writeFuzzInput(data, size)))
        std::abort();
    network.markDuplicateNames();

    // Every site keeps the weights of its later pairs and never more; names are indexed consistently.
    std::size_t pairs = 0;
    for (const SiteGroup& group : network.groups)
    {
        for (std::size_t i = 0; i < group.size(); ++i)
        {
            if (group[i].weights.size() > group.size() - i - 1)
                std::abort();
            if (!network.isKnownName(group[i].name))
                std::abort();
            pairs += group[i].weights.size();
        }
    }
    // The scene of a small network is built too, links and all.
    if (pairs <= 2000)
        network.buildScene();
    return 0;
}
