#ifndef LINKMAP_NETWORK_HYPHYRESULT
#define LINKMAP_NETWORK_HYPHYRESULT 1

#include <network/InputError.h>
#include <network/RegionKind.h>
#include <network/SelectionThresholds.h>
#include <network/SiteRange.h>
#include <network/SiteStatistics.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

/** A result that HyPhy wrote as JSON, and the method that wrote it, as its analysis.info names it. */
class HyphyResult
{
public:
    /** Reads the JSON at path whole. Throws InputError when it is cut short or not well formed. */
    explicit HyphyResult(const std::string& path);

    /** FEL, SLAC, FUBAR, MEME, BGM, another of HyPhy's methods, "an analysis" for one this does not know;
     *  empty for JSON that no HyPhy analysis wrote. */
    const std::string& methodName() const
    {
        return method;
    }

    /** "HyPhy's FEL result", or "JSON that is no HyPhy result". */
    std::string whatItIs() const;

    /** The refusal "Error: FILE is HyPhy's FEL result, " followed by why. */
    InputError refusal(const std::string& why) const;

    /** The node at the path of keys from the top, or null. */
    const nlohmann::json* find(std::initializer_list<const char*> keys) const;

    /** The column of MLE.content's rows that MLE.headers names name. Throws InputError when none does. */
    std::size_t columnOf(const char* name) const;

    /** Calls visit(site, row) for each row of MLE.content, in every partition, with the site's number from 1
     *  as the partitions cover them. Throws InputError for a content that is no list of sites. */
    void forEachSite(const std::function<void(long, const nlohmann::json&)>& visit) const;

    /** The number in column of row. Throws InputError, naming the site, where there is none. */
    double cell(const nlohmann::json& row, std::size_t column, long site) const;

private:
    std::string path;
    std::string shownName;
    nlohmann::json document;
    std::string method;
};

/** Whether the start of a file is JSON: past blanks and a byte-order mark, it opens an object or an array. */
bool looksLikeJson(std::string_view start);

/** The sites that a HyPhy selection result (FEL, SLAC, FUBAR or MEME) finds under positive (diversifying) or
 *  negative (purifying) selection, as kind says, each a range of one site number counted from 1; prints a
 *  note of how many. statistics takes what the result reports of every site it tested. Throws InputError for
 *  JSON that is no such result, for a kind the method does not test, and for a result cut short. */
std::vector<SiteRange> readSelectedSites(const std::string& path, RegionKind kind,
                                         const SelectionThresholds& thresholds, SiteStatistics& statistics);

#endif
