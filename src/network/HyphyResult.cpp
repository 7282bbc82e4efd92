#include <network/HyphyResult.h>
#include <network/InputError.h>
#include <network/LineReader.h>
#include <network/LinkCollector.h>
#include <network/NetworkReader.h>
#include <network/NumberText.h>
#include <network/SiteNames.h>
#include <network/TextFields.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>

namespace
{

using nlohmann::json;

// The methods whose results name sites under selection, each with the columns and thresholds of its test, as
// HyPhy's own summaries call sites selected.
struct SelectionTest
{
    const char* method;
    // The column that decides, and whether it is a p-value (at most the threshold) or a posterior (at least).
    const char* positiveColumn;
    const char* negativeColumn; // null when the method tests no purifying selection
    bool posterior;
    // FEL's p-value tests beta != alpha: the sign comes from the rates.
    bool signFromRates;
    // The two rates a site's description gives: their columns, their names and their symbols.
    const char* rateColumns[2];
    const char* rates[2];
    const char* rateSymbols[2];
};

const SelectionTest selectionTests[] = {
    {"FEL",
     "p-value",
     "p-value",
     false,
     true,
     {"alpha", "beta"},
     {"alpha", "beta"},
     {"\xce\xb1", "\xce\xb2"}},
    {"SLAC", "P [dN/dS > 1]", "P [dN/dS < 1]", false, false, {"dS", "dN"}, {"dS", "dN"}, {"dS", "dN"}},
    {"FUBAR",
     "Prob[alpha<beta]",
     "Prob[alpha>beta]",
     true,
     false,
     {"alpha", "beta"},
     {"alpha", "beta"},
     {"\xce\xb1", "\xce\xb2"}},
    {"MEME",
     "p-value",
     nullptr,
     false,
     false,
     {"&alpha;", "&beta;<sup>+</sup>"},
     {"alpha", "beta+"},
     {"\xce\xb1", "\xce\xb2+"}},
};

// The names HyPhy gives its methods in the first line of a result's analysis.info.
const char* const methodNames[] = {"FUBAR",  "FEL",   "SLAC", "MEME",  "BGM",  "BUSTED",
                                   "aBSREL", "RELAX", "GARD", "PRIME", "FADE", "Contrast-FEL"};

} // namespace

bool looksLikeJson(std::string_view start)
{
    if (start.substr(0, 3) == "\xef\xbb\xbf")
        start.remove_prefix(3);
    const std::size_t first = start.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (start[first] == '{' || start[first] == '[');
}

HyphyResult::HyphyResult(const std::string& path_) : path(path_), shownName(inputName(path_))
{
    const std::string text = readWholeText(path);
    document = json::parse(text, nullptr, false);
    if (document.is_discarded())
        throw InputError("Error: " + shownName + " looks like JSON, but it is cut short or not well formed");
    const json* info = find({"analysis", "info"});
    if (info == nullptr || !info->is_string() || find({"MLE"}) == nullptr)
        return;
    const std::string& words = info->get_ref<const std::string&>();
    const std::string firstLine = words.substr(0, words.find('\n'));
    for (const char* name : methodNames)
    {
        const std::size_t at = firstLine.find(name);
        const std::size_t end = at + std::string_view(name).size();
        const auto wordEdge = [&](std::size_t place) {
            return place >= firstLine.size() || !std::isalnum(static_cast<unsigned char>(firstLine[place]));
        };
        if (at != std::string::npos && (at == 0 || wordEdge(at - 1)) && wordEdge(end))
        {
            method = name;
            return;
        }
    }
    method = "an analysis";
}

const json* HyphyResult::find(std::initializer_list<const char*> keys) const
{
    const json* node = &document;
    for (const char* key : keys)
    {
        if (!node->is_object())
            return nullptr;
        const auto found = node->find(key);
        if (found == node->end())
            return nullptr;
        node = &*found;
    }
    return node;
}

std::string HyphyResult::whatItIs() const
{
    if (method.empty())
        return "JSON that is no HyPhy result";
    return "HyPhy's " + method + " result";
}

InputError HyphyResult::refusal(const std::string& why) const
{
    return InputError("Error: " + shownName + " is " + whatItIs() + ", " + why);
}

std::size_t HyphyResult::columnOf(const char* name) const
{
    const json* headers = find({"MLE", "headers"});
    if (headers != nullptr && headers->is_array())
        for (std::size_t column = 0; column < headers->size(); ++column)
        {
            const json& header = (*headers)[column];
            if (header.is_array() && !header.empty() && header[0].is_string() && header[0] == name)
                return column;
        }
    throw refusal(std::string("but its MLE.headers have no column \"") + name + "\"");
}

