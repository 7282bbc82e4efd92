#include <view/Keys.h>
#include <view/ViewModel.h>
#include <view/ViewRules.h>

#include <algorithm>
#include <cstring>

namespace
{

std::vector<KeyBinding> makeKeyBindings()
{
    std::vector<KeyBinding> table{
        {"Left click",
         {},
         Command::Pick,
         RegionKind::None,
         "Describe the site or link under the pointer in the top left corner and dim the other links; on "
         "empty space, clear",
         false},
        {"Left double click",
         {},
         Command::Centre,
         RegionKind::None,
         "Turn the view about the site under the pointer, at the same distance",
         false},
        {"Shift left click",
         {},
         Command::PathTo,
         RegionKind::None,
         "With a site picked, find the shortest paths from it to the site under the pointer: their links "
         "drawn thicker, the rest dimmed",
         true},
        {"+",
         {"+", "="},
         Command::CutoffUp,
         RegionKind::None,
         "Raise the weight cutoff a step, a twentieth of its range, hiding the links whose |weight| is below "
         "it; the first step is the first that hides a link",
         false},
        {"-", {"-"}, Command::CutoffDown, RegionKind::None, "Lower the weight cutoff a step", false},
    };
    for (const RegionKindEntry& entry : regionKinds)
    {
        const bool vowel = std::strchr("aeiou", entry.word[0]) != nullptr;
        table.push_back({std::string(1, entry.key),
                         {std::string(1, entry.key)},
                         Command::Region,
                         entry.kind,
                         std::string("Show only the links that touch ") + (vowel ? "an " : "a ") +
                             entry.word + " site (either end), as the cutoff lets them",
                         false});
    }
    const std::vector<KeyBinding> rest{
        {std::string(1, allRegionsKey),
         {std::string(1, allRegionsKey)},
         Command::Region,
         RegionKind::None,
         "Show every link again, as the cutoff lets them",
         false},
        {"/",
         {"/"},
         Command::Find,
         RegionKind::None,
         "Find a site: type the start of its name, in any case, or its number; Enter picks and centres the "
         "first match, Enter or Tab the next, Escape closes",
         false},
        {"] and [",
         {"]"},
         Command::PathNext,
         RegionKind::None,
         "Show the next or the previous path alone",
         false},
        {"[", {"["}, Command::PathPrevious, RegionKind::None, "", false},
        {"\\", {"\\"}, Command::PathAll, RegionKind::None, "Show every path again, after a pick or ]", false},
        {"g",
         {"g"},
         Command::Overlay,
         RegionKind::None,
         "Show the network of the communities over the sites faded: a sphere each at the centre of its "
         "sites, joined as the links shown join them, over a figure whose communities were found; g again "
         "puts it away",
         true},
        {"c",
         {"c"},
         Command::Save,
         RegionKind::None,
         "Save what the window shows as linkmap-N.png in the current folder, the first number free, and its "
         "view as linkmap-N.view",
         true},
        {"Space", {" "}, Command::Home, RegionKind::None, "Turn the view back to the first", false},
        {"h", {"h"}, Command::Help, RegionKind::None, "Show or hide this help", false},
        {"Escape",
         {"Escape"},
         Command::Back,
         RegionKind::None,
         "Take back one step: close the find prompt, put away the network of communities, then the paths, "
         "then the pick; from a clear view, the window quits",
         false},
    };
    table.insert(table.end(), rest.begin(), rest.end());
    return table;
}

std::size_t communityCount(const CorrelationNetwork& network)
{
    if (network.communities.empty())
        return 0;
    return static_cast<std::size_t>(
               *std::max_element(network.communities.begin(), network.communities.end())) +
           1;
}

const std::pair<Command, std::string_view> commandWords[] = {{Command::CutoffUp, "cutoffUp"},
                                                             {Command::CutoffDown, "cutoffDown"},
                                                             {Command::CutoffTo, "cutoffTo"},
                                                             {Command::Region, "region"},
                                                             {Command::Pick, "pick"},
                                                             {Command::Centre, "centre"},
                                                             {Command::PathTo, "pathTo"},
                                                             {Command::PathNext, "pathNext"},
                                                             {Command::PathPrevious, "pathPrevious"},
                                                             {Command::PathAll, "pathAll"},
                                                             {Command::Find, "find"},
                                                             {Command::FindType, "findType"},
                                                             {Command::FindNext, "findNext"},
                                                             {Command::Overlay, "overlay"},
                                                             {Command::Home, "home"},
                                                             {Command::Back, "back"},
                                                             {Command::Save, "save"},
                                                             {Command::Help, "help"}};

} // namespace

