#ifndef LINKMAP_VIEW_PICK
#define LINKMAP_VIEW_PICK 1

#include <cstddef>

/** What a pick found: nothing, a site (by its place among the distinct names) or a link (by its place in the
 *  log). */
struct Pick
{
    enum class Kind
    {
        Nothing,
        Site,
        Link
    };

    Kind kind = Kind::Nothing;
    std::size_t index = 0;
};

inline bool operator==(const Pick& a, const Pick& b)
{
    return a.kind == b.kind && (a.kind == Pick::Kind::Nothing || a.index == b.index);
}

#endif
