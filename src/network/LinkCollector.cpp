#include <network/LinkCollector.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

LinkCollector::LinkCollector(CorrelationNetwork& network_, float minimumWeight_, double threshold_)
    : network(network_), minimumWeight(minimumWeight_), threshold(threshold_)
{
}

LinkCollector::Listing LinkCollector::add(std::uint32_t one, std::uint32_t other, double weight)
{
    if (one == other || std::isnan(weight))
        return Listing::None;
    const std::uint64_t pair = std::uint64_t(std::min(one, other)) << 32 | std::max(one, other);
    const auto [met, fresh] = firstWeights.emplace(pair, weight);
    if (!fresh)
    {
        // A pair listed again with its weight, as a symmetric listing has each pair both ways, is no
        // conflict.
        conflicts += met->second != weight ? 1 : 0;
        return Listing::Repeated;
    }
    if (std::fabs(weight) < threshold || std::fabs(drawnWeight(weight)) < minimumWeight)
    {
        ++below;
        return Listing::Below;
    }
    const std::vector<int>& numbers = network.numbers;
    if (numbers[other] != numbers[one] ? numbers[other] < numbers[one] : other < one)
        std::swap(one, other);
    network.addExactLink(one, other, weight);
    return Listing::Linked;
}

void LinkCollector::warnOfConflicts(const std::string& shownName) const
{
    if (conflicts > 0)
        std::printf("Warning: %s repeats %zu pair%s with another weight; the first weight of each is kept\n",
                    shownName.c_str(), conflicts, conflicts == 1 ? "" : "s");
}
