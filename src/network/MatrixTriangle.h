#ifndef LINKMAP_NETWORK_MATRIXTRIANGLE
#define LINKMAP_NETWORK_MATRIXTRIANGLE 1

#include <network/CorrelationNetwork.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

/** Takes a square matrix's cells row by row into a network whose sites are its rows: a cell of the upper
 *  triangle is a link from the earlier row when its |weight|, at the single precision it is drawn at, reaches
 *  the minimum, and a cell of the lower triangle only checks that the matrix is symmetric; a matrix whose
 *  upper triangle has no value at all gives its links from the lower one. The matrix is never held whole:
 * only the links kept. */
class MatrixTriangle
{
public:
    MatrixTriangle(CorrelationNetwork& network, float minimumWeight);

    /** Starts the next row. */
    void beginRow();

    /** Takes the cell at row and column of the row begun last; a cell without a value is no link. */
    void cell(std::size_t row, std::size_t column, double value);

    /** Warns on standard output, naming the file, when the matrix was not symmetric. */
    void warnIfAsymmetric(const std::string& shownName) const;

    /** How many cells of the upper triangle were left out below the minimum weight. */
    std::size_t belowMinimum() const
    {
        return leftOut + lowerLeftOut;
    }

private:
    void compareWithMirror(std::size_t row, std::size_t column, double weight);
    void keepLowerCell(std::size_t row, std::size_t column, double value);
    void dropLowerCells();

    CorrelationNetwork& network;
    float minimumWeight;
    std::vector<std::size_t> rowStarts; // the first link of every row begun
    double largestDifference = 0.0;
    std::pair<std::size_t, std::size_t> differentCell;
    std::size_t leftOut = 0;

    // The lower triangle, kept as links while the upper one has given no value.
    std::size_t firstLink;
    bool upperSeen = false;
    std::size_t lowerCells = 0;
    std::size_t lowerLeftOut = 0;
    double largestLowerDifference = 0.0;
    std::pair<std::size_t, std::size_t> lowerCell;
};

#endif
