#ifndef LINKMAP_SCENE_PICKINDEX
#define LINKMAP_SCENE_PICKINDEX 1

#include <network/SiteLink.h>
#include <scene/GlyphStyle.h>
#include <view/Pick.h>

#include <osg/Vec2>
#include <osg/Vec3>
#include <osg/Vec3d>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

/** The sites' spheres and the links' cylinders in the columns of a grid across x and z, each column as high
 * as the sites reach along y, so that a ray finds what it meets by looking only at the columns it passes
 *  through, wherever the sites stand. */
class PickIndex
{
public:
    /** Indexes a sphere at every site position and a cylinder along every link whose ends are both sites,
     *  both of the radii of sizes, a sphere's times its scale where scales gives one a site. */
    PickIndex(std::vector<osg::Vec3> sitePositions, const std::vector<SiteLink>& links,
              const GlyphSizes& sizes = GlyphSizes(), std::vector<float> scales = {});

    /** The nearest sphere or link that the ray from origin along direction passes through. When it passes
     *  through none, the one it passes closest to, if that is within slack times the distance along the
     *  ray (slack is the angle a few pixels cover); otherwise nothing. Links that a cutoff hides are passed
     *  through. */
    Pick pick(const osg::Vec3d& origin, const osg::Vec3d& direction, double slack, float cutoff = 0.0f) const;

    /** The same, passing through the links that filter hides; linkRegions holds the regions of every link's
     *  ends, one a link. */
    Pick pick(const osg::Vec3d& origin, const osg::Vec3d& direction, double slack, const LinkFilter& filter,
              const std::vector<std::uint8_t>& linkRegions) const;

private:
    /** Calls visit once with every cell that may hold a point within thickness of the segment from p to q,
     *  in the plane. */
    template <typename Visit>
    void forEachCell(osg::Vec2 p, osg::Vec2 q, float thickness, Visit&& visit) const;

    /** Calls visit once with every cell an item covers: a site's sphere, or a link whose ends are sites. */
    template <typename Visit> void forEachCoveredCell(std::size_t item, Visit&& visit) const;

    std::vector<osg::Vec3> sites;
    std::vector<SiteLink> links;
    std::vector<float> siteScales;
    /** The radius of the sphere of site, and the largest of any. */
    double sphereRadius(std::size_t site) const;
    double largestRadius = 0.0;
    GlyphSizes sizes;

    // The grid: its corner, the side of a cell and the number of cells across x and z; every cell's items
    // (sites first, then links numbered after them) lie between its start and the next cell's.
    osg::Vec2 corner;
    float lowest = std::numeric_limits<float>::max();
    float highest = -std::numeric_limits<float>::max();
    float cellSize = 1.0f;
    int columns = 0;
    int rows = 0;
    std::vector<std::size_t> cellStarts;
    std::vector<std::uint32_t> items;
};

#endif
