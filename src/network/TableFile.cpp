#include <network/LineReader>
#include <network/NetworkReader>
#include <network/SiteNames>

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <unordered_set>
#include <vector>

namespace
{

// What a cell of a table holds.
enum class Cell
{
    Number,
    Missing, // empty, NA or NaN: no value, and no link
    Text
};

Cell readCell(std::string_view cell, double& value)
{
    // Numbers first: they are nearly every cell.
    if (!cell.empty())
    {
        const char* begin = cell.data() + (cell[0] == '+' ? 1 : 0);
        const char* end = cell.data() + cell.size();
        const auto result = fast_float::from_chars(begin, end, value);
        if (result.ec == std::errc() && result.ptr == end && std::isfinite(value))
        {
            value = std::clamp(value, -double(FLT_MAX), double(FLT_MAX));
            return Cell::Number;
        }
    }
    const auto is = [cell](const char* word) {
        return cell.size() == std::strlen(word) && strncasecmp(cell.data(), word, cell.size()) == 0;
    };
    return cell.empty() || is("na") || is("nan") || is("n/a") ? Cell::Missing : Cell::Text;
}

// A site written as a whole number, such as the 45 of a pair list.
bool isWholeNumber(std::string_view cell)
{
    const std::size_t start = !cell.empty() && cell[0] == '-' ? 1 : 0;
    return cell.size() > start && cell.size() - start < 10 &&
           std::all_of(cell.begin() + static_cast<std::ptrdiff_t>(start), cell.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Splits line into cells at every delimiter, or at runs of spaces and tabs when the delimiter is a space,
// trimming the blanks round each cell and the quotes round a quoted one, which quoted marks.
void splitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells,
                std::vector<bool>& quoted)
{
    cells.clear();
    quoted.clear();
    const bool runs = delimiter == ' ';
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto separates = [&](char c) { return runs ? blank(c) : c == delimiter; };
    const std::size_t size = line.size();
    std::size_t at = 0;
    for (;;)
    {
        while (at < size && blank(line[at]) && !separates(line[at]))
            ++at;
        while (runs && at < size && blank(line[at]))
            ++at;
        if (runs && at == size)
            return;
        std::size_t begin = at;
        std::size_t end = at;
        if (at < size && line[at] == '"')
        {
            // Whatever follows the closing quote, up to the delimiter, is not part of the name.
            begin = at + 1;
            end = std::min(line.find('"', begin), size);
            at = end;
            while (at < size && !separates(line[at]))
                ++at;
        }
        else
        {
            while (at < size && !separates(line[at]))
                ++at;
            end = at;
            while (end > begin && blank(line[end - 1]))
                --end;
        }
        cells.emplace_back(line.substr(begin, end - begin));
        quoted.push_back(begin > 0 && line[begin - 1] == '"');
        if (at == size)
            return;
        ++at;
    }
}

char delimiterOf(const std::string& line)
{
    if (line.find(',') != std::string::npos)
        return ',';
    return line.find('\t') != std::string::npos ? '\t' : ' ';
}

// "1 value", "2 values".
std::string countOf(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "...\"" : "\"");
}

// Reads a matrix or a pair list a line at a time, deciding which from the first lines when the format does
// not say. A matrix is never held whole: only the links it keeps.
class TableReader
{
public:
    TableReader(const std::string& path, InputFormat format_, const ReadSettings& settings_,
                CorrelationNetwork& network_)
        : shownName(inputName(path)), format(format_), settings(settings_), namer(settings_),
          network(network_)
    {
    }

    void readLine(const std::string& line, std::size_t lineNumber_)
    {
        lineNumber = lineNumber_;
        if (line.find_first_not_of(" \t") == std::string::npos)
            return;
        if (delimiter == 0)
            delimiter = delimiterOf(line);
        splitCells(line, delimiter, cells, quotedCells);
        if (!started)
            return start();
        if (format == InputFormat::Matrix)
            readRow();
        else
            readPair();
    }

