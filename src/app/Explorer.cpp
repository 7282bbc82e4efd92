#include <app/Explorer.h>
#include <app/SiteAnalysis.h>
#include <scene/ViewRules.h>

#include <osg/Camera>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace
{

// How many pixels beside a sphere or link a click still picks it.
const double pickPixels = 4.0;

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
      trackball(turning), ringColor(explored.style.textColor),
      highlight(explored.scene, explored.network.links, background, motion),
      corner(createCornerText(explored.style.font.get(), explored.style.textColor)),
      labels(explored.scene.labels), communityNode(new osg::Group), labelStyle(explored.style),
      dimSites(explored.scene.dimSites), finder(explored.network.names), pathFinder(explored.network)
{
    // The scene shows the view the run starts from: its cutoff, its filter, then its pick, each as a key or a
    // click would set it.
    const Pick first = view.pick;
    view.pick = Pick();
    pathFilter = linkFilterOf(view);
    updateText();
    setCutoff(view.cutoff);
    setRegionFilter(view.region);
    if (first.kind == Pick::Kind::Site)
        pickSite(first.index);
    else if (first.kind == Pick::Kind::Link)
        pickLink(first.index);
    if (view.paths)
    {
        applyPaths();
        updateText();
    }
    else if (view.pathEnds)
        requestPaths(*view.pathEnds);
}

Explorer::~Explorer() = default;

osg::Node* Explorer::getCornerNode()
{
    return corner.node.get();
}

osg::Node* Explorer::getCommunityNode()
{
    return communityNode.get();
}

bool Explorer::toggleCommunities()
{
    if (showsCommunities())
    {
        community->shown = false;
        communityNode->removeChildren(0, communityNode->getNumChildren());
        if (labels.valid())
            labels->hideAll(false);
        applyPaths();
        updateText();
        return true;
    }
    if (!network.members.empty())
        message = "The sites are the communities already (LINKMAP_COARSE=1)";
    else if (!layout.figure)
        message = "The network of communities shows over a figure (LINKMAP_STYLE=figure)";
    else if (network.communities.size() != network.siteCount())
        message = "No communities were found (LINKMAP_COLOR=community finds them)";
    if (!message.empty())
    {
        updateText();
        return false;
    }
    // Made over the links shown, again whenever they change.
    if (community == nullptr || !(community->filter == linkFilterOf(view)))
    {
        community = std::make_unique<CommunityPicture>();
        community->filter = linkFilterOf(view);
        community->network = network;
        community->layout = layout;
        showCommunityNetwork(community->network, community->layout, linkFilterOf(view));
        community->scene = buildNetworkScene(community->network, community->layout, labelStyle,
                                             RenderPath::OneGlyphPerElement);
        if (community->scene.labels.valid())
            community->scene.root->removeCullCallback(community->scene.labels.get());
    }
    community->shown = true;
    // Drawn over the faded network whole, in the same view: after it, its own depth cleared.
    osg::ref_ptr<osg::Camera> over = new osg::Camera;
    over->setName("network of communities");
    over->setReferenceFrame(osg::Transform::RELATIVE_RF);
    over->setRenderOrder(osg::Camera::POST_RENDER);
    over->setClearMask(GL_DEPTH_BUFFER_BIT);
    over->setAllowEventFocus(false);
    over->addChild(community->scene.root.get());
    communityNode->addChild(over.get());
    fadeUnderCommunities();
    updateText();
    return true;
}

void Explorer::followCommunities()
{
    // The network of communities shown is always that of the links shown.
    if (showsCommunities() && !(community->filter == linkFilterOf(view)))
    {
        toggleCommunities();
        toggleCommunities();
    }
}

void Explorer::fadeUnderCommunities()
{
    highlight.emphasisePaths({}, {}, layout.positions, layout.glyphs);
    if (dimSites)
        dimSites(std::vector<bool>(network.siteCount(), true));
    if (labels.valid())
        labels->hideAll(true);
}

void Explorer::setMotionPicture(MotionPicture* motion)
{
    highlight.setMotionPicture(motion);
}

void Explorer::prepare()
{
    if (index)
        return;
    index = std::make_unique<PickIndex>(layout.positions, network.links, layout.glyphs, layout.scales);
    siteLinks = SiteLinks(network.links, network.names.size());
}

Pick Explorer::under(const PickRay& ray)
{
    prepare();
    return index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle, linkFilterOf(view),
                       network.linkRegions);
}

Pick Explorer::pickAt(const PickRay& ray)
{
    // A click is on the sites: the network of communities makes way.
    if (showsCommunities())
        toggleCommunities();
    // A pick of its own, or of nothing, puts the paths away.
    forgetPaths();
    view.pick = under(ray);
    switch (view.pick.kind)
    {
    case Pick::Kind::Site:
        pickSite(view.pick.index);
        break;
    case Pick::Kind::Link:
        pickLink(view.pick.index);
        break;
    case Pick::Kind::Nothing:
        highlight.clearEmphasis();
        updateText();
        break;
    }
    return view.pick;
}

