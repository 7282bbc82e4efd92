#include <network/CorrelationNetwork>
#include <scene/GlyphStyle>

#include <algorithm>

void CorrelationNetwork::createGroupLinks(int groupIndex)
{
    logGroupLinks(groupIndex, [this](const osg::Vec3& a, const osg::Vec3& b, float weight, std::uint8_t) {
        createLink(a, b, weight);
    });
}

void CorrelationNetwork::logGroupLinks(
    int groupIndex, const std::function<void(const osg::Vec3&, const osg::Vec3&, float, std::uint8_t)>& make)
{
    // The regions of the names, once, as they are asked for again for every link.
    if (nameRegions.size() != names.size())
    {
        nameRegions.resize(names.size());
        for (std::size_t name = 0; name < names.size(); ++name)
            nameRegions[name] = regionBit(static_cast<int>(siteKind(name)));
    }
    const auto regionsOf = [this](const SiteLocation& end) {
        return end.name < nameRegions.size() ? nameRegions[end.name] : std::uint8_t(0);
    };

    // A repeated name has no place of its own: its links end at the first site bearing that name.
    const SiteGroup& group = groups[groupIndex];
    std::vector<SiteLocation> ends;
    ends.reserve(group.size());
    for (const Site& site : group)
        ends.push_back(site.nameIndex < names.size() ? primarySites[site.nameIndex]
                                                     : SiteLocation{0, 0, names.size()});
    const auto position = [this](const SiteLocation& end) {
        return end.name < names.size() ? groups[end.group][end.site].position : osg::Vec3(0.0f, 0.0f, 0.0f);
    };

    for (std::size_t i = 0; i + 1 < group.size(); ++i)
    {
        const Site& earlier = group[i];
        const osg::Vec3 a = position(ends[i]);
        // weights[k] belongs to the pair (i, i + 1 + k); a short line left the last pairs without one.
        for (std::size_t k = 0; k < earlier.weights.size() && i + 1 + k < group.size(); ++k)
        {
            const std::size_t j = i + 1 + k;
            const float weight = earlier.weights[k];
            linkLog.write(earlier.name, group[j].name, weight);
            siteLinks.push_back(SiteLink{static_cast<std::uint32_t>(ends[i].name),
                                         static_cast<std::uint32_t>(ends[j].name), weight});
            const auto regions = static_cast<std::uint8_t>(regionsOf(ends[i]) | regionsOf(ends[j]));
            linkRegions.push_back(regions);
            make(a, position(ends[j]), weight, regions);
        }
    }
}

std::size_t CorrelationNetwork::countSites() const
{
    std::size_t count = 0;
    for (const SiteGroup& group : groups)
        count += group.size();
    return count;
}

std::size_t CorrelationNetwork::countLinks() const
{
    std::size_t count = 0;
    for (const SiteGroup& group : groups)
        for (std::size_t i = 0; i < group.size(); ++i)
            count += std::min(group[i].weights.size(), group.size() - i - 1);
    return count;
}

void CorrelationNetwork::createLink(osg::Vec3 a, osg::Vec3 b, float weight)
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(GlyphStyle::cylinderDetail);

    // The cylinder gets its final shape before the drawable is made: a shape drawable builds its geometry
    // when it is made and does not follow later changes to its shape.
    const osg::Vec3 direction = a - b;
    const float height = direction.length();
    osg::ref_ptr<osg::Cylinder> cylinder = new osg::Cylinder((a + b) * 0.5f, GlyphStyle::linkRadius, height);
    cylinder->setRotation(linkRotation(direction, height));

    osg::ref_ptr<osg::ShapeDrawable> drawable = new osg::ShapeDrawable(cylinder.get(), hints.get());
    drawable->setColor(weightColor(weight));
    links->addDrawable(drawable);
}
