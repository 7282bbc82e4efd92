#include <network/ContentFormat.h>
#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <network/NumberText.h>
#include <network/SiteNames.h>
#include <network/TextFields.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace
{

// The smallest and largest weight, over the links whose weight is a number; both 0 without one.
std::pair<double, double> weightRange(const CorrelationNetwork& network)
{
    const bool exact = network.exactWeights.size() == network.linkCount();
    std::pair<double, double> range{0.0, 0.0};
    bool first = true;
    for (std::size_t at = 0; at < network.linkCount(); ++at)
    {
        const double weight = exact ? network.exactWeights[at] : network.links[at].weight;
        if (std::isnan(weight))
            continue;
        range.first = first ? weight : std::min(range.first, weight);
        range.second = first ? weight : std::max(range.second, weight);
        first = false;
    }
    return range;
}

void scaleToLargest(CorrelationNetwork& network)
{
    const auto [smallest, largest] = weightRange(network);
    const double divisor = std::max(-smallest, largest);
    if (!(divisor > 0.0) || std::isinf(divisor))
        return;
    std::printf("Note: every weight is divided by the largest |weight|, %g (LINKMAP_SCALE)\n", divisor);
    for (SiteLink& link : network.links)
        link.weight = static_cast<float>(link.weight / divisor);
    for (double& weight : network.exactWeights)
        weight /= divisor;
}

// Scores that are not correlations are drawn at the end colours beyond -1 and 1.
void noteWeightRange(const CorrelationNetwork& network)
{
    const auto [smallest, largest] = weightRange(network);
    if (smallest < -1.0 || largest > 1.0)
        std::printf(
            "Note: the weights range from %g to %g; beyond -1 and 1 they are drawn at the end colours "
            "(LINKMAP_SCALE=max divides them by the largest; LINKMAP_WEIGHTS=score draws them from 0 to the "
            "largest)\n",
            smallest, largest);
}

// A file of nothing draws an empty scene; that it was empty is said, so that no one takes it for a network.
void noteEmpty(const std::string& path, const CorrelationNetwork& network)
{
    if (network.siteCount() == 0 && network.linkCount() == 0)
        std::printf("Note: %s holds no sites or links\n", inputName(path).c_str());
}

void noteUnusedSequence(const std::string& path, const ReadSettings& settings, bool used)
{
    if (!settings.sequenceFile.empty() && !used)
        std::printf("Note: %s knows no site by its number alone, so the sequence of %s names none "
                    "(LINKMAP_SEQUENCE)\n",
                    inputName(path).c_str(), settings.sequenceFile.c_str());
}

// The reader of an imported format.
ImportReport readImported(const std::string& path, InputFormat format, TableLayout layout,
                          const ReadSettings& settings, CorrelationNetwork& network, LoadProgress& progress)
{
    if (settings.array != nullptr)
        return readMatrixArray(*settings.array, path, settings, network, progress);
    switch (format)
    {
    case InputFormat::Graphml:
        return readGraphmlFile(path, settings, network);
    case InputFormat::Npy:
        return readNpyFile(path, settings, network, progress);
    case InputFormat::Json:
        return readJsonFile(path, settings, network);
    case InputFormat::Gml:
    case InputFormat::Pajek:
    case InputFormat::Lgl:
    case InputFormat::Ncol:
    case InputFormat::Sif:
    case InputFormat::Adjlist:
        return readGraphFile(path, format, settings, network);
    default:
        return readTableFile(path, format, layout, settings, network, progress);
    }
}

// Reads every weight of network as a length -ln |c|, giving it the weight |c| = e^-w, and leaves out the
// links that then weigh less than minimum; returns how many.
std::size_t weighLengths(CorrelationNetwork& network, float minimum)
{
    const bool exact = network.exactWeights.size() == network.linkCount();
    std::vector<bool> kept(network.linkCount());
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const double weight = std::exp(-network.exactWeight(link));
        network.links[link].weight = drawnWeight(weight);
        if (exact)
            network.exactWeights[link] = weight;
        kept[link] = !(std::fabs(weight) < minimum);
    }
    return network.keepLinks(kept);
}

// A graph whose every weight is above 1 may hold lengths -ln |c|, as bio3d's cna gives its network's edges,
// which would be drawn at the end colours: the note says how to read them.
void noteLengths(const std::string& path, InputFormat format, const CorrelationNetwork& network)
{
    if (!inputFormatEntry(format).graphEdges || network.linkCount() == 0)
        return;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
        if (!(network.exactWeight(link) > 1.0))
            return;
    std::printf("Note: every weight of %s is above 1, as lengths -ln|c| are, such as bio3d's cna gives its "
                "network; LINKMAP_WEIGHTS=distance draws each as |c| = e^-w\n",
                inputName(path).c_str());
}

