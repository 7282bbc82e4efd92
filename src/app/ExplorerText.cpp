#include <app/Explorer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace
{

std::string formatWeight(float weight)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(weight));
    return text;
}

} // namespace

std::string Explorer::getCornerText() const
{
    return corner.text->getText().createUTF8EncodedString();
}

void Explorer::setNotice(const std::string& text)
{
    notice = text;
    updateText();
}

std::string Explorer::describeSite(std::size_t site) const
{
    std::string text = network.names[site];
    if (site < layout.residues.size() && !layout.residues[site].empty())
        text += " (" + layout.residues[site] + ")";
    text += ": ";
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
