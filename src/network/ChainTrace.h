#ifndef LINKMAP_NETWORK_CHAINTRACE
#define LINKMAP_NETWORK_CHAINTRACE 1

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CorrelationNetwork;

/** One residue of a chain, as sites name it and where it stands. */
struct ChainResidue
{
    /** The number sites call it by: the author's number plus the offset asked for. */
    int number = 0;
    /** The author's number and insertion code (' ' for none), as the file gives them. */
    int authorNumber = 0;
    char insertion = ' ';
    /** The residue's name, "LYS", and its one-letter code in upper case, or ' ' when it has none. */
    std::string name;
    char letter = ' ';
    bool aminoAcid = false;
    /** The place of its Cα atom, or of its C4′ for a nucleotide, in ångströms. */
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    /** Whether it is bonded to the residue before it in the chain, so that the trace runs on to it. */
    bool joined = false;
    /** The chain it belongs to, when the trace holds several chains; empty for one. */
    std::string chain;
};

/** The residues of one chain of a structure's first model that have a Cα or C4′ atom within a million
 *  ångströms of the origin, in chain order; or those of several chains, one after the other in file order. */
struct ChainTrace
{
    /** The file's name without its folder, and the chain's name (the chains', "A,B", for several), for
     *  messages. */
    std::string fileName;
    std::string chain;
    /** The file's path as given, to read it again whole. */
    std::string path;
    std::vector<ChainResidue> residues;
    /** What the reading has to say: the model taken of several. */
    std::vector<std::string> notes;
    /** The pairs of residues in contact, by their places among residues, the first the smaller; and the
     *  distance in ångströms they were found at, or 0 when none was asked for. */
    std::vector<std::pair<std::uint32_t, std::uint32_t>> contacts;
    double contactDistance = 0.0;

    /** Whether the trace holds several chains, whose residues are numbered 1 to N in file order as
     *  molecular dynamics tools and bio3d number a complex's, rather than by their authors' numbers. */
    bool numberedInOrder() const
    {
        return !residues.empty() && !residues.front().chain.empty();
    }
};

/** Reads the chain named chain of the first model of the PDB or mmCIF file at path, gzipped or not, and
 *  where contactDistance is above 0 the pairs of its residues in contact at that distance; an
 *  empty chain takes the first that holds a polymer. "all", or a list such as "A,B", takes those chains'
 *  residues one after the other in file order, numbered from 1. Every residue number is raised by offset.
 *  Throws an InputError naming LINKMAP_STRUCTURE for a file that cannot be read or holds no polymer, and
 *  naming LINKMAP_CHAIN, with the chains there are, for a chain it does not hold. */
ChainTrace readChainTrace(const std::string& path, const std::string& chain, int offset,
                          double contactDistance = 0.0);

/** The same, from a file's text held in memory. */
ChainTrace readChainTrace(std::vector<char> text, const std::string& path, const std::string& chain,
                          int offset, double contactDistance = 0.0);

/** What a residue is given in a structure written back: a B-factor and an occupancy, 0 and 0 for none. */
struct ResidueValues
{
    double bFactor = 0.0;
    double occupancy = 0.0;
};

/** The structure trace was read from, read again whole (every model, chain, atom and record of its header)
 *  and written as PDB, each atom of the residue trace.residues[i] given values[i] as its B-factor and
 *  occupancy, and every other atom 0 and 0; anisotropic factors are dropped, as they belong to the B-factors
 *  they replace. Throws InputError when the file can no longer be read or cannot be written as PDB. */
std::string structureWithResidueValues(const ChainTrace& trace, const std::vector<ResidueValues>& values);

/** Keeps only the links of network between sites that stand on residues of chain in contact (its contacts),
 *  as bio3d's cna(cij, cm = cmap(pdb)) keeps them; returns the note that counts the links left out. */
std::string keepContactLinks(CorrelationNetwork& network, const ChainTrace& chain);

/** Which residue of a chain every site of a network stands at, and what the match has to warn of. */
struct ResidueMatch
{
    /** One entry a site: its place among the chain's residues, or noResidue. */
    std::vector<std::uint32_t> residueOf;
    static constexpr std::uint32_t noResidue = 0xffffffffu;

    /** The sites that are no residue of the chain, or whose name has no number, in the network's order. */
    std::vector<std::uint32_t> unplaced;

    /** The sites whose letter is a one-letter code other than their residue's. */
    std::vector<std::uint32_t> mismatched;

    /** How many sites stand on a residue and name it by a one-letter code, which may or may not be its. */
    std::size_t lettered = 0;
};

/** Finds the residue of every site of network whose name is a number, after a letter or not: the residue of
 *  chain of that number, without an insertion code if one has none. On a trace of several chains, a name that
 *  ends in a chain, "P1:B", is that chain's residue of that author's number (raised by the offset). */
ResidueMatch matchResidues(const CorrelationNetwork& network, const ChainTrace& chain);

/** Finds the residue of every site named by an alignment's reference (network.referenceResidues): the
 *  reference is aligned to the chain's sequence with gemmi (BLOSUM62, gaps free where the chain breaks), and
 *  each site stands at the residue its own residue aligns to; a site at a gap of the reference, or whose
 *  residue aligns to none, is unplaced. note says how well the two aligned and how many sites are left off.
 */
ResidueMatch alignResidues(const CorrelationNetwork& network, const ChainTrace& chain, std::string& note);

/** Gives every site of network that the file knows by its number alone (X45, or 45) and that stands on a
 *  residue with a one-letter code its residue's name: K45, G52A with an insertion code, K45:B on a trace of
 *  several chains. The file's names stay in network.fileNames. */
void nameSitesByResidue(CorrelationNetwork& network, const ChainTrace& chain, const ResidueMatch& match);

/** The note that tells how the sites stand on the chain: how many stand on residues, and how many of its
 *  residues no site names. */
std::string placementNote(const CorrelationNetwork& network, const ChainTrace& chain,
                          const ResidueMatch& match);

/** The lines that warn of match: one for the sites that are no residue, naming the first three; one for each
 *  of the first ten sites whose letter is not their residue's, then one that counts the rest. */
std::vector<std::string> residueWarnings(const CorrelationNetwork& network, const ChainTrace& chain,
                                         const ResidueMatch& match);

/** Throws InputError when more than half of the sites that name their residue by its letter name another:
 *  the structure is then of another molecule, or numbered otherwise, and the line names three such sites and
 *  the settings that choose the chain and shift its numbers. */
void checkSameMolecule(const CorrelationNetwork& network, const ChainTrace& chain, const ResidueMatch& match);

/** How the site at residue is told apart on a structure: "LYS 45, chain A", the author's number. */
std::string describeResidue(const ChainTrace& chain, const ChainResidue& residue);

#endif