bool distances(const ReadSettings& settings)
{
    return settings.weights == WeightMeaning::Distance;
}

// What the weights are: as the settings say, else as the reader read them. A probability that the settings
// claim for weights beyond 0 and 1 is refused.
void setMeaning(const std::string& path, const ReadSettings& settings, WeightMeaning read,
                const std::string& quantity, CorrelationNetwork& network)
{
    const WeightMeaning meaning = settings.weights.value_or(read);
    network.weightMeaning = meaning == WeightMeaning::Distance ? WeightMeaning::Correlation : meaning;
    network.weightQuantity = meaning == read                         ? quantity
                             : meaning == WeightMeaning::Probability ? "probability"
                             : meaning == WeightMeaning::Score       ? "score"
                                                                     : "";
    if (!settings.weights || meaning != WeightMeaning::Probability)
        return;
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        const double weight = network.exactWeight(link);
        if (!(weight >= 0.0 && weight <= 1.0))
            throw InputError("Error: LINKMAP_WEIGHTS is probability, but " + inputName(path) + " links " +
                             network.fileName(network.links[link].first) + " and " +
                             network.fileName(network.links[link].second) + " at " + shortNumber(weight) +
                             ", which is no probability from 0 to 1");
    }
}

// Sites that an alignment's reference named keep the columns the file numbered them by, by which HyPhy's
// results and the region lists know them; the note says how they were named, and counts the columns where
// the reference has a gap.
void keepColumns(const ReferenceAlignment& alignment, const ReadSettings& settings,
                 CorrelationNetwork& network)
{
    std::unordered_map<std::string, int> columnOf;
    for (std::size_t column = 0; column < alignment.columnLetters.size(); ++column)
        columnOf.emplace(alignment.nameOf(column), static_cast<int>(column) + settings.firstNumber);
    network.columns.assign(network.siteCount(), 0);
    std::size_t gaps = 0;
    std::string firstGap;
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const auto found = columnOf.find(network.names[site]);
        if (found == columnOf.end())
            continue;
        network.columns[site] = found->second;
        if (network.names[site][0] == '-' && gaps++ == 0)
            firstGap = network.names[site];
    }
    network.referenceResidues = alignment.residues;
    // A reference of amino acids without gaps names the sites as its letters always have.
    if (!alignment.codons && alignment.gapCount() == 0 && settings.reference.empty())
        return;
    std::printf(
        "Note: the sites are named by %s of %s, numbered along it without its gaps%s%s\n",
        validText(alignment.reference.empty() ? std::string("the sequence") : alignment.reference).c_str(),
        alignment.file.c_str(),
        alignment.codons ? ", each codon translated by the standard genetic code" : "",
        gaps == 0 ? ""
                  : ("; " + std::to_string(gaps) + (gaps == 1 ? " site stands" : " sites stand") +
                     " where it has a gap, named by the column, as " + firstGap)
                        .c_str());
}

bool isDotName(const std::string& path)
{
    const std::string name = uncompressedName(path);
    return endsWithCaseless(name, ".dot") || endsWithCaseless(name, ".gv");
}

} // namespace

std::optional<InputFormat> inputFormatOfName(const std::string& path)
{
    const std::string name = uncompressedName(path);
    for (const InputFormatEntry& entry : inputFormats)
        for (const char* extension : entry.extensions)
            if (extension != nullptr && endsWithCaseless(name, extension))
                return entry.format;
    return std::nullopt;
}

InputFormat inputFormatOf(const std::string& path)
{
    const std::optional<InputFormat> named = inputFormatOfName(path);
    return named ? *named : formatOfContent(path).format;
}

