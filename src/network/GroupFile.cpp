#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <network/TextFields.h>
#include <network/ValidText.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <vector>

bool readGroupFile(const std::string& path, CorrelationNetwork& network, LoadProgress& progress)
{
    // How far through the file reading is, for the progress line; a stream of unknown size shows 0%.
    const double fileSize = plainFileSize(path);
    double bytesRead = 0.0;
    const std::string shownName = inputName(path);

    // Reused from line to line.
    std::vector<std::string_view> siteNames;
    std::vector<float> weights;
    std::vector<std::uint32_t> sites;
    std::string name;
    return readTextLines(path, [&](const std::string& line, std::size_t lineNumber) {
        bytesRead += static_cast<double>(line.size() + 1);
        progress.update("reading the groups", fileSize > 0.0 ? bytesRead / fileSize : 0.0);

        siteNames.clear();
        weights.clear();
        std::string_view beyondFloat;
        forEachToken(line, " \n", [&](std::string_view token) {
            if (token.find('.') == std::string_view::npos)
            {
                siteNames.push_back(token);
                return;
            }
            // A weight that is no number a float holds (inf, nan, 1e308) keeps its place among the pairs, as
            // NaN, and its pair gets no link.
            const double value = parseDecimal(token);
            const bool fits = fitsFloat(value);
            if (!fits && beyondFloat.empty())
                beyondFloat = token;
            weights.push_back(fits ? static_cast<float>(value) : std::nanf(""));
        });
        if (!beyondFloat.empty())
            std::printf(
                "Warning: line %zu of %s has the weight %s, which is no finite number of at most %g in "
                "size; its pair gets no link\n",
                lineNumber, shownName.c_str(), validText(beyondFloat).c_str(), static_cast<double>(FLT_MAX));

        // A line with too few weights still makes its ring; the pairs left without a weight get no link.
        const std::size_t siteCount = siteNames.size();
        const std::size_t needed = siteCount < 2 ? 0 : siteCount * (siteCount - 1) / 2;
        if (weights.size() < needed)
            std::printf("Warning: line %zu of %s has %zu weights where its %zu sites need %zu; pairs without "
                        "a weight get no link\n",
                        lineNumber, shownName.c_str(), weights.size(), siteCount, needed);

        // A repeated name is the site of its first occurrence, which its ring and its links keep.
        network.beginRing();
        sites.clear();
        for (const std::string_view siteName : siteNames)
        {
            name.assign(siteName);
            const auto [site, isNew] = network.addSite(name);
            sites.push_back(site);
            if (isNew)
                network.addToRing(site);
        }

        // The weights belong to the pairs (0, 1), (0, 2), ... (1, 2), ... in that order.
        std::size_t next = 0;
        for (std::size_t i = 0; i + 1 < siteCount && next < weights.size(); ++i)
            for (std::size_t j = i + 1; j < siteCount && next < weights.size(); ++j)
                if (const float weight = weights[next++]; !std::isnan(weight))
                    network.addLink(sites[i], sites[j], weight);
    });
}
