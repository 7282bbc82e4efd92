#include <app/Explorer.h>

#include <algorithm>
#include <cmath>

namespace
{

// How many pixels beside a sphere or link a click still picks it.
const double pickPixels = 4.0;

// The cutoff moves in steps of a twentieth.
const int stepsPerUnit = 20;

} // namespace

PickRay computePickRay(const osg::Camera& camera, double x, double y)
{
    const osg::Matrixd toWorld = osg::Matrixd::inverse(camera.getViewMatrix() * camera.getProjectionMatrix());
    const auto through = [&toWorld](double across, double up) {
        const osg::Vec3d near = osg::Vec3d(across, up, -1.0) * toWorld;
        const osg::Vec3d far = osg::Vec3d(across, up, 1.0) * toWorld;
        osg::Vec3d direction = far - near;
        direction.normalize();
        return std::pair{near, direction};
    };
    PickRay ray;
    const auto [near, direction] = through(x, y);
    ray.direction = direction;
    // A perspective ray starts at the eye, so that its distances are the eye's.
    const bool perspective = camera.getProjectionMatrix()(3, 3) == 0.0;
    ray.origin = perspective ? camera.getInverseViewMatrix().getTrans() : near;
    const osg::Viewport* viewport = camera.getViewport();
    const double pixel = viewport != nullptr && viewport->width() > 0 ? 2.0 / viewport->width() : 2.0 / 1024;
    // Parallel rays, as an orthographic camera casts, cover no angle: they pick only what they pass through.
    const osg::Vec3d beside = through(x + pixel, y).second;
    ray.pixelAngle = std::acos(std::clamp(direction * beside, -1.0, 1.0));
    return ray;
}

Explorer::Explorer(const ExploredNetwork& explored, osgGA::TrackballManipulator* turning,
                   const osg::Vec4& background, MotionPicture* motion)
    : network(explored.network), layout(explored.layout), files(explored.files), trackball(turning),
      highlight(explored.scene, explored.network.links, background, motion),
      corner(createCornerText(explored.style.font.get(), explored.style.textColor)),
      finder(explored.network.names)
{
    updateText();
}

Explorer::~Explorer() = default;

osg::Node* Explorer::getCornerNode()
{
    return corner.node.get();
}

void Explorer::setMotionPicture(MotionPicture* motion)
{
    highlight.setMotionPicture(motion);
}

void Explorer::prepare()
{
    if (index)
        return;
    index = std::make_unique<PickIndex>(layout.positions, network.links, layout.glyphs);

    // Every site's links, counted, then listed; a link from a site to itself is listed once.
    const std::vector<SiteLink>& links = network.links;
    const std::size_t siteCount = network.names.size();
    siteLinkStarts.assign(siteCount + 1, 0);
    const auto forEachEnd = [&links, siteCount](auto&& visit) {
        for (std::size_t i = 0; i < links.size(); ++i)
        {
            if (links[i].first < siteCount)
                visit(links[i].first, i);
            if (links[i].second < siteCount && links[i].second != links[i].first)
                visit(links[i].second, i);
        }
    };
    forEachEnd([this](std::size_t site, std::size_t) { ++siteLinkStarts[site + 1]; });
    for (std::size_t site = 0; site < siteCount; ++site)
        siteLinkStarts[site + 1] += siteLinkStarts[site];
    siteLinkList.resize(siteLinkStarts.back());
    std::vector<std::size_t> next(siteLinkStarts.begin(), siteLinkStarts.end() - 1);
    forEachEnd([this, &next](std::size_t site, std::size_t link) { siteLinkList[next[site]++] = link; });
}

Pick Explorer::pickAt(const PickRay& ray)
{
    prepare();
    selection = index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle,
                            LinkFilter{cutoff, regionBit(region)}, network.linkRegions);
    switch (selection.kind)
    {
    case Pick::Kind::Site:
        pickSite(selection.index);
        return selection;
    case Pick::Kind::Link:
    {
        const SiteLink& link = network.links[selection.index];
        highlight.emphasiseLink(selection.index, layout.positions[link.first], layout.positions[link.second]);
        break;
    }
    case Pick::Kind::Nothing:
        highlight.clearEmphasis();
        break;
    }
    updateText();
    return selection;
}

bool Explorer::centreAt(const PickRay& ray)
{
    prepare();
    const Pick found = index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle,
                                   LinkFilter{cutoff, regionBit(region)}, network.linkRegions);
    if (found.kind != Pick::Kind::Site)
        return false;
    trackball->setCenter(osg::Vec3d(layout.positions[found.index]));
    return true;
}

void Explorer::pickSite(std::size_t site)
{
    prepare();
    if (site >= network.names.size())
        return;
    selection = Pick{Pick::Kind::Site, site};
    const std::vector<std::size_t> links(siteLinkList.begin() + siteLinkStarts[site],
                                         siteLinkList.begin() + siteLinkStarts[site + 1]);
    highlight.emphasiseSite(layout.positions[site], links);
    updateText();
}

bool Explorer::setRegionFilter(RegionKind kind)
{
    const RegionKindEntry* entry = findRegionKind(kind);
    if (entry != nullptr && (files.*entry->listFile).empty())
    {
        message = std::string("No ") + entry->word + " list was given (" + entry->option + ")";
        updateText();
        return false;
    }
    region = kind;
    highlight.setRegionFilter(regionBit(kind), network.linkRegions);
    updateText();
    return true;
}

RegionKind Explorer::getRegionFilter() const
{
    return region;
}

std::vector<bool> Explorer::emphasisedLinks() const
{
    std::vector<bool> emphasised;
    if (selection.kind == Pick::Kind::Nothing || siteLinkStarts.empty())
        return emphasised;
    emphasised.assign(network.links.size(), false);
    if (selection.kind == Pick::Kind::Link)
        emphasised[selection.index] = true;
    else
        for (std::size_t i = siteLinkStarts[selection.index]; i < siteLinkStarts[selection.index + 1]; ++i)
            emphasised[siteLinkList[i]] = true;
    return emphasised;
}

bool Explorer::isShown(std::size_t link) const
{
    return highlight.isShown(link);
}

void Explorer::setCutoff(float value)
{
    // Held within 0 to 1; a value that is no number hides nothing.
    cutoff = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
    highlight.setCutoff(cutoff);
    updateText();
}

void Explorer::raiseCutoff()
{
    // A step is a whole number of twentieths, so that 0.35 is the float that a weight written 0.35 reads as.
    const int step = static_cast<int>(std::floor(cutoff * stepsPerUnit + 1e-3)) + 1;
    setCutoff(static_cast<float>(std::min(step, stepsPerUnit) / double(stepsPerUnit)));
}

void Explorer::lowerCutoff()
{
    const int step = static_cast<int>(std::ceil(cutoff * stepsPerUnit - 1e-3)) - 1;
    setCutoff(static_cast<float>(std::max(step, 0) / double(stepsPerUnit)));
}

float Explorer::getCutoff() const
{
    return cutoff;
}
