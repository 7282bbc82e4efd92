#ifndef LINKMAP_NETWORK_SITELINKS
#define LINKMAP_NETWORK_SITELINKS 1

#include <network/SiteLink.h>

#include <cstddef>
#include <vector>

/** The links of every site, by their places in the log, in the log's order; a link from a site to itself is
 *  listed once, and an end that is no site not at all. */
class SiteLinks
{
public:
    SiteLinks() = default;

    /** Lists the links of each of siteCount sites. */
    SiteLinks(const std::vector<SiteLink>& links, std::size_t siteCount);

    /** The places in the log of site's links, from first to last; empty for a site past the last. */
    const std::size_t* begin(std::size_t site) const;
    const std::size_t* end(std::size_t site) const;

    /** How many links site has. */
    std::size_t count(std::size_t site) const
    {
        return static_cast<std::size_t>(end(site) - begin(site));
    }

private:
    /** The links of site s lie from starts[s] to starts[s + 1] in list. */
    std::vector<std::size_t> starts;
    std::vector<std::size_t> list;
};

#endif
