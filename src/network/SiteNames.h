#ifndef LINKMAP_NETWORK_SITENAMES
#define LINKMAP_NETWORK_SITENAMES 1

#include <network/NetworkReader.h>

#include <string>

/** Names the sites that a file knows only by their numbers: the letter of that place in a sequence, or X,
 *  and the number, as in K45. */
class SiteNamer
{
public:
    /** Reads the first sequence of settings' sequence file, when one is given: a FASTA file, a NEXUS or
     *  Clustal alignment, or a bare sequence. Throws InputError when it cannot be read, is a directory or
     *  none of these, or holds no sequence. */
    explicit SiteNamer(const ReadSettings& settings);

    /** The name of the site numbered number. Throws InputError when the sequence has no letter for it. */
    std::string nameOf(long number) const;

    /** Whether the sequence named a site: false when none was given, or no site was known by its number
     *  alone. */
    bool namedFromSequence() const
    {
        return used;
    }

    /** The name of the site in row index of a matrix, counting from 0. */
    std::string nameOfRow(std::size_t index) const
    {
        return nameOf(firstNumber + static_cast<long>(index));
    }

private:
    std::string sequence;
    std::string sequenceFile;
    long firstNumber;
    mutable bool used = false;
};

#endif
