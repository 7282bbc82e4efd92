#include <network/SiteMeasures.h>
#include <scene/SiteLayout.h>

#include <osg/Vec3d>

#include <algorithm>
#include <array>
#include <cmath>

namespace
{

const double twoPi = 6.283185307179586;

// The side of the square grid: the smallest whole number whose square is at least the number of rings.
std::size_t gridSide(std::size_t ringCount)
{
    auto side = static_cast<std::size_t>(std::sqrt(static_cast<double>(ringCount)));
    while (side * side < ringCount)
        ++side;
    return std::max<std::size_t>(side, 1);
}

} // namespace

namespace
{

// The force layout, centred on the origin and scaled so that its median link is 12 units long, as far as
// neighbours on a ring stand apart.
SiteLayout layoutByForce(const CorrelationNetwork& network)
{
    const std::vector<std::array<double, 3>> places = forcePositions(network);
    osg::Vec3d centre;
    for (const std::array<double, 3>& place : places)
        centre += osg::Vec3d(place[0], place[1], place[2]);
    if (!places.empty())
        centre /= static_cast<double>(places.size());
    std::vector<double> lengths;
    for (const SiteLink& link : network.links)
    {
        const std::array<double, 3>& a = places[link.first];
        const std::array<double, 3>& b = places[link.second];
        const double length = std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                                        (a[2] - b[2]) * (a[2] - b[2]));
        if (length > 0.0)
            lengths.push_back(length);
    }
    double scale = 1.0;
    if (!lengths.empty())
    {
        std::nth_element(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2),
                         lengths.end());
        scale = 12.0 / lengths[lengths.size() / 2];
    }
    SiteLayout layout;
    for (const std::array<double, 3>& place : places)
        layout.positions.push_back(osg::Vec3((osg::Vec3d(place[0], place[1], place[2]) - centre) * scale));
    return layout;
}

} // namespace

SiteLayout layoutSites(const CorrelationNetwork& network, LayoutKind kind)
{
    switch (kind)
    {
    case LayoutKind::RingGrid:
        break;
    case LayoutKind::Force:
        return layoutByForce(network);
    case LayoutKind::FittedRingGrid:
    {
        std::size_t largestRing = 0;
        for (std::size_t ring = 0; ring < network.ringCount(); ++ring)
            largestRing = std::max(largestRing, network.ring(ring).size());
        return layoutRingGrid(network, fittedCellSpacing(largestRing));
    }
    }
    return layoutRingGrid(network);
}

float fittedCellSpacing(std::size_t largestRing)
{
    // A ring of n sites is 4n across; the rest keeps the labels of neighbouring rings apart.
    return std::max(40.0f, 4.0f * static_cast<float>(largestRing) + 8.0f);
}

SiteLayout layoutRingGrid(const CorrelationNetwork& network, float cellSpacing)
{
    SiteLayout layout;
    layout.positions.resize(network.siteCount());
    const std::size_t side = gridSide(network.ringCount());
    for (std::size_t ringIndex = 0; ringIndex < network.ringCount(); ++ringIndex)
    {
        const Ring ring = network.ring(ringIndex);
        const auto siteCount = static_cast<int>(ring.size());
        const auto step = static_cast<float>(twoPi / siteCount);
        const float radius = 2.0f * static_cast<float>(siteCount);
        const osg::Vec3d cellOffset(cellSpacing * static_cast<float>(ringIndex % side), 0.0f,
                                    -cellSpacing * static_cast<float>(ringIndex / side));
        int ordinal = 0;
        for (const std::uint32_t site : ring)
        {
            // Round the ring from +x towards -z; the last site comes back to +x.
            const double angle = ++ordinal * static_cast<double>(step);
            const osg::Vec3d onRing(radius * std::cos(angle), 0.0, -radius * std::sin(angle));
            layout.positions[site] = osg::Vec3(onRing + cellOffset);
        }
    }
    return layout;
}