std::string_view commandWord(Command command)
{
    for (const auto& [each, word] : commandWords)
        if (each == command)
            return word;
    return "";
}

std::optional<Command> commandNamed(std::string_view word)
{
    for (const auto& [command, each] : commandWords)
        if (each == word)
            return command;
    return std::nullopt;
}

const std::vector<KeyBinding>& keyBindings()
{
    static const std::vector<KeyBinding> table = makeKeyBindings();
    return table;
}

const KeyBinding* findKeyBinding(std::string_view key)
{
    for (const KeyBinding& binding : keyBindings())
        if (std::find(binding.keys.begin(), binding.keys.end(), key) != binding.keys.end())
            return &binding;
    return nullptr;
}

ViewCommand commandOf(const KeyBinding& binding)
{
    ViewCommand command(binding.command);
    command.region = binding.region;
    return command;
}

Presentation present(const ViewState& view, const DescribedNetwork& described,
                     std::optional<std::size_t> shownCount)
{
    const CorrelationNetwork& network = described.network;
    Presentation shown;
    shown.filter = linkFilterOf(view);
    shown.shown = shownCount ? *shownCount : countShownLinks(view, network);
    shown.faded = view.overlay;
    shown.favoured = favouredSites(view, network);
    shown.corner = describeView(view, described, shown.shown);
    if (view.overlay)
    {
        shown.emphasised.assign(network.linkCount(), false);
        shown.dimmedSites.assign(network.siteCount(), true);
        shown.traceDimmed = true;
        return shown;
    }
    shown.emphasised = emphasisedLinks(view, network, described.siteLinks);
    shown.pathLinks = shownPathLinks(view, network.linkCount());
    if (!shown.pathLinks.empty())
    {
        shown.thickness = linkThickness(view);
        shown.pathEnds = {view.paths->source, view.paths->sink};
        shown.dimmedSites = sitesOnPaths(view, network.siteCount());
        shown.dimmedSites.flip();
        shown.traceDimmed = true;
    }
    return shown;
}

ViewModel::ViewModel(const CorrelationNetwork& records, const InputFiles& lists, ViewState& state,
                     FrontEnd front)
    : network(records), files(lists), view(state), frontEnd(std::move(front)), finder(records.names)
{
    view.overlayCommunities = communityCount(network);
    // A front end that searches looks for the paths the view starts by asking for.
    if (frontEnd.searchesPaths && view.pathEnds && !view.paths)
    {
        view.pathFilter = linkFilterOf(view);
        view.searching = true;
        ++view.pathSearch;
    }
}

const SiteLinks& ViewModel::links() const
{
    if (!siteLinks)
        siteLinks.emplace(network.links, network.siteCount());
    return *siteLinks;
}

const SiteLinks& ViewModel::linksNeeded() const
{
    static const SiteLinks none;
    return view.pick.kind == Pick::Kind::Site ? links() : none;
}

void ViewModel::setNotice(const std::string& notice)
{
    view.notice = notice;
}

std::optional<Effect> ViewModel::key(std::string_view name, int code)
{
    if (finder.isOpen())
    {
        Effect effect;
        switch (finder.key(code))
        {
        case SiteFinder::Action::None:
            break;
        case SiteFinder::Action::Pick:
            return findSite(effect);
        case SiteFinder::Action::Changed:
        case SiteFinder::Action::Close:
            view.prompt = finder.isOpen() ? finder.promptLine() : std::string();
            break;
        }
        return effect;
    }
    const KeyBinding* binding = findKeyBinding(name);
    if (binding == nullptr)
        return std::nullopt;
    return run(commandOf(*binding));
}

Effect ViewModel::findSite(Effect effect)
{
    view.prompt = finder.promptLine();
    if (finder.picked() >= network.siteCount())
        return effect;
    // Picked as a click picks it, and centred as a double click centres it; the prompt stays open for the
    // next match.
    choose(Pick{Pick::Kind::Site, finder.picked()});
    effect.centre = finder.picked();
    return effect;
}

