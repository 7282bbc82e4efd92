// A reader of tables, GraphML, .npy, JSON or a graph format, as LINKMAP_FUZZ_FORMAT names it (Table,
// Graphml, Npy, Json, or Gml for the graph formats, of which the first byte chooses one). The table target
// also leaves the format to the content when the first byte's top bit is set, which reaches every reader
// through the look at the content. The JSON target reads the file as the positive and the negative region
// list too, as HyPhy's selection results are given.
#include <FuzzInput.h>
#include <network/HyphyResult.h>
#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the settings; the rest is the file.
    if (size == 0)
        return 0;
    ReadSettings settings;
    settings.format = InputFormat::LINKMAP_FUZZ_FORMAT;
    if (settings.format == InputFormat::Table && (data[0] & 128) != 0)
        settings.format.reset();
    settings.minimumWeight = static_cast<float>(data[0] & 3) / 4.0f;
    settings.grouping = static_cast<RingGrouping>((data[0] >> 2) % 4);
    settings.scaleToLargest = (data[0] & 32) != 0;
    settings.firstNumber = (data[0] & 64) != 0 ? 0 : 1;
    if (settings.format == InputFormat::Gml)
    {
        const InputFormat graphs[] = {InputFormat::Gml,  InputFormat::Pajek, InputFormat::Lgl,
                                      InputFormat::Ncol, InputFormat::Sif,   InputFormat::Adjlist};
        settings.format = graphs[(data[0] >> 4) % 6];
    }
    const std::string path = writeFuzzInput(data + 1, size - 1);
    if (settings.format == InputFormat::Json)
    {
        InputFiles files;
        files.positiveFile = files.negativeFile = path;
        try
        {
            // A selection result gives single sites, numbered from 1.
            const RegionLists lists = readRegionLists(files);
            const bool json =
                looksLikeJson(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
            for (const auto* ranges : {&lists.positiveRanges, &lists.negativeRanges})
                for (const SiteRange& range : *ranges)
                    if (json && (range.first != range.last || range.first < 1))
                        std::abort();
            // Each site tested carries both rates and the statistic it is called by, and says them as text.
            CorrelationNetwork tested;
            for (const SiteStatistics& statistics : lists.statistics)
                for (const auto& [site, values] : statistics.sites)
                {
                    if (site < 1 || values.size() != statistics.names.size() ||
                        statistics.deciding >= values.size())
                        std::abort();
                    tested.addSite("X" + std::to_string(site));
                }
            classifyRegions(tested, lists);
            for (std::size_t site = 0; site < tested.siteCount(); ++site)
                checkText(tested.describeStatistics(site));
        }
        catch (const InputError& error)
        {
            checkText(error.what());
        }
        checkWrittenText();
    }
    CorrelationNetwork network;
    LoadProgress silent;
    InputFormat format = InputFormat::Groups;
    try
    {
        format = readNetwork(path, settings, network, silent).format;
    }
    catch (const InputError& error)
    {
        checkText(error.what());
        checkWrittenText();
        return 0;
    }

    // A sound record, whose every link joins two sites and weighs at least the minimum; a group file's line
    // may link a site to itself by naming it twice, and keeps every weight.
    checkNetworkRecord(network);
    // What the reader said, and the log of its links, are text.
    if (network.linkCount() <= 20000)
        logLinks(network);
    checkWrittenText();
    if (format == InputFormat::Groups)
        return 0;
    if (!network.exactWeights.empty() && network.exactWeights.size() != network.linkCount())
        std::abort();
    for (const SiteLink& link : network.links)
        if (link.first == link.second ||
            (!settings.scaleToLargest && std::fabs(link.weight) < settings.minimumWeight))
            std::abort();
    return 0;
}