void HyphyResult::forEachSite(const std::function<void(long, const json&)>& visit) const
{
    const json* content = find({"MLE", "content"});
    if (content == nullptr || !content->is_object())
        throw refusal("but it has no MLE.content of sites");
    long counted = 0;
    for (const auto& [partition, value] : content->items())
    {
        // SLAC puts its rows of sites under by-site and AVERAGED; the other methods give them directly.
        const json* rows = &value;
        if (rows->is_object())
        {
            const auto bySite = rows->find("by-site");
            rows = bySite != rows->end() && bySite->is_object() && bySite->contains("AVERAGED")
                       ? &(*bySite)["AVERAGED"]
                       : nullptr;
        }
        if (rows == nullptr || !rows->is_array())
            throw refusal("but partition " + partition + " of its MLE.content is no list of sites");
        // Where the partitions say which sites they cover, a row's site is its index there, from 0.
        const json* covered = find({"data partitions", partition.c_str(), "coverage"});
        const json* sites =
            covered != nullptr && covered->is_array() && !covered->empty() ? &(*covered)[0] : nullptr;
        for (std::size_t row = 0; row < rows->size(); ++row)
        {
            long site = ++counted;
            if (sites != nullptr && sites->is_array() && row < sites->size() &&
                (*sites)[row].is_number_integer())
                site = (*sites)[row].get<long>() + 1;
            if (site < 1 || site > 1000000000)
                throw refusal("but it gives a site the number " + std::to_string(site));
            visit(site, (*rows)[row]);
        }
    }
}

double HyphyResult::cell(const json& row, std::size_t column, long site) const
{
    if (!row.is_array() || column >= row.size() || !row[column].is_number())
        throw refusal("but its row for site " + std::to_string(site) + " has no number in column " +
                      std::to_string(column + 1));
    return row[column].get<double>();
}

std::vector<SiteRange> readSelectedSites(const std::string& path, RegionKind kind,
                                         const SelectionThresholds& thresholds, SiteStatistics& statistics)
{
    const HyphyResult result(path);
    const SelectionTest* test = nullptr;
    for (const SelectionTest& each : selectionTests)
        if (result.methodName() == each.method)
            test = &each;
    if (test == nullptr)
        throw result.refusal(result.methodName() == "BGM"
                                 ? "a network of sites, not a region list; give it as the network"
                                 : "not a region list; FEL, SLAC, FUBAR and MEME results are");
    if (kind == RegionKind::Accelerated)
        throw result.refusal(
            "which finds sites under selection, not accelerated regions; give it to -p or -n");
    const bool positive = kind == RegionKind::Positive;
    if (!positive && test->negativeColumn == nullptr)
        throw result.refusal("which tests only diversifying selection; give it to -p");

    const std::size_t decides = result.columnOf(positive ? test->positiveColumn : test->negativeColumn);
    std::optional<std::size_t> alpha, beta;
    if (test->signFromRates)
    {
        alpha = result.columnOf("alpha");
        beta = result.columnOf("beta");
    }
    const double threshold = test->posterior ? thresholds.posterior : thresholds.pValue;
    const std::string limit =
        (test->posterior ? "posterior \xe2\x89\xa5 " : "p \xe2\x89\xa4 ") + shortNumber(threshold);
    statistics.positive = positive;
    statistics.method = test->method;
    statistics.file = inputName(path);
    statistics.limit = limit;
    statistics.names = {test->rates[0], test->rates[1],
                        positive ? test->positiveColumn : test->negativeColumn};
    statistics.symbols = {test->rateSymbols[0], test->rateSymbols[1], test->posterior ? "posterior" : "p"};
    statistics.deciding = 2;
    statistics.posterior = test->posterior;
    const std::size_t rateColumns[2] = {result.columnOf(test->rateColumns[0]),
                                        result.columnOf(test->rateColumns[1])};
    std::vector<SiteRange> ranges;
    result.forEachSite([&](long site, const json& row) {
        const double value = result.cell(row, decides, site);
        // A rate HyPhy could not estimate (SLAC's dS where a site has no synonymous change) is none.
        const auto rate = [&](std::size_t column) {
            return row.is_array() && column < row.size() && row[column].is_number()
                       ? row[column].get<double>()
                       : std::numeric_limits<double>::quiet_NaN();
        };
        statistics.sites[site] = {rate(rateColumns[0]), rate(rateColumns[1]), value};
        bool selected = test->posterior ? value >= threshold : value <= threshold;
        if (selected && test->signFromRates)
        {
            const double rateAlpha = result.cell(row, *alpha, site);
            const double rateBeta = result.cell(row, *beta, site);
            selected = positive ? rateBeta > rateAlpha : rateBeta < rateAlpha;
        }
        if (selected)
            ranges.push_back(SiteRange{static_cast<int>(site), static_cast<int>(site)});
    });
    std::printf("Note: %s gives %zu site%s under %s selection (%s, %s)\n", inputName(path).c_str(),
                ranges.size(), ranges.size() == 1 ? "" : "s", positive ? "positive" : "negative",
                test->method, limit.c_str());
    return ranges;
}

