#include <network/CorrelationNetwork>
#include <network/LineReader>
#include <network/TextFields>

#include <sys/stat.h>

#include <cstdio>
#include <utility>

bool CorrelationNetwork::readGroupFile(std::string path)
{
    // How far through the file reading is, for the progress line; a stream of unknown size shows 0%.
    struct stat status;
    const double fileSize =
        stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) ? status.st_size : 0.0;
    double bytesRead = 0.0;
    return readTextLines(path, [&](const std::string& line, std::size_t lineNumber) {
        bytesRead += static_cast<double>(line.size() + 1);
        progress.update("reading the groups", fileSize > 0.0 ? bytesRead / fileSize : 0.0);

        std::queue<std::string> siteNames;
        std::queue<float> siteWeights;
        forEachToken(line, " \n", [&](std::string_view token) {
            if (token.find('.') != std::string_view::npos)
                siteWeights.push(parseWeight(token));
            else
                siteNames.emplace(token);
        });

        // A line with too few weights still makes its group; the pairs left without a weight get no link.
        const std::size_t siteCount = siteNames.size();
        const std::size_t needed = siteCount < 2 ? 0 : siteCount * (siteCount - 1) / 2;
        if (siteWeights.size() < needed)
            std::printf("Warning: line %zu of %s has %zu weights where its %zu sites need %zu; pairs without "
                        "a weight get no link\n",
                        lineNumber, path.c_str(), siteWeights.size(), siteCount, needed);

        groups.push_back(buildSiteGroup(std::move(siteNames), std::move(siteWeights)));
    });
}

SiteGroup CorrelationNetwork::buildSiteGroup(std::queue<std::string> siteNames,
                                             std::queue<float> siteWeights) const
{
    const std::size_t siteCount = siteNames.size();
    SiteGroup group;
    group.reserve(siteCount);
    for (std::size_t i = 0; i < siteCount; ++i)
    {
        Site site;
        site.name = std::move(siteNames.front());
        siteNames.pop();
        // Site i weighs its pairs with the n - i - 1 later sites; a short line leaves the last ones out.
        for (std::size_t k = i + 1; k < siteCount && !siteWeights.empty(); ++k)
        {
            site.weights.push_back(siteWeights.front());
            siteWeights.pop();
        }
        group.push_back(std::move(site));
    }
    return group;
}
