#include <network/LineReader.h>
#include <network/LinkCollector.h>
#include <network/MatrixTriangle.h>
#include <network/NetworkReader.h>
#include <network/SiteNames.h>
#include <network/TableCells.h>
#include <network/TextFields.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <strings.h>
#include <unordered_map>
#include <vector>

namespace
{

// Thrown when a line of site numbers read as a header proves to be the table's first row.
struct NumbersAreData
{
};

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

// A correlation of a site with itself, as a tool writes it: 1, give or take the last of seven digits.
bool isUnit(double value)
{
    return std::fabs(value - 1.0) <= 1e-6;
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
    bool weighted = true;
    bool named = false; // the header names the columns of sites, which hold names
};

// Reads a matrix or a pair list a line at a time, deciding which from the first lines when the format does
// not say. A matrix is never held whole: only the links it keeps.
class TableReader
{
public:
    TableReader(const std::string& path, InputFormat format_, TableLayout layout_,
                const ReadSettings& settings_, CorrelationNetwork& network_, bool numbersAreData_,
                bool rereadable_)
        : shownName(inputName(path)), format(format_), layout(layout_), settings(settings_), namer(settings_),
          network(network_), triangle(network_, settings_.minimumWeight),
          links(network_, settings_.minimumWeight), numbersAreData(numbersAreData_), rereadable(rereadable_)
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
        if (layout == TableLayout::Casp && readCaspLine(std::string_view(line).substr(first)))
            return;
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
        split(line);
        if (!started)
        {
            currentLine = line;
            return start();
        }
        if (format == InputFormat::Matrix)
            readRow();
        else
            readPair();
    }

    void split(const std::string& line)
    {
        if (layout == TableLayout::EdgeData)
            splitEdgeData(line);
        else
            splitCells(line, delimiter, cells, quotedCells);
        // A delimiter after every cell, as CCMpred writes, is no empty last column.
        if (closingDelimiter && cells.size() > 1 && cells.back().empty() && !quotedCells.back())
        {
            cells.pop_back();
            quotedCells.pop_back();
        }
    }

    ImportReport finish()
    {
        if (!started && !header.empty())
            fail(shownName + " holds a header, line " + std::to_string(headerLine) + ", and no row under it");
        if (!started && comments > 0)
            fail(shownName + " holds only " + countOf(comments, "comment line") + ", and no row");
        if (numberedHeader && !rowNames && rows + 1 == columns)
            notHeaded();
        if (format == InputFormat::Matrix && rows != columns && started)
            fail(shownName + " has " + countOf(rows, "row") + " of " + countOf(columns, "value") +
                 "; a matrix must be square" + pairsHint());
        triangle.warnIfAsymmetric(shownName);
        links.warnOfConflicts(shownName);
        ImportReport report;
        report.format = format == InputFormat::Pairs ? InputFormat::Pairs : InputFormat::Matrix;
        report.belowMinimum = links.belowMinimum() + triangle.belowMinimum();
        report.columnNote = columnNote;
        namer.tell(report);
        report.meaning = meaning;
        report.quantity = quantity;
        return report;
    }

private:
    Cell number(std::string_view cell, double& value) const
    {
        return readCell(cell, value, delimiter == ';');
    }

    // A site's number: a whole number, or, where the look saw rows of site numbers, a number of whole value.
    bool siteNumber(std::string_view cell, long& site) const
    {
        if (isWholeNumber(cell))
        {
            site = std::stol(std::string(cell));
            return true;
        }
        return layout == TableLayout::NumberedPairs && readSiteNumber(cell, site);
    }

