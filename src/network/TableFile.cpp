#include <network/LineReader.h>
#include <network/MatrixTriangle.h>
#include <network/NetworkReader.h>
#include <network/SiteNames.h>
#include <network/TableCells.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_set>
#include <vector>

namespace
{

// "1 value", "2 values".
std::string countOf(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "...\"" : "\"");
}

// A site's letter, as a column of a coevolution method's pair list gives it beside the site's number.
bool isLetter(std::string_view cell)
{
    return cell.size() == 1 && std::isalpha(static_cast<unsigned char>(cell[0]));
}

bool hasDigit(std::string_view cell)
{
    return cell.find_first_of("0123456789") != std::string_view::npos;
}

// The columns of a pair list that give its two sites, their letters where a column beside them does, and
// its weight.
struct PairColumns
{
    std::size_t width = 3;
    std::size_t sites[2] = {0, 1};
    std::optional<std::size_t> letters[2];
    std::size_t weight = 2;
};

// Reads a matrix or a pair list a line at a time, deciding which from the first lines when the format does
// not say. A matrix is never held whole: only the links it keeps.
class TableReader
{
public:
    TableReader(const std::string& path, InputFormat format_, const ReadSettings& settings_,
                CorrelationNetwork& network_)
        : shownName(inputName(path)), format(format_), settings(settings_), namer(settings_),
          network(network_), triangle(network_, settings_.minimumWeight)
    {
    }

    void readLine(const std::string& line, std::size_t lineNumber_)
    {
        lineNumber = lineNumber_;
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            return;
        // Comments, such as the header numpy's savetxt writes; the last before the table may name its
        // columns.
        if (line[first] == '#')
        {
            if (!started && header.empty())
                comment = line.substr(first + 1);
            ++comments;
            return;
        }
        if (delimiter == 0)
        {
            delimiter = delimiterOf(line);
            const std::size_t last = line.find_last_not_of(delimiter == '\t' ? " " : " \t");
            closingDelimiter = delimiter != ' ' && line[last] == delimiter;
        }
        splitCells(line, delimiter, cells, quotedCells);
        // A delimiter after every cell, as CCMpred writes, is no empty last column.
        if (closingDelimiter && cells.size() > 1 && cells.back().empty() && !quotedCells.back())
        {
            cells.pop_back();
            quotedCells.pop_back();
        }
        if (!started)
            return start();
        if (format == InputFormat::Matrix)
            readRow();
        else
            readPair();
    }