Effect ViewModel::run(const ViewCommand& command)
{
    // What the last command had to say goes with the next.
    view.message.clear();
    Effect effect;
    switch (command.command)
    {
    case Command::CutoffUp:
        view.cutoff = ViewRules::raisedCutoff(view.cutoff, view.cutoffTop, view.weakest);
        followFilter();
        break;
    case Command::CutoffDown:
        view.cutoff = ViewRules::loweredCutoff(view.cutoff, view.cutoffTop);
        followFilter();
        break;
    case Command::CutoffTo:
        view.cutoff = ViewRules::nearestCutoff(command.value, view.cutoffTop);
        followFilter();
        break;
    case Command::Region:
        if (const RegionKindEntry* entry = findRegionKind(command.region);
            entry != nullptr && (files.*entry->listFile).empty())
        {
            view.message =
                ViewRules::fill(ViewRules::noList, {{"word", entry->word}, {"option", entry->option}});
            break;
        }
        view.region = command.region;
        followFilter();
        break;
    case Command::Pick:
        return pick(command.pick);
    case Command::Centre:
        if (command.site < network.siteCount())
            effect.centre = command.site;
        break;
    case Command::PathTo:
        pathTo(command.site);
        break;
    case Command::PathNext:
        stepPath(1);
        break;
    case Command::PathPrevious:
        stepPath(-1);
        break;
    case Command::PathAll:
        if (view.paths && !view.paths->paths.empty())
        {
            view.onePath.reset();
            view.pathsShown = true;
            view.overlay = false;
        }
        break;
    case Command::Find:
        finder.open();
        view.prompt = finder.promptLine();
        break;
    case Command::FindType:
        if (!finder.isOpen())
            finder.open();
        finder.type(command.text);
        view.prompt = finder.promptLine();
        break;
    case Command::FindNext:
        if (!finder.isOpen())
            break;
        if (finder.key(Keys::enter) == SiteFinder::Action::Pick)
            return findSite(effect);
        break;
    case Command::Overlay:
        if (view.overlay)
            view.overlay = false;
        else if (!frontEnd.overlayRefused.empty())
            view.message = frontEnd.overlayRefused;
        else
            view.overlay = true;
        break;
    case Command::Home:
        effect.home = true;
        break;
    case Command::Back:
        return back();
    case Command::Save:
        effect.save = true;
        break;
    case Command::Help:
        effect.help = true;
        break;
    }
    return effect;
}

Effect ViewModel::pick(const Pick& picked)
{
    // A pick closes the prompt too.
    finder.close();
    view.prompt.clear();
    choose(picked);
    return Effect();
}

void ViewModel::choose(const Pick& picked)
{
    // A pick closes the network of communities, and puts the paths aside.
    view.overlay = false;
    view.pathsShown = false;
    const bool known = (picked.kind == Pick::Kind::Site && picked.index < network.siteCount()) ||
                       (picked.kind == Pick::Kind::Link && picked.index < network.linkCount());
    view.pick = known ? picked : Pick();
}

void ViewModel::pathTo(std::size_t site)
{
    if (view.pick.kind != Pick::Kind::Site || site >= network.siteCount() || site == view.pick.index)
        return;
    if (!frontEnd.searchesPaths)
    {
        view.message = ViewRules::pathsInWindow.text;
        return;
    }
    view.pathEnds = std::pair{static_cast<std::uint32_t>(view.pick.index), static_cast<std::uint32_t>(site)};
    view.paths.reset();
    view.onePath.reset();
    view.pathsShown = true;
    view.overlay = false;
    view.pathFilter = linkFilterOf(view);
    view.searching = true;
    ++view.pathSearch;
}

void ViewModel::followFilter()
{
    if (!frontEnd.searchesPaths || !view.pathEnds || (!view.paths && !view.searching) ||
        linkFilterOf(view) == view.pathFilter)
        return;
    view.paths.reset();
    view.onePath.reset();
    view.pathFilter = linkFilterOf(view);
    view.searching = true;
    ++view.pathSearch;
}

void ViewModel::takePaths(std::uint64_t search, std::optional<PathSearch> found, const std::string& failure)
{
    if (search != view.pathSearch || !view.searching)
        return;
    view.searching = false;
    view.paths = std::move(found);
    view.onePath.reset();
    view.message = failure;
}

void ViewModel::stepPath(int step)
{
    if (!view.paths || view.paths->paths.empty())
        return;
    const auto count = static_cast<long>(view.paths->paths.size());
    const long at = view.pathsShown && view.onePath ? static_cast<long>(*view.onePath) + step
                    : step > 0                      ? 0
                                                    : count - 1;
    view.onePath = static_cast<std::size_t>(std::clamp(at, 0L, count - 1));
    view.pathsShown = true;
    view.overlay = false;
}

Effect ViewModel::back()
{
    Effect effect;
    if (finder.isOpen())
    {
        finder.close();
        view.prompt.clear();
    }
    else if (view.overlay)
        view.overlay = false;
    else if (view.pathsShown && view.pathEnds)
    {
        view.pathsShown = false;
        view.searching = false;
    }
    else if (view.pick.kind != Pick::Kind::Nothing)
        view.pick = Pick();
    else
        effect.quit = true;
    return effect;
}
