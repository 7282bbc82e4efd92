#ifndef LINKMAP_VIEW_VIEWRULES
#define LINKMAP_VIEW_VIEWRULES 1

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/** The rules by which a view changes and is described, written once: the view model follows them, and the
 *  page, which runs the same commands in its own script, is given them in its data. */
namespace ViewRules
{

/** The cutoff moves in steps of this fraction of its range's top (cutoffTop), held within 0 and the top. */
constexpr int cutoffSteps = 20;

/** The top of the cutoff's range for links drawn on a scale whose top is weightTop (GlyphSizes::weightTop): 1
 *  for a correlation (0) or a probability; for a score, the least of 1, 2 or 5 times a power of ten that is
 *  at least its largest, so that every step is a round number. */
float cutoffTop(float weightTop);

/** The cutoff one step up from value, in a range topped at top: the next whole step, and at least the first
 *  step above weakest, the smallest |weight| read, below which a cutoff hides nothing; never above top. */
float raisedCutoff(float value, float top, float weakest);

/** The cutoff one step down from value, in a range topped at top; never below 0. */
float loweredCutoff(float value, float top);

/** The cutoff of the step nearest value, in a range topped at top, held within it; a value that is no
 *  number is 0. */
float nearestCutoff(float value, float top);

/** How many digits after the point a cutoff of a range topped at top is written with: cutoffDigits, or as
 *  many more as a step needs. */
int cutoffDigitsOf(float top);

/** The digits after the point of a weight and of a cutoff, as the corner writes them ("%.6f", "%.2f"). */
constexpr int weightDigits = 6;
constexpr int cutoffDigits = 2;

/** One of the corner's texts: its name, and the pattern whose {names} a view fills. */
struct Pattern
{
    const char* name;
    const char* text;
};

// A site: "K45 (LYS 45): positive region (pos.txt); community 2; 4 links, 3 shown, the strongest with H12
// at 0.900000". Its name and residue, the region it is in, what the analyses found, then its links.
constexpr Pattern siteNamedAt{"siteNamedAt", "{name} ({residue})"};
constexpr Pattern site{"site", "{name}: {region}"};
constexpr Pattern inRegion{"inRegion", "{word} region ({list})"};
constexpr Pattern inNoRegion{"inNoRegion", "in no region"};
constexpr Pattern siteMeasures{"siteMeasures", "; {measures}"};
constexpr Pattern noLinks{"noLinks", "; no links"};
constexpr Pattern oneLink{"oneLink", "; 1 link{shown}, with {other} at {weight}"};
constexpr Pattern links{"links", "; {count} links{shown}, the strongest with {other} at {weight}"};
constexpr Pattern linksShown{"linksShown", ", {shown} shown"};
// A link, the filter's and the cutoff's lines, and what a region key without its list says.
constexpr Pattern link{"link", "Link between {first} and {second} with weight {weight}"};
constexpr Pattern regionFilter{"regionFilter",
                               "Links touching {word} sites ({list}): {shown} of {total} shown"};
constexpr Pattern cutoff{"cutoff", "Cutoff {cutoff}: {shown} of {total} links shown"};
constexpr Pattern noList{"noList", "No {word} list was given ({option})"};
// While the paths are looked for, and while the network of communities shows.
constexpr Pattern findingPaths{"findingPaths",
                               "Finding the paths from {from} to {to} among the links shown..."};
constexpr Pattern pathsInWindow{
    "pathsInWindow", "Paths between sites are found in the window, or by LINKMAP_FROM and LINKMAP_TO"};
constexpr Pattern overlay{"overlay",
                          "The network of its {count} communities, over the sites faded (g hides it)"};

/** Every pattern above. */
const std::vector<Pattern>& patterns();

/** pattern with each {name} that values names replaced by its value, once: a value is never read again for
 *  names of its own. A name values lacks stays as it is. */
std::string fill(const Pattern& pattern,
                 std::initializer_list<std::pair<std::string_view, std::string>> values);

/** A weight as the corner writes it. */
std::string weightText(double weight);

/** A cutoff as the corner writes it, in a range topped at top. */
std::string cutoffText(float value, float top = 1.0f);

} // namespace ViewRules

#endif
