#include <network/LineReader.h>
#include <network/SiteNames.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace
{

using Sequences = std::vector<std::pair<std::string, std::string>>;

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

// The sequences of a FASTA file, each the letters of the lines after its header, up to the next header; a
// bare sequence is one without a name.
Sequences fastaSequences(const std::vector<std::string>& lines)
{
    Sequences sequences;
    for (const std::string& line : lines)
    {
        if (!line.empty() && line[0] == '>')
        {
            const std::string_view header = trimmed(std::string_view(line).substr(1));
            sequences.push_back({std::string(header.substr(0, header.find_first_of(" \t"))), std::string()});
            continue;
        }
        if (sequences.empty())
            sequences.push_back({std::string(), std::string()});
        for (const char letter : line)
            if (isSequenceLetter(letter))
                sequences.back().second.push_back(letter);
    }
    return sequences;
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

// Adds part of a row to the sequence of name, the next in order when it is new.
void addRow(Sequences& sequences, const std::string& name, std::string_view part)
{
    auto found =
        std::find_if(sequences.begin(), sequences.end(),
                     [&](const std::pair<std::string, std::string>& each) { return each.first == name; });
    if (found == sequences.end())
    {
        sequences.push_back({name, std::string()});
        found = sequences.end() - 1;
    }
    addPlaces(found->second, part);
}

// The sequences of a NEXUS file's matrix, by their rows' names, whether the matrix is interleaved or not, up
// to the semicolon that ends it; comments in brackets are left out.
Sequences nexusSequences(const std::vector<std::string>& lines)
{
    Sequences sequences;
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
            addRow(sequences, name, rest);
        }
        if (end != std::string_view::npos)
            break;
    }
    return sequences;
}