    // Rows that begin with two site numbers may be pairs with whole weights, which a matrix's rows seldom
    // are.
    std::string pairsHint() const
    {
        return pairLike ? " (rows of two site numbers and a weight are a pair list: LINKMAP_FORMAT=pairs)"
                        : "";
    }

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
        const bool headed = layout != TableLayout::Unweighted && layout != TableLayout::EdgeData;
        if (header.empty() && headed && number(cells.back(), value) == Cell::Text)
        {
            header.assign(cells.begin(), cells.end());
            headerLine = lineNumber;
            return;
        }
        // A line of site numbers in order, as R and pandas write the names of a matrix whose rows are
        // numbered, waits for the row under it to tell whether it is a header or the first row.
        if (header.empty() && layout == TableLayout::AsRowsTell && format != InputFormat::Pairs &&
            !numbersAreData && readSiteNumbers())
        {
            header.assign(cells.begin(), cells.end());
            headerLine = lineNumber;
            heldLine = currentLine;
            return;
        }
        if (!headerNumbers.empty() && !numberedHeader && !headsNumberedRows())
            return startAtHeldLine();
        started = true;
        if (layout == TableLayout::Unweighted)
        {
            format = InputFormat::Pairs;
            pair.width = 2;
            pair.weighted = false;
            if (!settings.weightColumn.empty())
                fail("LINKMAP_WEIGHT_COLUMN is " + settings.weightColumn + ", but " + shownName +
                     " has two columns of sites and no weights");
            columnNote = "Note: " + shownName + " gives no weights; every link weighs 1";
            return readPair();
        }
        if (format == InputFormat::Table || format == InputFormat::Pairs)
            if (findNamedColumns() || findWideColumns())
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

    // The line of site numbers held back was the first row: the table starts there.
    void startAtHeldLine()
    {
        const std::size_t current = lineNumber;
        header.clear();
        headerNumbers.clear();
        numbersAreData = true;
        split(heldLine);
        lineNumber = headerLine;
        start();
        split(currentLine);
        lineNumber = current;
        if (format == InputFormat::Matrix)
            readRow();
        else
            readPair();
    }

    // Whether the line is whole numbers that run upwards, after an empty corner or not: the names R and
    // pandas give a matrix whose sites are numbered. They are kept in headerNumbers.
    bool readSiteNumbers()
    {
        const std::size_t first = cells[0].empty() ? 1 : 0;
        if (cells.size() < first + 2)
            return false;
        std::vector<long> numbers;
        for (std::size_t column = first; column < cells.size(); ++column)
        {
            if (!isWholeNumber(cells[column]))
                return false;
            const long site = std::stol(std::string(cells[column]));
            if (!numbers.empty() && site <= numbers.back())
                return false;
            numbers.push_back(site);
        }
        headerNumbers = std::move(numbers);
        return true;
    }

    // Whether the line of site numbers held back heads the rows, as the first row under it tells: the row is
    // named by the first number; or, in rows without names, a correlation matrix's row with 1 on its
    // diagonal, where the numbers, read as a row, could not be correlations. The rows after it may still
    // show the numbers to be the first row (notHeaded).
    bool headsNumberedRows()
    {
        const std::size_t count = headerNumbers.size();
        double value = 0.0;
        const bool named = cells.size() == count + 1;
        const bool headed =
            named ? isWholeNumber(cells[0]) && std::stol(std::string(cells[0])) == headerNumbers[0]
                  : cells.size() == count && header.size() == count && headerNumbers.back() > 1 &&
                        number(cells[0], value) == Cell::Number && isUnit(value) && !looksLikePair();
        if (!headed)
            return false;
        numberedHeader = true;
        rowNames = named;
        return true;
    }

    // The rows under a line of site numbers, without names of their own, show it to be their first row: the
    // table is read again from the start with the numbers as data, or refused where it cannot be.
    [[noreturn]] void notHeaded() const
    {
        if (rereadable)
            throw NumbersAreData();
        fail("line " + std::to_string(headerLine) + " of " + shownName + " holds the whole numbers " +
             std::to_string(headerNumbers.front()) + " to " + std::to_string(headerNumbers.back()) +
             " in order, which may be its sites' numbers or its first row, and " + where() +
             " does not tell (LINKMAP_FORMAT=pairs reads a pair list; a matrix read from a file is told by "
             "its count of rows)");
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
        long site = 0;
        const bool numbers = siteNumber(cells[0], site) && siteNumber(cells[1], site);
        const bool names = number(cells[0], value) == Cell::Text && number(cells[1], value) == Cell::Text;
        return (names || (numbers && !isWholeNumber(cells[2]))) && number(cells[2], value) != Cell::Text;
    }

