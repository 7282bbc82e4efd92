#include <network/MatrixTriangle.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

MatrixTriangle::MatrixTriangle(CorrelationNetwork& network_, float minimumWeight_)
    : network(network_), minimumWeight(minimumWeight_), firstLink(network_.linkCount())
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
    // Until the upper triangle gives a value, the lower one may be all there is, as R and pandas write a
    // triangle: its cells are kept as links from the earlier row.
    if (column < row && !upperSeen)
        return keepLowerCell(row, column, value);
    if (column > row && !upperSeen)
        dropLowerCells();
    if (column < row)
        return compareWithMirror(row, column, value);
    if (std::fabs(drawnWeight(value)) >= minimumWeight)
        network.addExactLink(static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(column), value);
    else
        ++leftOut;
}

void MatrixTriangle::keepLowerCell(std::size_t row, std::size_t column, double value)
{
    ++lowerCells;
    // Should the upper triangle turn out to have values, this cell's mirror there had none.
    const double difference = std::fabs(value) - minimumWeight;
    if (difference > 1e-6 * std::max(1.0, std::fabs(value)) && difference > largestLowerDifference)
    {
        largestLowerDifference = difference;
        lowerCell = {row, column};
    }
    if (std::fabs(drawnWeight(value)) >= minimumWeight)
        network.addExactLink(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row), value);
    else
        ++lowerLeftOut;
}

// The upper triangle has values after all: the lower cells kept were mirrors of upper cells without one.
void MatrixTriangle::dropLowerCells()
{
    upperSeen = true;
    if (lowerCells == 0)
        return;
    network.links.resize(firstLink);
    network.exactWeights.resize(firstLink);
    network.linkRegions.resize(firstLink);
    std::fill(rowStarts.begin(), rowStarts.end(), firstLink);
    if (largestLowerDifference > largestDifference)
    {
        largestDifference = largestLowerDifference;
        differentCell = lowerCell;
    }
    lowerCells = 0;
    lowerLeftOut = 0;
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
    if (!upperSeen && lowerCells > 0)
        std::printf("Note: the matrix in %s fills only its lower triangle; its links are read from it\n",
                    shownName.c_str());
    if (largestDifference > 0.0)
        std::printf("Warning: the matrix in %s is not symmetric: the largest difference, %g, is at row %zu, "
                    "column %zu; its upper triangle is used\n",
                    shownName.c_str(), largestDifference, differentCell.first + 1, differentCell.second + 1);
}
