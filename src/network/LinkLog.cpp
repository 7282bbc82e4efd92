#include <network/CorrelationNetwork.h>
#include <network/LinkLog.h>
#include <network/NumberText.h>
#include <network/ValidText.h>

#include <system_error>

namespace
{

// Lines are gathered up to this size, then written with one call.
const std::size_t blockSize = std::size_t(1) << 20;

} // namespace

LinkLog::LinkLog(std::FILE* stream) : out(stream)
{
    block.reserve(blockSize + 256);
}

LinkLog::~LinkLog()
{
    flush();
}

void LinkLog::write(const std::string& first, const std::string& second, double weight)
{
    block += "Creating link between ";
    appendValidText(block, first.c_str(), "\t");
    block += " and ";
    appendValidText(block, second.c_str(), "\t");
    block += " with weight ";
    // Six decimals of the exact value, every digit of a large one, rounded as printf rounds them; "nan",
    // "-nan", "inf" and "-inf" as it spells them.
    appendFixed(block, weight, 6);
    block += '\n';
    if (block.size() >= blockSize)
        flush();
}

void LinkLog::flush()
{
    if (!block.empty())
        std::fwrite(block.data(), 1, block.size(), out);
    block.clear();
}

void logLinks(const CorrelationNetwork& network, std::FILE* out)
{
    LinkLog log(out);
    const bool exact = network.exactWeights.size() == network.linkCount();
    for (std::size_t at = 0; at < network.linkCount(); ++at)
    {
        const SiteLink& link = network.links[at];
        log.write(network.fileName(link.first), network.fileName(link.second),
                  exact ? network.exactWeights[at] : static_cast<double>(link.weight));
    }
}

std::future<void> logLinksMeanwhile(const CorrelationNetwork& network)
{
    const auto log = [&network] { logLinks(network); };
    try
    {
        return std::async(std::launch::async, log);
    }
    catch (const std::system_error&)
    {
        return std::async(std::launch::deferred, log);
    }
}
