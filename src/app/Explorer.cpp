#include <app/Explorer>

#include <osgViewer/View>
#include <osgViewer/ViewerBase>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

namespace
{

// A press and release closer than this, in pixels, is a click; farther apart, a drag of the trackball.
const float clickReach = 3.0f;

// The longest time, in seconds, between the two clicks of a double click.
const double doubleClickSeconds = 0.4;

// How many pixels beside a sphere or link a click still picks it.
const double pickPixels = 4.0;

// The cutoff moves in steps of a twentieth.
const int stepsPerUnit = 20;

// The ray through the pointer's place in the view that event happened in.
PickRay rayAtPointer(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    return computePickRay(*action.asView()->getCamera(), event.getXnormalized(), event.getYnormalized());
}

std::string formatWeight(float weight)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(weight));
    return text;
}

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

void describeExplorerBindings(osg::ApplicationUsage& usage)
{
    usage.addKeyboardMouseBinding("Left click", "Describe the site or link under the pointer in the top left "
                                                "corner and dim the other links; on empty space, clear");
    usage.addKeyboardMouseBinding("Left double click",
                                  "Centre the view on the site under the pointer and turn about it");
    usage.addKeyboardMouseBinding("+",
                                  "Raise the weight cutoff by 0.05: hide the links whose |weight| is below");
    usage.addKeyboardMouseBinding("-", "Lower the weight cutoff by 0.05");
    usage.addKeyboardMouseBinding("1",
                                  "Show only the links that touch a positive site (either end); with 2, a "
                                  "negative site, with 3, an accelerated one; with the cutoff");
    usage.addKeyboardMouseBinding("0", "Show every link again, as the cutoff lets them");
    usage.addKeyboardMouseBinding("/", "Find a site: type the start of its name, in any case, or its number; "
                                       "Enter picks and centres the first match, Enter or Tab the next, "
                                       "Escape closes");
    usage.addKeyboardMouseBinding("c",
                                  "Save what the window shows as linkmap-N.png in the current folder, the "
                                  "first number free, and its view as linkmap-N.view");
    usage.addKeyboardMouseBinding("Escape", "Close the find prompt; without one, quit");
}

bool readCutoffSetting(const char* setting, float& value)
{
    value = 0.0f;
    if (setting == nullptr || *setting == '\0')
        return true;
    char* end = nullptr;
    const double number = std::strtod(setting, &end);
    if (end == setting || *end != '\0' || !(number >= 0.0 && number <= 1.0))
        return false;
    value = static_cast<float>(number);
    return true;
}

