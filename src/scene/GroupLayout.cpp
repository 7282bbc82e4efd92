#include <network/CorrelationNetwork>
#include <network/TextFields>
#include <scene/SceneBuilder>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>

namespace
{

const double twoPi = 6.283185307179586;
const float cellSpacing = 40.0f;

// The side of the square grid: the smallest whole number whose square is at least the number of groups.
int gridSide(std::size_t groupCount)
{
    auto side = static_cast<std::size_t>(std::sqrt(static_cast<double>(groupCount)));
    while (side * side < groupCount)
        ++side;
    return static_cast<int>(std::max<std::size_t>(side, 1));
}

// The number written in a site's name after its first character, as in K215 or X-5.
int siteNumber(const std::string& name)
{
    return name.empty() ? 0 : parseInteger(name.c_str() + 1);
}

} // namespace

void CorrelationNetwork::startLabels(const SceneDetail& detail)
{
    // Only a network that may be drawn in batches: the distinct names are at most all the sites.
    const std::size_t siteCount = countSites();
    if (labelWork.valid() || detail.wantsOneGlyphPerElement(countLinks(), names.size() + siteCount))
        return;

    // The names are laid out from the start as they are marked; they never move meanwhile.
    names.reserve(names.size() + siteCount);
    markingDone = false;
    namesMarked = 0;
    launchLabels(detail);
}

void CorrelationNetwork::launchLabels(const SceneDetail& detail)
{
    builder = std::make_unique<SceneBuilder>(font.get(), textColor, detail);
    // Without a thread to spare, buildScene lays the labels out in turn.
    try
    {
        labelWork = std::async(std::launch::async, [this, marked = names.data()] {
            std::size_t next = 0;
            for (;;)
            {
                const bool done = markingDone.load(std::memory_order_acquire);
                const std::size_t available = namesMarked.load(std::memory_order_acquire);
                if (next == available && done)
                    return;
                if (next == available)
                    std::this_thread::yield();
                for (; next < available; ++next)
                    builder->addLabel(marked[next]);
            }
        });
    }
    catch (const std::system_error&)
    {
    }
}

void CorrelationNetwork::finishLabels()
{
    markingDone = true;
    if (labelWork.valid())
        labelWork.get();
}

void CorrelationNetwork::buildScene(const SceneDetail& detail)
{
    const int groupCount = static_cast<int>(groups.size());
    const std::size_t linkCount = countLinks();
    siteLinks.reserve(siteLinks.size() + linkCount);
    linkRegions.reserve(linkRegions.size() + linkCount);
    if (detail.wantsOneGlyphPerElement(linkCount, names.size()) ||
        (detail.shadersRun && !detail.shadersRun()))
    {
        // Labels laid out in case the network was large are not needed.
        finishLabels();
        builder.reset();
        for (int i = 0; i < groupCount; ++i)
        {
            progress.update("building the scene", static_cast<double>(i) / groupCount);
            layoutGroup(i);
            createGroupLinks(i);
        }
        linkLog.flush();
        return;
    }

    // A large network: the same places, colours and log lines, drawn in batches. The labels are laid out on a
    // thread of their own, begun while the names were marked if load began them, while the links are logged
    // and built.
    if (!builder)
    {
        namesMarked = names.size();
        markingDone = true;
        launchLabels(detail);
    }
    if (!labelWork.valid())
        for (const std::string& name : names)
            builder->addLabel(name);
    builder->reserve(linkCount, names.size());
    const auto addLink = [this](const osg::Vec3& a, const osg::Vec3& b, float weight, std::uint8_t regions) {
        builder->addLink(a, b, weight, regions);
    };
    for (int i = 0; i < groupCount; ++i)
    {
        progress.update("building the scene", static_cast<double>(i) / groupCount);
        builder->beginGroup();
        placeGroup(i);
        for (const Site& site : groups[i])
            if (!site.duplicate)
                builder->addSphere(site.position, classifySite(siteNumber(site.name)));
        logGroupLinks(i, addLink);
    }
    linkLog.flush();
    finishLabels();
    builder->placeLabels(sitePositions());
    osg::ref_ptr<osg::Group> scene = builder->createScene();
    builder.reset();
    root->addChild(scene);
    // Framed as the scene of one glyph per element would be, so that the first view is the same.
    root->setComputeBoundingSphereCallback(scene->getComputeBoundingSphereCallback());
}

int CorrelationNetwork::countPrimarySites(int groupIndex) const
{
    const SiteGroup& group = groups[groupIndex];
    return static_cast<int>(
        std::count_if(group.begin(), group.end(), [](const Site& site) { return !site.duplicate; }));
}

void CorrelationNetwork::layoutGroup(int groupIndex)
{
    placeGroup(groupIndex);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    for (const Site& site : groups[groupIndex])
    {
        if (site.duplicate)
            continue;
        geode->addDrawable(createSiteSphere(site.position, classifySite(siteNumber(site.name))));
        createSiteLabel(site.position, site.name);
    }
    root->addChild(geode);
}

void CorrelationNetwork::placeGroup(int groupIndex)
{
    const int primaryCount = countPrimarySites(groupIndex);
    const auto step = static_cast<float>(twoPi / primaryCount);
    const float radius = 2.0f * static_cast<float>(primaryCount);

    const int side = gridSide(groups.size());
    const osg::Vec3d cellOffset(cellSpacing * static_cast<float>(groupIndex % side), 0.0f,
                                -cellSpacing * static_cast<float>(groupIndex / side));

    int ordinal = 0;
    for (Site& site : groups[groupIndex])
    {
        if (site.duplicate)
            continue;
        ++ordinal;

        // Round the ring from +x towards -z; the last site comes back to +x.
        const double angle = ordinal * static_cast<double>(step);
        const osg::Vec3d onRing(radius * std::cos(angle), 0.0, -radius * std::sin(angle));
        site.position = osg::Vec3(onRing + cellOffset);
    }
}

osg::Vec3 CorrelationNetwork::findSitePosition(const std::string& name) const
{
    const auto found = firstOccurrences.find(name);
    if (found == firstOccurrences.end())
        return osg::Vec3(0.0f, 0.0f, 0.0f);
    return groups[found->second.group][found->second.site].position;
}

osg::Vec3 CorrelationNetwork::sitePosition(std::size_t site) const
{
    const SiteLocation& location = primarySites.at(site);
    return groups[location.group][location.site].position;
}

RegionKind CorrelationNetwork::siteKind(std::size_t site) const
{
    return classifySite(siteNumber(names.at(site)));
}

std::vector<osg::Vec3> CorrelationNetwork::sitePositions() const
{
    std::vector<osg::Vec3> positions;
    positions.reserve(names.size());
    for (std::size_t site = 0; site < names.size(); ++site)
        positions.push_back(sitePosition(site));
    return positions;
}

std::vector<RegionKind> CorrelationNetwork::siteKinds() const
{
    std::vector<RegionKind> kinds;
    kinds.reserve(names.size());
    for (std::size_t site = 0; site < names.size(); ++site)
        kinds.push_back(siteKind(site));
    return kinds;
}
