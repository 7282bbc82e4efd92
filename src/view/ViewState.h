#ifndef LINKMAP_VIEW_VIEWSTATE
#define LINKMAP_VIEW_VIEWSTATE 1

#include <network/CorrelationNetwork.h>
#include <network/InputFiles.h>
#include <network/LinkPaths.h>
#include <network/RegionKind.h>
#include <network/SiteLinks.h>
#include <view/Pick.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/** What the view of a network shows, owned by the run: the view model changes it as the commands of clicks
 *  and keys ask, and every output reads it. */
struct ViewState
{
    /** The links whose |weight| is below the cutoff are hidden; it is held within 0 and cutoffTop, the top of
     *  its range in the weights' quantity (ViewRules::cutoffTop). */
    float cutoff = 0.0f;
    float cutoffTop = 1.0f;

    /** The smallest |weight| read: the cutoff's first step up is the first above it, since none below it
     *  hides a link. */
    float weakest = 0.0f;

    /** Only the links that touch a site of this region are shown; RegionKind::None shows them all. */
    RegionKind region = RegionKind::None;

    /** The site or link picked: described in the corner, with its links emphasised and the rest dimmed. */
    Pick pick;

    /** The two sites paths are asked for between, and the paths, once found (findViewPaths, or the window
     *  beside its loop), over the links shown then. */
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pathEnds;
    std::optional<PathSearch> paths;

    /** How many paths a search asks for. */
    std::size_t pathsAsked = 10;

    /** The one path shown, by its place among the paths; all are shown when none is. */
    std::optional<std::size_t> onePath;

    /** Whether the paths show: a pick puts them aside, and \\ or ] brings them back. */
    bool pathsShown = true;

    /** The filter of the links the paths were found over, or are being looked for over. */
    LinkFilter pathFilter;

    /** Counts the searches asked for: it grows whenever the paths are to be found again, and the view has
     *  none until they are (searching). */
    std::uint64_t pathSearch = 0;
    bool searching = false;

    /** The find prompt's line, while it is open; empty when closed. */
    std::string prompt;

    /** Whether the network of communities shows over the sites faded, and how many communities it has. */
    bool overlay = false;
    std::size_t overlayCommunities = 0;

    /** What the last command had to say, until the next; and a notice of the front end's, until it goes. */
    std::string message;
    std::string notice;
};

/** The links of view's paths shown, one count a link in the order of the log: how many of the paths shown
 *  (all, or the one) pass along it; empty when there are none. */
std::vector<std::uint32_t> pathLinkCounts(const ViewState& view, std::size_t linkCount);

/** A cutoff held within 0 to top; a value that is no number hides nothing. */
float heldCutoff(float cutoff, float top = 1.0f);

/** The filter of view's cutoff and region. */
LinkFilter linkFilterOf(const ViewState& view);

/** Which links view emphasises, one flag a link in the order of the log: those of its paths, when it has
 *  any; else a picked link, or every link of a picked site; empty when nothing is emphasised. */
std::vector<bool> emphasisedLinks(const ViewState& view, const CorrelationNetwork& network,
                                  const SiteLinks& siteLinks);

/** Finds the paths view asks for, if it asks and they are not found yet, and writes them on standard output
 *  as writePaths does. Throws InputError when a link shown weighs more than 1 either way. */
void findViewPaths(ViewState& view, const CorrelationNetwork& network);

/** The places in the log of the links of view's paths shown (all, or the one), in the log's order. */
std::vector<std::size_t> shownPathLinks(const ViewState& view, std::size_t linkCount);

/** How much thicker than usual a link is drawn, one a link in the order of the log: the links of view's paths
 *  shown by how many of them pass along it, up to three times for the most used and for the shortest shown
 *  path's; empty when there are no paths. */
std::vector<float> linkThickness(const ViewState& view);

/** The sites whose labels view keeps before any other: a picked site, or a picked link's ends; with paths,
 * the paths' two ends, then the sites of the paths shown, in the order of the paths. Each site once. */
std::vector<std::uint32_t> favouredSites(const ViewState& view, const CorrelationNetwork& network);

/** One flag a site, of siteCount, when view shows paths: whether a path shown passes through it; else empty.
 */
std::vector<bool> sitesOnPaths(const ViewState& view, std::size_t siteCount);

/** What a view that keeps its paths under another cutoff or filter says of them: "The paths were found at
 *  cutoff 0.25", and the links they were found among, if a region filtered them: those of filter, in a
 *  cutoff's range topped at cutoffTop. */
std::string describePathsFoundAt(const LinkFilter& filter, float cutoffTop);

/** How many of network's links view's filter shows. */
std::size_t countShownLinks(const ViewState& view, const CorrelationNetwork& network);

/** The records a view is described from: the network, the residues its sites stand on (none, or one a
 *  site, empty for a site on none), its region lists and every site's links. */
struct DescribedNetwork
{
    const CorrelationNetwork& network;
    const std::vector<std::string>& residues;
    const InputFiles& files;
    const SiteLinks& siteLinks;
};

/** The corner's lines that describe view's paths: how many were found, and the one shown; none without paths.
 */
std::vector<std::string> describeViewPaths(const ViewState& view, const CorrelationNetwork& network);

/** The strongest of site's links, as the corner names it: the one of largest |weight|, the first of equals,
 *  never one whose weight is no number while another's is; the count of links when site has none. */
std::size_t strongestLink(std::size_t site, const CorrelationNetwork& network, const SiteLinks& siteLinks);

/** What the analyses found of site, as the pick's description gives it: "community 3, betweenness 120.5";
 *  empty when nothing was found. */
std::string describeMeasures(const CorrelationNetwork& network, std::size_t site);

/** The lines of the top left corner for view, of which shown links are shown: the find prompt; the pick's
 *  description; the region filter's line; the paths'; the message; the overlay's; the cutoff's; the notice
 *  and the network's caption. Each is left out when empty. */
std::vector<std::string> describeView(const ViewState& view, const DescribedNetwork& described,
                                      std::size_t shown);

#endif
