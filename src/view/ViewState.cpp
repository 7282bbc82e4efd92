#include <network/InputError.h>
#include <network/NumberText.h>
#include <view/ViewRules.h>
#include <view/ViewState.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace
{

std::uint8_t regionsOf(const CorrelationNetwork& network, std::size_t link)
{
    return link < network.linkRegions.size() ? network.linkRegions[link] : std::uint8_t(0);
}

std::string describeSite(std::size_t site, const ViewState& view, const DescribedNetwork& described)
{
    using namespace ViewRules;
    const CorrelationNetwork& network = described.network;
    std::string name = network.names[site];
    if (site < described.residues.size() && !described.residues[site].empty())
        name = fill(siteNamedAt, {{"name", name}, {"residue", described.residues[site]}});
    const RegionKindEntry* entry = findRegionKind(network.regions[site]);
    const std::string region =
        entry == nullptr
            ? inNoRegion.text
            : fill(inRegion,
                   {{"word", entry->word},
                    {"list", std::filesystem::path(described.files.*entry->listFile).filename().string()}});
    std::string text = fill(ViewRules::site, {{"name", name}, {"region", region}});
    const std::string measures = describeMeasures(network, site);
    if (!measures.empty())
        text += fill(siteMeasures, {{"measures", measures}});

    const SiteLinks& siteLinks = described.siteLinks;
    const std::size_t count = siteLinks.count(site);
    if (count == 0)
        return text + noLinks.text;
    const std::size_t strongest = strongestLink(site, network, siteLinks);
    const SiteLink& link = network.links[strongest];
    // Under a cutoff or a region filter, how many of them are shown.
    std::string shown;
    if (view.cutoff > 0.0f || view.region != RegionKind::None)
    {
        const LinkFilter filter = linkFilterOf(view);
        const auto shownCount =
            std::count_if(siteLinks.begin(site), siteLinks.end(site), [&](std::size_t each) {
                return filter.shows(network.links[each], regionsOf(network, each));
            });
        shown = fill(linksShown, {{"shown", std::to_string(shownCount)}});
    }
    return text + fill(count == 1 ? oneLink : links,
                       {{"count", std::to_string(count)},
                        {"shown", shown},
                        {"other", network.names[link.first == site ? link.second : link.first]},
                        {"weight", weightText(network.exactWeight(strongest))}});
}

} // namespace

std::size_t strongestLink(std::size_t site, const CorrelationNetwork& network, const SiteLinks& siteLinks)
{
    if (siteLinks.count(site) == 0)
        return network.links.size();
    // The strongest link is the one of largest |weight|, the first of equals; a weight that is no number is
    // never the strongest.
    std::size_t strongest = *siteLinks.begin(site);
    for (const std::size_t* each = siteLinks.begin(site); each != siteLinks.end(site); ++each)
    {
        const float weight = std::fabs(network.links[*each].weight);
        const float best = std::fabs(network.links[strongest].weight);
        if (weight > best || (std::isnan(best) && !std::isnan(weight)))
            strongest = *each;
    }
    return strongest;
}

std::string describeMeasures(const CorrelationNetwork& network, std::size_t site)
{
    std::string text = network.describeStatistics(site);
    if (!text.empty() && (site < network.communities.size() || site < network.betweenness.size()))
        text += "; ";
    if (site < network.communities.size())
        text += "community " + std::to_string(network.communities[site] + 1);
    if (site < network.members.size())
        text += (text.empty() ? "" : ", ") + std::string("holds ") +
                std::to_string(network.members[site].size()) +
                (network.members[site].size() == 1 ? " site" : " sites");
    if (site < network.betweenness.size())
    {
        text += (text.empty() ? "betweenness " : ", betweenness ") + shortNumber(network.betweenness[site]);
    }
    return text;
}

namespace
{

std::string describeLink(std::size_t link, const CorrelationNetwork& network)
{
    const SiteLink& ends = network.links[link];
    return ViewRules::fill(ViewRules::link, {{"first", network.names[ends.first]},
                                             {"second", network.names[ends.second]},
                                             {"weight", ViewRules::weightText(network.exactWeight(link))}});
}

// "Paths from K45 to R78: 10, the shortest 0.916291 long (-ln|w| summed)", or that there are none, as
// standard output says.
std::string describePaths(const PathSearch& search, const CorrelationNetwork& network)
{
    if (search.paths.empty())
        return describeNoPath(search, network);
    const std::string ends = network.names[search.source] + " to " + network.names[search.sink];
    const std::string length = fixedText(search.paths.front().length, 6);
    const std::size_t count = search.paths.size();
    return "Paths from " + ends + ": " + std::to_string(count) + (count == 1 ? ", " : ", the shortest ") +
           length + " long (-ln|w| summed)";
}

} // namespace

