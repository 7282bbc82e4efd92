#ifndef LINKMAP_APP_SLICEPLAN
#define LINKMAP_APP_SLICEPLAN 1

#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <vector>

/** How many drawables of a kind never drawn a slice draws at most. */
constexpr std::size_t firstSliceDrawables = 8;

/** Plans the slices a picture is drawn in, runs of its drawables in the order drawn, each to take about a
 *  given time. Drawables come in kinds that differ in cost, such as the batches of links, spheres and labels;
 *  those of a kind cost about alike. A drawable is reckoned at what one of its kind cost in the slices drawn
 *  last; until its kind comes again in a new drawing, that is scaled by how the drawing's other kinds compare
 *  with before. A kind never drawn is first drawn in a slice of its own, of a few drawables. */
class SlicePlan
{
public:
    /** Drawables of the same kind share a key. */
    using Kind = const void*;

    explicit SlicePlan(double sliceSeconds);

    /** A new drawing of the picture begins, of another view or look. */
    void restart();

    /** The end of the slice that begins at drawable begin of a picture whose drawables are of kinds, in the
     *  order drawn; unknown (empty) before the picture is first drawn. */
    std::size_t end(std::size_t begin, const std::vector<Kind>& kinds) const;

    /** The slice of the drawables from begin up to end, of kinds, took seconds. */
    void drawn(std::size_t begin, std::size_t end, const std::vector<Kind>& kinds, double seconds);

private:
    bool known(std::size_t drawable, const std::vector<Kind>& kinds) const;
    double reckoned(std::size_t drawable, const std::vector<Kind>& kinds) const;
    double pace() const;

    double budget;
    // What a drawable of each kind drawn so far costs, in seconds, and what one of another kind is reckoned
    // at.
    std::unordered_map<Kind, double> costs;
    double unknownCost;
    // The kinds drawn in this drawing so far, and what their slices took against what they were reckoned at
    // before: a new view makes every kind dearer or cheaper alike.
    std::unordered_set<Kind> drawnKinds;
    std::unordered_map<Kind, double> before;
    double drawingSeconds = 0.0;
    double drawingReckoned = 0.0;
};

#endif
