#include <network/MatrixTriangle.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

MatrixTriangle::MatrixTriangle(CorrelationNetwork& network_, float minimumWeight_)
    : network(network_), minimumWeight(minimumWeight_)
{
}

void MatrixTriangle::beginRow()
{
    rowStarts.push_back(network.linkCount());
}

void MatrixTriangle::cell(std::size_t row, std::size_t column, double value)
{
    if (std::isnan(value) || column == row)
        return;
    if (column < row)
        return compareWithMirror(row, column, value);
    if (std::fabs(drawnWeight(value)) >= minimumWeight)
        network.addExactLink(static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(column), value);
    else
        ++leftOut;
}

// The upper cell is known when it was kept; one left out was below the minimum weight, which bounds the
// difference.
void MatrixTriangle::compareWithMirror(std::size_t row, std::size_t column, double weight)
{
    const std::size_t rowEnd = column + 1 < rowStarts.size() ? rowStarts[column + 1] : network.linkCount();
    const auto begin = network.links.begin() + static_cast<std::ptrdiff_t>(rowStarts[column]);
    const auto end = network.links.begin() + static_cast<std::ptrdiff_t>(rowEnd);
    const auto mirror = std::lower_bound(
        begin, end, row, [](const SiteLink& link, std::size_t second) { return link.second < second; });
    double difference = 0.0;
    if (mirror != end && mirror->second == row)
        difference = std::fabs(
            weight - network.exactWeights[static_cast<std::size_t>(mirror - network.links.begin())]);
    else if (std::fabs(weight) >= minimumWeight)
        difference = std::fabs(weight) - minimumWeight;
    if (difference > 1e-6 * std::max(1.0, std::fabs(weight)) && difference > largestDifference)
    {
        largestDifference = difference;
        differentCell = {row, column};
    }
}

void MatrixTriangle::warnIfAsymmetric(const std::string& shownName) const
{
    if (largestDifference > 0.0)
        std::printf("Warning: the matrix in %s is not symmetric: the largest difference, %g, is at row %zu, "
                    "column %zu; its upper triangle is used\n",
                    shownName.c_str(), largestDifference, differentCell.first + 1, differentCell.second + 1);
}
