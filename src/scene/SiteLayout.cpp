#include <scene/SiteLayout.h>

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

std::vector<osg::Vec4> sphereColors(const SiteLayout& layout, const CorrelationNetwork& network)
{
    std::vector<osg::Vec4> colors(network.siteCount());
    for (std::size_t site = 0; site < colors.size(); ++site)
        colors[site] = sphereColor(layout, network, site);
    return colors;
}
