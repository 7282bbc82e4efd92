#include <network/LineReader.h>
#include <network/SiteNames.h>

#include <cctype>

SiteNamer::SiteNamer(const ReadSettings& settings)
    : sequenceFile(settings.sequenceFile), firstNumber(settings.firstNumber)
{
    if (sequenceFile.empty())
        return;
    // The first sequence: the lines after its header, up to the next one. A file without a header is
    // one bare sequence.
    bool ended = false;
    bool headerSeen = false;
    const bool opened = readTextLines(sequenceFile, [&](const std::string& line, std::size_t) {
        if (ended)
            return;
        if (!line.empty() && line[0] == '>')
        {
            ended = headerSeen || !sequence.empty();
            headerSeen = true;
            return;
        }
        for (const char letter : line)
            if (std::isalpha(static_cast<unsigned char>(letter)) || letter == '-' || letter == '*')
                sequence.push_back(letter);
    });
    if (!opened)
        throw InputError("Error: cannot open the sequence file " + sequenceFile + " (LINKMAP_SEQUENCE)");
    if (sequence.empty())
        throw InputError("Error: the sequence file " + sequenceFile +
                         " holds no sequence (LINKMAP_SEQUENCE)");
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