    ImportReport finish()
    {
        if (!started && !header.empty())
            fail(shownName + " holds a header, line " + std::to_string(headerLine) + ", and no row under it");
        if (!started && comments > 0)
            fail(shownName + " holds only " + countOf(comments, "comment line") + ", and no row");
        if (format == InputFormat::Matrix && rows != columns && started)
            fail(shownName + " has " + countOf(rows, "row") + " of " + countOf(columns, "value") +
                 "; a matrix must be square");
        triangle.warnIfAsymmetric(shownName);
        if (repeatedPairs > 0)
            std::printf("Warning: %s repeats %zu pair%s; the first weight of each is kept\n",
                        shownName.c_str(), repeatedPairs, repeatedPairs == 1 ? "" : "s");
        ImportReport report;
        report.format = format == InputFormat::Pairs ? InputFormat::Pairs : InputFormat::Matrix;
        report.belowMinimum = belowMinimum + triangle.belowMinimum();
        report.columnNote = columnNote;
        report.namedFromSequence = namer.namedFromSequence();
        return report;
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
        if ((format == InputFormat::Table || format == InputFormat::Pairs) && findWideColumns())
            format = InputFormat::Pairs;
        if (format == InputFormat::Table)
            format = looksLikePair() && (header.empty() || header.size() == 3) ? InputFormat::Pairs
                                                                               : InputFormat::Matrix;
        if (format == InputFormat::Matrix)
        {
            if (!settings.weightColumn.empty())
                fail("LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn + ", but " + shownName +
                     " is a matrix, which has no weight column");
            startMatrix();
            return readRow();
        }
        if (pair.width == 3 && !settings.weightColumn.empty())
            pair.weight = chosenWeightColumn();
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

    // Site numbers in the first column and another, with their letters, scores and the like beside them, as
    // coevolution methods write them (plmc's i A_i j A_j 0 score, EVcouplings' i,A_i,j,A_j,fn,cn,...,
    // GREMLIN's i j raw apc). No matrix row has text beyond its first column, nor a header whose site columns
    // are words without numbers.
    bool findWideColumns()
    {
        if (cells.size() < 4 || quotedCells[0] || !isWholeNumber(cells[0]))
            return false;
        std::size_t second = 1;
        while (second < cells.size() && !isWholeNumber(cells[second]))
            ++second;
        if (second == cells.size())
            return false;
        double value = 0.0;
        bool text = false;
        for (std::size_t column = 1; column < cells.size(); ++column)
            text = text || readCell(cells[column], value) == Cell::Text;
        const bool wordHeader =
            header.size() == cells.size() && !hasDigit(header[0]) && !hasDigit(header[second]);
        if (!text && !wordHeader)
            return false;

        pair.width = cells.size();
        pair.sites[1] = second;
        for (int end = 0; end < 2; ++end)
        {
            const std::size_t beside = pair.sites[end] + 1;
            if (beside < pair.width && beside != pair.sites[1 - end] && isLetter(cells[beside]))
                pair.letters[end] = beside;
        }
        if (!settings.weightColumn.empty())
            pair.weight = chosenWeightColumn();
        else
        {
            // The last column of numbers.
            std::size_t column = pair.width;
            while (column > 0 &&
                   (isSiteColumn(column - 1) || readCell(cells[column - 1], value) != Cell::Number))
                --column;
            if (column == 0)
                fail(where() + " has site numbers but no column of numbers for the weights");
            pair.weight = column - 1;
        }
        columnNote = "Note: weights from column " + columnName(pair.weight) + " of " + shownName;
        return true;
    }

    bool isSiteColumn(std::size_t column) const
    {
        return column == pair.sites[0] || column == pair.sites[1] || pair.letters[0] == column ||
               pair.letters[1] == column;
    }

    std::string columnName(std::size_t column) const
    {
        return header.size() == pair.width && !header[column].empty() ? std::string(header[column])
                                                                      : std::to_string(column + 1);
    }

    // The column LINKMAP_WEIGHT_COLUMN names: by the header's name, else by its number from 1.
    std::size_t chosenWeightColumn()
    {
        const std::string& wanted = settings.weightColumn;
        std::size_t column = pair.width;
        if (header.size() == pair.width)
            column =
                static_cast<std::size_t>(std::find(header.begin(), header.end(), wanted) - header.begin());
        if (column == pair.width && isWholeNumber(wanted) && wanted[0] != '-' && std::stol(wanted) >= 1 &&
            static_cast<std::size_t>(std::stol(wanted)) <= pair.width)
            column = static_cast<std::size_t>(std::stol(wanted)) - 1;
        if (column == pair.width)
        {
            std::string names;
            for (std::size_t each = 0; each < pair.width; ++each)
                names += (each == 0 ? "" : ", ") + columnName(each);
            fail("LINKMAP_WEIGHT_COLUMN is " + wanted + ", but " + shownName +
                 " has no such column; its columns are " + names);
        }
        if (isSiteColumn(column))
            fail("LINKMAP_WEIGHT_COLUMN is " + wanted + ", but column " + columnName(column) + " of " +
                 shownName + " gives the sites");
        columnNote = "Note: weights from column " + columnName(column) + " of " + shownName;
        return column;
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
            header.erase(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(skip));
            // R calls the columns of a matrix without names V1, V2, ...: its numbering, not names.
            numberedByR = true;
            for (std::size_t column = 0; column < columns && numberedByR; ++column)
                numberedByR = header[column] == "V" + std::to_string(column + 1);
            if (numberedByR)
                header.clear();
            for (std::size_t column = 0; column < header.size(); ++column)
                addMatrixSite(onChain(header[column], column), headerLine);
        }
        if (header.empty() && !rowNames)
        {
            const std::vector<std::string> named = commentNames();
            for (std::size_t column = 0; column < columns; ++column)
                addMatrixSite(named.empty() ? namer.nameOfRow(column) : onChain(named[column], column),
                              lineNumber);
        }
    }