NetworkSource readNetwork(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network,
                          LoadProgress& progress)
{
    // The format as set, else as the name tells, else as the content shows; a matrix may be numpy's, and a
    // table's layout is what its content shows.
    ContentFormat content;
    std::optional<InputFormat> format = settings.array != nullptr ? InputFormat::Npy
                                        : settings.format         ? settings.format
                                                                  : inputFormatOfName(path);
    if (!format && isDotName(path))
        throw InputError(
            "Error: " + inputName(path) +
            " is named as a Graphviz DOT graph, which linkmap does not read; write GraphML, or a pair "
            "list");
    if (!format)
    {
        content = formatOfContent(path);
        format = content.format;
    }
    else if (settings.array == nullptr && (*format == InputFormat::Matrix || *format == InputFormat::Table ||
                                           *format == InputFormat::Pairs))
    {
        ContentFormat looked;
        try
        {
            looked = formatOfContent(path);
        }
        catch (const InputError&)
        {
            // The table reader says what is wrong with a table, line by line.
        }
        if (looked.format == InputFormat::Npy && *format != InputFormat::Pairs)
            format = InputFormat::Npy;
        else if (*format != InputFormat::Matrix)
        {
            content.layout = looked.layout;
            if (looked.format == InputFormat::Pairs && looked.layout != TableLayout::AsRowsTell)
                format = InputFormat::Pairs;
        }
    }
    if (*format == InputFormat::Groups)
    {
        if (!settings.weightColumn.empty())
            throw InputError("Error: LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn + ", but " +
                             inputName(path) + " is read as a group file, which has no columns");
        if (readGroupFile(path, network, progress))
            noteEmpty(path, network);
        noteUnusedSequence(path, settings, false);
        network.checkSize();
        if (distances(settings))
            weighLengths(network, settings.minimumWeight);
        if (settings.contacts)
            std::printf("%s\n", keepContactLinks(network, *settings.contacts).c_str());
        if (settings.scaleToLargest)
            scaleToLargest(network);
        setMeaning(path, settings, WeightMeaning::Correlation, "", network);
        return NetworkSource{InputFormat::Groups, true};
    }

    // Lengths are turned into weights before the minimum weight is applied to them.
    ReadSettings reading = settings;
    if (distances(settings))
        reading.minimumWeight = 0.0f;
    ImportReport report = readImported(path, *format, content.layout, reading, network, progress);
    if (distances(settings))
        report.belowMinimum += weighLengths(network, settings.minimumWeight);
    else
        noteLengths(path, report.format, network);
    if (!content.holds.empty())
        std::printf("%s\n", validText(contentNote(path, content, report.format), "\t").c_str());
    if (!report.columnNote.empty())
        std::printf("%s\n", validText(report.columnNote, "\t").c_str());
    noteUnusedSequence(path, settings, report.namedFromSequence);
    if (!settings.weightColumn.empty() && !inputFormatEntry(report.format).namedWeights)
        throw InputError("Error: LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn + ", but " +
                         inputName(path) +
                         " is no pair list or graph, which alone have a weight column or attribute");
    if (network.linkCount() == 0 && report.belowMinimum > 0)
        std::printf(
            "Note: every link of %s weighs less than LINKMAP_MIN_WEIGHT, %g; there is nothing to show\n",
            inputName(path).c_str(), static_cast<double>(settings.minimumWeight));
    else
        noteEmpty(path, network);
    network.checkSize();
    if (settings.contacts)
        std::printf("%s\n", keepContactLinks(network, *settings.contacts).c_str());
    if (settings.scaleToLargest)
        scaleToLargest(network);
    if (!report.ringsGiven)
    {
        // bio3d's cna finds its communities among every residue, those without a link each one of its own,
        // and numbers them so: its methods are run before those sites are left out.
        const bool asCna =
            settings.grouping == RingGrouping::Betweenness || settings.grouping == RingGrouping::Walktrap ||
            settings.grouping == RingGrouping::Greedy || settings.grouping == RingGrouping::Infomap;
        std::vector<bool> linked;
        if (asCna)
        {
            linked.assign(network.siteCount(), false);
            for (const SiteLink& link : network.links)
                linked[link.first] = linked[link.second] = true;
        }
        progress.wait("setting the sites out in rings");
        std::vector<std::uint32_t> numbered;
        if (asCna)
            numbered =
                numberCommunities(network, settings.grouping,
                                  static_cast<std::size_t>(std::count(linked.begin(), linked.end(), true)));
        if (const std::size_t leftOut = network.removeUnlinkedSites() + report.unlinkedVertices)
            std::printf("Note: %zu site%s without a link %s left out\n", leftOut, leftOut == 1 ? "" : "s",
                        leftOut == 1 ? "is" : "are");
        if (asCna)
        {
            std::size_t kept = 0;
            for (std::size_t site = 0; site < linked.size(); ++site)
                if (linked[site])
                    numbered[kept++] = numbered[site];
            numbered.resize(kept);
        }
        groupIntoRings(network, settings.grouping, asCna ? &numbered : nullptr);
    }
    if (report.alignment)
        keepColumns(*report.alignment, settings, network);
    setMeaning(path, settings, report.meaning, report.quantity, network);
    if (network.weightMeaning == WeightMeaning::Correlation)
        noteWeightRange(network);
    return NetworkSource{report.format, report.ringsGiven};
}