    // Site numbers in the first column and another, with their letters, scores and the like beside them, as
    // coevolution methods write them (plmc's i A_i j A_j 0 score, EVcouplings' i,A_i,j,A_j,fn,cn,...,
    // GREMLIN's i j raw apc). No matrix row has text beyond its first column, nor a header whose site columns
    // are words without numbers.
    bool findWideColumns()
    {
        long site = 0;
        if (cells.size() < 4 || quotedCells[0] || !siteNumber(cells[0], site))
            return false;
        std::size_t second = 1;
        while (second < cells.size() && !siteNumber(cells[second], site))
            ++second;
        if (second == cells.size())
            return false;
        double value = 0.0;
        bool text = false;
        for (std::size_t column = 1; column < cells.size(); ++column)
            text = text || number(cells[column], value) == Cell::Text;
        const bool wordHeader =
            header.size() == cells.size() && !hasDigit(header[0]) && !hasDigit(header[second]);
        if (!text && !wordHeader && layout != TableLayout::NumberedPairs && layout != TableLayout::Casp)
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
                   (isSiteColumn(column - 1) || number(cells[column - 1], value) != Cell::Number))
                --column;
            if (column == 0)
                fail(where() + " has site numbers but no column of numbers for the weights");
            pair.weight = column - 1;
        }
        columnNote = "Note: weights from column " + columnName(pair.weight) + " of " + shownName;
        // CASP's contacts are probabilities; the couplings of the coevolution methods are scores without
        // bounds, plmc's in the sixth of i A_i j A_j 0 score.
        if (layout == TableLayout::Casp)
        {
            meaning = WeightMeaning::Probability;
            quantity = "contact probability (CASP RR)";
        }
        else
        {
            meaning = WeightMeaning::Score;
            const bool plmc = pair.width == 6 && pair.weight == 5 && pair.letters[0] == 1 &&
                              pair.letters[1] == 3 && cells[4] == "0";
            quantity = plmc ? "EC score (plmc)" : "coupling score (column " + columnName(pair.weight) + ")";
        }
        return true;
    }

    // A header that names the columns of a list of pairs of site names, as Gephi's edge table
    // (Source,Target,Type,Id,Label,Weight) and R's long format of a matrix ("","Var1","Var2","Freq") are: the
    // sites in the first two columns after R's row labels, the weight in the column named weight, else the
    // last column of numbers.
    bool findNamedColumns()
    {
        const std::size_t firstSite = !header.empty() && header[0].empty() && quotedCells[0] ? 1 : 0;
        double value = 0.0;
        if (header.size() != cells.size() || cells.size() < firstSite + 3 ||
            (firstSite == 0 && cells.size() == 3))
            return false;
        // A site is a name, or a number under a header that calls the column an end of an edge, as igraph's
        // as_data_frame (from, to) and Gephi (Source, Target) do.
        const auto end = [](const std::string& name) {
            for (const char* word : {"from", "to", "source", "target"})
                if (strcasecmp(name.c_str(), word) == 0)
                    return true;
            return false;
        };
        for (const std::size_t column : {firstSite, firstSite + 1})
            if (number(cells[column], value) != Cell::Text &&
                (!isWholeNumber(cells[column]) || !end(header[column])))
                return false;
        pair.width = cells.size();
        pair.named = true;
        pair.sites[0] = firstSite;
        pair.sites[1] = firstSite + 1;
        if (!settings.weightColumn.empty())
        {
            pair.weight = chosenWeightColumn();
            return true;
        }
        const auto named = std::find_if(header.begin(), header.end(), [](const std::string& name) {
            return endsWithCaseless(name, "weight") && name.size() == 6;
        });
        std::size_t column = static_cast<std::size_t>(named - header.begin());
        if (named == header.end())
        {
            column = pair.width;
            while (column > 0 &&
                   (isSiteColumn(column - 1) || number(cells[column - 1], value) != Cell::Number))
                --column;
            if (column-- == 0)
                fail(where() +
                     " names its sites but has no column of numbers for the weights; its columns are " +
                     columnNames());
        }
        pair.weight = column;
        columnNote = "Note: weights from column " + columnName(pair.weight) + " of " + shownName;
        return true;
    }

    std::string columnNames() const
    {
        std::string names;
        for (std::size_t each = 0; each < pair.width; ++each)
            names += (each == 0 ? "" : ", ") + columnName(each);
        return names;
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
            fail("LINKMAP_WEIGHT_COLUMN is " + wanted + ", but " + shownName +
                 " has no such column; its columns are " + columnNames());
        if (isSiteColumn(column))
            fail("LINKMAP_WEIGHT_COLUMN is " + wanted + ", but column " + columnName(column) + " of " +
                 shownName + " gives the sites");
        columnNote = "Note: weights from column " + columnName(column) + " of " + shownName;
        return column;
    }

    void startMatrix()
    {
        if (numberedHeader)
        {
            header.clear();
            columns = headerNumbers.size();
            for (const long site : headerNumbers)
                addMatrixSite(namer.nameOf(site), headerLine);
            return;
        }
        double value = 0.0;
        // A quoted first cell is a name even when it is a number, as R writes row names.
        // So is the first of a row one cell longer than the header, as R's write.table writes them unquoted.
        rowNames =
            quotedCells[0] || number(cells[0], value) == Cell::Text || header.size() + 1 == cells.size();
        columns = cells.size() - (rowNames ? 1 : 0);
        pairLike = !rowNames && cells.size() >= 3 && isWholeNumber(cells[0]) && isWholeNumber(cells[1]);
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
                 countOf(columns, "column") + "; a matrix must be square" + pairsHint());
        if (numberedHeader)
            checkNumberedRow(row);
        else if (rowNames && header.empty())
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
            const Cell kind = number(cell, value);
            if (kind == Cell::Text)
                fail(where() + ": " + inQuotes(cell) + " in column " + std::to_string(first + column + 1) +
                     " is not a number");
            if (kind == Cell::Number)
                triangle.cell(row, column, value);
        }
    }

    // A row under a header of site numbers: named by the number of its column, or with 1 on the diagonal.
    void checkNumberedRow(std::size_t row) const
    {
        double value = 0.0;
        if (rowNames && (!isWholeNumber(cells[0]) || std::stol(std::string(cells[0])) != headerNumbers[row]))
            fail(where() + " names its row " + inQuotes(cells[0]) + " where line " +
                 std::to_string(headerLine) + " numbers that column " + std::to_string(headerNumbers[row]));
        if (!rowNames && (number(cells[row], value) != Cell::Number || !isUnit(value)))
            notHeaded();
    }

    // CASP's RR keyword lines, and before the contacts, the sequence that names the sites, on lines of
    // letters alone.
    bool readCaspLine(std::string_view line)
    {
        static const char* const keywords[] = {"PFRMAT", "TARGET", "AUTHOR", "METHOD",
                                               "REMARK", "MODEL",  "PARENT", "END"};
        const std::string_view word = line.substr(0, line.find_first_of(" \t"));
        for (const char* keyword : keywords)
            if (word == keyword)
                return true;
        if (started || line.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-. \t") !=
                           std::string_view::npos)
            return false;
        for (const char letter : line)
            if (std::isalpha(static_cast<unsigned char>(letter)))
                caspSequence += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        return true;
    }

    // networkx's edge list with data: the two sites, then a Python dict whose weight, or the key that
    // LINKMAP_WEIGHT_COLUMN names, is the link's weight; a link with an empty dict weighs 1.
    void splitEdgeData(const std::string& line)
    {
        const std::size_t open = line.find('{');
        splitCells(std::string_view(line).substr(0, open), ' ', cells, quotedCells);
        if (open == std::string::npos)
            return;
        const std::string_view data = std::string_view(line).substr(open);
        const std::string key = settings.weightColumn.empty() ? "weight" : settings.weightColumn;
        std::size_t at = std::string_view::npos;
        for (const char quote : {'\'', '"'})
            if (at == std::string_view::npos)
            {
                at = data.find(quote + key + quote + ":");
                if (at != std::string_view::npos)
                    at += key.size() + 3;
            }
        if (at == std::string_view::npos)
        {
            if (data.find_first_not_of("{} ") != std::string_view::npos)
                fail(where() + " gives its link the data " + inQuotes(data) + ", which has no " + key +
                     (settings.weightColumn.empty() ? " (LINKMAP_WEIGHT_COLUMN names the key to read)" : ""));
            edgeWeight = "1";
            columnNote = "Note: " + shownName + " gives no weights; every link weighs 1";
        }
        else
        {
            const std::size_t end = data.find_first_of(",}", at);
            const std::string_view value = data.substr(at, end == std::string_view::npos ? end : end - at);
            const std::size_t from = value.find_first_not_of(' ');
            edgeWeight = from == std::string_view::npos
                             ? std::string()
                             : std::string(value.substr(from, value.find_last_not_of(' ') + 1 - from));
        }
        cells.emplace_back(edgeWeight);
        quotedCells.push_back(false);
    }

    std::string nameOfNumber(long number_) const
    {
        if (!caspSequence.empty() && settings.sequenceFile.empty() && number_ >= 1 &&
            static_cast<std::size_t>(number_) <= caspSequence.size())
            return caspSequence[static_cast<std::size_t>(number_ - 1)] + std::to_string(number_);
        return namer.nameOf(number_);
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
        long number_ = 0;
        if (siteNumber(cell, number_))
            return network.addSite(nameOfNumber(number_)).first;
        double value = 0.0;
        if ((pair.width > 3 && !pair.named) || number(cell, value) != Cell::Text)
            fail(where() + ": " + inQuotes(cell) + " is not a site");
        return network.addSite(std::string(cell)).first;
    }

    void readPair()
    {
        double value = 1.0;
        if (!pair.weighted)
        {
            if (cells.size() != 2)
                fail(where() + " is not two sites, as the rows before it are");
        }
        else if (cells.size() != pair.width || number(cells[pair.weight], value) == Cell::Text)
            fail(where() + (pair.width == 3 && pair.weight == 2
                                ? std::string(" is not two sites and a number")
                                : " is not a row of " + countOf(pair.width, "column") +
                                      " with a number in column " + columnName(pair.weight)));
        const std::uint32_t first = pairSite(0);
        const std::uint32_t second = pairSite(1);
        const bool missing = pair.weighted && number(cells[pair.weight], value) == Cell::Missing;
        links.add(first, second, missing ? std::nan("") : value);
    }

    const std::string shownName;
    InputFormat format;
    const TableLayout layout;
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
    bool pairLike = false;
    bool numberedByR = false;
    std::size_t columns = 0;
    std::size_t rows = 0;
    MatrixTriangle triangle;
    LinkCollector links;

    // A first line of site numbers in order, held back until the rows under it tell whether it names them.
    bool numbersAreData; // it is the first row
    const bool rereadable;
    bool numberedHeader = false; // it is a header
    std::vector<long> headerNumbers;
    std::string heldLine;
    std::string currentLine;

    PairColumns pair;
    std::string caspSequence;
    std::string edgeWeight;
    std::string columnNote;
    WeightMeaning meaning = WeightMeaning::Correlation;
    std::string quantity;
};

} // namespace

ImportReport readTableFile(const std::string& path, InputFormat format, TableLayout layout,
                           const ReadSettings& settings, CorrelationNetwork& network, LoadProgress& progress)
{
    const double fileSize = plainFileSize(path);
    const auto read = [&](bool numbersAreData) {
        double bytesRead = 0.0;
        TableReader reader(path, format, layout, settings, network, numbersAreData, path != "-");
        const bool opened = readTextLines(path, [&](const std::string& line, std::size_t lineNumber) {
            bytesRead += static_cast<double>(line.size() + 1);
            progress.update("reading the table", fileSize > 0.0 ? bytesRead / fileSize : 0.0);
            reader.readLine(line, lineNumber);
        });
        if (!opened)
            throw InputError("Error: cannot open " + inputName(path));
        return reader.finish();
    };
    try
    {
        return read(false);
    }
    catch (const NumbersAreData&)
    {
        network = CorrelationNetwork();
        return read(true);
    }
}
