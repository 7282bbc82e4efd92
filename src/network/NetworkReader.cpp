#include <network/LineReader>
#include <network/NetworkReader>
#include <network/TextFields>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// A format's extensions, in any case.
const struct
{
    const char* extension;
    InputFormat format;
} extensions[] = {
    {".csv", InputFormat::Table}, {".tsv", InputFormat::Table}, {".graphml", InputFormat::Graphml}};

// The smallest and largest weight, over the links whose weight is a number.
std::pair<float, float> weightRange(const CorrelationNetwork& network)
{
    std::pair<float, float> range{0.0f, 0.0f};
    for (const SiteLink& link : network.links)
    {
        if (std::isnan(link.weight))
            continue;
        range.first = std::min(range.first, link.weight);
        range.second = std::max(range.second, link.weight);
    }
    return range;
}

void scaleToLargest(CorrelationNetwork& network)
{
    const auto [smallest, largest] = weightRange(network);
    const float divisor = std::max(-smallest, largest);
    if (!(divisor > 0.0f) || std::isinf(divisor))
        return;
    std::printf("Note: every weight is divided by the largest |weight|, %g (LINKMAP_SCALE)\n", divisor);
    for (SiteLink& link : network.links)
        link.weight /= divisor;
}

// Scores that are not correlations are drawn at the end colours beyond -1 and 1.
void noteWeightRange(const CorrelationNetwork& network)
{
    const auto [smallest, largest] = weightRange(network);
    if (smallest < -1.0f || largest > 1.0f)
        std::printf(
            "Note: the weights range from %g to %g; beyond -1 and 1 they are drawn at the end colours "
            "(LINKMAP_SCALE=max divides them by the largest)\n",
            smallest, largest);
}

} // namespace

InputFormat inputFormatOf(const std::string& path)
{
    const std::string name = uncompressedName(path);
    for (const auto& entry : extensions)
        if (endsWithCaseless(name, entry.extension))
            return entry.format;
    return InputFormat::Groups;
}

InputFormat readNetwork(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network,
                        LoadProgress& progress)
{
    const InputFormat format = settings.format ? *settings.format : inputFormatOf(path);
    bool ringsGiven = true;
    switch (format)
    {
    case InputFormat::Groups:
        readGroupFile(path, network, progress);
        break;
    case InputFormat::Graphml:
        ringsGiven = readGraphmlFile(path, settings, network);
        break;
    case InputFormat::Table:
    case InputFormat::Matrix:
    case InputFormat::Pairs:
        readTableFile(path, format, settings, network, progress);
        ringsGiven = false;
        break;
    }
    network.checkSize();
    if (settings.scaleToLargest)
        scaleToLargest(network);
    if (format == InputFormat::Groups)
        return format;
    if (!ringsGiven)
    {
        if (const std::size_t leftOut = network.removeUnlinkedSites())
            std::printf("Note: %zu site%s without a link %s left out\n", leftOut, leftOut == 1 ? "" : "s",
                        leftOut == 1 ? "is" : "are");
        progress.wait("setting the sites out in rings");
        groupIntoRings(network, settings.grouping);
    }
    noteWeightRange(network);
    return format;
}
