#include <app/PathFinder.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{

// Four sites joined six ways, whose paths from A1 to D4 were worked out by hand (a link's length is -ln|w|):
// A1-B2 0.5, B2-D4 0.5, A1-C3 0.25, C3-D4 1, A1-D4 0.2, B2-C3 -0.8.
const char* const diamond = "A1 B2 0.5\nB2 D4 0.5\nA1 C3 0.25\nC3 D4 1.0\nA1 D4 0.2\nB2 C3 -0.8\n";

// The answer of finder once its search is over, as the frame loop takes it; nothing when none comes within
// the tests' patience.
std::optional<PathResult> answer(PathFinder& finder)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(patienceSeconds);
    std::optional<PathResult> result;
    while (!(result = finder.collect()) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return result;
}

TEST(PathFinder, AnswersTheLastRequestOnlyOverTheLinksItsFilterShows)
{
    CorrelationNetwork network;
    readGroups(network, diamond);
    const auto site = [&](const char* name) { return static_cast<std::uint32_t>(network.findSite(name)); };
    PathFinder finder(network);
    EXPECT_FALSE(finder.collect()) << "nothing asked, nothing answered";

    // Requests in a row, each in place of the one before; only the last is answered, with its own filter.
    struct Request
    {
        const char* from;
        const char* to;
        std::size_t count;
        float cutoff;
    };
    struct Case
    {
        std::vector<Request> requests;
        std::size_t paths;
        const char* shortest;
    };
    const Case cases[] = {
        {{{"A1", "D4", 5, 0.0f}}, 5, "A1 B2 C3 D4"},
        {{{"A1", "D4", 5, 0.0f}, {"A1", "D4", 2, 0.0f}}, 2, "A1 B2 C3 D4"},
        // At 0.3 only A1-B2, B2-D4, C3-D4 and B2-C3 are shown.
        {{{"A1", "D4", 5, 0.0f}, {"A1", "D4", 5, 0.3f}}, 2, "A1 B2 C3 D4"},
        {{{"A1", "D4", 5, 0.3f}, {"B2", "C3", 5, 0.0f}, {"C3", "A1", 5, 0.6f}}, 0, nullptr},
    };
    for (const Case& c : cases)
    {
        for (const Request& request : c.requests)
            finder.request(PathRequest{
                {site(request.from), site(request.to)}, request.count, LinkFilter{request.cutoff, 0}});
        const Request& last = c.requests.back();
        ASSERT_TRUE(finder.pending()) << last.from << "-" << last.to;
        const std::optional<PathResult> result = answer(finder);
        ASSERT_TRUE(result) << last.from << "-" << last.to << ": no answer";
        EXPECT_FALSE(finder.pending());
        EXPECT_FALSE(finder.collect()) << "answered once";
        ASSERT_TRUE(result->paths);
        EXPECT_EQ(result->failure, "");
        EXPECT_EQ(result->paths->source, site(last.from));
        EXPECT_EQ(result->paths->sink, site(last.to));
        EXPECT_EQ(result->request.filter.cutoff, last.cutoff);
        ASSERT_EQ(result->paths->paths.size(), c.paths) << last.from << "-" << last.to;
        if (c.shortest != nullptr)
        {
            std::string names;
            for (const std::uint32_t on : result->paths->paths.front().sites)
                names += (names.empty() ? "" : " ") + network.names[on];
            EXPECT_EQ(names, c.shortest);
        }
    }

    // A request taken back is never answered; the next one is.
    finder.request(PathRequest{{site("A1"), site("D4")}, 5, LinkFilter{}});
    finder.cancel();
    EXPECT_FALSE(finder.pending());
    finder.request(PathRequest{{site("B2"), site("D4")}, 1, LinkFilter{}});
    const std::optional<PathResult> result = answer(finder);
    ASSERT_TRUE(result && result->paths);
    EXPECT_EQ(result->paths->source, site("B2"));
    ASSERT_EQ(result->paths->paths.size(), 1u);
}

TEST(PathFinder, SaysWhyASearchFoundNothing)
{
    // A weight beyond 1 has no length.
    CorrelationNetwork network;
    readGroups(network, "A1 B2 1.5\n");
    PathFinder finder(network);
    finder.request(PathRequest{{0, 1}, 3, LinkFilter{}});
    const std::optional<PathResult> result = answer(finder);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->paths);
    EXPECT_EQ(result->failure.rfind("Error: paths need weights from -1 to 1, and A1-B2 weighs 1.5", 0), 0u)
        << result->failure;
}

} // namespace
