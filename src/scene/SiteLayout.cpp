#include <scene/SiteLayout.h>

#include <algorithm>

osg::Vec4 sphereColor(const SiteLayout& layout, const CorrelationNetwork& network, std::size_t site)
{
    osg::Vec4 color(1.0f, 1.0f, 1.0f, 1.0f);
    siteColor(layout.colors, site, site < network.regions.size() ? network.regions[site] : RegionKind::None,
              color);
    return color;
}

float sphereScale(const SiteLayout& layout, std::size_t site)
{
    return site < layout.scales.size() ? layout.scales[site] : 1.0f;
}

std::vector<osg::Vec3> framingPoints(const SiteLayout& layout)
{
    // A sphere reaches its radius every way; its label, centred below it towards the eye, about two
    // characters' heights either side and half a height up and down. The nearest corners of that reach
    // stand for it.
    std::vector<osg::Vec3> points;
    const GlyphSizes& glyphs = layout.glyphs;
    points.reserve(4 * layout.positions.size());
    for (std::size_t site = 0; site < layout.positions.size(); ++site)
    {
        const osg::Vec3& place = layout.positions[site];
        const GlyphSizes sizes = glyphs.sized(sphereScale(layout, site));
        const float across = std::max(sizes.siteRadius, 2.0f * glyphs.labelHeight);
        const float upward = std::max(sizes.siteRadius, 0.5f * glyphs.labelHeight);
        const float nearer = std::max(sizes.siteRadius, sizes.labelDrop);
        for (const float x : {-across, across})
            for (const float z : {-upward, upward})
                points.push_back(place + osg::Vec3(x, -nearer, z));
    }
    for (const std::vector<osg::Vec3>& run : layout.trace)
        points.insert(points.end(), run.begin(), run.end());
    return points;
}

std::vector<std::vector<osg::Vec4>> traceColors(const SiteLayout& layout)
{
    std::vector<std::vector<osg::Vec4>> colors;
    if (layout.colors.empty() || layout.traceSites.size() != layout.trace.size())
        return colors;
    for (const std::vector<std::uint32_t>& run : layout.traceSites)
    {
        colors.emplace_back();
        for (const std::uint32_t site : run)
            colors.back().push_back(site < layout.colors.size() ? layout.colors[site]
                                                                : GlyphStyle::traceColor);
    }
    return colors;
}

std::vector<osg::Vec4> sphereColors(const SiteLayout& layout, const CorrelationNetwork& network)
{
    std::vector<osg::Vec4> colors(network.siteCount());
    for (std::size_t site = 0; site < colors.size(); ++site)
        colors[site] = sphereColor(layout, network, site);
    return colors;
}
