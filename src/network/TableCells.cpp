#include <network/TableCells.h>

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <strings.h>

Cell readCell(std::string_view cell, double& value, bool decimalComma)
{
    // Numbers first: they are nearly every cell.
    if (!cell.empty())
    {
        const char* begin = cell.data() + (cell[0] == '+' ? 1 : 0);
        const char* end = cell.data() + cell.size();
        for (const char point : {'.', ','})
        {
            if (point == ',' && !decimalComma)
                break;
            const auto result = fast_float::from_chars_advanced(
                begin, end, value, fast_float::parse_options(fast_float::chars_format::general, point));
            if (result.ec == std::errc() && result.ptr == end && std::isfinite(value))
                return Cell::Number;
        }
    }
    const auto is = [cell](const char* word) {
        return cell.size() == std::strlen(word) && strncasecmp(cell.data(), word, cell.size()) == 0;
    };
    return cell.empty() || is("na") || is("nan") || is("n/a") ? Cell::Missing : Cell::Text;
}

bool isWholeNumber(std::string_view cell)
{
    const std::size_t start = !cell.empty() && cell[0] == '-' ? 1 : 0;
    return cell.size() > start && cell.size() - start < 10 &&
           std::all_of(cell.begin() + static_cast<std::ptrdiff_t>(start), cell.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

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

bool readSiteNumber(std::string_view cell, long& number)
{
    double value = 0.0;
    if (isWholeNumber(cell))
        value = static_cast<double>(std::stol(std::string(cell)));
    else if (readCell(cell, value) != Cell::Number || value != std::floor(value) || std::fabs(value) >= 1e9)
        return false;
    number = static_cast<long>(value);
    return true;
}

char delimiterOf(std::string_view line)
{
    if (line.find(';') != std::string_view::npos)
    {
        bool decimalCommas = true;
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        for (std::size_t at = line.find(','); at != std::string_view::npos && decimalCommas;
             at = line.find(',', at + 1))
            decimalCommas = at > 0 && at + 1 < line.size() && digit(line[at - 1]) && digit(line[at + 1]);
        if (decimalCommas)
            return ';';
    }
    if (line.find(',') != std::string_view::npos)
        return ',';
    return line.find('\t') != std::string_view::npos ? '\t' : ' ';
}
