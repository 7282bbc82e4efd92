#include <app/SlicePlan.h>

#include <algorithm>

namespace
{

// The most one slice's time changes what a kind is reckoned to cost.
constexpr double steadiest = 4.0;

} // namespace

SlicePlan::SlicePlan(double sliceSeconds)
    : budget(sliceSeconds), unknownCost(sliceSeconds / static_cast<double>(firstSliceDrawables))
{
}

void SlicePlan::restart()
{
    drawingSeconds = 0.0;
    drawingReckoned = 0.0;
    drawnKinds.clear();
    before = costs;
}

bool SlicePlan::known(std::size_t drawable, const std::vector<Kind>& kinds) const
{
    return drawable < kinds.size() && costs.count(kinds[drawable]) > 0;
}

double SlicePlan::pace() const
{
    return drawingReckoned > 0.0 ? std::clamp(drawingSeconds / drawingReckoned, 1.0 / steadiest, steadiest)
                                 : 1.0;
}

double SlicePlan::reckoned(std::size_t drawable, const std::vector<Kind>& kinds) const
{
    if (!known(drawable, kinds))
        return unknownCost;
    // A kind not yet drawn in this drawing is reckoned as the drawing's other kinds compare with before.
    const Kind kind = kinds[drawable];
    return drawnKinds.count(kind) > 0 ? costs.at(kind) : costs.at(kind) * pace();
}

std::size_t SlicePlan::end(std::size_t begin, const std::vector<Kind>& kinds) const
{
    // A kind never drawn may cost anything: it is first drawn in a slice of its own, of a few drawables, so
    // that the slice tells what it costs and overruns by little if it is dear.
    const bool firstOfKind = !known(begin, kinds);
    std::size_t last = begin + 1;
    double seconds = reckoned(begin, kinds);
    while (kinds.empty() || last < kinds.size())
    {
        if (known(last, kinds) == firstOfKind || (firstOfKind && last - begin >= firstSliceDrawables))
            break;
        seconds += reckoned(last, kinds);
        if (seconds > budget * (1.0 + 1e-9))
            break;
        ++last;
    }
    return last;
}

void SlicePlan::drawn(std::size_t begin, std::size_t end, const std::vector<Kind>& kinds, double seconds)
{
    end = std::min(end, kinds.size());
    if (end <= begin || seconds <= 0.0)
        return;
    double expected = 0.0;
    double earlier = 0.0;
    double earlierShare = 0.0;
    std::unordered_map<Kind, std::size_t> counts;
    for (std::size_t drawable = begin; drawable < end; ++drawable)
    {
        const double reckoning = reckoned(drawable, kinds);
        expected += reckoning;
        const auto cost = before.find(kinds[drawable]);
        if (cost != before.end())
        {
            earlier += cost->second;
            earlierShare += reckoning;
        }
        ++counts[kinds[drawable]];
    }
    if (earlier > 0.0)
    {
        drawingSeconds += seconds * earlierShare / expected;
        drawingReckoned += earlier;
    }
    // A slice of one kind tells what that kind costs; the time of one that spans kinds, as a few do, is
    // shared among them as they were reckoned. Once a kind's cost is known, one slice changes it by a
    // factor of at most steadiest: a frame held up once by something else must not make the next slices
    // crawl, nor one quick frame make the next overrun far.
    const double ratio = seconds / expected;
    for (const auto& [kind, count] : counts)
    {
        const auto cost = costs.find(kind);
        const double share = counts.size() == 1 ? seconds / static_cast<double>(count) : 0.0;
        if (cost == costs.end())
            costs.emplace(kind, counts.size() == 1 ? share : unknownCost * ratio);
        else
            cost->second = std::clamp(counts.size() == 1 ? share : cost->second * ratio,
                                      cost->second / steadiest, cost->second * steadiest);
        drawnKinds.insert(kind);
    }
    unknownCost = seconds / static_cast<double>(end - begin);
}