void findViewPaths(ViewState& view, const CorrelationNetwork& network)
{
    if (!view.pathEnds || view.paths)
        return;
    view.paths =
        findPaths(network, view.pathEnds->first, view.pathEnds->second, view.pathsAsked, linkFilterOf(view));
    writePaths(network, *view.paths);
}

namespace
{

// The paths shown: all those found, or the one shown alone.
std::vector<const SitePath*> shownPaths(const ViewState& view)
{
    std::vector<const SitePath*> shown;
    if (view.paths && view.pathsShown)
        for (std::size_t p = 0; p < view.paths->paths.size(); ++p)
            if (!view.onePath || *view.onePath == p)
                shown.push_back(&view.paths->paths[p]);
    return shown;
}

} // namespace

namespace
{

bool showsPaths(const ViewState& view)
{
    return view.paths && view.pathsShown && !view.paths->paths.empty();
}

} // namespace

std::vector<std::uint32_t> pathLinkCounts(const ViewState& view, std::size_t linkCount)
{
    std::vector<std::uint32_t> counts;
    if (!showsPaths(view))
        return counts;
    counts.assign(linkCount, 0);
    for (const SitePath* path : shownPaths(view))
        for (const std::size_t link : path->links)
            if (link < linkCount)
                ++counts[link];
    return counts;
}

std::vector<std::size_t> shownPathLinks(const ViewState& view, std::size_t linkCount)
{
    const std::vector<std::uint32_t> counts = pathLinkCounts(view, linkCount);
    std::vector<std::size_t> links;
    for (std::size_t link = 0; link < counts.size(); ++link)
        if (counts[link] > 0)
            links.push_back(link);
    return links;
}

std::vector<float> linkThickness(const ViewState& view)
{
    std::vector<float> thickness;
    if (!showsPaths(view))
        return thickness;
    const std::vector<std::uint32_t> counts = pathLinkCounts(view, view.paths->linkCounts.size());
    const std::uint32_t most = *std::max_element(counts.begin(), counts.end());
    thickness.assign(counts.size(), 1.0f);
    for (std::size_t link = 0; link < thickness.size(); ++link)
        if (counts[link] > 0)
            thickness[link] = 1.0f + 2.0f * static_cast<float>(counts[link]) / static_cast<float>(most);
    const SitePath& shortest = view.paths->paths[view.onePath.value_or(0)];
    for (const std::size_t link : shortest.links)
        if (link < thickness.size())
            thickness[link] = 3.0f;
    return thickness;
}

std::vector<std::uint32_t> favouredSites(const ViewState& view, const CorrelationNetwork& network)
{
    std::vector<std::uint32_t> sites;
    const auto favour = [&sites, &network](std::size_t site) {
        if (site < network.siteCount() && std::find(sites.begin(), sites.end(), site) == sites.end())
            sites.push_back(static_cast<std::uint32_t>(site));
    };
    if (view.pick.kind == Pick::Kind::Site)
        favour(view.pick.index);
    else if (view.pick.kind == Pick::Kind::Link && view.pick.index < network.links.size())
    {
        favour(network.links[view.pick.index].first);
        favour(network.links[view.pick.index].second);
    }
    if (!showsPaths(view))
        return sites;
    favour(view.paths->source);
    favour(view.paths->sink);
    for (const SitePath* path : shownPaths(view))
        for (const std::uint32_t site : path->sites)
            favour(site);
    return sites;
}

std::string describePathsFoundAt(const LinkFilter& filter, float cutoffTop)
{
    std::string text = "The paths were found at cutoff " + ViewRules::cutoffText(filter.cutoff, cutoffTop);
    for (const RegionKindEntry& entry : regionKinds)
        if (filter.regions != 0 && regionBit(entry.kind) == filter.regions)
            text += std::string(", among the links touching ") + entry.word + " sites";
    return text;
}

