#ifndef LINKMAP_VIEW_VIEWMODEL
#define LINKMAP_VIEW_VIEWMODEL 1

#include <network/CorrelationNetwork.h>
#include <network/InputFiles.h>
#include <network/LinkPaths.h>
#include <network/RegionKind.h>
#include <network/SiteLinks.h>
#include <view/Pick.h>
#include <view/SiteFinder.h>
#include <view/ViewState.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/** What a front end asks of the view: every click, key and control of the window and the page comes to one
 *  of these. */
enum class Command
{
    CutoffUp,
    CutoffDown,
    /** Set the cutoff to the step nearest the command's value, as a slider does. */
    CutoffTo,
    /** Show only the links touching the command's region; RegionKind::None shows them all. */
    Region,
    /** Pick the command's pick; a pick of nothing clears the pick. */
    Pick,
    /** Turn the view about the command's site. */
    Centre,
    /** Find the paths from the site picked to the command's site. */
    PathTo,
    PathNext,
    PathPrevious,
    PathAll,
    /** Open the find prompt; type the command's text into it, in place of what it held; pick the next match.
     */
    Find,
    FindType,
    FindNext,
    Overlay,
    /** Turn the view back to the first. */
    Home,
    /** Take back one step: the prompt, the network of communities, the paths, the pick; from a clear view,
     *  quit. */
    Back,
    Save,
    Help
};

/** The word that names command in the page's script and the table of cases: "cutoffUp", "pick"... */
std::string_view commandWord(Command command);

/** The command word names, if any. */
std::optional<Command> commandNamed(std::string_view word);

/** One command, with what it names. */
struct ViewCommand
{
    explicit ViewCommand(Command asked = Command::Home) : command(asked) {}

    Command command;
    RegionKind region = RegionKind::None;
    Pick pick;
    std::size_t site = 0;
    float value = 0.0f;
    std::string text;
};

/** What a command asks of the front end beyond showing the view again. */
struct Effect
{
    bool quit = false;
    bool home = false;
    bool save = false;
    bool help = false;
    /** The site to turn the view about, when one is found. */
    std::optional<std::size_t> centre;
};

/** One way into a command: what the help names it by, the keys that give it (as a browser names them:
 *  "+", "Escape", " "; none for a gesture of the pointer), the command, and what the help says of it. */
struct KeyBinding
{
    std::string label;
    std::vector<std::string> keys;
    Command command = Command::Home;
    RegionKind region = RegionKind::None;
    std::string help;
    /** Only the window answers it, as only the window searches for paths, shows the network of communities
     *  and saves by a key. */
    bool windowOnly = false;
};

/** Every key and gesture of exploring, in the order the help lists them: the one table that the window's
 *  keys, the page's, and every help text are made from. */
const std::vector<KeyBinding>& keyBindings();

/** The binding of the key named key, if it has one. */
const KeyBinding* findKeyBinding(std::string_view key);

/** The binding's command, with its region. */
ViewCommand commandOf(const KeyBinding& binding);

/** All a front end draws of a view. */
struct Presentation
{
    /** The links shown, and how many of them there are. */
    LinkFilter filter;
    std::size_t shown = 0;
    /** One flag a link, in the order of the log, when some are emphasised and the rest dimmed; empty when
     *  none is. */
    std::vector<bool> emphasised;
    /** The links of the paths shown, each drawn thicker by its thickness (one a link); empty without paths.
     */
    std::vector<std::size_t> pathLinks;
    std::vector<float> thickness;
    /** The two ends of the paths shown, marked in a figure; empty without paths. */
    std::vector<std::uint32_t> pathEnds;
    /** One flag a site when some are dimmed; empty when none is. */
    std::vector<bool> dimmedSites;
    /** Whether the chain of a structure is dimmed with them: whenever some sites are. */
    bool traceDimmed = false;
    /** Whether the network of communities shows, over every site, link and label faded. */
    bool faded = false;
    /** The sites whose labels come first, in order. */
    std::vector<std::uint32_t> favoured;
    /** The corner's lines. */
    std::vector<std::string> corner;
};

/** What the view shows of described's network; shownCount, when the front end already keeps it, is how many
 *  links the view's filter shows, which is otherwise counted over every link. */
Presentation present(const ViewState& view, const DescribedNetwork& described,
                     std::optional<std::size_t> shownCount = std::nullopt);

/** What a front end can do beyond the commands' own: search for paths (and so search again when the links
 *  shown change, where a front end that cannot keeps the paths and says where they were found), and show the
 *  network of communities (else the line that says why not). */
struct FrontEnd
{
    bool searchesPaths = false;
    std::string overlayRefused;
};

/** The view of a network and the commands that change it: the one way of exploring that the window and the
 *  page both follow, each a thin front end that turns its events into commands and draws what present()
 *  gives. The network, its region lists and the view must outlive it. */
class ViewModel
{
public:
    ViewModel(const CorrelationNetwork& network, const InputFiles& files, ViewState& view,
              FrontEnd frontEnd = FrontEnd());

    /** Changes the view as command asks, and says what else the front end is to do. */
    Effect run(const ViewCommand& command);

    /** Runs the command of the key named key, or takes it into the open prompt (a key code, as Keys
     *  numbers them, or a character's code); nothing when it is neither. */
    std::optional<Effect> key(std::string_view name, int code);

    /** Takes the paths a search found (none, and the line that says why, when it failed): the view shows
     *  them, unless another search has been asked for since (search). */
    void takePaths(std::uint64_t search, std::optional<PathSearch> found, const std::string& failure);

    const ViewState& state() const
    {
        return view;
    }

    bool promptOpen() const
    {
        return finder.isOpen();
    }

    /** Sets the notice the corner ends with, or none when empty. */
    void setNotice(const std::string& notice);

    /** The sites' every link, listed at the first call: a large network's lists take time and memory that a
     *  view with no site picked never needs. */
    const SiteLinks& links() const;

    /** What present is to describe the view's network by: its sites' links when a site is picked, which
     *  alone needs them, and none otherwise. */
    const SiteLinks& linksNeeded() const;

private:
    Effect pick(const Pick& pick);
    /** Makes pick the view's pick, as a click and the find prompt do. */
    void choose(const Pick& pick);
    void pathTo(std::size_t site);
    void stepPath(int step);
    Effect back();
    Effect findSite(Effect effect);
    /** Asks for the paths again when the links shown are no longer those they were found over, in a front
     *  end that searches. */
    void followFilter();

    const CorrelationNetwork& network;
    const InputFiles& files;
    ViewState& view;
    FrontEnd frontEnd;
    mutable std::optional<SiteLinks> siteLinks;
    SiteFinder finder;
};

#endif
