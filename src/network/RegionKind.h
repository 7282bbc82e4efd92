#ifndef LINKMAP_NETWORK_REGIONKIND
#define LINKMAP_NETWORK_REGIONKIND 1

#include <network/InputFiles.h>
#include <network/RegionLists.h>
#include <network/SiteRange.h>

#include <cstdint>
#include <string>
#include <vector>

/** The region a site number falls in: none, or one of the kinds of regionKinds. */
enum class RegionKind : int
{
    None = 0,
    Positive = 1,
    Negative = 2,
    Accelerated = 3
};

/** Everything the program says of one region kind, in one place: the word that names it (in the corner text,
 *  the colour key, the help and LINKMAP_REGION), its command-line option and list file, the ranges read from
 *  that file, the window's key that filters by it, its bit in a link's regions, and its spheres' colour (red,
 *  green, blue, alpha). */
struct RegionKindEntry
{
    RegionKind kind;
    const char* word;
    const char* option;
    std::string InputFiles::*listFile;
    std::vector<SiteRange> RegionLists::*ranges;
    char key;
    std::uint8_t bit;
    float color[4];
};

/** The region kinds, in the order in which a site number in several lists takes the first. */
inline const RegionKindEntry regionKinds[] = {
    {RegionKind::Positive,
     "positive",
     "-p",
     &InputFiles::positiveFile,
     &RegionLists::positiveRanges,
     '1',
     1,
     {1.0f, 0.0f, 0.0f, 1.0f}},
    {RegionKind::Negative,
     "negative",
     "-n",
     &InputFiles::negativeFile,
     &RegionLists::negativeRanges,
     '2',
     2,
     {0.1f, 1.0f, 0.1f, 1.0f}},
    {RegionKind::Accelerated,
     "accelerated",
     "-a",
     &InputFiles::acceleratedFile,
     &RegionLists::acceleratedRanges,
     '3',
     4,
     {0.2f, 0.2f, 0.7f, 1.0f}},
};

/** The colour of a site in no region. */
inline constexpr float noRegionColor[4] = {0.7f, 0.7f, 0.7f, 1.0f};

/** The window's key that shows every link again, whatever its regions. */
inline constexpr char allRegionsKey = '0';

/** The entry of a region kind; null for RegionKind::None or a value that is no kind. */
const RegionKindEntry* findRegionKind(RegionKind kind);

/** The list file of a region kind among files, or empty when none was given. */
const std::string& regionListOf(const InputFiles& files, RegionKind kind);

/** The bit of a region kind in a link's regions; 0 for no region. */
std::uint8_t regionBit(RegionKind kind);

#endif