    // The names of the last comment before the table, split as the table is or at commas, when it names as
    // many columns as the table has.
    std::vector<std::string> commentNames() const
    {
        std::vector<std::string_view> named;
        std::vector<bool> quoted;
        for (const char separator : {delimiter, ','})
        {
            splitCells(comment, separator, named, quoted);
            if (named.size() == columns &&
                std::none_of(named.begin(), named.end(), [](std::string_view name) { return name.empty(); }))
                return std::vector<std::string>(named.begin(), named.end());
        }
        return {};
    }

    // A matrix of a complex names a residue of each chain alike (P1 of A, P1 of B): its row i is the residue
    // i of the chains in file order, and the name says that residue's chain.
    std::string onChain(const std::string& name, std::size_t index) const
    {
        return index < settings.residueChains.size() && !name.empty()
                   ? name + ":" + settings.residueChains[index]
                   : name;
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
        {
            // R numbers the rows of a matrix without names "1", "2", ...
            const bool numbered = numberedByR && cells[0] == std::to_string(row + 1);
            addMatrixSite(numbered ? namer.nameOfRow(row) : onChain(std::string(cells[0]), row), lineNumber);
        }
        triangle.beginRow();
        for (std::size_t column = 0; column < columns; ++column)
        {
            double value = 0.0;
            const std::string_view cell = cells[first + column];
            const Cell kind = readCell(cell, value);
            if (kind == Cell::Text)
                fail(where() + ": " + inQuotes(cell) + " in column " + std::to_string(column + 1) +
                     " is not a number");
            if (kind == Cell::Number)
                triangle.cell(row, column, value);
        }
    }

    std::uint32_t pairSite(int end)
    {
        const std::string_view cell = cells[pair.sites[end]];
        if (pair.letters[end])
        {
            const std::string_view letter = cells[*pair.letters[end]];
            if (!isLetter(letter) || !isWholeNumber(cell))
                fail(where() + ": " + inQuotes(letter) + " and " + inQuotes(cell) +
                     " are not a site's letter and number");
            return network
                .addSite(static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0]))) +
                         std::to_string(std::stol(std::string(cell))))
                .first;
        }
        if (isWholeNumber(cell))
            return network.addSite(namer.nameOf(std::stol(std::string(cell)))).first;
        double value = 0.0;
        if (pair.width > 3 || readCell(cell, value) != Cell::Text)
            fail(where() + ": " + inQuotes(cell) + " is not a site");
        return network.addSite(std::string(cell)).first;
    }

    void readPair()
    {
        double value = 0.0;
        if (cells.size() != pair.width || readCell(cells[pair.weight], value) == Cell::Text)
            fail(where() + (pair.width == 3 && pair.weight == 2
                                ? std::string(" is not two sites and a number")
                                : " is not a row of " + countOf(pair.width, "column") +
                                      " with a number in column " + columnName(pair.weight)));
        std::uint32_t first = pairSite(0);
        std::uint32_t second = pairSite(1);
        if (readCell(cells[pair.weight], value) == Cell::Missing || first == second)
            return;
        if (std::fabs(drawnWeight(value)) < settings.minimumWeight)
        {
            ++belowMinimum;
            return;
        }
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
        network.addExactLink(first, second, value);
    }

    const std::string shownName;
    InputFormat format;
    const ReadSettings& settings;
    const SiteNamer namer;
    CorrelationNetwork& network;

    char delimiter = 0;
    bool closingDelimiter = false;
    std::vector<std::string_view> cells;
    std::vector<bool> quotedCells;
    std::size_t lineNumber = 0;
    std::string comment;
    std::size_t comments = 0;
    std::vector<std::string> header;
    std::size_t headerLine = 0;
    bool started = false;

    bool rowNames = false;
    bool numberedByR = false;
    std::size_t columns = 0;
    std::size_t rows = 0;
    MatrixTriangle triangle;

    PairColumns pair;
    std::string columnNote;
    std::unordered_set<std::uint64_t> pairsSeen;
    std::size_t repeatedPairs = 0;
    std::size_t belowMinimum = 0;
};

} // namespace

ImportReport readTableFile(const std::string& path, InputFormat format, const ReadSettings& settings,
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
    return reader.finish();
}