bool readRegionSetting(const char* setting, RegionKind& kind)
{
    kind = RegionKind::None;
    if (setting == nullptr || *setting == '\0')
        return true;
    for (const RegionKindEntry& entry : regionKinds)
    {
        if (std::strcmp(setting, entry.word) == 0)
        {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

Explorer::Explorer(const ExploredNetwork& explored, osgGA::TrackballManipulator* turning,
                   const osg::Vec4& background, MotionPicture* motion)
    : network(explored.network), positions(explored.layout.positions), files(explored.files),
      trackball(turning), highlight(explored.scene, explored.network.links, background, motion),
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

std::string Explorer::getCornerText() const
{
    return corner.text->getText().createUTF8EncodedString();
}

void Explorer::setMotionPicture(MotionPicture* motion)
{
    highlight.setMotionPicture(motion);
}

void Explorer::prepare()
{
    if (index)
        return;
    index = std::make_unique<PickIndex>(positions, network.links);

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
                            LinkFilter{cutoff, regionBit(static_cast<int>(region))}, network.linkRegions);
    switch (selection.kind)
    {
    case Pick::Kind::Site:
        pickSite(selection.index);
        return selection;
    case Pick::Kind::Link:
    {
        const SiteLink& link = network.links[selection.index];
        highlight.emphasiseLink(selection.index, positions[link.first],
                                positions[link.second]);
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
    const Pick found =
        index->pick(ray.origin, ray.direction, pickPixels * ray.pixelAngle,
                    LinkFilter{cutoff, regionBit(static_cast<int>(region))}, network.linkRegions);
    if (found.kind != Pick::Kind::Site)
        return false;
    trackball->setCenter(osg::Vec3d(positions[found.index]));
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
    highlight.emphasiseSite(positions[site], links);
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
    highlight.setRegionFilter(regionBit(static_cast<int>(kind)), network.linkRegions);
    updateText();
    return true;
}

RegionKind Explorer::getRegionFilter() const
{
    return region;
}

const SiteFinder& Explorer::getFinder() const
{
    return finder;
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

void Explorer::setNotice(const std::string& text)
{
    notice = text;
    updateText();
}

std::string Explorer::describeSite(std::size_t site) const
{
    std::string text = network.names[site] + ": ";
    if (const RegionKindEntry* entry = findRegionKind(network.regions[site]))
        text += std::string(entry->word) + " region (" +
                std::filesystem::path(files.*entry->listFile).filename().string() + ")";
    else
        text += "in no region";

    // The strongest link is the one of largest |weight|; a weight that is no number is never the strongest.
    const std::size_t first = siteLinkStarts[site];
    const std::size_t count = siteLinkStarts[site + 1] - first;
    if (count == 0)
        return text + "; no links";
    std::size_t strongest = siteLinkList[first];
    for (std::size_t i = first; i < first + count; ++i)
    {
        const float weight = std::fabs(network.links[siteLinkList[i]].weight);
        const float best = std::fabs(network.links[strongest].weight);
        if (weight > best || (std::isnan(best) && !std::isnan(weight)))
            strongest = siteLinkList[i];
    }
    const SiteLink& link = network.links[strongest];
    const std::string& other = network.names[link.first == site ? link.second : link.first];
    text += "; " + std::to_string(count) + (count == 1 ? " link" : " links");
    // Under a cutoff or a region filter, how many of them are shown.
    if (cutoff > 0.0f || region != RegionKind::None)
    {
        const auto shown = std::count_if(siteLinkList.begin() + first, siteLinkList.begin() + first + count,
                                         [this](std::size_t each) { return highlight.isShown(each); });
        text += ", " + std::to_string(shown) + " shown";
    }
    text += (count == 1 ? ", with " : ", the strongest with ") + other + " at " + formatWeight(link.weight);
    return text;
}

std::string Explorer::describeLink(std::size_t link) const
{
    const SiteLink& ends = network.links[link];
    return "Link between " + network.names[ends.first] + " and " + network.names[ends.second] +
           " with weight " + formatWeight(ends.weight);
}

void Explorer::updateText()
{
    std::string text;
    const auto addLine = [&text](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
    if (finder.isOpen())
        addLine(finder.promptLine());
    if (selection.kind == Pick::Kind::Site)
        addLine(describeSite(selection.index));
    else if (selection.kind == Pick::Kind::Link)
        addLine(describeLink(selection.index));
    if (region != RegionKind::None)
    {
        const std::string list = std::filesystem::path(regionListOf(files, region)).filename().string();
        addLine(std::string("Links touching ") + findRegionKind(region)->word + " sites (" + list +
                "): " + std::to_string(highlight.shownCount()) + " of " +
                std::to_string(highlight.linkCount()) + " shown");
    }
    if (!message.empty())
        addLine(message);
    if (cutoff > 0.0f)
    {
        char line[128];
        std::snprintf(line, sizeof line, "Cutoff %.2f: %zu of %zu links shown", static_cast<double>(cutoff),
                      highlight.shownCount(), highlight.linkCount());
        text += (text.empty() ? "" : "\n") + std::string(line);
    }
    if (!notice.empty())
        text += (text.empty() ? "" : "\n") + notice;
    corner.text->setText(text);
    // Without text, the corner's camera is left out of the frame altogether.
    corner.node->setNodeMask(text.empty() ? 0u : ~0u);
}

bool Explorer::handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    switch (event.getEventType())
    {
    case osgGA::GUIEventAdapter::PUSH:
        press(event);
        return false;
    case osgGA::GUIEventAdapter::DRAG:
        if (std::hypot(event.getX() - pressX, event.getY() - pressY) > clickReach)
            dragged = true;
        return false;
    case osgGA::GUIEventAdapter::RELEASE:
        release(event, action);
        return false;
    case osgGA::GUIEventAdapter::DOUBLECLICK:
        // Windows that report a double click: its second press centres, and its release is no click.
        pressed = false;
        clicked = false;
        if (event.getButton() == osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON && action.asView() != nullptr)
            centreAt(rayAtPointer(event, action));
        return false;
    case osgGA::GUIEventAdapter::KEYUP:
        // The prompt's keys are its own, let go as well as pressed.
        return finder.isOpen();
    case osgGA::GUIEventAdapter::KEYDOWN:
        if (finder.isOpen())
        {
            findKey(event.getKey());
            return true;
        }
        return keyDown(event, action);
    default:
        return false;
    }
}

void Explorer::press(const osgGA::GUIEventAdapter& event)
{
    // A click closes the find prompt, and picks as ever.
    if (finder.isOpen() || !message.empty())
    {
        finder.close();
        message.clear();
        updateText();
    }
    pressed = event.getButton() == osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON;
    dragged = false;
    pressX = event.getX();
    pressY = event.getY();
}

void Explorer::release(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    // A click: the left button pressed and let go without the pointer travelling; a drag turns the view. A
    // second click soon after the first, in the same place, makes a double click; X11 windows report both as
    // plain clicks.
    const bool click = pressed && !dragged && event.getButton() == osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON &&
                       std::hypot(event.getX() - pressX, event.getY() - pressY) <= clickReach &&
                       action.asView() != nullptr;
    pressed = false;
    if (!click)
        return;
    if (clicked && event.getTime() - clickTime <= doubleClickSeconds &&
        std::hypot(event.getX() - clickX, event.getY() - clickY) <= clickReach)
    {
        clicked = false;
        centreAt(rayAtPointer(event, action));
        return;
    }
    clicked = true;
    clickTime = event.getTime();
    clickX = event.getX();
    clickY = event.getY();
    pickAt(rayAtPointer(event, action));
}

bool Explorer::keyDown(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    if (!message.empty())
    {
        message.clear();
        updateText();
    }
    switch (event.getKey())
    {
    case '/':
        finder.open();
        updateText();
        return true;
    case '0':
    case '1':
    case '2':
    case '3':
        setRegionFilter(static_cast<RegionKind>(event.getKey() - '0'));
        return true;
    case osgGA::GUIEventAdapter::KEY_Escape:
        // Escape quits, once no prompt is open.
        if (auto* viewer = dynamic_cast<osgViewer::ViewerBase*>(&action))
            viewer->setDone(true);
        else if (auto* view = dynamic_cast<osgViewer::View*>(action.asView());
                 view != nullptr && view->getViewerBase() != nullptr)
            view->getViewerBase()->setDone(true);
        return true;
    case '+':
    case '=':
    case osgGA::GUIEventAdapter::KEY_KP_Add:
        raiseCutoff();
        return true;
    case '-':
    case osgGA::GUIEventAdapter::KEY_KP_Subtract:
        lowerCutoff();
        return true;
    default:
        return false;
    }
}

void Explorer::findKey(int key)
{
    switch (finder.key(key))
    {
    case SiteFinder::Action::None:
        return;
    case SiteFinder::Action::Pick:
    {
        // Picked as a click picks it, and centred as a double click centres it, at the same distance.
        const std::size_t site = finder.picked();
        pickSite(site);
        trackball->setCenter(osg::Vec3d(positions[site]));
        return;
    }
    case SiteFinder::Action::Changed:
    case SiteFinder::Action::Close:
        updateText();
        return;
    }
}

void Explorer::getUsage(osg::ApplicationUsage& usage) const
{
    describeExplorerBindings(usage);
}
