#include <network/ContentFormat.h>
#include <network/LineReader.h>
#include <network/TableCells.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

namespace
{

const std::size_t lookedAt = 64 * 1024;
const std::size_t longestLook = 16 << 20;
const std::size_t linesLookedAt = 50;

// The start of the file's content, as its readers will see it: 64 KiB, and more up to 16 MiB where that does
// not hold three whole lines, as the rows of a large matrix written with many digits may not.
std::string firstBytes(const std::string& path, bool& whole)
{
    std::string text;
    OpenedInput input(path);
    std::FILE* file = input.get();
    if (file == nullptr)
        return text;
    std::size_t lines = 0;
    whole = false;
    while (!whole && (text.size() < lookedAt || (lines < 3 && text.size() < longestLook)))
    {
        const std::size_t start = text.size();
        text.resize(start + lookedAt);
        const std::size_t count = std::fread(text.data() + start, 1, lookedAt, file);
        text.resize(start + count);
        whole = count < lookedAt;
        lines += static_cast<std::size_t>(
            std::count(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), '\n'));
    }
    return text;
}

bool startsWith(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

// What binary data looks like, by the magic numbers of the kinds a user may hand over by mistake.
std::string binaryKind(std::string_view text, bool compressed)
{
    const struct
    {
        const char* magic;
        const char* kind;
    } kinds[] = {{"X\n", "R's saved data, as saveRDS writes it"},
                 {"RDX", "R's saved workspace, as save writes it"},
                 {"PK\x03\x04", "a zip archive, such as a spreadsheet"},
                 {"\x89HDF", "HDF5 data"},
                 {"%PDF", "a PDF document"},
                 {"\x89PNG", "a PNG image"},
                 {"\x1f\x8b", "a gzip stream inside a gzip stream"}};
    for (const auto& each : kinds)
        if (startsWith(text, each.magic))
            return std::string(each.kind) + (compressed ? ", compressed" : "");
    return compressed ? "compressed binary data" : "binary data";
}

// Whether text is binary: it holds a NUL, or one byte in ten is a control character or no part of UTF-8.
bool isBinary(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return true;
    std::size_t odd = 0;
    for (std::size_t at = 0; at < text.size(); ++at)
    {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80)
        {
            odd += (byte < 0x20 && (byte < 0x09 || byte > 0x0d)) || byte == 0x7f
                       ? 1
                       : 0; // all but \t \n \v \f \r
            continue;
        }
        // A lead byte and its continuation bytes are one character; a stray byte is no text.
        const std::size_t length = byte >= 0xf0 && byte < 0xf8 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc2 ? 2 : 0;
        std::size_t following = 1;
        while (length != 0 && following < length && at + following < text.size() &&
               (static_cast<unsigned char>(text[at + following]) & 0xc0) == 0x80)
            ++following;
        if (length == 0 || (following < length && at + following < text.size()))
        {
            ++odd;
            continue;
        }
        at += following - 1;
    }
    return odd * 10 >= text.size() && odd > 0;
}

enum class CellKind
{
    Whole,
    Number,
    Quoted,
    Text,
    Mark // no letter and no digit, as in "10 - 20"
};

