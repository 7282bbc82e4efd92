// The table of cases of exploring, replayed through the view model as the window runs it; the page's browser
// test replays the same table through the page's script. A case is a run's settings, a list of commands, and
// what the view then presents.
#include <app/Explorer.h>
#include <app/Settings.h>
#include <app/SitePlacement.h>
#include <app/StartingView.h>
#include <network/InputError.h>
#include <network/LinkPaths.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>
#include <support/TestSupport.h>
#include <view/ViewModel.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace
{

using Json = nlohmann::json;

Json readCases()
{
    std::ifstream file(std::string(LINKMAP_SOURCE_DIR) + "/tests/view/cases.json");
    return Json::parse(file);
}

// The settings of a case, in the environment while its run reads them, and gone after.
class CaseSettings
{
public:
    explicit CaseSettings(const Json& settings)
    {
        for (const auto& [name, value] : settings.items())
        {
            setenv(name.c_str(), value.get<std::string>().c_str(), 1);
            names.push_back(name);
        }
    }
    ~CaseSettings()
    {
        for (const std::string& name : names)
            unsetenv(name.c_str());
    }
    CaseSettings(const CaseSettings&) = delete;
    CaseSettings& operator=(const CaseSettings&) = delete;

private:
    std::vector<std::string> names;
};

std::size_t siteOf(const CorrelationNetwork& network, const std::string& name)
{
    const std::size_t site = network.findSite(name);
    if (site == network.siteCount())
        throw std::runtime_error("no site " + name);
    return site;
}

std::size_t linkOf(const CorrelationNetwork& network, const std::string& a, const std::string& b)
{
    const std::size_t first = siteOf(network, a);
    const std::size_t second = siteOf(network, b);
    for (std::size_t link = 0; link < network.linkCount(); ++link)
        if ((network.links[link].first == first && network.links[link].second == second) ||
            (network.links[link].first == second && network.links[link].second == first))
            return link;
    throw std::runtime_error("no link " + a + " " + b);
}

// The command a case's step names, with what it names by the network's names.
ViewCommand commandOf(const Json& step, const CorrelationNetwork& network)
{
    const std::string word = step.at(0);
    const std::optional<Command> named = commandNamed(word);
    if (!named)
        throw std::runtime_error("no command " + word);
    ViewCommand command(*named);
    switch (command.command)
    {
    case Command::CutoffTo:
        command.value = step.at(1).get<float>();
        break;
    case Command::Region:
        for (const RegionKindEntry& entry : regionKinds)
            if (step.at(1) == entry.word)
                command.region = entry.kind;
        break;
    case Command::Pick:
        if (step.size() == 2)
            command.pick = Pick{Pick::Kind::Site, siteOf(network, step.at(1))};
        else if (step.size() == 3)
            command.pick = Pick{Pick::Kind::Link, linkOf(network, step.at(1), step.at(2))};
        break;
    case Command::Centre:
    case Command::PathTo:
        command.site = siteOf(network, step.at(1));
        break;
    case Command::FindType:
        command.text = step.at(1);
        break;
    default:
        break;
    }
    return command;
}

// Finds the paths the view is looking for at once, as the window's search beside its loop would.
void answerSearch(ViewModel& model, const CorrelationNetwork& network)
{
    const ViewState& view = model.state();
    if (!view.searching || !view.pathEnds)
        return;
    std::optional<PathSearch> found;
    std::string failure;
    try
    {
        found =
            findPaths(network, view.pathEnds->first, view.pathEnds->second, view.pathsAsked, view.pathFilter);
    }
    catch (const InputError& error)
    {
        failure = error.what();
    }
    model.takePaths(view.pathSearch, std::move(found), failure);
}

std::vector<std::string> linkNames(const std::vector<bool>& flags, const CorrelationNetwork& network)
{
    std::vector<std::string> names;
    for (std::size_t link = 0; link < flags.size(); ++link)
        if (flags[link])
            names.push_back(network.names[network.links[link].first] + " " +
                            network.names[network.links[link].second]);
    return names;
}

std::vector<std::string> siteNames(const std::vector<bool>& flags, const CorrelationNetwork& network)
{
    std::vector<std::string> names;
    for (std::size_t site = 0; site < flags.size(); ++site)
        if (flags[site])
            names.push_back(network.names[site]);
    return names;
}

TEST(ViewCases, EveryCaseOfTheTablePresentsWhatItExpects)
{
    const Json cases = readCases();
    ASSERT_GE(cases.size(), 40u);
    const std::string examples = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    for (const Json& each : cases)
    {
        const std::string name = each.at("name");
        SCOPED_TRACE(name);
        const InputFiles files{examples + each.value("network", "network.txt"), examples + "positive.txt",
                               each.value("withoutNegative", false) ? "" : examples + "negative.txt",
                               examples + "accelerated.txt"};
        CorrelationNetwork network;
        ViewState view;
        SiteLayout layout;
        {
            const CaseSettings given(each.value("settings", Json::object()));
            const Settings settings = readSettings(files);
            LoadProgress silent;
            captureOutput([&] {
                const NetworkSource source = readNetwork(files.groupFile, settings.reading, network, silent);
                classifyRegions(network, readRegionLists(files, settings.reading.selection));
                layout = arrangeSites(network, source, settings);
                view = startingView(settings, network);
            });
        }
        // The window searches for paths, and again when the links shown change; the page keeps those of its
        // run, found at the start.
        const bool window = each.value("frontEnd", "both") == "window";
        if (!window)
            captureOutput([&] { findViewPaths(view, network); });
        ViewModel model(network, files, view, FrontEnd{window, communityOverlayRefusal(network, layout)});
        answerSearch(model, network);
        Effect effect;
        for (const Json& step : each.at("commands"))
        {
            effect = model.run(commandOf(step, network));
            answerSearch(model, network);
        }
        const Presentation shown =
            present(view, DescribedNetwork{network, layout.residues, files, model.linksNeeded()});
        std::vector<std::string> favoured;
        for (const std::uint32_t site : shown.favoured)
            favoured.push_back(network.names[site]);
        const Json presented{{"corner", shown.corner},
                             {"shown", shown.shown},
                             {"emphasised", linkNames(shown.emphasised, network)},
                             {"dimmed", siteNames(shown.dimmedSites, network)},
                             {"traceDimmed", shown.traceDimmed},
                             {"favoured", favoured},
                             {"quit", effect.quit},
                             {"centre", effect.centre ? network.names[*effect.centre] : std::string()}};
        for (const auto& [key, expected] : each.at("expect").items())
        {
            EXPECT_EQ(presented.at(key), expected) << key;
        }
    }
}

} // namespace
