#include <app/Explorer.h>
#include <app/SiteAnalysis.h>

#include <osg/Camera>
#include <osgViewer/View>
#include <osgViewer/ViewerBase>

#include <algorithm>
#include <cmath>
#include <cstdio>

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

namespace
{

// What the window's texts stand on: the background, mostly opaque.
osg::Vec4 backdropOf(const osg::Vec4& background)
{
    return osg::Vec4(background.r(), background.g(), background.b(), 0.85f);
}

} // namespace

std::string communityOverlayRefusal(const CorrelationNetwork& network, const SiteLayout& layout)
{
    if (!network.members.empty())
        return "The sites are the communities already (LINKMAP_COARSE=1)";
    if (!layout.figure)
        return "The network of communities shows over a figure (LINKMAP_STYLE=figure)";
    if (network.communities.size() != network.siteCount())
        return "No communities were found (LINKMAP_COLOR=community finds them)";
    return "";
}

Explorer::Explorer(const ExploredNetwork& explored, ViewState& state, osgGA::TrackballManipulator* turning,
                   const osg::Vec4& background, MotionPicture* motion)
    : network(explored.network), layout(explored.layout), files(explored.files),
      model(explored.network, files, state,
            FrontEnd{true, communityOverlayRefusal(explored.network, explored.layout)}),
      trackball(turning), ringColor(explored.style.textColor),
      highlight(explored.scene, explored.network.links, background, motion),
      corner(createCornerText(explored.style.font.get(), explored.style.textColor, backdropOf(background))),
      help(createTextPanel(explored.style.font.get(), explored.style.textColor, backdropOf(background),
                           "Keys (h or Escape closes this)\n\n" + describeWindowKeys(96))),
      labels(explored.scene.labels), communityNode(new osg::Group), labelStyle(explored.style),
      dimSites(explored.scene.dimSites), dimTrace(explored.scene.dimTrace), pathFinder(explored.network)
{
    // The scene shows the view the run starts from.
    show();
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

osg::Node* Explorer::getHelpNode()
{
    return help.node.get();
}

bool Explorer::showsHelp() const
{
    return help.node->getNodeMask() != 0u;
}

Effect Explorer::runCommand(const ViewCommand& command)
{
    const Effect effect = model.run(command);
    act(effect, nullptr);
    show();
    return effect;
}

void Explorer::act(const Effect& effect, osgGA::GUIActionAdapter* action)
{
    if (effect.help)
        help.node->setNodeMask(showsHelp() ? 0u : ~0u);
    if (effect.centre && *effect.centre < layout.positions.size())
        trackball->setCenter(osg::Vec3d(layout.positions[*effect.centre]));
    if (!effect.quit || action == nullptr)
        return;
    if (auto* viewer = dynamic_cast<osgViewer::ViewerBase*>(action))
        viewer->setDone(true);
    else if (auto* shown = dynamic_cast<osgViewer::View*>(action->asView());
             shown != nullptr && shown->getViewerBase() != nullptr)
        shown->getViewerBase()->setDone(true);
}

void Explorer::show()
{
    const ViewState& view = model.state();
    // The paths the model wants found are looked for beside the frame loop; only the last asked is answered.
    if (view.searching && view.pathSearch != searchAsked && view.pathEnds)
    {
        searchAsked = view.pathSearch;
        pathFinder.request(PathRequest{*view.pathEnds, view.pathsAsked, view.pathFilter});
    }
    else if (!view.searching && pathFinder.pending())
        pathFinder.cancel();

    // The filter first: the highlight keeps the count of the links it shows, which the corner gives.
    const LinkFilter filter = linkFilterOf(view);
    if (!filterShown || !(*filterShown == filter))
    {
        highlight.setCutoff(filter.cutoff);
        highlight.setRegionFilter(filter.regions, network.linkRegions);
        filterShown = filter;
    }
    const Presentation shown = present(
        view, DescribedNetwork{network, layout.residues, files, model.linksNeeded()}, highlight.shownCount());
    showCommunities(shown.faded, shown.filter);

    // The emphasis is made again only when what it is made of changed: for a large network, a pass over
    // every link.
    const auto emphasis = std::tuple{view.pick,       shown.pathLinks.size(), view.pathSearch,
                                     view.pathsShown, view.onePath,           shown.faded};
    if (!emphasisShown || !(*emphasisShown == emphasis))
    {
        emphasisShown = emphasis;
        if (dimSites)
            dimSites(shown.dimmedSites.empty() ? std::vector<bool>(network.siteCount(), false)
                                               : shown.dimmedSites);
        if (dimTrace)
            dimTrace(shown.traceDimmed);
        if (shown.faded || !shown.pathLinks.empty())
        {
            highlight.emphasisePaths(shown.pathLinks, shown.thickness, layout.positions, layout.glyphs);
            // A figure marks the paths' two ends.
            std::vector<LinkHighlight::PathEnd> ends;
            for (const std::uint32_t site : shown.pathEnds)
                if (layout.figure && site < layout.positions.size())
                    ends.push_back({layout.positions[site], sphereColor(layout, network, site),
                                    layout.glyphs.siteRadius * sphereScale(layout, site), ringColor});
            if (!ends.empty())
                highlight.markPathEnds(ends);
        }
        else if (view.pick.kind == Pick::Kind::Site)
            highlight.emphasiseSite(layout.positions[view.pick.index],
                                    std::vector<std::size_t>(model.links().begin(view.pick.index),
                                                             model.links().end(view.pick.index)));
        else if (view.pick.kind == Pick::Kind::Link)
        {
            const SiteLink& ends = network.links[view.pick.index];
            highlight.emphasiseLink(view.pick.index, layout.positions[ends.first],
                                    layout.positions[ends.second]);
        }
        else
            highlight.clearEmphasis();
    }
    if (labels.valid())
    {
        labels->hideAll(shown.faded);
        // What the corner speaks of keeps its labels.
        labels->favour(shown.favoured);
    }

    std::string text;
    for (const std::string& line : shown.corner)
        text += (text.empty() ? "" : "\n") + line;
    corner.text->setText(text, osgText::String::ENCODING_UTF8);
    // Without text, the corner's camera is left out of the frame altogether.
    corner.node->setNodeMask(text.empty() ? 0u : ~0u);
    // Labels keep out of the corner's box, backdrop and all, as they keep apart from each other.
    if (labels.valid())
    {
        std::vector<osg::BoundingBox> boxes;
        if (!text.empty())
        {
            const osg::BoundingBox& box = corner.text->getBoundingBox();
            const float margin = corner.text->getBoundingBoxMargin();
            boxes.emplace_back((box.xMin() - margin) / overlayWindowHeight,
                               (box.yMin() - margin) / overlayWindowHeight, 0.0f,
                               (box.xMax() + margin) / overlayWindowHeight,
                               (box.yMax() + margin) / overlayWindowHeight, 0.0f);
        }
        labels->keepClear(std::move(boxes));
    }
}

void Explorer::showCommunities(bool shown, const LinkFilter& filter)
{
    // The network of communities shown is always that of the links shown.
    const bool showing = communityNode->getNumChildren() > 0;
    if (showing && (!shown || !(community->filter == filter)))
        communityNode->removeChildren(0, communityNode->getNumChildren());
    if (!shown || communityNode->getNumChildren() > 0)
        return;
    if (community == nullptr || !(community->filter == filter))
    {
        community = std::make_unique<CommunityPicture>();
        community->filter = filter;
        community->network = network;
        community->layout = layout;
        showCommunityNetwork(community->network, community->layout, filter);
        community->scene = buildNetworkScene(community->network, community->layout, labelStyle,
                                             RenderPath::OneGlyphPerElement);
        if (community->scene.labels.valid())
            community->scene.root->removeCullCallback(community->scene.labels.get());
    }
    // Drawn over the faded network whole, in the same view: after it, its own depth cleared.
    osg::ref_ptr<osg::Camera> over = new osg::Camera;
    over->setName("network of communities");
    over->setReferenceFrame(osg::Transform::RELATIVE_RF);
    over->setRenderOrder(osg::Camera::POST_RENDER);
    over->setClearMask(GL_DEPTH_BUFFER_BIT);
    over->setAllowEventFocus(false);
    over->addChild(community->scene.root.get());
    communityNode->addChild(over.get());
}

bool Explorer::toggleCommunities()
{
    const bool was = showsCommunities();
    runCommand(ViewCommand{Command::Overlay});
    return was || showsCommunities();
}

void Explorer::setMotionPicture(MotionPicture* motion)
{
    highlight.setMotionPicture(motion);
}

void Explorer::prepare()
{
    if (!index)
        index = std::make_unique<PickIndex>(layout.positions, network.links, layout.glyphs, layout.scales);
}

Pick Explorer::under(const PickRay& ray)
{
    prepare();
    return index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle, linkFilterOf(model.state()),
                       network.linkRegions);
}

