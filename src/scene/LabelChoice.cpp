#include <network/SiteMeasures.h>
#include <scene/LabelChoice.h>

#include <osgUtil/CullVisitor>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace
{

// The room a label keeps free round its text, each way, in pixels: its halo's, and a hair between labels.
constexpr float labelPadding = 2.0f;

} // namespace

std::vector<std::uint32_t> centralityRanks(const CorrelationNetwork& network)
{
    const std::vector<double> centrality =
        network.betweenness.size() == network.siteCount() ? network.betweenness : siteDegree(network, {});
    std::vector<std::uint32_t> order(centrality.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&centrality](std::uint32_t a, std::uint32_t b) {
        return centrality[a] > centrality[b];
    });
    std::vector<std::uint32_t> ranks(centrality.size(), 0);
    std::uint32_t rank = 0;
    for (std::size_t place = 0; place < order.size(); ++place)
    {
        if (place > 0 && centrality[order[place]] != centrality[order[place - 1]])
            rank = static_cast<std::uint32_t>(place);
        ranks[order[place]] = rank;
    }
    return ranks;
}

void orderByPreference(std::vector<ScreenLabel>& labels, const LabelPreference& preference)
{
    // A favoured site's place among the favoured, before every other site's.
    std::unordered_map<std::uint32_t, std::size_t> favoured;
    for (std::size_t place = 0; place < preference.favoured.size(); ++place)
        favoured.emplace(preference.favoured[place], place);
    const auto tierOf = [&favoured](std::uint32_t site) {
        const auto found = favoured.find(site);
        return found == favoured.end() ? favoured.size() : found->second;
    };
    const auto rankOf = [&preference](std::uint32_t site) {
        return site < preference.ranks.size() ? preference.ranks[site] : 0u;
    };
    std::sort(labels.begin(), labels.end(), [&](const ScreenLabel& a, const ScreenLabel& b) {
        const std::size_t tierA = tierOf(a.site);
        const std::size_t tierB = tierOf(b.site);
        if (tierA != tierB)
            return tierA < tierB;
        if (rankOf(a.site) != rankOf(b.site))
            return rankOf(a.site) < rankOf(b.site);
        if (a.depth != b.depth)
            return a.depth < b.depth;
        return a.site < b.site;
    });
}

std::vector<bool> keepApart(const std::vector<ScreenLabel>& labels, std::size_t siteCount)
{
    std::vector<bool> shown(siteCount, false);
    // The labels kept so far, filed in every cell of a grid that their boxes touch; two boxes that overlap
    // share a cell. A cell is as large as the largest label, so a box touches at most four.
    float cellWidth = 1.0f;
    float cellHeight = 1.0f;
    for (const ScreenLabel& label : labels)
    {
        cellWidth = std::max(cellWidth, 2.0f * label.halfWidth);
        cellHeight = std::max(cellHeight, 2.0f * label.halfHeight);
    }
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells;
    const auto cellKey = [](std::int64_t column, std::int64_t row) {
        return (static_cast<std::uint64_t>(column) << 32) ^ static_cast<std::uint32_t>(row);
    };
    const auto overlap = [](const ScreenLabel& a, const ScreenLabel& b) {
        return std::fabs(a.x - b.x) < a.halfWidth + b.halfWidth &&
               std::fabs(a.y - b.y) < a.halfHeight + b.halfHeight;
    };
    for (std::uint32_t place = 0; place < labels.size(); ++place)
    {
        const ScreenLabel& label = labels[place];
        if (label.site >= siteCount || !std::isfinite(label.x) || !std::isfinite(label.y))
            continue;
        const auto left = static_cast<std::int64_t>(std::floor((label.x - label.halfWidth) / cellWidth));
        const auto right = static_cast<std::int64_t>(std::floor((label.x + label.halfWidth) / cellWidth));
        const auto bottom = static_cast<std::int64_t>(std::floor((label.y - label.halfHeight) / cellHeight));
        const auto top = static_cast<std::int64_t>(std::floor((label.y + label.halfHeight) / cellHeight));
        bool free = true;
        for (std::int64_t column = left; column <= right && free; ++column)
            for (std::int64_t row = bottom; row <= top && free; ++row)
            {
                const auto cell = cells.find(cellKey(column, row));
                if (cell == cells.end())
                    continue;
                for (const std::uint32_t other : cell->second)
                    free = free && !overlap(label, labels[other]);
            }
        if (!free)
            continue;
        shown[label.site] = true;
        for (std::int64_t column = left; column <= right; ++column)
            for (std::int64_t row = bottom; row <= top; ++row)
                cells[cellKey(column, row)].push_back(place);
    }
    return shown;
}