    void finish()
    {
        if (format == InputFormat::Matrix && rows != columns && (started || !header.empty()))
            fail(shownName + " has " + countOf(rows, "row") + " of " + countOf(columns, "value") +
                 "; a matrix must be square");
        if (largestDifference > 0.0)
            std::printf("Warning: the matrix in %s is not symmetric: the largest difference, %g, is at row "
                        "%zu, column %zu; its upper triangle is used\n",
                        shownName.c_str(), largestDifference, differentCell.first + 1,
                        differentCell.second + 1);
        if (repeatedPairs > 0)
            std::printf("Warning: %s repeats %zu pair%s; the first weight of each is kept\n",
                        shownName.c_str(), repeatedPairs, repeatedPairs == 1 ? "" : "s");
    }

private:
    [[noreturn]] void fail(const std::string& why) const
    {
        throw InputError("Error: " + why);
    }

    std::string where() const
    {
        return "line " + std::to_string(lineNumber) + " of " + shownName;
    }

    // The first line with text: a header when its last cell is not a number, else the first row or pair.
    void start()
    {
        double value = 0.0;
        if (header.empty() && readCell(cells.back(), value) == Cell::Text)
        {
            header.assign(cells.begin(), cells.end());
            headerLine = lineNumber;
            return;
        }
        started = true;
        if (format == InputFormat::Table)
            format = looksLikePair() && (header.empty() || header.size() == 3) ? InputFormat::Pairs
                                                                               : InputFormat::Matrix;
        if (format == InputFormat::Matrix)
            startMatrix();
        if (format == InputFormat::Matrix)
            readRow();
        else
            readPair();
    }

    // Two sites, both names or both numbers, and a weight; a row of three whole numbers is a matrix's.
    bool looksLikePair() const
    {
        if (cells.size() != 3)
            return false;
        // R writes a matrix with an empty corner and quoted row numbers.
        if ((!header.empty() && header[0].empty()) || (quotedCells[0] && isWholeNumber(cells[0])))
            return false;
        double value = 0.0;
        const bool numbers = isWholeNumber(cells[0]) && isWholeNumber(cells[1]);
        const bool names = readCell(cells[0], value) == Cell::Text && readCell(cells[1], value) == Cell::Text;
        return (names || (numbers && !isWholeNumber(cells[2]))) && readCell(cells[2], value) != Cell::Text;
    }

    void startMatrix()
    {
        double value = 0.0;
        // A quoted first cell is a name even when it is a number, as R writes row names.
        rowNames = quotedCells[0] || readCell(cells[0], value) == Cell::Text;
        columns = cells.size() - (rowNames ? 1 : 0);
        if (!header.empty())
        {
            // R writes an empty corner cell above the row names.
            const std::size_t skip = header.size() == columns + 1 ? 1 : 0;
            if (header.size() - skip != columns)
                fail("line " + std::to_string(headerLine) + " of " + shownName + " names " +
                     countOf(header.size(), "column") + " where line " + std::to_string(lineNumber) +
                     " has " + countOf(columns, "value"));
            for (std::size_t column = 0; column < columns; ++column)
                addMatrixSite(header[column + skip], headerLine);
        }
        else if (!rowNames)
        {
            for (std::size_t column = 0; column < columns; ++column)
                addMatrixSite(namer.nameOfRow(column), lineNumber);
        }
    }

    void addMatrixSite(const std::string& name, std::size_t line)
    {
        if (name.empty())
            fail("line " + std::to_string(line) + " of " + shownName + " has a column without a name");
        if (!network.addSite(name).second)
            fail("line " + std::to_string(line) + " of " + shownName + " names the site " + name + " twice");
    }

    void readRow()
    {
        const std::size_t row = rows++;
        const std::size_t first = rowNames ? 1 : 0;
        if (cells.size() - first != columns)
            fail(where() + " has " + countOf(cells.size() - first, "value") + " where the matrix has " +
                 countOf(columns, "column"));
        if (row >= columns)
            fail(where() + " is row " + std::to_string(row + 1) + " of a matrix of " +
                 countOf(columns, "column") + "; a matrix must be square");
        if (rowNames && header.empty())
            addMatrixSite(std::string(cells[0]), lineNumber);
        rowStarts.push_back(network.linkCount());
        for (std::size_t column = 0; column < columns; ++column)
        {
            double value = 0.0;
            const std::string_view cell = cells[first + column];
            const Cell kind = readCell(cell, value);
            if (kind == Cell::Text)
                fail(where() + ": " + inQuotes(cell) + " in column " + std::to_string(column + 1) +
                     " is not a number");
            if (kind == Cell::Missing || column == row)
                continue;
            const auto weight = static_cast<float>(value);
            if (column > row)
            {
                if (std::fabs(weight) >= settings.minimumWeight)
                    network.addLink(static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(column),
                                    weight);
            }
            else
                compareWithMirror(row, column, weight);
        }
    }