ImportReport readJsonFile(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network)
{
    const HyphyResult result(path);
    if (result.methodName() != "BGM")
    {
        const bool sites =
            std::any_of(std::begin(selectionTests), std::end(selectionTests),
                        [&](const SelectionTest& test) { return result.methodName() == test.method; });
        throw result.refusal(sites ? "which lists sites under selection, not a network; give it to -p or -n"
                                   : "not a network that linkmap reads; write GraphML, or a pair list");
    }
    // BGM's rows: the two sites by HyPhy's index from 1, then the posterior of each direction and of either.
    const std::size_t first = result.columnOf("Site 1");
    const std::size_t second = result.columnOf("Site 2");
    const std::size_t either = result.columnOf("P [Site 1 <\xe2\x80\x93> Site 2]");
    const nlohmann::json* rows = result.find({"MLE", "content"});
    if (rows == nullptr || !rows->is_array())
        throw result.refusal("but its MLE.content is no list of pairs");
    // BGM reports the pairs at its threshold of posterior, 0.5 by default; the settings may show more.
    const nlohmann::json* given = result.find({"settings", "threshold"});
    const double threshold = given != nullptr && given->is_number() ? given->get<double>() : 0.5;
    // BGM's own threshold is held to the posterior as written; the minimum weight, as every reader holds it,
    // to the weight drawn.
    const double bgmThreshold = settings.minimumGiven ? 0.0 : threshold;
    const SiteNamer namer(settings);
    ImportReport report;
    report.format = InputFormat::Json;
    report.meaning = WeightMeaning::Probability;
    report.quantity = "BGM posterior probability";
    LinkCollector links(network, settings.minimumWeight, bgmThreshold);
    std::size_t row = 0;
    const auto site = [&](std::size_t column) {
        const double number = result.cell((*rows)[row], column, static_cast<long>(row + 1));
        if (number < 1.0 || number > 1e9 || number != std::floor(number))
            throw result.refusal("but row " + std::to_string(row + 1) +
                                 " of its MLE.content names the site " + std::to_string(number));
        return network.addSite(namer.nameOf(static_cast<long>(number))).first;
    };
    std::size_t pairs = 0;
    double largest = 0.0;
    for (; row < rows->size(); ++row)
    {
        const std::uint32_t one = site(first);
        const std::uint32_t other = site(second);
        const double weight = result.cell((*rows)[row], either, static_cast<long>(row + 1));
        const LinkCollector::Listing listing = links.add(one, other, weight);
        if (listing == LinkCollector::Listing::Linked || listing == LinkCollector::Listing::Below)
        {
            ++pairs;
            largest = std::max(largest, std::fabs(weight));
        }
    }
    const std::string shown = inputName(path);
    links.warnOfConflicts(shown);
    report.belowMinimum = links.belowMinimum();
    const std::string limit = shortNumber(threshold);
    if (settings.minimumGiven)
        report.columnNote = "Note: " + shown +
                            " is HyPhy's BGM result: a pair weighs the posterior that its "
                            "sites are dependent; BGM reports the pairs of " +
                            limit + " and more, and LINKMAP_MIN_WEIGHT shows those of " +
                            shortNumber(settings.minimumWeight) + " and more";
    else if (network.linkCount() == 0 && pairs > 0)
    {
        network.caption = "BGM finds no pair of sites dependent at posterior " + limit +
                          " or more (the largest is " + printfText("%.3g", largest) + ")";
        report.columnNote = "Note: " + shown + " is HyPhy's BGM result, and " + network.caption +
                            "; LINKMAP_MIN_WEIGHT=0 shows all " + std::to_string(pairs) + " pairs";
        report.belowMinimum = 0;
    }
    else
        report.columnNote =
            "Note: " + shown + " is HyPhy's BGM result: " + std::to_string(pairs - report.belowMinimum) +
            " of its " + std::to_string(pairs) + " pairs of sites " +
            (pairs - report.belowMinimum == 1 ? "is" : "are") + " dependent at posterior " + limit +
            " or more, as BGM reports them; " + std::to_string(report.belowMinimum) +
            (report.belowMinimum == 1 ? " is" : " are") + " left out (LINKMAP_MIN_WEIGHT=0 shows every pair)";
    namer.tell(report);
    return report;
}
