#include <network/ContentFormat.h>
#include <network/HyphyResult.h>
#include <network/LineReader.h>
#include <network/TableCells.h>
#include <network/TextFields.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
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
std::vector<CellKind> cellKinds(std::string_view line, char delimiter, std::vector<std::string_view>& cells)
{
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
        else if (readCell(cell, value, delimiter == ';') != Cell::Text)
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

// A line's cells as the table reader splits them, with their kinds.
struct Cells
{
    char delimiter = ' ';
    std::vector<std::string_view> text;
    std::vector<CellKind> kinds;
};

Cells cellsOf(std::string_view line)
{
    Cells cells;
    cells.delimiter = delimiterOf(line);
    cells.kinds = cellKinds(line, cells.delimiter, cells.text);
    return cells;
}

// Whether every line gives two site numbers first, the first smaller, as a pair list of numbers does.
bool numberedPairs(const std::vector<Cells>& lines, std::size_t width)
{
    bool floats = false;
    bool fractional = false;
    for (const Cells& line : lines)
    {
        long first = 0, second = 0;
        if (line.text.size() != width || !readSiteNumber(line.text[0], first) ||
            !readSiteNumber(line.text[1], second) || first < 0 || first >= second)
            return false;
        floats = floats || !isWholeNumber(line.text[0]) || !isWholeNumber(line.text[1]);
        long weight = 0;
        fractional = fractional || !readSiteNumber(line.text[2], weight);
    }
    // Three whole numbers a row may be a matrix's; a pair list of whole numbers is told by its rows.
    return width >= 4 || (floats && fractional);
}

// What the lines of a text say it holds; empty for none of the tables below.
std::string tableKind(const std::vector<Cells>& cellLines, TableLayout& layout)
{
    if (cellLines.empty())
        return std::string();
    std::vector<std::vector<CellKind>> lines;
    for (const Cells& line : cellLines)
        lines.push_back(line.kinds);
    const std::vector<CellKind>& first = lines.front();
    const std::size_t width = lines.back().size();
    const auto rest = [&](auto&& fits) {
        return std::all_of(lines.begin() + 1, lines.end(), [&](const auto& line) { return fits(line); });
    };
    const bool header = noNumbers(first) && lines.size() > 1;
    const std::vector<Cells> rows(cellLines.begin() + (header ? 1 : 0), cellLines.end());
    // Lines of numbers only, under a header of names or none: a matrix, or a pair list of site numbers.
    if (width >= 2 && (header || (allNumbers(first) && first.size() == width)) &&
        rest([&](const auto& line) { return line.size() == width && allNumbers(line); }) && lines.size() > 1)
    {
        if (width >= 3 && numberedPairs(rows, width))
            layout = TableLayout::NumberedPairs;
        // Two whole numbers a line, none below 0 and never twice the same, on more lines than a matrix of two
        // sites has: igraph's edge list.
        const auto edge = [](const Cells& line) {
            return line.kinds[0] == CellKind::Whole && line.kinds[1] == CellKind::Whole &&
                   line.text[0][0] != '-' && line.text[1][0] != '-' && line.text[0] != line.text[1];
        };
        if (width == 2 && !header && lines.size() > 2 &&
            std::all_of(cellLines.begin(), cellLines.end(), edge))
        {
            layout = TableLayout::Unweighted;
            return "holds two site numbers a line and no weights";
        }
        return "holds only numbers";
    }
    // R's write.table unquoted: a header of names, then rows of a name and numbers, one cell longer.
    if (header && rest([&](const auto& line) {
            return line.size() == first.size() + 1 && line.front() == CellKind::Text && allNumbers(line, 1);
        }))
        return "holds a table of numbers with named rows";
    // R's write.table unquoted, of a matrix whose sites are numbered: a header of numbers, then rows one cell
    // longer.
    if (lines.size() > 1 && allNumbers(first) && rest([&](const auto& line) {
            return line.size() == first.size() + 1 && line.front() == CellKind::Whole && allNumbers(line, 1);
        }))
        return "holds a table of numbers with numbered rows";
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
    // Cells between commas, semicolons or tabs, as many on every line, with numbers under the first: a
    // table whose header tells its layout, as Gephi's edge table and R's long format of a matrix.
    const char delimiter = cellLines.front().delimiter;
    const auto numbered = [](const Cells& line) {
        for (std::size_t at = 0; at < line.text.size(); ++at)
            if (!line.text[at].empty() &&
                (line.kinds[at] == CellKind::Whole || line.kinds[at] == CellKind::Number))
                return true;
        return false;
    };
    if (delimiter != ' ' && first.size() >= 3 && lines.size() > 1 &&
        std::all_of(
            cellLines.begin(), cellLines.end(),
            [&](const Cells& line) {
        return line.delimiter == delimiter && line.text.size() == first.size();
            }) &&
        std::any_of(cellLines.begin() + 1, cellLines.end(), numbered))
        return std::string("holds a table of cells between ") + (delimiter == ','   ? "commas"
                                                                 : delimiter == ';' ? "semicolons"
                                                                                    : "tabs");
    // Two site names a line and no weight: a list of links. A name has a letter, and no blank.
    const auto name = [](std::string_view cell) {
        return cell.find_first_of(" \t") == std::string_view::npos &&
               std::any_of(cell.begin(), cell.end(),
                           [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
    };
    if (std::all_of(cellLines.begin(), cellLines.end(), [&](const Cells& line) {
            return line.text.size() == 2 && noNumbers(line.kinds) && name(line.text[0]) && name(line.text[1]);
        }))
    {
        layout = TableLayout::Unweighted;
        return "holds two sites a line and no weights";
    }
    return std::string();
}

// The start of a file as text: its first bytes, refused when they are binary data.
struct FileStart
{
    std::string text;
    bool whole = false;
    bool compressed = false;
};

FileStart startOf(const std::string& path)
{
    FileStart start;
    start.text = firstBytes(path, start.whole);
    start.compressed = isCompressedFile(path);
    return start;
}

std::string_view withoutMark(std::string_view text)
{
    return startsWith(text, "\xef\xbb\xbf") ? text.substr(3) : text;
}

bool isXml(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos &&
           (startsWith(text.substr(start), "<?xml") || startsWith(text.substr(start), "<graphml"));
}

// The whole lines of the text that are not blank, the last one only when the file ends within them.
std::vector<std::string_view> wholeLines(std::string_view rest, bool whole)
{
    std::vector<std::string_view> lines;
    while (!rest.empty() && lines.size() < linesLookedAt)
    {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos && !whole)
            break;
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            lines.push_back(line);
    }
    return lines;
}

bool isComment(std::string_view line)
{
    return line[line.find_first_not_of(" \t")] == '#';
}

std::string_view firstWord(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::string_view();
    line.remove_prefix(start);
    return line.substr(0, line.find_first_of(" \t[{"));
}

bool caselessEqual(std::string_view text, std::string_view word)
{
    return text.size() == word.size() && std::equal(text.begin(), text.end(), word.begin(),
                                                    [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::size_t countWords(std::string_view line)
{
    std::size_t words = 0;
    forEachToken(line, " \t", [&](std::string_view) { ++words; });
    return words;
}

// The graph formats that their first lines tell: GML, Pajek, LGL, CASP's RR contacts and networkx's
// adjacency list; a Graphviz DOT graph is refused.
std::optional<ContentFormat> graphFormatOf(const std::string& path,
                                           const std::vector<std::string_view>& lines)
{
    std::size_t at = 0;
    // Comments of DOT and of GML.
    while (at < lines.size() &&
           (startsWith(firstWord(lines[at]), "/*") || startsWith(firstWord(lines[at]), "//")))
        ++at;
    if (at == lines.size())
        return std::nullopt;
    const std::string_view word = firstWord(lines[at]);
    const std::string_view next = at + 1 < lines.size() ? lines[at + 1] : std::string_view();
    if ((word == "graph" || word == "digraph" || word == "strict") &&
        (lines[at].find('{') != std::string_view::npos || firstWord(next) == "{"))
        throw InputError(
            "Error: " + inputName(path) +
            " looks like a Graphviz DOT graph, not a network that linkmap reads; write GraphML, or "
            "a pair list");
    // GML: networkx opens with graph [, igraph with Creator and Version lines, then graph and [ alone.
    for (std::size_t line = at; line < lines.size() && line < at + 4; ++line)
        if (firstWord(lines[line]) == "graph" &&
            (lines[line].find('[') != std::string_view::npos ||
             (line + 1 < lines.size() && firstWord(lines[line + 1]).empty() &&
              lines[line + 1].find('[') != std::string_view::npos)) &&
            (line == at || word == "Creator" || word == "Version" || word == "comment"))
            return ContentFormat{InputFormat::Gml, "holds a GML graph", TableLayout::AsRowsTell};
    if (caselessEqual(word, "*vertices") || caselessEqual(word, "*network") ||
        caselessEqual(word, "*edges") || caselessEqual(word, "*arcs"))
        return ContentFormat{InputFormat::Pajek, "holds a Pajek network", TableLayout::AsRowsTell};
    if (word == "PFRMAT")
        return ContentFormat{InputFormat::Pairs, "holds CASP RR contacts", TableLayout::Casp};
    // LGL: "# site" lines, each followed by its neighbours, a name and maybe a weight a line; one such line
    // alone may be the header of a list of pairs.
    const auto lglSite = [](std::string_view line) {
        return startsWith(line, "# ") && countWords(line) == 2;
    };
    if (lglSite(lines[at]) && std::count_if(lines.begin(), lines.end(), lglSite) >= 2 &&
        std::all_of(lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end(), [&](std::string_view line) {
            return lglSite(line) || (!isComment(line) && countWords(line) <= 2);
        }))
        return ContentFormat{InputFormat::Lgl, "holds an LGL graph", TableLayout::AsRowsTell};
    // networkx's write_adjlist heads its lines with the program that wrote them and the time, in GMT.
    for (std::size_t line = 0; line < lines.size() && isComment(lines[line]); ++line)
        if (startsWith(lines[line], "# GMT "))
            return ContentFormat{InputFormat::Adjlist, "holds networkx's adjacency list",
                                 TableLayout::AsRowsTell};
    return std::nullopt;
}

// A group line, as the group reader splits it: site names, then one weight for each pair of them.
struct GroupLine
{
    std::size_t names = 0;
    std::size_t weights = 0;

    explicit GroupLine(std::string_view line)
    {
        forEachToken(line, " ", [this](std::string_view token) {
            ++(token.find('.') != std::string_view::npos ? weights : names);
        });
    }

    bool complete() const
    {
        return names >= 1 && weights == names * (names - 1) / 2;
    }
};

// A line of a region list: two site numbers and a dash between them.
bool isRangeLine(std::string_view line)
{
    const std::size_t dash = line.find('-');
    const auto number = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(" \t");
        const std::size_t last = text.find_last_not_of(" \t");
        return first != std::string_view::npos && isWholeNumber(text.substr(first, last - first + 1)) &&
               text[first] != '-';
    };
    return dash != std::string_view::npos && number(line.substr(0, dash)) && number(line.substr(dash + 1));
}

std::string quoted(std::string_view line)
{
    return "\"" + std::string(line.substr(0, 60)) + (line.size() > 60 ? "...\"" : "\"");
}

// The refusal of text that is no format linkmap reads, saying what it looks like.
[[noreturn]] void refuseText(const std::string& path, const std::vector<std::string_view>& lines)
{
    const std::string name = inputName(path);
    // The texts of the field that are no network, by their first word.
    const struct
    {
        const char* first;
        const char* kind;
    } kinds[] = {{"HEADER", "a PDB structure; LINKMAP_STRUCTURE takes it"},
                 {"ATOM", "a PDB structure; LINKMAP_STRUCTURE takes it"},
                 {"CRYST1", "a PDB structure; LINKMAP_STRUCTURE takes it"},
                 {"data_", "an mmCIF structure; LINKMAP_STRUCTURE takes it"},
                 {">", "FASTA sequences; LINKMAP_SEQUENCE takes them"},
                 {"#NEXUS", "a NEXUS file, an alignment or trees"},
                 {"CLUSTAL", "a Clustal alignment"}};
    for (const auto& kind : kinds)
        if (startsWith(lines.front(), kind.first))
            throw InputError("Error: " + name + " looks like " + kind.kind +
                             ", not a network that linkmap reads");
    if (std::all_of(lines.begin(), lines.end(), isRangeLine))
        throw InputError(
            "Error: " + name +
            " looks like a region list, ranges of site numbers, not a network; give it to -p, -n or -a");
    // The first line that is not a group line, and whether the lines have weights at all.
    std::size_t bad = 0;
    while (bad < lines.size() && GroupLine(lines[bad]).complete())
        ++bad;
    const bool weighted = std::any_of(lines.begin(), lines.end(),
                                      [](std::string_view line) { return GroupLine(line).weights > 0; });
    const std::string where = "line " + std::to_string(bad + 1) + ", " + quoted(lines[bad]);
    if (!weighted)
        throw InputError(
            "Error: " + name +
            " looks like lines of site names without weights, as Cytoscape's SIF or an adjacency "
            "list writes them, and which it is the lines do not tell; name it .sif or .adjlist, or "
            "set LINKMAP_FORMAT to sif or adjlist");
    const GroupLine group(lines[bad]);
    throw InputError("Error: " + name + " is not a network that linkmap reads: " + where +
                     ", is no group line (" + std::to_string(group.names) + " site name" +
                     (group.names == 1 ? "" : "s") + " and " + std::to_string(group.weights) + " weight" +
                     (group.weights == 1 ? "" : "s") +
                     ", where a group line has one weight for each pair of sites) and no row of a table; "
                     "LINKMAP_FORMAT chooses the format");
}

} // namespace

ContentFormat formatOfContent(const std::string& path)
{
    ContentFormat content;
    if (path == "-")
        return content;
    const FileStart start = startOf(path);
    if (startsWith(start.text, "\x93NUMPY"))
        return {InputFormat::Npy, start.compressed ? "holds a compressed numpy array" : "holds a numpy array",
                TableLayout::AsRowsTell};
    if (isBinary(start.text))
        throw InputError("Error: " + inputName(path) + " holds " + binaryKind(start.text, start.compressed) +
                         ", not a network that linkmap reads");
    const std::string_view text = withoutMark(start.text);
    if (isXml(text))
        return {InputFormat::Graphml, "holds XML", TableLayout::AsRowsTell};
    if (looksLikeJson(text))
        return {InputFormat::Json, "holds JSON", TableLayout::AsRowsTell};

    const std::vector<std::string_view> lines = wholeLines(text, start.whole);
    if (lines.empty())
        return content;
    if (const std::optional<ContentFormat> graph = graphFormatOf(path, lines))
        return *graph;

    // Tables, their comment lines passed over.
    std::vector<Cells> cells;
    for (const std::string_view line : lines)
        if (!isComment(line))
            cells.push_back(cellsOf(line));
    content.holds = tableKind(cells, content.layout);
    if (!content.holds.empty())
    {
        content.format = content.layout == TableLayout::AsRowsTell ? InputFormat::Table : InputFormat::Pairs;
        return content;
    }
    // networkx's edge list with data: two sites, then a dict.
    if (std::all_of(lines.begin(), lines.end(), [](std::string_view line) {
            const std::size_t open = line.find('{');
            return open != std::string_view::npos && countWords(line.substr(0, open)) == 2 &&
                   line.find_last_not_of(" \t") == line.find('}');
        }))
        return {InputFormat::Pairs, "holds networkx's edge list with data", TableLayout::EdgeData};

    // A group file: nearly every line a group line, as a few bad lines among many good ones are warned of.
    std::size_t good = 0;
    for (const std::string_view line : lines)
        good += GroupLine(line).complete() ? 1 : 0;
    if (good > 0 && 2 * (lines.size() - good) < good && !std::all_of(lines.begin(), lines.end(), isRangeLine))
        return content;
    refuseText(path, lines);
}

bool isJsonRegionList(const std::string& path)
{
    const FileStart start = startOf(path);
    const std::string name = inputName(path);
    const auto refuse = [&](const std::string& holds) {
        throw InputError("Error: " + name + " " + holds +
                         ", not a region list of site ranges such as 120-145");
    };
    if (startsWith(start.text, "\x93NUMPY"))
        refuse("holds a numpy array");
    if (isBinary(start.text))
        refuse("holds " + binaryKind(start.text, start.compressed));
    const std::string_view text = withoutMark(start.text);
    if (isXml(text))
        refuse("holds XML");
    if (looksLikeJson(text))
        return true;
    const std::vector<std::string_view> lines = wholeLines(text, start.whole);
    std::vector<Cells> cells;
    for (const std::string_view line : lines)
        if (!isComment(line))
            cells.push_back(cellsOf(line));
    TableLayout layout = TableLayout::AsRowsTell;
    const std::string holds = tableKind(cells, layout);
    if (!holds.empty() && !cells.empty() && cells.back().text.size() >= 3)
        refuse("looks like a table: it " + holds);
    // Ranges are numbers and dashes; a first line may name them, as start-end does.
    for (std::size_t at = 1; at < lines.size(); ++at)
        if (lines[at].find_first_not_of("0123456789-+ \t\r") != std::string_view::npos)
            refuse("is text whose line " + std::to_string(at + 1) + ", " + quoted(lines[at]) +
                   ", is no range");
    return false;
}

std::string contentNote(const std::string& path, const ContentFormat& content, InputFormat taken)
{
    const char* reading = taken == InputFormat::Graphml  ? "GraphML"
                          : taken == InputFormat::Pairs  ? "a pair list"
                          : taken == InputFormat::Matrix ? "a matrix"
                          : taken == InputFormat::Json   ? "JSON"
                                                         : "a graph";
    return "Note: " + inputName(path) + " " + content.holds + "; read as " + reading +
           " (LINKMAP_FORMAT chooses otherwise)";
}
