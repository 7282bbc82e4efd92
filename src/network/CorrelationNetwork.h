#ifndef LINKMAP_NETWORK_CORRELATIONNETWORK
#define LINKMAP_NETWORK_CORRELATIONNETWORK 1

#include <network/RegionKind.h>
#include <network/SiteLink.h>
#include <network/SiteStatistics.h>
#include <network/WeightMeaning.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

/** Thrown by a reader for a network whose sites or links are more than the program can number. */
class NetworkTooLarge : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** The sites of one ring, by their places among the network's sites, in the order they are set out. */
struct Ring
{
    const std::uint32_t* first = nullptr;
    const std::uint32_t* last = nullptr;

    const std::uint32_t* begin() const
    {
        return first;
    }
    const std::uint32_t* end() const
    {
        return last;
    }
    std::size_t size() const
    {
        return static_cast<std::size_t>(last - first);
    }
};

/** A network as read: its distinct sites, the rings they are set out in, and the links between them. Readers
 *  fill it and the region lists classify it; nothing in it says how it is drawn. */
class CorrelationNetwork
{
public:
    /** The distinct site names, in the order they were first met. */
    std::vector<std::string> names;

    /** The number of every site: its name without the first character, as in K215 or X-5. */
    std::vector<int> numbers;

    /** The region of every site; None until the region lists classify them. */
    std::vector<RegionKind> regions;

    /** Every link, in the order of the log, by the sites it joins. */
    std::vector<SiteLink> links;

    /** One a link, for a network read from a matrix, a pair list, .npy or GraphML: its weight as the file
     *  wrote it, which the log prints; empty for a group file, whose weights are read at single precision. */
    std::vector<double> exactWeights;

    /** The weight of link as the file wrote it where the network keeps that, else as it was read. */
    double exactWeight(std::size_t link) const
    {
        return exactWeights.size() == links.size() ? exactWeights[link]
                                                   : static_cast<double>(links[link].weight);
    }

    /** What the weights are, and the quantity the key names them by ("BGM posterior probability"); empty for
     *  "link weight". A distance is read as a correlation. */
    WeightMeaning weightMeaning = WeightMeaning::Correlation;
    std::string weightQuantity;

    /** The |weight| at the top of the scale the links are drawn on: 0 for a correlation's, from -1 to 1; 1
     *  for a probability; the largest finite |weight| for a score (1 when there is none). */
    float weightTop() const;

    /** What each selection analysis given as a region list reports of the sites, in the lists' order; one
     *  for a file given as two lists. */
    std::vector<SiteStatistics> statistics;

    /** The statistics of site, as the corner gives them: "FEL α 1.21, β 0.08, p 0.003"; empty for none. */
    std::string describeStatistics(std::size_t site) const;

    /** A line that every picture of the network shows in its corner, where the file's analysis reports
     *  nothing to show; else empty. */
    std::string caption;

    /** One a link: the regions its two ends lie in, as the bits of regionBit; 0 until classified. */
    std::vector<std::uint8_t> linkRegions;

    /** One a site once the communities are found: its community, from 0, the largest first; else empty. */
    std::vector<std::uint32_t> communities;

    /** The same communities as the method that found them numbered them, from 0, as a table of them is
     *  numbered; else empty. */
    std::vector<std::uint32_t> methodCommunities;

    /** One a site once it is measured: its betweenness over the links shown at the start, each as long as
     *  −ln|w|; else empty. */
    std::vector<double> betweenness;

    /** One a site of a network of communities: the names of the sites its community holds; else empty. */
    std::vector<std::vector<std::string>> members;

    /** The names the file gave the sites, where some were renamed since (renameSite); else empty. The log
     *  of the links keeps them. */
    std::vector<std::string> fileNames;

    /** The name the file gave site. */
    const std::string& fileName(std::size_t site) const
    {
        return fileNames.empty() ? names[site] : fileNames[site];
    }

    /** One a site, where an alignment's reference named the sites (K45): the number of its column, its codon
     *  in a codon alignment, as the file numbered it; else empty. And the reference's residues without gaps,
     *  one letter each: the residue of a site numbered k that is no gap is its k-th. */
    std::vector<int> columns;
    std::string referenceResidues;

    /** The number the file gave site, by which region lists and selection analyses know it: its column, its
     *  number, or that of the name the file gave it before it was renamed. */
    int fileNumber(std::size_t site) const;

    /** Calls site name instead, keeping the file's name in fileNames; false, and nothing changed, when
     *  another site bears name. */
    bool renameSite(std::uint32_t site, const std::string& name);

    /** Keeps the links whose entry of kept (one a link) is true, in their order, before the rings' links
     *  and regions are known; returns how many were left out. */
    std::size_t keepLinks(const std::vector<bool>& kept);

    /** The site called name, adding it at the end when no site bears it yet; second tells whether it was
     *  added. Throws NetworkTooLarge for more sites than can be numbered. */
    std::pair<std::uint32_t, bool> addSite(const std::string& name);

    /** The place of the site called name among the sites, or of the one its file called so before it was
     *  renamed; siteCount() when there is none. */
    std::size_t findSite(const std::string& name) const;

    /** Starts a new ring, empty until sites are added to it. */
    void beginRing();

    /** Adds site to the ring begun last. */
    void addToRing(std::uint32_t site);

    /** Adds a link of weight between the sites first and second. */
    void addLink(std::uint32_t first, std::uint32_t second, float weight);

    /** Adds a link whose weight the file wrote as exact, keeping that value for the log beside the weight
     *  drawn. A network takes links of one kind only. */
    void addExactLink(std::uint32_t first, std::uint32_t second, double exact);

    /** Removes the sites that no link joins, keeping the order of the others; for a network without rings.
     *  Returns how many were removed. */
    std::size_t removeUnlinkedSites();

    /** Throws NetworkTooLarge when the sites and links together are more than a pick can number. */
    void checkSize() const;

    /** The number of sites, of rings and of links. */
    std::size_t siteCount() const
    {
        return names.size();
    }
    std::size_t ringCount() const
    {
        return ringStarts.size() - 1;
    }
    std::size_t linkCount() const
    {
        return links.size();
    }

    /** The sites of a ring. */
    Ring ring(std::size_t index) const;

private:
    std::unordered_map<std::string, std::uint32_t> siteIndex;
    std::vector<std::size_t> ringStarts = std::vector<std::size_t>(1, 0);
    std::vector<std::uint32_t> ringSites;
};

/** The number written in a site's name after its first character, as in K215 or X-5; 0 for none. */
int siteNumber(const std::string& name);

#endif
