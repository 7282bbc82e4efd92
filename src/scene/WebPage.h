#ifndef LINKMAP_SCENE_WEBPAGE
#define LINKMAP_SCENE_WEBPAGE 1

#include <network/RegionKind.h>
#include <scene/FigureContent.h>
#include <scene/OutputError.h>
#include <scene/PickIndex.h>

#include <osg/Vec3d>

#include <cstdint>
#include <string>
#include <vector>

/** What a web page of the network holds: the figure's content, and what its script needs to turn it and to
 *  describe it as the window does. */
struct PageContent
{
    /** The sites, links, colours, key and corner text of the first view. */
    FigureContent figure;

    /** The page's title. */
    std::string title;

    /** One text a site, which residue it stands at, or empty when no site stands on a structure. */
    std::vector<std::string> residues;
    /** One text a site of what the analyses found of it, as the corner gives it, or empty. */
    std::vector<std::string> measures;

    /** Every site's strongest link, by its place in the log, as the corner names it; the count of links for
     *  a site without any. */
    std::vector<std::size_t> strongestLinks;

    /** The name of every region kind's list file, in the order of regionKinds; empty when none was given. */
    std::vector<std::string> listNames;

    /** The first view's cutoff, the top of its range, the weakest |weight| read, its region filter and pick.
     */
    float cutoff = 0.0f;
    float cutoffTop = 1.0f;
    float weakest = 0.0f;
    RegionKind region = RegionKind::None;
    Pick pick;

    /** The corner's last line, whatever the view: what the file's analysis reports when it shows nothing. */
    std::string caption;

    /** The lines that describe the paths asked for, as the corner writes them; empty without paths. */
    std::vector<std::string> pathLines;

    /** Each path found: the line standard output gives it, and its links by their places in the log. */
    struct Path
    {
        std::string line;
        std::vector<std::size_t> links;
        std::vector<std::uint32_t> sites;
    };
    std::vector<Path> paths;
    /** What the corner adds while a cutoff or a filter other than theirs shows the paths; how much thicker a
     *  path shown alone draws its links. */
    std::string pathsFoundAt;
    float onePathThickness = 1.0f;

    /** The first camera, framed for its width over its height; framed is false where the settings place it,
     *  which the page then keeps as given. */
    SceneCamera camera;
    bool framed = true;
    /** How far from the point it turns round the eye may zoom out, as in the window; 0 for no limit. */
    double farthest = 0.0;
};

/** Whether fileName names a web page: .html or .htm, in any case. */
bool isWebPageName(const std::string& fileName);

/** The folder whose three.min.js and examples/js/controls/TrackballControls.js a page inlines. */
extern const char* const threeFolder;

/** Writes content to fileName as one HTML file that draws it with three.js, read from threeFolder and
 *  inlined, and turns it in any browser with nothing fetched: the network in typed arrays, the names as the
 *  page's text. Throws OutputError, saying why, when it cannot be written. */
void writeWebPage(const PageContent& content, const std::string& fileName);

/** Data as base64, 0 to 3 bytes of padding included. */
std::string base64(const void* data, std::size_t size);

#endif