Pick Explorer::pickAt(const PickRay& ray)
{
    ViewCommand command{Command::Pick};
    command.pick = under(ray);
    runCommand(command);
    return model.state().pick;
}

bool Explorer::centreAt(const PickRay& ray)
{
    const Pick found = under(ray);
    if (found.kind != Pick::Kind::Site)
        return false;
    ViewCommand command{Command::Centre};
    command.site = found.index;
    runCommand(command);
    return true;
}

void Explorer::pickSite(std::size_t site)
{
    ViewCommand command{Command::Pick};
    command.pick = Pick{Pick::Kind::Site, site};
    runCommand(command);
}

bool Explorer::setRegionFilter(RegionKind kind)
{
    ViewCommand command{Command::Region};
    command.region = kind;
    runCommand(command);
    return model.state().region == kind;
}

RegionKind Explorer::getRegionFilter() const
{
    return model.state().region;
}

bool Explorer::isShown(std::size_t link) const
{
    return highlight.isShown(link);
}

void Explorer::setCutoff(float value)
{
    ViewCommand command{Command::CutoffTo};
    command.value = value;
    runCommand(command);
}

void Explorer::raiseCutoff()
{
    runCommand(ViewCommand{Command::CutoffUp});
}

void Explorer::lowerCutoff()
{
    runCommand(ViewCommand{Command::CutoffDown});
}

float Explorer::getCutoff() const
{
    return model.state().cutoff;
}

void Explorer::setNotice(const std::string& text)
{
    model.setNotice(text);
    show();
}

void Explorer::findPathsTo(std::size_t site)
{
    ViewCommand command{Command::PathTo};
    command.site = site;
    runCommand(command);
}

bool Explorer::collectPaths()
{
    std::optional<PathResult> found = pathFinder.collect();
    if (!found)
        return false;
    model.takePaths(searchAsked, std::move(found->paths), found->failure);
    // Listed on standard output as a run lists the paths it was asked for.
    if (model.state().paths && !model.state().searching)
    {
        writePaths(network, *model.state().paths);
        std::fflush(stdout);
    }
    show();
    return true;
}

void Explorer::showNextPath(int step)
{
    runCommand(ViewCommand{step > 0 ? Command::PathNext : Command::PathPrevious});
}

void Explorer::showAllPaths()
{
    runCommand(ViewCommand{Command::PathAll});
}

std::string Explorer::getCornerText() const
{
    return corner.text->getText().createUTF8EncodedString();
}