// The kinds of a line's cells, split and read as the table reader splits and reads them; a delimiter that
// ends the line ends it.
std::vector<CellKind> cellKinds(std::string_view line)
{
    const char delimiter = delimiterOf(line);
    std::vector<std::string_view> cells;
    std::vector<bool> quoted;
    splitCells(line, delimiter, cells, quoted);
    if (delimiter != ' ' && cells.size() > 1 && cells.back().empty() && !quoted.back())
        cells.pop_back();
    std::vector<CellKind> kinds;
    for (std::size_t at = 0; at < cells.size(); ++at)
    {
        const std::string_view cell = cells[at];
        double value = 0.0;
        if (quoted[at])
            kinds.push_back(CellKind::Quoted);
        else if (isWholeNumber(cell))
            kinds.push_back(CellKind::Whole);
        else if (readCell(cell, value) != Cell::Text)
            kinds.push_back(CellKind::Number);
        else if (std::none_of(cell.begin(), cell.end(),
                              [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            kinds.push_back(CellKind::Mark);
        else
            kinds.push_back(CellKind::Text);
    }
    return kinds;
}

bool allNumbers(const std::vector<CellKind>& kinds, std::size_t from = 0)
{
    return std::all_of(kinds.begin() + static_cast<std::ptrdiff_t>(std::min(from, kinds.size())), kinds.end(),
                       [](CellKind kind) { return kind == CellKind::Whole || kind == CellKind::Number; });
}

bool noNumbers(const std::vector<CellKind>& kinds)
{
    return std::none_of(kinds.begin(), kinds.end(),
                        [](CellKind kind) { return kind == CellKind::Whole || kind == CellKind::Number; });
}

// What the lines of a text say it holds; empty for a group file.
std::string tableKind(const std::vector<std::vector<CellKind>>& lines)
{
    if (lines.empty())
        return std::string();
    const std::vector<CellKind>& first = lines.front();
    const std::size_t width = lines.back().size();
    const auto rest = [&](auto&& fits) {
        return std::all_of(lines.begin() + 1, lines.end(), [&](const auto& line) { return fits(line); });
    };
    const bool header = noNumbers(first) && lines.size() > 1;
    // Lines of numbers only, under a header of names or none: a matrix, or a pair list of site numbers.
    if (width >= 2 && (header || (allNumbers(first) && first.size() == width)) &&
        rest([&](const auto& line) { return line.size() == width && allNumbers(line); }) && lines.size() > 1)
        return "holds only numbers";
    // R's write.table: quoted column names, then rows of a quoted name and numbers.
    if (header && first.front() == CellKind::Quoted && rest([&](const auto& line) {
            return line.size() >= first.size() && line.size() <= first.size() + 1 &&
                   line.front() == CellKind::Quoted && allNumbers(line, 1);
        }))
        return "holds a table of numbers with quoted names";
    // Site numbers and their letters, scores and the like, as coevolution methods write them: two site
    // numbers a row, and no cell of marks alone.
    const auto pairRow = [&](const std::vector<CellKind>& line) {
        return line.size() == width && line[0] == CellKind::Whole &&
               std::count(line.begin(), line.end(), CellKind::Whole) >= 2 &&
               std::count(line.begin(), line.end(), CellKind::Mark) == 0;
    };
    if (width >= 3 && (header ? first.size() == width : pairRow(first)) && rest(pairRow))
        return "holds rows that begin with site numbers";
    return std::string();
}

} // namespace

ContentFormat formatOfContent(const std::string& path)
{
    ContentFormat content;
    if (path == "-")
        return content;
    bool whole = false;
    const std::string text = firstBytes(path, whole);
    const bool compressed = isCompressedFile(path);
    if (startsWith(text, "\x93NUMPY"))
        return {InputFormat::Npy, compressed ? "holds a compressed numpy array" : "holds a numpy array"};
    if (isBinary(text))
        throw InputError("Error: " + inputName(path) + " holds " + binaryKind(text, compressed) +
                         ", not a network that linkmap reads");
    std::string_view rest(text);
    if (startsWith(rest, "\xef\xbb\xbf"))
        rest.remove_prefix(3);
    const std::size_t start = rest.find_first_not_of(" \t\r\n");
    if (start != std::string_view::npos &&
        (startsWith(rest.substr(start), "<?xml") || startsWith(rest.substr(start), "<graphml")))
        return {InputFormat::Graphml, "holds XML"};

    // The whole lines looked at: the last one only when the file ends within them.
    std::vector<std::vector<CellKind>> lines;
    while (!rest.empty() && lines.size() < linesLookedAt)
    {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos && !whole)
            break;
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        lines.push_back(cellKinds(line));
    }
    content.holds = tableKind(lines);
    if (!content.holds.empty())
        content.format = InputFormat::Table;
    return content;
}

std::string contentNote(const std::string& path, const ContentFormat& content, InputFormat taken)
{
    const char* reading = taken == InputFormat::Graphml ? "GraphML"
                          : taken == InputFormat::Pairs ? "a pair list"
                                                        : "a matrix";
    return "Note: " + inputName(path) + " " + content.holds + "; read as " + reading +
           " (LINKMAP_FORMAT chooses otherwise)";
}
