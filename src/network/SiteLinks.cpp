#include <network/SiteLinks.h>

SiteLinks::SiteLinks(const std::vector<SiteLink>& links, std::size_t siteCount)
{
    // Every site's links, counted, then listed.
    starts.assign(siteCount + 1, 0);
    const auto forEachEnd = [&links, siteCount](auto&& visit) {
        for (std::size_t i = 0; i < links.size(); ++i)
        {
            if (links[i].first < siteCount)
                visit(links[i].first, i);
            if (links[i].second < siteCount && links[i].second != links[i].first)
                visit(links[i].second, i);
        }
    };
    forEachEnd([this](std::size_t site, std::size_t) { ++starts[site + 1]; });
    for (std::size_t site = 0; site < siteCount; ++site)
        starts[site + 1] += starts[site];
    list.resize(starts.back());
    std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
    forEachEnd([this, &next](std::size_t site, std::size_t link) { list[next[site]++] = link; });
}

const std::size_t* SiteLinks::begin(std::size_t site) const
{
    return site + 1 < starts.size() ? list.data() + starts[site] : list.data();
}

const std::size_t* SiteLinks::end(std::size_t site) const
{
    return site + 1 < starts.size() ? list.data() + starts[site + 1] : list.data();
}
