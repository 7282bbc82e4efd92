#include <scene/GlyphStyle.h>
#include <scene/PickIndex.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

osg::Vec2 inPlane(const osg::Vec3& point)
{
    return osg::Vec2(point.x(), point.z());
}

// How far along a ray it enters and leaves a box; false when it misses it.
bool clipToBox(const osg::Vec3d& origin, const osg::Vec3d& direction, const osg::Vec3d& low,
               const osg::Vec3d& high, double& enter, double& leave)
{
    enter = 0.0;
    leave = std::numeric_limits<double>::infinity();
    for (int axis = 0; axis < 3; ++axis)
    {
        if (std::fabs(direction[axis]) < 1e-12)
        {
            if (origin[axis] < low[axis] || origin[axis] > high[axis])
                return false;
            continue;
        }
        double near = (low[axis] - origin[axis]) / direction[axis];
        double far = (high[axis] - origin[axis]) / direction[axis];
        if (near > far)
            std::swap(near, far);
        enter = std::max(enter, near);
        leave = std::min(leave, far);
    }
    return enter <= leave;
}

// The closest approach of a ray (origin, unit direction, from 0 on) to the segment from a to b: the distance
// between them, and how far along the ray it is.
void closestApproach(const osg::Vec3d& origin, const osg::Vec3d& direction, const osg::Vec3d& a,
                     const osg::Vec3d& b, double& distance, double& along)
{
    const osg::Vec3d segment = b - a;
    const osg::Vec3d between = origin - a;
    const double length2 = segment * segment;
    const double rayOffset = direction * between;
    double s = std::max(0.0, -rayOffset); // along the ray
    double u = 0.0;                       // along the segment, from 0 to 1
    if (length2 > 1e-12)
    {
        const double cosine = direction * segment;
        const double segmentOffset = segment * between;
        const double denominator = length2 - cosine * cosine;
        s = denominator > 1e-12 * length2
                ? std::max(0.0, (cosine * segmentOffset - rayOffset * length2) / denominator)
                : 0.0;
        u = (cosine * s + segmentOffset) / length2;
        if (u < 0.0)
        {
            u = 0.0;
            s = std::max(0.0, -rayOffset);
        }
        else if (u > 1.0)
        {
            u = 1.0;
            s = std::max(0.0, cosine - rayOffset);
        }
    }
    along = s;
    distance = ((origin + direction * s) - (a + segment * u)).length();
}

// Of the candidates a ray meets, the nearest that it passes through, or else the one it passes closest to,
// within the slack.
struct Choice
{
    Pick best;
    bool through = false;
    double rank = std::numeric_limits<double>::infinity();

    void offer(Pick::Kind kind, std::size_t index, double distance, double along, double radius, double slack)
    {
        if (!(along > 0.0))
            return;
        const bool hit = distance <= radius;
        double candidateRank = 0.0;
        if (hit)
            candidateRank = along - std::sqrt(radius * radius - distance * distance);
        else
        {
            candidateRank = (distance - radius) / along;
            if (through || candidateRank > slack)
                return;
        }
        if ((hit && !through) || candidateRank < rank)
        {
            through = hit;
            rank = candidateRank;
            best = Pick{kind, index};
        }
    }
};

} // namespace

