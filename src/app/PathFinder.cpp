#include <app/PathFinder.h>

#include <chrono>
#include <exception>
#include <thread>

namespace
{

bool sameRequest(const PathRequest& a, const PathRequest& b)
{
    return a.ends == b.ends && a.count == b.count && a.filter == b.filter;
}

} // namespace

PathFinder::PathFinder(const CorrelationNetwork& explored) : network(explored) {}

void PathFinder::request(const PathRequest& request)
{
    asked = request;
    // One search at a time: a new request waits for the search under way, whose answer is then dropped.
    if (!running.valid())
        start(request);
}

void PathFinder::cancel()
{
    asked.reset();
}

void PathFinder::start(const PathRequest& request)
{
    // The search reads a copy of the records of its own, made once, so that a run that ends while it searches
    // can free its own.
    if (!records)
        records = std::make_shared<const CorrelationNetwork>(network);
    std::packaged_task<PathSearch()> search([copy = records, request] {
        return findPaths(*copy, request.ends.first, request.ends.second, request.count, request.filter);
    });
    running = search.get_future();
    searched = request;
    std::thread(std::move(search)).detach();
}

std::optional<PathResult> PathFinder::collect()
{
    if (!running.valid() || running.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    PathResult result;
    result.request = searched;
    try
    {
        result.paths = running.get();
    }
    catch (const std::exception& error)
    {
        result.failure = error.what();
    }
    if (!asked)
        return std::nullopt;
    // Asked something else meanwhile: that search starts now, and this answer is dropped.
    if (!sameRequest(*asked, searched))
    {
        start(*asked);
        return std::nullopt;
    }
    asked.reset();
    return result;
}
