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

Explorer::Explorer(const ExploredNetwork& explored, ViewState& state, osgGA::TrackballManipulator* turning,
                   const osg::Vec4& background, MotionPicture* motion)
    : network(explored.network), layout(explored.layout), files(explored.files), view(state),
      trackball(turning), highlight(explored.scene, explored.network.links, background, motion),
      corner(createCornerText(explored.style.font.get(), explored.style.textColor)),
      finder(explored.network.names)
{
    // The scene shows the view the run starts from: its cutoff, its filter, then its pick, each as a key or a
    // click would set it.
    const Pick first = view.pick;
    view.pick = Pick();
    updateText();
    setCutoff(view.cutoff);
    setRegionFilter(view.region);
    if (first.kind == Pick::Kind::Site)
        pickSite(first.index);
    else if (first.kind == Pick::Kind::Link && first.index < network.links.size())
    {
        view.pick = first;
        const SiteLink& link = network.links[first.index];
        highlight.emphasiseLink(first.index, layout.positions[link.first], layout.positions[link.second]);
        updateText();
    }
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
    siteLinks = SiteLinks(network.links, network.names.size());
}

Pick Explorer::pickAt(const PickRay& ray)
{
    prepare();
    view.pick = index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle, linkFilterOf(view),
                            network.linkRegions);
    switch (view.pick.kind)
    {
    case Pick::Kind::Site:
        pickSite(view.pick.index);
        return view.pick;
    case Pick::Kind::Link:
    {
        const SiteLink& link = network.links[view.pick.index];
        highlight.emphasiseLink(view.pick.index, layout.positions[link.first], layout.positions[link.second]);
        break;
    }
    case Pick::Kind::Nothing:
        highlight.clearEmphasis();
        break;
    }
    updateText();
    return view.pick;
}

bool Explorer::centreAt(const PickRay& ray)
{
    prepare();
    const Pick found = index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle, linkFilterOf(view),
                                   network.linkRegions);
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
    view.pick = Pick{Pick::Kind::Site, site};
    const std::vector<std::size_t> links(siteLinks.begin(site), siteLinks.end(site));
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
    view.region = kind;
    highlight.setRegionFilter(regionBit(kind), network.linkRegions);
    updateText();
    return true;
}

RegionKind Explorer::getRegionFilter() const
{
    return view.region;
}

bool Explorer::isShown(std::size_t link) const
{
    return highlight.isShown(link);
}

void Explorer::setCutoff(float value)
{
    view.cutoff = heldCutoff(value);
    highlight.setCutoff(view.cutoff);
    updateText();
}

void Explorer::raiseCutoff()
{
    // A step is a whole number of twentieths, so that 0.35 is the float that a weight written 0.35 reads as.
    const int step = static_cast<int>(std::floor(view.cutoff * stepsPerUnit + 1e-3)) + 1;
    setCutoff(static_cast<float>(std::min(step, stepsPerUnit) / double(stepsPerUnit)));
}

void Explorer::lowerCutoff()
{
    const int step = static_cast<int>(std::ceil(view.cutoff * stepsPerUnit - 1e-3)) - 1;
    setCutoff(static_cast<float>(std::max(step, 0) / double(stepsPerUnit)));
}

float Explorer::getCutoff() const
{
    return view.cutoff;
}
