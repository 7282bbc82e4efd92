#include <network/LineReader.h>
#include <network/SiteNames.h>
#include <network/ValidText.h>

#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace
{

bool startsCaseless(std::string_view line, std::string_view start)
{
    if (line.size() < start.size())
        return false;
    for (std::size_t at = 0; at < start.size(); ++at)
        if (std::tolower(static_cast<unsigned char>(line[at])) != start[at])
            return false;
    return true;
}

bool isSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The line without the white space at either end.
std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && isSpace(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isSpace(line.back()))
        line.remove_suffix(1);
    return line;
}

// A letter of a sequence, as a FASTA file or a bare sequence writes one: letters, gaps and stops.
bool isSequenceLetter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '-' || c == '*';
}

// The first sequence of a FASTA file: the letters of the lines after its header, up to the next header.
std::string firstFastaSequence(const std::vector<std::string>& lines)
{
    std::string sequence;
    bool headerSeen = false;
    for (const std::string& line : lines)
    {
        if (!line.empty() && line[0] == '>')
        {
            if (headerSeen)
                break;
            headerSeen = true;
            continue;
        }
        for (const char letter : line)
            if (isSequenceLetter(letter))
                sequence.push_back(letter);
    }
    return sequence;
}

// Splits a row of an alignment's block into its sequence's name (quoted or not) and the rest.
std::pair<std::string, std::string_view> splitRow(std::string_view row)
{
    row = trimmed(row);
    if (!row.empty() && row.front() == '\'')
    {
        const std::size_t close = row.find('\'', 1);
        if (close == std::string_view::npos)
            return {std::string(row.substr(1)), std::string_view()};
        return {std::string(row.substr(1, close - 1)), row.substr(close + 1)};
    }
    std::size_t end = 0;
    while (end < row.size() && !isSpace(row[end]))
        ++end;
    return {std::string(row.substr(0, end)), row.substr(end)};
}

// Adds the characters of part of a row to sequence: each one not white space is a place of the alignment, a
// digit (Clustal's count at a row's end) excepted.
void addPlaces(std::string& sequence, std::string_view part)
{
    for (const char c : part)
        if (!isSpace(c) && !std::isdigit(static_cast<unsigned char>(c)))
            sequence.push_back(c);
}

// The first sequence of a NEXUS file's matrix: the rows that bear the first row's name, whether the matrix
// is interleaved or not, up to the semicolon that ends it; comments in brackets are left out.
std::string firstNexusSequence(const std::vector<std::string>& lines)
{
    std::string sequence;
    std::string first;
    bool inMatrix = false;
    bool inComment = false;
    for (const std::string& line : lines)
    {
        std::string text;
        for (const char c : line)
        {
            if (c == '[')
                inComment = true;
            else if (c == ']')
                inComment = false;
            else if (!inComment)
                text.push_back(c);
        }
        std::string_view row = trimmed(text);
        if (!inMatrix)
        {
            inMatrix = startsCaseless(row, "matrix") && (row.size() == 6 || isSpace(row[6]));
            if (!inMatrix)
                continue;
            row = trimmed(row.substr(6));
        }
        const std::size_t end = row.find(';');
        const std::string_view content = row.substr(0, end);
        if (!trimmed(content).empty())
        {
            const auto [name, rest] = splitRow(content);
            if (first.empty())
                first = name;
            if (name == first)
                addPlaces(sequence, rest);
        }
        if (end != std::string_view::npos)
            break;
    }
    return sequence;
}

// The first sequence of a Clustal alignment: the rows of its blocks that bear the first row's name. Lines
// that start with white space mark the conserved places, and are left out.
std::string firstClustalSequence(const std::vector<std::string>& lines)
{
    std::string sequence;
    std::string first;
    for (std::size_t at = 1; at < lines.size(); ++at)
    {
        const std::string& line = lines[at];
        if (line.empty() || isSpace(line[0]) || trimmed(line).empty())
            continue;
        const auto [name, rest] = splitRow(line);
        if (first.empty())
            first = name;
        if (name == first)
            addPlaces(sequence, rest);
    }
    return sequence;
}

// Whether every line is letters of a sequence and white space: a sequence without a header, as a "raw" file
// holds it.
bool isBareSequence(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        for (const char c : line)
            if (!isSequenceLetter(c) && !isSpace(c))
                return false;
    return true;
}

} // namespace

SiteNamer::SiteNamer(const ReadSettings& settings)
    : sequenceFile(settings.sequenceFile), firstNumber(settings.firstNumber)
{
    if (sequenceFile.empty())
        return;
    const std::string shown = inputName(sequenceFile);
    if (isDirectoryPath(sequenceFile))
        throw InputError("Error: LINKMAP_SEQUENCE names " + shown +
                         ", which is a directory, not a sequence file");
    std::vector<std::string> lines;
    const bool opened =
        readTextLines(sequenceFile, [&](const std::string& line, std::size_t) { lines.push_back(line); });
    if (!opened)
        throw InputError("Error: cannot open the sequence file " + shown + " (LINKMAP_SEQUENCE)");

    // The format is told by the first line that holds anything: a FASTA header, NEXUS's or Clustal's
    // first word, or a bare sequence, of which every line is letters.
    std::size_t start = 0;
    while (start < lines.size() && trimmed(lines[start]).empty())
        ++start;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(start));
    const std::string_view head = lines.empty() ? std::string_view() : trimmed(lines.front());
    if (!head.empty() && head.front() == '>')
        sequence = firstFastaSequence(lines);
    else if (startsCaseless(head, "#nexus"))
        sequence = firstNexusSequence(lines);
    else if (startsCaseless(head, "clustal") || startsCaseless(head, "muscle"))
        sequence = firstClustalSequence(lines);
    else if (isBareSequence(lines))
        sequence = firstFastaSequence(lines);
    else
        throw InputError("Error: the sequence file " + shown +
                         " is no FASTA, NEXUS or Clustal alignment; its first line is \"" +
                         validText(head.substr(0, 40)) + (head.size() > 40 ? "..." : "") +
                         "\" (LINKMAP_SEQUENCE)");
    if (sequence.empty())
        throw InputError("Error: the sequence file " + shown + " holds no sequence (LINKMAP_SEQUENCE)");
}

std::string SiteNamer::nameOf(long number) const
{
    if (sequence.empty())
        return "X" + std::to_string(number);
    used = true;
    const long place = number - firstNumber;
    if (place < 0 || place >= static_cast<long>(sequence.size()))
        throw InputError("Error: site " + std::to_string(number) + " has no letter in the sequence of " +
                         sequenceFile + ", which numbers " + std::to_string(sequence.size()) +
                         " letters from " + std::to_string(firstNumber) +
                         " (LINKMAP_SEQUENCE, LINKMAP_FIRST_NUMBER)");
    return sequence[static_cast<std::size_t>(place)] + std::to_string(number);
}