void Explorer::pickLink(std::size_t link)
{
    if (link >= network.links.size())
        return;
    view.pick = Pick{Pick::Kind::Link, link};
    const SiteLink& ends = network.links[link];
    highlight.emphasiseLink(link, layout.positions[ends.first], layout.positions[ends.second]);
    updateText();
}

bool Explorer::centreAt(const PickRay& ray)
{
    const Pick found = under(ray);
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
        message = ViewRules::fill(ViewRules::noList, {{"word", entry->word}, {"option", entry->option}});
        updateText();
        return false;
    }
    view.region = kind;
    highlight.setRegionFilter(regionBit(kind), network.linkRegions);
    followFilter();
    followCommunities();
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
    view.cutoff = heldCutoff(value, view.cutoffTop);
    highlight.setCutoff(view.cutoff);
    followFilter();
    followCommunities();
    updateText();
}

void Explorer::raiseCutoff()
{
    // A step is a whole number of twentieths of the top, so that 0.35 is the float that a weight written 0.35
    // reads as.
    const double steps = ViewRules::cutoffSteps / static_cast<double>(view.cutoffTop);
    const int step = static_cast<int>(std::floor(view.cutoff * steps + 1e-3)) + 1;
    setCutoff(static_cast<float>(std::min(step, ViewRules::cutoffSteps) / steps));
}

void Explorer::lowerCutoff()
{
    const double steps = ViewRules::cutoffSteps / static_cast<double>(view.cutoffTop);
    const int step = static_cast<int>(std::ceil(view.cutoff * steps - 1e-3)) - 1;
    setCutoff(static_cast<float>(std::max(step, 0) / steps));
}

float Explorer::getCutoff() const
{
    return view.cutoff;
}

void Explorer::findPathsTo(std::size_t site)
{
    if (view.pick.kind != Pick::Kind::Site || site >= network.siteCount() || site == view.pick.index)
        return;
    requestPaths({static_cast<std::uint32_t>(view.pick.index), static_cast<std::uint32_t>(site)});
    pathsFromWindow = true;
}

void Explorer::requestPaths(std::pair<std::uint32_t, std::uint32_t> ends)
{
    view.pathEnds = ends;
    view.paths.reset();
    view.onePath.reset();
    pathFilter = linkFilterOf(view);
    pathFinder.request(PathRequest{ends, view.pathsAsked, pathFilter});
    applyPaths();
    updateText();
}

void Explorer::followFilter()
{
    if (!view.pathEnds || (!view.paths && !pathFinder.pending()) || linkFilterOf(view) == pathFilter)
        return;
    requestPaths(*view.pathEnds);
}

bool Explorer::collectPaths()
{
    std::optional<PathResult> found = pathFinder.collect();
    if (!found)
        return false;
    if (!found->failure.empty())
        message = found->failure;
    view.paths = std::move(found->paths);
    view.onePath.reset();
    // Listed on standard output as a run lists the paths it was asked for.
    if (view.paths)
    {
        writePaths(network, *view.paths);
        std::fflush(stdout);
    }
    applyPaths();
    updateText();
    return true;
}

void Explorer::applyPaths()
{
    // A figure dims the sites on no path, as the links.
    if (dimSites)
    {
        std::vector<bool> dimmed = sitesOnPaths(view, network.siteCount());
        dimmed.flip();
        dimSites(dimmed);
    }
    // Without paths, the pick shows as it did.
    if (!view.paths || view.paths->paths.empty())
    {
        if (view.pick.kind == Pick::Kind::Site)
            pickSite(view.pick.index);
        else
            highlight.clearEmphasis();
        if (showsCommunities())
            fadeUnderCommunities();
        return;
    }
    highlight.emphasisePaths(shownPathLinks(view, network.links.size()), linkThickness(view),
                             layout.positions, layout.glyphs);
    // A figure marks the paths' two ends.
    if (layout.figure)
    {
        std::vector<LinkHighlight::PathEnd> ends;
        for (const std::uint32_t site : {view.paths->source, view.paths->sink})
            if (site < layout.positions.size())
                ends.push_back({layout.positions[site], sphereColor(layout, network, site),
                                layout.glyphs.siteRadius * sphereScale(layout, site), ringColor});
        highlight.markPathEnds(ends);
    }
    if (showsCommunities())
        fadeUnderCommunities();
}

void Explorer::showNextPath(int step)
{
    if (!view.paths || view.paths->paths.empty())
        return;
    const auto count = static_cast<long>(view.paths->paths.size());
    const long at = view.onePath ? static_cast<long>(*view.onePath) + step : step > 0 ? 0 : count - 1;
    view.onePath = static_cast<std::size_t>(std::clamp(at, 0L, count - 1));
    applyPaths();
    updateText();
}

void Explorer::showAllPaths()
{
    if (!view.paths || !view.onePath)
        return;
    view.onePath.reset();
    applyPaths();
    updateText();
}

void Explorer::forgetPaths()
{
    pathsFromWindow = false;
    view.pathEnds.reset();
    view.paths.reset();
    view.onePath.reset();
    pathFinder.cancel();
}

void Explorer::clearPaths()
{
    forgetPaths();
    applyPaths();
    updateText();
}
