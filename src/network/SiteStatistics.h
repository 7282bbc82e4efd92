#ifndef LINKMAP_NETWORK_SITESTATISTICS
#define LINKMAP_NETWORK_SITESTATISTICS 1

#include <map>
#include <string>
#include <vector>

/** What a selection analysis given as a region list reports of every site it tested: its rates and the
 *  statistic it calls a site selected by, as HyPhy names them. */
struct SiteStatistics
{
    /** Whether it was given as the list of positive selection, else of negative; the method and the file. */
    bool positive = true;
    std::string method;
    std::string file;

    /** The threshold it calls a site at: "p ≤ 0.1", "posterior ≥ 0.9". */
    std::string limit;

    /** The statistics, by HyPhy's names of their columns (GraphML's attributes) and by their symbols (the
     *  corner's text), in the same order. */
    std::vector<std::string> names;
    std::vector<std::string> symbols;

    /** The statistic a site is called by, and whether it is a posterior (the larger, the surer) rather than a
     *  p-value. */
    std::size_t deciding = 0;
    bool posterior = false;

    /** Each site the analysis tested, by its number from 1: its statistics, in the order of names. */
    std::map<long, std::vector<double>> sites;
};

#endif