    // The lower triangle only checks that the matrix is symmetric. The upper cell is known when it was kept;
    // one left out was below the minimum weight, which bounds the difference.
    void compareWithMirror(std::size_t row, std::size_t column, float weight)
    {
        const std::size_t rowEnd =
            column + 1 < rowStarts.size() ? rowStarts[column + 1] : network.linkCount();
        const auto begin = network.links.begin() + static_cast<std::ptrdiff_t>(rowStarts[column]);
        const auto end = network.links.begin() + static_cast<std::ptrdiff_t>(rowEnd);
        const auto mirror = std::lower_bound(
            begin, end, row, [](const SiteLink& link, std::size_t second) { return link.second < second; });
        double difference = 0.0;
        if (mirror != end && mirror->second == row)
            difference = std::fabs(static_cast<double>(weight) - mirror->weight);
        else if (std::fabs(weight) >= settings.minimumWeight)
            difference = std::fabs(weight) - settings.minimumWeight;
        if (difference > 1e-6 * std::max(1.0, std::fabs(static_cast<double>(weight))) &&
            difference > largestDifference)
        {
            largestDifference = difference;
            differentCell = {row, column};
        }
    }

    std::uint32_t pairSite(std::string_view cell)
    {
        if (isWholeNumber(cell))
            return network.addSite(namer.nameOf(std::stol(std::string(cell)))).first;
        double value = 0.0;
        if (readCell(cell, value) != Cell::Text)
            fail(where() + ": " + inQuotes(cell) + " is not a site");
        return network.addSite(std::string(cell)).first;
    }

    void readPair()
    {
        double value = 0.0;
        if (cells.size() != 3 || readCell(cells[2], value) == Cell::Text)
            fail(where() + " is not two sites and a number");
        std::uint32_t first = pairSite(cells[0]);
        std::uint32_t second = pairSite(cells[1]);
        if (readCell(cells[2], value) == Cell::Missing || first == second ||
            std::fabs(static_cast<float>(value)) < settings.minimumWeight)
            return;
        const auto earlier = [this](std::uint32_t a, std::uint32_t b) {
            return network.numbers[a] != network.numbers[b] ? network.numbers[a] < network.numbers[b] : a < b;
        };
        if (earlier(second, first))
            std::swap(first, second);
        if (!pairsSeen.insert(std::uint64_t(first) << 32 | second).second)
        {
            ++repeatedPairs;
            return;
        }
        network.addLink(first, second, static_cast<float>(value));
    }

    const std::string shownName;
    InputFormat format;
    const ReadSettings& settings;
    const SiteNamer namer;
    CorrelationNetwork& network;

    char delimiter = 0;
    std::vector<std::string_view> cells;
    std::vector<bool> quotedCells;
    std::size_t lineNumber = 0;
    std::vector<std::string> header;
    std::size_t headerLine = 0;
    bool started = false;

    bool rowNames = false;
    std::size_t columns = 0;
    std::size_t rows = 0;
    std::vector<std::size_t> rowStarts; // the first link of every row read
    double largestDifference = 0.0;
    std::pair<std::size_t, std::size_t> differentCell;

    std::unordered_set<std::uint64_t> pairsSeen;
    std::size_t repeatedPairs = 0;
};

} // namespace

void readTableFile(const std::string& path, InputFormat format, const ReadSettings& settings,
                   CorrelationNetwork& network, LoadProgress& progress)
{
    const double fileSize = plainFileSize(path);
    double bytesRead = 0.0;
    TableReader reader(path, format, settings, network);
    const bool opened = readTextLines(path, [&](const std::string& line, std::size_t lineNumber) {
        bytesRead += static_cast<double>(line.size() + 1);
        progress.update("reading the table", fileSize > 0.0 ? bytesRead / fileSize : 0.0);
        reader.readLine(line, lineNumber);
    });
    if (!opened)
        throw InputError("Error: cannot open " + inputName(path));
    reader.finish();
}