// The sequences of a Clustal alignment, by the names of its blocks' rows. Lines that start with white space
// mark the conserved places, and are left out.
Sequences clustalSequences(const std::vector<std::string>& lines)
{
    Sequences sequences;
    for (std::size_t at = 1; at < lines.size(); ++at)
    {
        const std::string& line = lines[at];
        if (line.empty() || isSpace(line[0]) || trimmed(line).empty())
            continue;
        const auto [name, rest] = splitRow(line);
        addRow(sequences, name, rest);
    }
    return sequences;
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

namespace
{

// The sequences of the file settings name, in their order: a FASTA file, a NEXUS or Clustal alignment, or a
// bare sequence. Throws InputError when it cannot be read, is a directory or none of these, or holds no
// sequence.
Sequences readSequences(const std::string& sequenceFile)
{
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
    Sequences sequences;
    if (!head.empty() && head.front() == '>')
        sequences = fastaSequences(lines);
    else if (startsCaseless(head, "#nexus"))
        sequences = nexusSequences(lines);
    else if (startsCaseless(head, "clustal") || startsCaseless(head, "muscle"))
        sequences = clustalSequences(lines);
    else if (isBareSequence(lines))
        sequences = fastaSequences(lines);
    else
        throw InputError("Error: the sequence file " + shown +
                         " is no FASTA, NEXUS or Clustal alignment; its first line is \"" +
                         validText(head.substr(0, 40)) + (head.size() > 40 ? "..." : "") +
                         "\" (LINKMAP_SEQUENCE)");
    if (sequences.empty() || sequences.front().second.empty())
        throw InputError("Error: the sequence file " + shown + " holds no sequence (LINKMAP_SEQUENCE)");
    return sequences;
}

// Whether every letter of the aligned sequences is a nucleotide, by IUPAC's codes, or a gap, and each is
// whole codons.
bool isCodonAlignment(const Sequences& sequences)
{
    for (const auto& [name, letters] : sequences)
    {
        if (letters.size() % 3 != 0)
            return false;
        for (const char letter : letters)
            if (std::string_view("ACGTURYKMSWBDHVNacgturykmswbdhvn-?.").find(letter) ==
                std::string_view::npos)
                return false;
    }
    return true;
}

// The amino acid of a codon by the standard genetic code: '-' for a gap, X for a codon with a gap or any
// letter other than A, C, G and T in it, '*' for a stop.
char translate(std::string_view codon)
{
    static const char* const code = "KNKNTTTTRSRSIIMIQHQHPPPPRRRRLLLLEDEDAAAAGGGGVVVV*Y*YSSSS*CWCLFLF";
    if (codon == "---")
        return '-';
    int index = 0;
    for (const char letter : codon)
    {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        const std::size_t base = std::string_view("ACGT").find(upper == 'U' ? 'T' : upper);
        if (base == std::string_view::npos)
            return 'X';
        index = index * 4 + static_cast<int>(base);
    }
    return code[index];
}

// The alignment of sequences, read from settings' sequence file, whose reference names the sites; null for
// one sequence, or sequences of several lengths, when no reference is asked for.
std::shared_ptr<const ReferenceAlignment> alignmentOf(const Sequences& sequences,
                                                      const ReadSettings& settings)
{
    // Sequences of several lengths are no alignment: the first names the sites by its letters, unless a
    // reference is asked for.
    const bool aligned =
        std::all_of(sequences.begin(), sequences.end(), [&](const std::pair<std::string, std::string>& each) {
            return each.second.size() == sequences.front().second.size();
        });
    if ((sequences.size() < 2 || !aligned) && settings.reference.empty())
        return nullptr;
    auto alignment = std::make_shared<ReferenceAlignment>();
    alignment->file = inputName(settings.sequenceFile);
    const auto chosen = settings.reference.empty()
                            ? sequences.begin()
                            : std::find_if(sequences.begin(), sequences.end(),
                                           [&](const std::pair<std::string, std::string>& each) {
        return each.first == settings.reference;
                              });
    if (chosen == sequences.end())
    {
        std::string names;
        for (std::size_t at = 0; at < sequences.size() && at < 3; ++at)
            names += (at == 0 ? "" : ", ") + validText(sequences[at].first);
        throw InputError("Error: LINKMAP_REFERENCE is " + validText(settings.reference) + ", but " +
                         alignment->file + " has no sequence of that name; its first " +
                         (sequences.size() == 1 ? "is " : "are ") + names);
    }
    alignment->reference = chosen->first;
    alignment->codons = isCodonAlignment(sequences);
    const std::string& letters = chosen->second;
    const std::size_t width = alignment->codons ? 3 : 1;
    for (std::size_t at = 0; at + width <= letters.size(); at += width)
    {
        // A residue is a letter of the alphabet or a stop; any other mark the file holds is an unknown one.
        char letter = alignment->codons
                          ? translate(std::string_view(letters).substr(at, 3))
                          : static_cast<char>(std::toupper(static_cast<unsigned char>(letters[at])));
        if (!(letter >= 'A' && letter <= 'Z') && letter != '*' && letter != '-' && letter != '.')
            letter = 'X';
        const bool gap = letter == '-' || letter == '.';
        alignment->columnLetters.push_back(gap ? '-' : letter);
        if (!gap)
            alignment->residues.push_back(letter);
        alignment->columnResidues.push_back(gap ? 0 : static_cast<long>(alignment->residues.size()));
    }
    return alignment;
}

} // namespace

std::shared_ptr<const ReferenceAlignment> readReferenceAlignment(const ReadSettings& settings)
{
    if (settings.sequenceFile.empty())
        return nullptr;
    return alignmentOf(readSequences(settings.sequenceFile), settings);
}

std::string ReferenceAlignment::nameOf(std::size_t column) const
{
    // A column where the reference has a gap is named by the column itself, from 1.
    if (columnResidues[column] == 0)
        return "-" + std::to_string(column + 1);
    return columnLetters[column] + std::to_string(columnResidues[column]);
}

std::size_t ReferenceAlignment::gapCount() const
{
    return static_cast<std::size_t>(std::count(columnResidues.begin(), columnResidues.end(), 0L));
}

SiteNamer::SiteNamer(const ReadSettings& settings)
    : sequenceFile(settings.sequenceFile), firstNumber(settings.firstNumber)
{
    if (sequenceFile.empty())
        return;
    const Sequences sequences = readSequences(sequenceFile);
    alignment = alignmentOf(sequences, settings);
    if (!alignment)
        sequence = sequences.front().second;
}

void SiteNamer::tell(ImportReport& report) const
{
    report.namedFromSequence = used;
    if (used)
        report.alignment = alignment;
}

std::string SiteNamer::nameOf(long number) const
{
    if (sequence.empty() && !alignment)
        return "X" + std::to_string(number);
    used = true;
    const long place = number - firstNumber;
    const std::size_t letters = alignment ? alignment->columnLetters.size() : sequence.size();
    if (place < 0 || place >= static_cast<long>(letters))
        throw InputError("Error: site " + std::to_string(number) + " has no " +
                         (alignment ? (alignment->codons ? "codon" : "column") : "letter") + " in the " +
                         (alignment ? "alignment" : "sequence") + " of " + sequenceFile + ", which numbers " +
                         std::to_string(letters) + (alignment && alignment->codons ? " codons" : " letters") +
                         " from " + std::to_string(firstNumber) +
                         " (LINKMAP_SEQUENCE, LINKMAP_FIRST_NUMBER)");
    if (alignment)
        return alignment->nameOf(static_cast<std::size_t>(place));
    return sequence[static_cast<std::size_t>(place)] + std::to_string(number);
}
