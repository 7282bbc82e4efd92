#ifndef LINKMAP_NETWORK_SITENAMES
#define LINKMAP_NETWORK_SITENAMES 1

#include <network/NetworkReader.h>

#include <memory>
#include <string>
#include <vector>

/** An alignment whose reference sequence names the sites, each a column (a codon of a codon alignment) by the
 *  reference's own residue there and its number in the reference without gaps: K45. */
struct ReferenceAlignment
{
    /** The file, as messages call it, and the reference's name. */
    std::string file;
    std::string reference;

    /** Whether its columns are codons, translated by the standard genetic code. */
    bool codons = false;

    /** The reference's residues without gaps, one letter each. */
    std::string residues;

    /** One a column: the reference's letter there, '-' for a gap, and the number of its residue from 1 in
     *  residues, 0 for a gap. */
    std::vector<char> columnLetters;
    std::vector<long> columnResidues;

    /** The name of the site of column, from 0: K45, or "-47" for a column where the reference has a gap. */
    std::string nameOf(std::size_t column) const;

    /** How many columns are gaps of the reference. */
    std::size_t gapCount() const;
};

/** The alignment of settings' sequence file whose reference (LINKMAP_REFERENCE, else the first sequence)
 *  names the sites; null for no file, or a file of one sequence when no reference is named, whose letters
 * name the sites by their places. Throws InputError when the file cannot be read, or has no sequence of the
 *  reference's name. */
std::shared_ptr<const ReferenceAlignment> readReferenceAlignment(const ReadSettings& settings);

/** Names the sites that a file knows only by their numbers: the letter of that place in a sequence, or X,
 *  and the number, as in K45. */
class SiteNamer
{
public:
    /** Reads settings' sequence file, when one is given: a FASTA file, a NEXUS or Clustal alignment, or a
     *  bare sequence. An alignment names the sites by its reference (readReferenceAlignment); a single
     * sequence by its letters. Throws InputError when it cannot be read, is a directory or none of these, or
     * holds no sequence. */
    explicit SiteNamer(const ReadSettings& settings);

    /** The name of the site numbered number. Throws InputError when the sequence has no letter for it. */
    std::string nameOf(long number) const;

    /** Tells report whether the sequence named a site (false when none was given, or no site was known by
     *  its number alone), and the alignment whose reference did. */
    void tell(ImportReport& report) const;

    /** The name of the site in row index of a matrix, counting from 0. */
    std::string nameOfRow(std::size_t index) const
    {
        return nameOf(firstNumber + static_cast<long>(index));
    }

private:
    std::string sequence;
    std::shared_ptr<const ReferenceAlignment> alignment;
    std::string sequenceFile;
    long firstNumber;
    mutable bool used = false;
};

#endif
