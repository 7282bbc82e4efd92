#ifndef LINKMAP_NETWORK_SITELINK
#define LINKMAP_NETWORK_SITELINK 1

#include <cmath>
#include <cstdint>

/** One link as logged: the two sites it joins, by their places among the distinct names, and its weight. An
 *  end whose name was never marked as known has the place one past the last name. */
struct SiteLink
{
    /** The site the link starts at: the earlier of the pair on its line, or its name's first occurrence. */
    std::uint32_t first = 0;

    /** The site the link ends at. */
    std::uint32_t second = 0;

    /** The weight of the pair, as read. */
    float weight = 0.0f;

    /** Whether a cutoff on |weight| hides the link: a weight that is no number is never below one. */
    bool isBelow(float cutoff) const
    {
        // Without a branch on the sign, which a network's mixed signs would mispredict half the time.
        return std::fabs(weight) < cutoff;
    }
};

/** The weight a link is drawn at for a weight a file wrote exactly: narrowed to float, saturated at float's
 *  largest magnitude. */
inline float drawnWeight(double exact)
{
    constexpr double largest = 3.40282346638528859812e+38; // FLT_MAX
    return static_cast<float>(exact > largest ? largest : exact < -largest ? -largest : exact);
}

/** Which links are shown: those whose |weight| is not below the cutoff and, when regions is not 0, that touch
 *  a site of one of the regions whose bits it holds. */
struct LinkFilter
{
    float cutoff = 0.0f;
    std::uint8_t regions = 0;

    /** Whether link, whose ends lie in linkRegions (bits of the region kinds), is shown. */
    bool shows(const SiteLink& link, std::uint8_t linkRegions) const
    {
        return !link.isBelow(cutoff) && touches(linkRegions);
    }

    /** Whether a link whose ends lie in linkRegions passes the region filter, whatever its weight. */
    bool touches(std::uint8_t linkRegions) const
    {
        return regions == 0 || (linkRegions & regions) != 0;
    }

    bool operator==(const LinkFilter& other) const
    {
        return cutoff == other.cutoff && regions == other.regions;
    }
};

#endif