std::vector<bool> sitesOnPaths(const ViewState& view, std::size_t siteCount)
{
    std::vector<bool> on;
    if (!showsPaths(view))
        return on;
    on.assign(siteCount, false);
    for (const SitePath* path : shownPaths(view))
        for (const std::uint32_t site : path->sites)
            if (site < siteCount)
                on[site] = true;
    return on;
}

float heldCutoff(float cutoff, float top)
{
    return cutoff > 0.0f ? std::min(cutoff, top) : 0.0f;
}

LinkFilter linkFilterOf(const ViewState& view)
{
    return LinkFilter{view.cutoff, regionBit(view.region)};
}

std::vector<bool> emphasisedLinks(const ViewState& view, const CorrelationNetwork& network,
                                  const SiteLinks& siteLinks)
{
    std::vector<bool> emphasised;
    if (showsPaths(view))
    {
        emphasised.assign(network.links.size(), false);
        for (const std::size_t link : shownPathLinks(view, network.links.size()))
            emphasised[link] = true;
        return emphasised;
    }
    if (view.pick.kind == Pick::Kind::Nothing)
        return emphasised;
    emphasised.assign(network.links.size(), false);
    if (view.pick.kind == Pick::Kind::Link)
        emphasised[view.pick.index] = true;
    else
        for (const std::size_t* link = siteLinks.begin(view.pick.index);
             link != siteLinks.end(view.pick.index); ++link)
            emphasised[*link] = true;
    return emphasised;
}

std::size_t countShownLinks(const ViewState& view, const CorrelationNetwork& network)
{
    const LinkFilter filter = linkFilterOf(view);
    std::size_t shown = 0;
    for (std::size_t link = 0; link < network.links.size(); ++link)
        shown += filter.shows(network.links[link], regionsOf(network, link));
    return shown;
}

std::vector<std::string> describeViewPaths(const ViewState& view, const CorrelationNetwork& network)
{
    std::vector<std::string> lines;
    if (!view.pathsShown)
        return lines;
    if (view.paths)
        lines.push_back(describePaths(*view.paths, network));
    if (view.paths && view.onePath && *view.onePath < view.paths->paths.size())
        lines.push_back(describePath(*view.paths, *view.onePath, network));
    return lines;
}

std::vector<std::string> describeView(const ViewState& view, const DescribedNetwork& described,
                                      std::size_t shown)
{
    const CorrelationNetwork& network = described.network;
    std::vector<std::string> lines;
    const auto addLine = [&lines](const std::string& line) {
        if (!line.empty())
            lines.push_back(line);
    };
    addLine(view.prompt);
    if (view.pick.kind == Pick::Kind::Site && view.pick.index < network.siteCount())
        addLine(describeSite(view.pick.index, view, described));
    else if (view.pick.kind == Pick::Kind::Link && view.pick.index < network.linkCount())
        addLine(describeLink(view.pick.index, network));
    if (view.region != RegionKind::None)
    {
        const std::string list =
            std::filesystem::path(regionListOf(described.files, view.region)).filename().string();
        addLine(ViewRules::fill(ViewRules::regionFilter, {{"word", findRegionKind(view.region)->word},
                                                          {"list", list},
                                                          {"shown", std::to_string(shown)},
                                                          {"total", std::to_string(network.linkCount())}}));
    }
    for (const std::string& line : describeViewPaths(view, network))
        addLine(line);
    // Paths kept under another cutoff or filter than they were found at say so.
    if (view.pathsShown && view.paths && !view.paths->paths.empty() &&
        !(linkFilterOf(view) == view.pathFilter))
        addLine(describePathsFoundAt(view.pathFilter, view.cutoffTop));
    if (view.searching && view.pathEnds)
        addLine(ViewRules::fill(ViewRules::findingPaths, {{"from", network.names[view.pathEnds->first]},
                                                          {"to", network.names[view.pathEnds->second]}}));
    addLine(view.message);
    if (view.overlay)
        addLine(ViewRules::fill(ViewRules::overlay, {{"count", std::to_string(view.overlayCommunities)}}));
    if (view.cutoff > 0.0f)
        addLine(ViewRules::fill(ViewRules::cutoff,
                                {{"cutoff", ViewRules::cutoffText(view.cutoff, view.cutoffTop)},
                                 {"shown", std::to_string(shown)},
                                 {"total", std::to_string(network.linkCount())}}));
    addLine(view.notice);
    addLine(network.caption);
    return lines;
}
