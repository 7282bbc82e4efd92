#include <app/Explorer.h>
#include <network/TextFields.h>

#include <osgViewer/View>
#include <osgViewer/ViewerBase>

#include <cmath>
#include <string>

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

std::vector<std::pair<std::string, std::string>> windowKeys()
{
    std::vector<std::pair<std::string, std::string>> keys;
    for (const KeyBinding& binding : keyBindings())
        if (!binding.help.empty())
            keys.emplace_back(binding.label, binding.help + (binding.windowOnly ? " (the window's)" : ""));
    // The trackball's buttons, and the toolkit's two keys the window keeps.
    keys.emplace_back("Left drag",
                      "Turn the view (let go while moving to throw it spinning); while the view "
                      "moves, sites are dots, the strongest links lines, and labels are left out");
    keys.emplace_back("Middle drag", "Move the view");
    keys.emplace_back("Right drag", "Zoom, never farther out than the first view");
    keys.emplace_back("s", "Show the frame's statistics; s again for more, and then none (the window's)");
    keys.emplace_back("f", "Fill the screen with the window, or give it back its size (the window's)");
    return keys;
}

std::string describeWindowKeys(std::size_t width)
{
    // Each key in a column of its own, its help wrapped at spaces beside it.
    const std::size_t column = 20;
    const std::size_t room = width > column + 20 ? width - column : 20;
    std::string text;
    for (const auto& [key, help] : windowKeys())
    {
        std::string first = "  " + key;
        first.resize(std::max(first.size() + 1, column), ' ');
        bool firstLine = true;
        for (const std::string& line : wrapText(help, room))
        {
            text += (firstLine ? first : std::string(column, ' ')) + line + "\n";
            firstLine = false;
        }
    }
    return text;
}

namespace
{

// A key of the window by the name the table of keys gives it: a character is itself, the keypad's + and -
// are + and -, and Escape is named; none for the rest.
std::string keyName(int key)
{
    switch (key)
    {
    case osgGA::GUIEventAdapter::KEY_Escape:
        return "Escape";
    case osgGA::GUIEventAdapter::KEY_KP_Add:
        return "+";
    case osgGA::GUIEventAdapter::KEY_KP_Subtract:
        return "-";
    default:
        return key >= 0x20 && key < 0x7F ? std::string(1, static_cast<char>(key)) : std::string();
    }
}

} // namespace

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
        return model.promptOpen();
    case osgGA::GUIEventAdapter::KEYDOWN:
        return keyDown(event, action);
    default:
        return false;
    }
}

void Explorer::press(const osgGA::GUIEventAdapter& event)
{
    // A press closes the find prompt, and a click picks as ever.
    if (model.promptOpen())
        runCommand(ViewCommand{Command::Back});
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
        model.state().pick.kind == Pick::Kind::Site)
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
    // The help, while it shows, is put away by h or Escape before anything else.
    if (showsHelp() && (event.getKey() == 'h' || event.getKey() == osgGA::GUIEventAdapter::KEY_Escape))
    {
        help.node->setNodeMask(0u);
        return true;
    }
    const std::optional<Effect> effect = model.key(keyName(event.getKey()), event.getKey());
    if (!effect)
        return false;
    act(*effect, &action);
    show();
    // Turning home and saving are the trackball's and the saver's own.
    return !effect->home && !effect->save;
}