PickIndex::PickIndex(std::vector<osg::Vec3> sitePositions, const std::vector<SiteLink>& siteLinks,
                     const GlyphSizes& glyphSizes, std::vector<float> scales)
    : sites(std::move(sitePositions)), links(siteLinks), siteScales(std::move(scales)), sizes(glyphSizes)
{
    if (sites.empty())
        return;
    largestRadius = sizes.siteRadius;
    for (const float scale : siteScales)
        largestRadius = std::max(largestRadius, static_cast<double>(sizes.siteRadius * scale));

    // The grid covers every sphere. Its cells are no smaller than a sphere, few enough for the number of
    // items, and large enough that a link covers a handful of them on average.
    osg::Vec2 low(std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
    osg::Vec2 high(-low);
    for (const osg::Vec3& site : sites)
    {
        const osg::Vec2 point = inPlane(site);
        low.set(std::min(low.x(), point.x()), std::min(low.y(), point.y()));
        high.set(std::max(high.x(), point.x()), std::max(high.y(), point.y()));
        lowest = std::min(lowest, site.y());
        highest = std::max(highest, site.y());
    }
    const osg::Vec2 reach(static_cast<float>(largestRadius), static_cast<float>(largestRadius));
    corner = low - reach;
    const osg::Vec2 extent = high + reach - corner;
    double totalLength = 0.0;
    for (const SiteLink& link : links)
        if (link.first < sites.size() && link.second < sites.size())
            totalLength += (inPlane(sites[link.second]) - inPlane(sites[link.first])).length();
    const double itemCount = static_cast<double>(sites.size() + links.size());
    const double mostCells = std::max(1024.0, 2.0 * itemCount);
    cellSize = static_cast<float>(
        std::max({8.0 * largestRadius, std::sqrt(double(extent.x()) * extent.y() / mostCells),
                  totalLength / (8.0 * std::max<double>(1.0, links.size()))}));
    columns = std::max(1, static_cast<int>(std::ceil(extent.x() / cellSize)));
    rows = std::max(1, static_cast<int>(std::ceil(extent.y() / cellSize)));

    // Count each cell's items, then lay them out cell after cell.
    cellStarts.assign(static_cast<std::size_t>(columns) * rows + 1, 0);
    const std::size_t total = sites.size() + links.size();
    for (std::size_t item = 0; item < total; ++item)
        forEachCoveredCell(item, [this](std::uint32_t cell) { ++cellStarts[cell + 1]; });
    for (std::size_t cell = 1; cell < cellStarts.size(); ++cell)
        cellStarts[cell] += cellStarts[cell - 1];
    items.resize(cellStarts.back());
    std::vector<std::size_t> next(cellStarts.begin(), cellStarts.end() - 1);
    for (std::size_t item = 0; item < total; ++item)
        forEachCoveredCell(item, [this, &next, item](std::uint32_t cell) {
            items[next[cell]++] = static_cast<std::uint32_t>(item);
        });
}

template <typename Visit>
void PickIndex::forEachCell(osg::Vec2 p, osg::Vec2 q, float thickness, Visit&& visit) const
{
    // Row by row of cells: the part of the segment whose z lies within the row, widened by thickness, covers
    // a run of columns. Every cell is visited once.
    const auto cellOf = [this](float offset, int count) {
        return std::clamp(static_cast<int>(std::floor(offset / cellSize)), 0, count - 1);
    };
    const float dz = q.y() - p.y();
    const int row0 = cellOf(std::min(p.y(), q.y()) - thickness - corner.y(), rows);
    const int row1 = cellOf(std::max(p.y(), q.y()) + thickness - corner.y(), rows);
    for (int row = row0; row <= row1; ++row)
    {
        float from = 0.0f;
        float to = 1.0f;
        if (dz != 0.0f)
        {
            const float bottom = corner.y() + cellSize * row - thickness;
            const float top = bottom + cellSize + 2.0f * thickness;
            from = std::clamp(((dz > 0.0f ? bottom : top) - p.y()) / dz, 0.0f, 1.0f);
            to = std::clamp(((dz > 0.0f ? top : bottom) - p.y()) / dz, 0.0f, 1.0f);
        }
        const float x0 = p.x() + (q.x() - p.x()) * from;
        const float x1 = p.x() + (q.x() - p.x()) * to;
        const int column0 = cellOf(std::min(x0, x1) - thickness - corner.x(), columns);
        const int column1 = cellOf(std::max(x0, x1) + thickness - corner.x(), columns);
        for (int column = column0; column <= column1; ++column)
            visit(static_cast<std::uint32_t>(row * columns + column));
    }
}

double PickIndex::sphereRadius(std::size_t site) const
{
    return site < siteScales.size() ? static_cast<double>(sizes.siteRadius * siteScales[site])
                                    : static_cast<double>(sizes.siteRadius);
}

template <typename Visit> void PickIndex::forEachCoveredCell(std::size_t item, Visit&& visit) const
{
    if (item < sites.size())
    {
        const osg::Vec2 centre = inPlane(sites[item]);
        forEachCell(centre, centre, static_cast<float>(sphereRadius(item)), visit);
        return;
    }
    const SiteLink& link = links[item - sites.size()];
    if (link.first < sites.size() && link.second < sites.size())
        forEachCell(inPlane(sites[link.first]), inPlane(sites[link.second]), sizes.linkRadius, visit);
}

Pick PickIndex::pick(const osg::Vec3d& origin, const osg::Vec3d& direction, double slack, float cutoff) const
{
    return pick(origin, direction, slack, LinkFilter{cutoff, 0}, {});
}

Pick PickIndex::pick(const osg::Vec3d& origin, const osg::Vec3d& direction, double slack,
                     const LinkFilter& filter, const std::vector<std::uint8_t>& linkRegions) const
{
    osg::Vec3d unit = direction;
    if (columns == 0 || !(unit.normalize() > 0.0) || !unit.valid() || !origin.valid() || !(slack >= 0.0))
        return Pick();

    // Everything lies within a sphere's radius of the sites' heights, over the grid: each cell is a column
    // through them all. The ray is followed across that box, widened by the slack at the far side, and only
    // the columns it passes through are searched.
    const double radius = largestRadius;
    const osg::Vec3d low(corner.x(), lowest - radius, corner.y());
    const osg::Vec3d high(corner.x() + cellSize * columns, highest + radius, corner.y() + cellSize * rows);
    double enter = 0.0;
    double leave = 0.0;
    if (!clipToBox(origin, unit, low, high, enter, leave))
        return Pick();
    const double widen = slack * leave;
    const osg::Vec3d margin(widen, widen, widen);
    if (!clipToBox(origin, unit, low - margin, high + margin, enter, leave))
        return Pick();

    std::vector<std::uint32_t> candidates;
    const osg::Vec3d from = origin + unit * enter;
    const osg::Vec3d to = origin + unit * leave;
    forEachCell(osg::Vec2(from.x(), from.z()), osg::Vec2(to.x(), to.z()), static_cast<float>(widen),
                [this, &candidates](std::uint32_t cell) {
        candidates.insert(candidates.end(), items.begin() + cellStarts[cell],
                          items.begin() + cellStarts[cell + 1]);
    });
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    Choice choice;
    for (const std::uint32_t item : candidates)
    {
        double distance = 0.0;
        double along = 0.0;
        if (item < sites.size())
        {
            const osg::Vec3d centre(sites[item]);
            closestApproach(origin, unit, centre, centre, distance, along);
            choice.offer(Pick::Kind::Site, item, distance, along, sphereRadius(item), slack);
        }
        else
        {
            const std::size_t place = item - sites.size();
            const SiteLink& link = links[place];
            if (!filter.shows(link, place < linkRegions.size() ? linkRegions[place] : std::uint8_t(0)))
                continue;
            closestApproach(origin, unit, osg::Vec3d(sites[link.first]), osg::Vec3d(sites[link.second]),
                            distance, along);
            choice.offer(Pick::Kind::Link, item - sites.size(), distance, along, sizes.linkRadius, slack);
        }
    }
    return choice.best;
}
