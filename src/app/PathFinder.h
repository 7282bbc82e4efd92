#ifndef LINKMAP_APP_PATHFINDER
#define LINKMAP_APP_PATHFINDER 1

#include <network/CorrelationNetwork.h>
#include <network/LinkPaths.h>
#include <network/SiteLink.h>

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>

/** What a search for paths is asked: between which two sites, how many, over which links. */
struct PathRequest
{
    std::pair<std::uint32_t, std::uint32_t> ends;
    std::size_t count = 10;
    LinkFilter filter;
};

/** What a search gave: the paths of its request, or the line that says why there are none. */
struct PathResult
{
    PathRequest request;
    std::optional<PathSearch> paths;
    std::string failure;
};

/** The window's search for the paths between two sites, beside the frame loop. One search runs at a time, as
 *  igraph allows, on a thread that nothing waits for: igraph's search cannot be stopped safely, so a run that
 *  ends while it searches leaves it behind. A request made meanwhile waits for it, and only the last request
 *  is answered. */
class PathFinder
{
public:
    /** Searches among network's links, which must outlive the finder; the searches read a copy of the records
     *  of their own, made at the first. */
    explicit PathFinder(const CorrelationNetwork& network);

    /** Asks for the paths of request, in place of anything asked before. */
    void request(const PathRequest& request);

    /** Forgets what was asked: nothing is answered until the next request. */
    void cancel();

    /** What was asked and is not answered yet, if anything. */
    const std::optional<PathRequest>& pending() const
    {
        return asked;
    }

    /** The answer to the last request, once its search is over; nothing before then, and nothing again. The
     *  frame loop asks at every pass. */
    std::optional<PathResult> collect();

private:
    /** Starts the search of request on a thread of its own. */
    void start(const PathRequest& request);

    const CorrelationNetwork& network;
    std::shared_ptr<const CorrelationNetwork> records;
    /** The search under way, and the request it answers. */
    std::future<PathSearch> running;
    PathRequest searched;
    /** The request to answer; it waits while another runs. */
    std::optional<PathRequest> asked;
};

#endif
