#include <app/StartingView.h>
#include <network/InputError.h>
#include <view/ViewRules.h>

#include <cmath>

ViewState startingView(const Settings& settings, const CorrelationNetwork& network)
{
    ViewState view;
    view.cutoffTop = ViewRules::cutoffTop(network.weightTop());
    view.cutoff = heldCutoff(settings.cutoff, view.cutoffTop);
    view.region = settings.region;
    // The weakest link read: a cutoff at or below it hides nothing.
    view.weakest = view.cutoffTop;
    for (const SiteLink& link : network.links)
        if (std::fabs(link.weight) < view.weakest)
            view.weakest = std::fabs(link.weight);
    view.pathsAsked = settings.pathCount;
    const auto siteNamed = [&network](const char* setting, const std::string& name) {
        const std::size_t site = network.findSite(name);
        // In the network of communities, a site of the network read is named by its community.
        for (std::size_t community = 0; site == network.siteCount() && community < network.members.size();
             ++community)
            for (const std::string& member : network.members[community])
                if (member == name)
                    throw InputError(std::string("Error: ") + setting + " names " + name +
                                     ", which the network of communities shows in " +
                                     network.names[community] + "; name " + network.names[community]);
        if (site == network.siteCount())
            throw InputError(std::string("Error: ") + setting + " names no site of the network: \"" + name +
                             "\"");
        return static_cast<std::uint32_t>(site);
    };
    if (!settings.select.empty())
        view.pick = Pick{Pick::Kind::Site, siteNamed("LINKMAP_SELECT", settings.select)};
    if (settings.pathFrom.empty())
        return view;
    const std::uint32_t source = siteNamed("LINKMAP_FROM", settings.pathFrom);
    const std::uint32_t sink = siteNamed("LINKMAP_TO", settings.pathTo);
    if (source == sink)
        throw InputError("Error: LINKMAP_FROM and LINKMAP_TO both name " + network.names[source] +
                         "; a path needs two sites");
    view.pathEnds = std::pair{source, sink};
    view.pathFilter = linkFilterOf(view);
    return view;
}