std::vector<ScreenLabel> screenLabels(const LabelExtents& extents, const osg::Matrixd& view,
                                      const osg::Matrixd& projection, const osg::Matrixd& window,
                                      float padding)
{
    // Pixels a scene unit up the screen: at unit distance for a perspective projection, anywhere for a
    // parallel one.
    const double pixelsAtUnit = projection(1, 1) * window(1, 1);
    const bool perspective = projection(3, 3) == 0.0;
    const osg::Matrixd toWindow = projection * window;
    std::vector<ScreenLabel> labels;
    labels.reserve(extents.anchors.size());
    for (std::size_t site = 0; site < extents.anchors.size(); ++site)
    {
        const osg::Vec3d eye = osg::Vec3d(extents.anchors[site]) * view;
        const double depth = -eye.z();
        if (!(depth > 0.0))
            continue;
        const osg::Vec3d onScreen = eye * toWindow;
        const double scale = perspective ? pixelsAtUnit / depth : pixelsAtUnit;
        const osg::Vec2 half = site < extents.halfSizes.size() ? extents.halfSizes[site] : osg::Vec2();
        labels.push_back(
            ScreenLabel{static_cast<std::uint32_t>(site), static_cast<float>(onScreen.x()),
                        static_cast<float>(onScreen.y()), static_cast<float>(half.x() * scale) + padding,
                        static_cast<float>(half.y() * scale) + padding, static_cast<float>(depth)});
    }
    return labels;
}

LabelThinning::LabelThinning(LabelExtents labelExtents, std::vector<std::uint32_t> ranks,
                             std::function<void(const std::vector<bool>&)> showLabels)
    : extents(std::move(labelExtents)), preference{std::move(ranks), {}}, show(std::move(showLabels))
{
}

void LabelThinning::favour(std::vector<std::uint32_t> sites)
{
    if (sites == preference.favoured)
        return;
    preference.favoured = std::move(sites);
    chosen = false;
}

void LabelThinning::hideAll(bool hidden)
{
    if (hidden == allHidden)
        return;
    allHidden = hidden;
    chosen = false;
}

void LabelThinning::keepClear(std::vector<osg::BoundingBox> boxes)
{
    const auto same = [](const osg::BoundingBox& a, const osg::BoundingBox& b) {
        return a._min == b._min && a._max == b._max;
    };
    if (std::equal(boxes.begin(), boxes.end(), clear.begin(), clear.end(), same))
        return;
    clear = std::move(boxes);
    chosen = false;
}

void LabelThinning::choose(const osg::Matrixd& view, const osg::Matrixd& projection,
                           const osg::Matrixd& window)
{
    if (chosen && view == lastView && projection == lastProjection && window == lastWindow)
        return;
    chosen = true;
    lastView = view;
    lastProjection = projection;
    lastWindow = window;
    std::vector<ScreenLabel> labels;
    if (!allHidden)
    {
        labels = screenLabels(extents, view, projection, window, labelPadding);
        // The window's height in pixels, from the matrix that takes -1 ... 1 to its viewport.
        const double height = 2.0 * window(1, 1);
        const double left = window(3, 0) - window(0, 0);
        const double bottom = window(3, 1) - window(1, 1);
        labels.erase(std::remove_if(
                         labels.begin(), labels.end(),
                         [&](const ScreenLabel& label) {
            return std::any_of(clear.begin(), clear.end(), [&](const osg::BoundingBox& box) {
                return label.x + label.halfWidth > left + box.xMin() * height &&
                       label.x - label.halfWidth < left + box.xMax() * height &&
                       label.y + label.halfHeight > bottom + box.yMin() * height &&
                       label.y - label.halfHeight < bottom + box.yMax() * height;
            });
                         }),
                     labels.end());
        orderByPreference(labels, preference);
    }
    std::vector<bool> now = keepApart(labels, extents.anchors.size());
    if (now == showing)
        return;
    showing = std::move(now);
    show(showing);
}

void LabelThinning::operator()(osg::Node* node, osg::NodeVisitor* visitor)
{
    // The camera's own projection, not the one the cull narrows to the depth of what it meets.
    auto* cull = dynamic_cast<osgUtil::CullVisitor*>(visitor);
    const osg::Camera* camera = cull != nullptr ? cull->getCurrentCamera() : nullptr;
    if (camera != nullptr && camera->getViewport() != nullptr && cull->getModelViewMatrix() != nullptr)
        choose(*cull->getModelViewMatrix(), camera->getProjectionMatrix(),
               camera->getViewport()->computeWindowMatrix());
    traverse(node, visitor);
}
