#ifndef LINKMAP_SCENE_NETWORKSIZE
#define LINKMAP_SCENE_NETWORKSIZE 1

#include <cstddef>

/** The one rule of size by which a network is drawn, from its counts of links and sites:
 *  - up to batchedLinkCount links and batchedSiteCount sites, one object per sphere, cylinder and label;
 *  - larger, in a few batches drawn by shaders (when the display runs them);
 *  - from slicedElementCount links and sites together, the window also draws the full picture offscreen a
 *    slice a frame, as it takes longer than a frame in software, and shows a light picture meanwhile. */
namespace NetworkSize
{

constexpr std::size_t batchedLinkCount = 1000;
constexpr std::size_t batchedSiteCount = 2000;
constexpr std::size_t slicedElementCount = 20000;

/** Whether a network of these counts is drawn in batches, by its size alone. */
constexpr bool isBatched(std::size_t links, std::size_t sites)
{
    return links > batchedLinkCount || sites > batchedSiteCount;
}

/** Whether the window draws a network of these counts in slices, by its size alone. */
constexpr bool isSliced(std::size_t links, std::size_t sites)
{
    return links + sites >= slicedElementCount;
}

} // namespace NetworkSize

#endif
