#ifndef LINKMAP_NETWORK_LINKCOLLECTOR
#define LINKMAP_NETWORK_LINKCOLLECTOR 1

#include <network/CorrelationNetwork.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

/** What every reader of listed pairs (pair lists, GraphML, the graph formats, HyPhy's BGM) does with each
 * pair it meets, in one place:
 *  - a site's link to itself, and a pair without a weight, are no link;
 *  - a pair is its first listing, in either order; a later one with another weight is counted as a conflict;
 *  - a pair whose |weight| is under the minimum is counted and left out;
 *  - a link's ends are in the order of their sites' numbers, then of their places. */
class LinkCollector
{
public:
    /** What came of a pair. */
    enum class Listing
    {
        Linked,   ///< the pair's first listing, now a link
        Below,    ///< the pair's first listing, under the minimum or the reader's own threshold
        Repeated, ///< a pair listed before
        None,     ///< a site's link to itself, or no weight
    };

    /** Collects into network. A pair under minimumWeight, drawn, or whose |weight| as listed is under
     *  threshold (a reader's own, as BGM's posterior), is left out. */
    LinkCollector(CorrelationNetwork& network, float minimumWeight, double threshold = 0.0);

    /** Offers the pair of the sites one and other, of weight; NaN is no weight. */
    Listing add(std::uint32_t one, std::uint32_t other, double weight);

    /** How many pairs were left out under the minimum or the threshold. */
    std::size_t belowMinimum() const
    {
        return below;
    }

    /** Writes one warning when pairs were listed again with another weight, naming the file as shownName. */
    void warnOfConflicts(const std::string& shownName) const;

private:
    CorrelationNetwork& network;
    float minimumWeight;
    double threshold;
    std::unordered_map<std::uint64_t, double> firstWeights; // each pair met, and its first weight
    std::size_t below = 0;
    std::size_t conflicts = 0;
};

#endif
