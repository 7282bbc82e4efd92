#ifndef LINKMAP_NETWORK_TABLECELLS
#define LINKMAP_NETWORK_TABLECELLS 1

#include <string_view>
#include <vector>

/** What a cell of a table holds. */
enum class Cell
{
    Number,
    Missing, ///< empty, NA or NaN: no value, and no link
    Text
};

/** What cell holds, and its value when it is a finite number; with decimalComma, 0,5 is a half as well as
 * 0.5, as European tables write it. */
Cell readCell(std::string_view cell, double& value, bool decimalComma = false);

/** Whether cell is a site written as a whole number, such as the 45 of a pair list. */
bool isWholeNumber(std::string_view cell);

/** Whether cell gives a site by its number: a whole number, or a number of whole value, as numpy's savetxt
 *  writes 1.000000000000000000e+00; number is then the site's number. */
bool readSiteNumber(std::string_view cell, long& number);

/** The delimiter of a table whose first line is line: a semicolon where it has one and every comma stands
 *  between digits, as in the decimal commas of a European table; else a comma where it has one, else a tab,
 *  else a space. */
char delimiterOf(std::string_view line);

/** Splits line into cells at every delimiter, or at runs of spaces and tabs when the delimiter is a space,
 *  trimming the blanks round each cell and the quotes round a quoted one, which quoted marks. */
void splitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells,
                std::vector<bool>& quoted);

#endif
