#include <network/CorrelationNetwork.h>

#include <algorithm>
#include <network/NumberText.h>
#include <network/TextFields.h>

#include <cmath>
#include <limits>

namespace
{

// Sites and links are numbered together where a ray looks for them, and one number is kept for none.
const std::size_t mostItems = std::numeric_limits<std::uint32_t>::max() - 1;

} // namespace

std::pair<std::uint32_t, bool> CorrelationNetwork::addSite(const std::string& name)
{
    // A name already known makes no node; a new one is hashed once.
    const auto [found, isNew] = siteIndex.try_emplace(name, static_cast<std::uint32_t>(names.size()));
    if (!isNew)
        return {found->second, false};
    if (names.size() >= mostItems)
    {
        siteIndex.erase(found);
        throw NetworkTooLarge("more distinct site names than " + std::to_string(mostItems));
    }
    names.push_back(name);
    numbers.push_back(siteNumber(name));
    regions.push_back(RegionKind::None);
    return {found->second, true};
}

int CorrelationNetwork::fileNumber(std::size_t site) const
{
    if (!columns.empty())
        return columns[site];
    return fileNames.empty() ? numbers[site] : siteNumber(fileNames[site]);
}

std::string CorrelationNetwork::describeStatistics(std::size_t site) const
{
    // A file given as both lists is described once: by the entry of the list the site is in, else the first.
    const auto inList = [&](const SiteStatistics& entry) {
        return regions[site] == (entry.positive ? RegionKind::Positive : RegionKind::Negative);
    };
    std::string text;
    for (std::size_t first = 0; first < statistics.size(); ++first)
    {
        const SiteStatistics* chosen = &statistics[first];
        bool repeated = false;
        for (std::size_t other = 0; other < statistics.size(); ++other)
            if (other != first && statistics[other].file == chosen->file)
            {
                repeated = repeated || other < first;
                if (inList(statistics[other]))
                    chosen = &statistics[other];
            }
        if (repeated)
            continue;
        const auto found = chosen->sites.find(fileNumber(site));
        if (found == chosen->sites.end())
            continue;
        text += (text.empty() ? "" : "; ") + chosen->method;
        for (std::size_t value = 0; value < found->second.size() && value < chosen->symbols.size(); ++value)
            text += (value == 0 ? " " : ", ") + chosen->symbols[value] + " " +
                    (std::isnan(found->second[value]) ? std::string("unknown")
                                                      : printfText("%.3g", found->second[value]));
    }
    return text;
}

float CorrelationNetwork::weightTop() const
{
    if (weightMeaning == WeightMeaning::Probability)
        return 1.0f;
    if (weightMeaning != WeightMeaning::Score)
        return 0.0f;
    float top = 0.0f;
    for (const SiteLink& link : links)
        if (std::isfinite(link.weight))
            top = std::max(top, std::fabs(link.weight));
    return top > 0.0f ? top : 1.0f;
}

std::size_t CorrelationNetwork::keepLinks(const std::vector<bool>& kept)
{
    const bool exact = exactWeights.size() == links.size();
    std::size_t next = 0;
    for (std::size_t link = 0; link < links.size(); ++link)
        if (kept[link])
        {
            links[next] = links[link];
            if (exact)
                exactWeights[next] = exactWeights[link];
            ++next;
        }
    const std::size_t removed = links.size() - next;
    links.resize(next);
    if (exact)
        exactWeights.resize(next);
    return removed;
}

bool CorrelationNetwork::renameSite(std::uint32_t site, const std::string& name)
{
    if (names[site] == name)
        return true;
    if (!siteIndex.try_emplace(name, site).second)
        return false;
    if (fileNames.empty())
        fileNames = names;
    siteIndex.erase(names[site]);
    names[site] = name;
    numbers[site] = siteNumber(name);
    return true;
}

std::size_t CorrelationNetwork::findSite(const std::string& name) const
{
    const auto found = siteIndex.find(name);
    if (found != siteIndex.end())
        return found->second;
    // A site renamed for its residue is still found by the name its file gave it.
    const auto given = std::find(fileNames.begin(), fileNames.end(), name);
    return given == fileNames.end() ? names.size() : static_cast<std::size_t>(given - fileNames.begin());
}

void CorrelationNetwork::beginRing()
{
    ringStarts.push_back(ringSites.size());
}

void CorrelationNetwork::addToRing(std::uint32_t site)
{
    ringSites.push_back(site);
    ++ringStarts.back();
}

void CorrelationNetwork::addLink(std::uint32_t first, std::uint32_t second, float weight)
{
    links.push_back(SiteLink{first, second, weight});
    linkRegions.push_back(0);
}

void CorrelationNetwork::addExactLink(std::uint32_t first, std::uint32_t second, double exact)
{
    addLink(first, second, drawnWeight(exact));
    exactWeights.push_back(exact);
}

std::size_t CorrelationNetwork::removeUnlinkedSites()
{
    std::vector<std::uint32_t> newPlace(names.size(), 0);
    for (const SiteLink& link : links)
        newPlace[link.first] = newPlace[link.second] = 1;
    std::uint32_t kept = 0;
    for (std::size_t site = 0; site < names.size(); ++site)
    {
        if (newPlace[site] == 0)
        {
            siteIndex.erase(names[site]);
            continue;
        }
        newPlace[site] = kept;
        siteIndex[names[site]] = kept;
        if (kept != site)
            names[kept] = std::move(names[site]);
        if (kept != site && !fileNames.empty())
            fileNames[kept] = std::move(fileNames[site]);
        if (!columns.empty())
            columns[kept] = columns[site];
        numbers[kept] = numbers[site];
        regions[kept] = regions[site];
        ++kept;
    }
    const std::size_t removed = names.size() - kept;
    names.resize(kept);
    if (!fileNames.empty())
        fileNames.resize(kept);
    if (!columns.empty())
        columns.resize(kept);
    numbers.resize(kept);
    regions.resize(kept);
    for (SiteLink& link : links)
    {
        link.first = newPlace[link.first];
        link.second = newPlace[link.second];
    }
    return removed;
}

void CorrelationNetwork::checkSize() const
{
    const std::size_t items = links.size() + names.size();
    if (items > mostItems)
        throw NetworkTooLarge(std::to_string(items) + " sites and links, more than " +
                              std::to_string(mostItems));
}

Ring CorrelationNetwork::ring(std::size_t index) const
{
    const std::uint32_t* sites = ringSites.data();
    return Ring{sites + ringStarts[index], sites + ringStarts[index + 1]};
}

int siteNumber(const std::string& name)
{
    return name.empty() ? 0 : parseInteger(name.c_str() + 1);
}
