#include <app/SlicePlan.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

constexpr double budget = 0.08;

// The kinds of a picture's drawables: links first, then spheres, then labels.
const int linkKind = 1;
const int sphereKind = 2;
const int labelKind = 3;

std::vector<SlicePlan::Kind> pictureKinds(std::size_t links, std::size_t spheres, std::size_t labels)
{
    std::vector<SlicePlan::Kind> kinds(links, &linkKind);
    kinds.insert(kinds.end(), spheres, &sphereKind);
    kinds.insert(kinds.end(), labels, &labelKind);
    return kinds;
}

// One drawing of a picture of kinds sliced by plan, each slice taking what its drawables cost, plus startCost
// for the first slice of the drawing, as a frame that starts a drawing also does the work of starting it: the
// seconds each slice took, in order. The kinds are unknown to the plan until a first slice is drawn. Fails if
// the slices leave a drawable out or draw one twice.
std::vector<double> drawOnce(SlicePlan& plan, const std::vector<SlicePlan::Kind>& kinds,
                             const std::function<double(SlicePlan::Kind)>& cost, double startCost, bool first)
{
    const std::vector<SlicePlan::Kind> unknown;
    plan.restart();
    std::vector<double> times;
    std::size_t begin = 0;
    while (begin < kinds.size())
    {
        const std::size_t end =
            std::min(plan.end(begin, first && times.empty() ? unknown : kinds), kinds.size());
        EXPECT_GT(end, begin);
        if (end <= begin)
            break;
        double seconds = times.empty() ? startCost : 0.0;
        for (std::size_t drawable = begin; drawable < end; ++drawable)
            seconds += cost(kinds[drawable]);
        plan.drawn(begin, end, kinds, seconds);
        times.push_back(seconds);
        begin = end;
    }
    return times;
}

TEST(SlicePlan, SlicesAPictureByWhatItsKindsOfDrawableCostSoThatNoSliceOverrunsOnceTheyAreKnown)
{
    struct Case
    {
        const char* what;
        std::vector<SlicePlan::Kind> kinds;
        double link, sphere, label; // what a drawable of each kind costs, in the first drawing
        double later;               // and how many times that in the drawings after
    };
    const Case cases[] = {
        {"links", pictureKinds(300, 0, 0), 0.006, 0, 0, 1.0},
        {"links, cheap spheres, dear labels", pictureKinds(250, 25, 25), 0.006, 0.0006, 0.03, 1.0},
        {"zoomed in: every drawable twice as dear", pictureKinds(250, 25, 25), 0.006, 0.0006, 0.03, 2.0},
        {"zoomed out: every drawable a third as dear", pictureKinds(250, 25, 25), 0.006, 0.0006, 0.03,
         1 / 3.0},
        {"a few dear drawables", pictureKinds(0, 0, 30), 0, 0, 0.03, 1.0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        SlicePlan plan(budget);
        const auto cost = [&](double scale) {
            return [&c, scale](SlicePlan::Kind kind) {
                return scale * (kind == &linkKind ? c.link : kind == &sphereKind ? c.sphere : c.label);
            };
        };
        const std::vector<double> first = drawOnce(plan, c.kinds, cost(1.0), 0.15, true);
        EXPECT_EQ(first.size() > 1, true);
        double total = 0.0;
        for (const SlicePlan::Kind kind : c.kinds)
            total += cost(c.later)(kind);
        for (int drawing = 2; drawing <= 4; ++drawing)
        {
            SCOPED_TRACE("drawing " + std::to_string(drawing));
            const std::vector<double> times = drawOnce(plan, c.kinds, cost(c.later), 0.02, false);
            // Past the first slice of a drawing, which meets a new view, no slice overruns by much; nor are
            // there many more slices than the time a slice may take calls for.
            for (std::size_t slice = drawing == 2 ? 2 : 1; slice < times.size(); ++slice)
                EXPECT_LE(times[slice], 1.25 * budget) << "slice " << slice;
            EXPECT_LE(static_cast<double>(times.size()), 1.3 * total / budget + 3.0);
        }
    }
}

TEST(SlicePlan, DrawsAKindNeverDrawnInASmallSliceOfItsOwnFirstHoweverCheapTheOthersAre)
{
    // Drawables of the first kind cost almost nothing, and those of the second a hundred times as much.
    const std::vector<SlicePlan::Kind> kinds = pictureKinds(100, 300, 0);
    SlicePlan plan(budget);
    std::vector<std::size_t> ends;
    std::size_t begin = 0;
    while (begin < kinds.size())
    {
        const std::size_t end =
            std::min(plan.end(begin, begin == 0 ? std::vector<SlicePlan::Kind>() : kinds), kinds.size());
        double seconds = 0.0;
        for (std::size_t drawable = begin; drawable < end; ++drawable)
            seconds += kinds[drawable] == &linkKind ? 0.0001 : 0.01;
        plan.drawn(begin, end, kinds, seconds);
        EXPECT_LE(seconds, budget * 1.0001) << "from " << begin;
        ends.push_back(end);
        begin = end;
    }
    ASSERT_GE(ends.size(), 3u);
    EXPECT_EQ(ends[0], firstSliceDrawables);
    // The cheap kind up to its end, then a few of the dear one, then as many as the time allows.
    EXPECT_EQ(ends[1], 100u);
    EXPECT_EQ(ends[2], 100 + firstSliceDrawables);
    EXPECT_EQ(ends[3] - ends[2], static_cast<std::size_t>(budget / 0.01));
}

} // namespace
