#include <app/Explorer.h>
#include <network/RegionKind.h>

#include <osgViewer/View>
#include <osgViewer/ViewerBase>

#include <cmath>
#include <cstring>

namespace
{

// A press and release closer than this, in pixels, is a click; farther apart, a drag of the trackball.
const float clickReach = 3.0f;

// The longest time, in seconds, between the two clicks of a double click.
const double doubleClickSeconds = 0.4;

// The ray through the pointer's place in the view that event happened in.
PickRay rayAtPointer(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action)
{
    return computePickRay(*action.asView()->getCamera(), event.getXnormalized(), event.getYnormalized());
}

} // namespace

void describeExplorerBindings(osg::ApplicationUsage& usage)
{
    usage.addKeyboardMouseBinding("Left click", "Describe the site or link under the pointer in the top left "
                                                "corner and dim the other links; on empty space, clear");
    usage.addKeyboardMouseBinding("Left double click",
                                  "Centre the view on the site under the pointer and turn about it");
    usage.addKeyboardMouseBinding("+",
                                  "Raise the weight cutoff by 0.05: hide the links whose |weight| is below");
    usage.addKeyboardMouseBinding("-", "Lower the weight cutoff by 0.05");
    // "Show only the links that touch a positive site (either end); with 2, a negative site, ...; with the
    // cutoff", under the first region kind's key.
    std::string regionKeys = "Show only the links that touch";
    for (std::size_t i = 0; i < std::size(regionKinds); ++i)
    {
        const RegionKindEntry& entry = regionKinds[i];
        const bool last = i + 1 == std::size(regionKinds);
        const bool vowel = std::strchr("aeiou", entry.word[0]) != nullptr;
        if (i > 0)
            regionKeys += std::string(" with ") + entry.key + ",";
        regionKeys += std::string(vowel ? " an " : " a ") + entry.word + (last && i > 0 ? " one;" : " site");
        regionKeys += i == 0 ? " (either end);" : last ? "" : ",";
    }
    usage.addKeyboardMouseBinding(std::string(1, regionKinds[0].key), regionKeys + " with the cutoff");
    usage.addKeyboardMouseBinding(std::string(1, allRegionsKey),
                                  "Show every link again, as the cutoff lets them");
    usage.addKeyboardMouseBinding("g",
                                  "Show the network of the communities over the sites faded: a sphere "
                                  "each at the centre of its sites, joined as the links shown join them; "
                                  "g again puts it away (a figure's)");
    usage.addKeyboardMouseBinding("/", "Find a site: type the start of its name, in any case, or its number; "
                                       "Enter picks and centres the first match, Enter or Tab the next, "
                                       "Escape closes");
    usage.addKeyboardMouseBinding("c",
                                  "Save what the window shows as linkmap-N.png in the current folder, the "
                                  "first number free, and its view as linkmap-N.view");
    usage.addKeyboardMouseBinding("Shift left click",
                                  "With a site picked, find the shortest paths from it to the site under the "
                                  "pointer: their links drawn thicker, the rest dimmed");
    usage.addKeyboardMouseBinding("] and [", "Show the next or the previous path alone; \\ shows all again");
    usage.addKeyboardMouseBinding("Escape",
                                  "Put the paths away; close the find prompt; without either, quit");
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
    const bool click =
        pressed && !dragged && event.getButton() == osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON &&
        std::hypot(event.getX() - pressX, event.getY() - pressY) <= clickReach && action.asView() != nullptr;
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
    // Shift and a click on another site than the one picked asks for the paths between them.
    if ((event.getModKeyMask() & osgGA::GUIEventAdapter::MODKEY_SHIFT) != 0 &&
        view.pick.kind == Pick::Kind::Site)
    {
        const Pick found = under(rayAtPointer(event, action));
        if (found.kind == Pick::Kind::Site)
        {
            findPathsTo(found.index);
            return;
        }
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
    if (event.getKey() == allRegionsKey)
    {
        setRegionFilter(RegionKind::None);
        return true;
    }
    for (const RegionKindEntry& entry : regionKinds)
        if (event.getKey() == entry.key)
        {
            setRegionFilter(entry.kind);
            return true;
        }
    switch (event.getKey())
    {
    case '/':
        finder.open();
        updateText();
        return true;
    case 'g':
        toggleCommunities();
        return true;
    case ']':
        showNextPath(1);
        return true;
    case '[':
        showNextPath(-1);
        return true;
    case '\\':
        showAllPaths();
        return true;
    case osgGA::GUIEventAdapter::KEY_Escape:
        // Escape puts away the paths a click asked for; without them, and with no prompt open, it quits. The
        // paths the run was started with are its settings, as a pick it was started with is.
        if (pathsFromWindow && (view.paths || pathFinder.pending()))
        {
            clearPaths();
            return true;
        }
        if (auto* viewer = dynamic_cast<osgViewer::ViewerBase*>(&action))
            viewer->setDone(true);
        else if (auto* shown = dynamic_cast<osgViewer::View*>(action.asView());
                 shown != nullptr && shown->getViewerBase() != nullptr)
            shown->getViewerBase()->setDone(true);
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
        trackball->setCenter(osg::Vec3d(layout.positions[site]));
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
