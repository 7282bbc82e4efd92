#include <network/ChainTrace.h>
#include <network/CorrelationNetwork.h>
#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <network/NumberText.h>
#include <network/ValidText.h>

// gemmi writes PDB in this unit, its numbers formatted by the C library (Debian leaves out its own
// formatter).
#define GEMMI_WRITE_IMPLEMENTATION 1
#define USE_STD_SNPRINTF 1
#include <gemmi/mmread.hpp>
// gemmi's writer fills its fixed columns with snprintf, which the compiler suspects of truncating.
#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
#include <gemmi/to_pdb.hpp>
#pragma GCC diagnostic pop
#include <gemmi/neighbor.hpp>
#include <gemmi/polyheur.hpp>
#include <gemmi/resinfo.hpp>
#include <gemmi/seqalign.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace
{

const char* const aminoAcidCodes = "ACDEFGHIKLMNPQRSTVWYUO";
const char* const nucleotideCodes = "ACGTUI";

// The one-letter codes of the names molecular dynamics gives residues by their protonation or bonds, as
// Amber and CHARMM write them.
char simulationLetter(const std::string& name)
{
    static const std::pair<const char*, char> names[] = {
        {"CYX", 'C'}, {"CYM", 'C'}, {"HIE", 'H'}, {"HID", 'H'}, {"HIP", 'H'}, {"HSD", 'H'},
        {"HSE", 'H'}, {"HSP", 'H'}, {"ASH", 'D'}, {"GLH", 'E'}, {"LYN", 'K'}};
    for (const auto& [each, letter] : names)
        if (name == each)
            return letter;
    return ' ';
}

// The atom a residue's site stands at: its Cα, or the C4′ of a nucleotide.
// An amino acid's Cα is told by its name where its element was read as calcium, as from a file without
// elements whose names start a column early.
const gemmi::Atom* traceAtom(const gemmi::Residue& residue)
{
    if (const gemmi::Atom* alpha = residue.get_ca())
        return alpha;
    const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(residue.name);
    if (info.is_amino_acid() || simulationLetter(residue.name) != ' ')
        if (const gemmi::Atom* alpha = residue.find_atom("CA", '*'))
            return alpha;
    return residue.find_atom("C4'", '*');
}

// Whether a place is one a scene can hold: every coordinate a number within a million ångströms.
bool withinReach(const gemmi::Position& place)
{
    return std::fabs(place.x) <= 1e6 && std::fabs(place.y) <= 1e6 && std::fabs(place.z) <= 1e6;
}

// Whether a residue is an amino acid or a nucleotide, by the tables or as a simulation names it.
bool isMonomer(const gemmi::Residue& residue)
{
    const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(residue.name);
    return info.is_amino_acid() || info.is_nucleic_acid() || simulationLetter(residue.name) != ' ';
}

// The residues of a chain's polymer that have a Cα or C4′ at a place within reach, each joined to the one
// before when they are bonded, or close enough to be without the atoms of the bond. The polymer is what the
// file's entities say, and the amino acids and nucleotides bonded to a neighbour besides: a file without
// entities has them guessed, and a guess stops at the first residue it does not know, as at the cap of a
// simulation's chain. Waters, ions and ligands are never part of it.
std::vector<ChainResidue> traceResidues(const gemmi::Chain& chain, int offset,
                                        std::vector<const gemmi::Residue*>& traced)
{
    std::vector<ChainResidue> residues;
    // The polymer's kind from its own residues: a crystal's waters, often more than its residues, do not
    // vote.
    const gemmi::ConstResidueSpan polymerSpan = chain.get_polymer();
    gemmi::PolymerType type = gemmi::check_polymer_type(polymerSpan.empty() ? chain.whole() : polymerSpan);
    std::vector<const gemmi::Residue*> all;
    std::size_t aminoAcids = 0;
    std::size_t monomers = 0;
    for (const gemmi::Residue& residue : chain.first_conformer())
    {
        all.push_back(&residue);
        if (residue.entity_type != gemmi::EntityType::Water && isMonomer(residue))
        {
            ++monomers;
            aminoAcids += residue.find_atom("CA", '*') != nullptr ? 1 : 0;
        }
    }
    if (type == gemmi::PolymerType::Unknown)
        type = aminoAcids * 2 >= monomers ? gemmi::PolymerType::PeptideL : gemmi::PolymerType::Rna;
    const auto bonded = [&](std::size_t first, std::size_t second) {
        return second < all.size() && gemmi::are_connected3(*all[first], *all[second], type);
    };
    const gemmi::Residue* previous = nullptr;
    for (std::size_t at = 0; at < all.size(); ++at)
    {
        const gemmi::Residue& residue = *all[at];
        const bool polymer = residue.entity_type != gemmi::EntityType::Water &&
                             traceAtom(residue) != nullptr &&
                             (residue.entity_type == gemmi::EntityType::Polymer ||
                              (isMonomer(residue) && (bonded(at, at + 1) || (at > 0 && bonded(at - 1, at)))));
        if (!polymer)
        {
            previous = nullptr;
            continue;
        }
        const gemmi::Atom* atom = traceAtom(residue);
        const long long number =
            residue.seqid.num.has_value() ? static_cast<long long>(*residue.seqid.num) + offset : LLONG_MIN;
        if (number < INT_MIN || number > INT_MAX || !withinReach(atom->pos))
        {
            previous = nullptr;
            continue;
        }
        ChainResidue each;
        each.number = static_cast<int>(number);
        each.authorNumber = *residue.seqid.num;
        each.insertion = residue.seqid.icode;
        each.name = residue.name;
        const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(residue.name);
        each.aminoAcid = info.is_amino_acid() || simulationLetter(residue.name) != ' ';
        if (info.found() && info.one_letter_code != ' ')
            each.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(info.one_letter_code)));
        else
            each.letter = simulationLetter(residue.name);
        each.x = static_cast<float>(atom->pos.x);
        each.y = static_cast<float>(atom->pos.y);
        each.z = static_cast<float>(atom->pos.z);
        each.joined = previous != nullptr && gemmi::are_connected3(*previous, residue, type);
        residues.push_back(each);
        traced.push_back(&residue);
        previous = &residue;
    }
    return residues;
}

std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// The number a site's name gives, after one letter or none, and the insertion code after it, a letter or
// none (' '), as in G52A; false when it gives no number.
bool residueNumberOf(const std::string& name, int& number, char& insertion)
{
    const char* first = name.c_str();
    const char* last = first + name.size();
    if (first != last && std::isalpha(static_cast<unsigned char>(*first)))
        ++first;
    insertion = ' ';
    if (last - first > 1 && std::isalpha(static_cast<unsigned char>(last[-1])))
        insertion = *--last;
    if (first != last && *first == '+')
        return false;
    const auto parsed = std::from_chars(first, last, number);
    return first != last && parsed.ec == std::errc() && parsed.ptr == last;
}

// Whether a site's name begins with a one-letter code of the kind of residue it stands at, and a different
// one from the residue's own.
// Whether name's first letter is a one-letter code of residue's kind, which its residue's letter can be
// held to.
bool letterNamesResidue(const std::string& name, const ChainResidue& residue)
{
    if (name.empty() || residue.letter == ' ')
        return false;
    const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (!std::isupper(static_cast<unsigned char>(letter)))
        return false;
    const char* codes = residue.aminoAcid ? aminoAcidCodes : nucleotideCodes;
    return std::strchr(codes, letter) != nullptr;
}

bool letterDisagrees(const std::string& name, const ChainResidue& residue)
{
    return letterNamesResidue(name, residue) &&
           static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))) != residue.letter;
}

// Whether the four columns are an element (blank, or one or two letters) and a charge (blank, 2+, or +2).
bool isElementAndCharge(const char* columns)
{
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto sign = [](char c) { return c == '+' || c == '-'; };
    const bool element =
        (columns[0] == ' ' || letter(columns[0])) && (columns[1] == ' ' || letter(columns[1]));
    const char a = columns[2];
    const char b = columns[3];
    const bool charge = (a == ' ' && b == ' ') || (digit(a) && sign(b)) || (sign(a) && digit(b));
    return element && charge;
}

// A PDB file's lines, each exactly the format's 80 columns wide and ended by a line feed.
//
// The reader copies a line into a buffer of 120 characters and takes some fields at their columns without
// looking where the line ends: a short line leaves blank columns out, so it is padded. A line longer than the
// buffer is worse: the reader skips its rest only up to the first byte above 127, and what follows comes out
// as a record of its own, of any length, whose fields it reads past its end. Nothing beyond column 80 is part
// of the format, so every line is cut there. A NUL, which no text holds, is a blank, and a carriage return
// ends a line as a line feed does (a file of carriage returns alone is otherwise one line).
//
// Files of the format before 1996, as PyMOL's tutorial still ships, end each line with the entry's code and
// the line's number in columns 73 to 80, where an atom's element and charge are now: an atom record whose
// columns 77 to 80 are no element and charge has them blanked, and its element is told by its name.
std::vector<char> fullWidthLines(const std::vector<char>& text)
{
    constexpr std::size_t width = 80;
    std::vector<char> wide;
    wide.reserve(text.size() + text.size() / 8 + width + 1);
    std::size_t column = 0;
    const auto endLine = [&] {
        wide.insert(wide.end(), width - column, ' ');
        char* const line = wide.data() + wide.size() - width;
        if ((std::strncmp(line, "ATOM  ", 6) == 0 || std::strncmp(line, "HETATM", 6) == 0) &&
            !isElementAndCharge(line + 76))
            std::fill(line + 72, line + width, ' ');
        wide.push_back('\n');
        column = 0;
    };
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char byte = text[i];
        if (byte == '\r' || byte == '\n')
        {
            endLine();
            if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        else if (column < width)
        {
            wide.push_back(byte == '\0' ? ' ' : byte);
            ++column;
        }
    }
    if (column > 0)
        endLine();
    return wide;
}

// The name of the file at path that messages give: without its folder.
std::string fileNameOf(const std::string& path)
{
    return path == "-" ? inputName(path) : validText(std::filesystem::path(path).filename().string());
}

std::string authorNumber(const ChainResidue& residue)
{
    std::string text = std::to_string(residue.authorNumber);
    if (residue.insertion != ' ' && residue.insertion != '\0')
        text += validText(std::string(1, residue.insertion));
    return text;
}

// Refuses a PDB file cut short or damaged: an atom record that stops before its coordinates end (column 54),
// whose coordinates would read as blanks once padded out; or a last line without its line end that is an atom
// record stopping before its temperature factor ends (column 66), as every writer of the format fills it.
void checkAtomRecords(const std::vector<char>& text, const std::string& fileName)
{
    constexpr std::size_t coordinatesEnd = 54;
    constexpr std::size_t temperatureEnd = 66;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();)
    {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        ++lineNumber;
        const std::string_view line(text.data() + start, end - start);
        const bool atom = line.rfind("ATOM", 0) == 0 || line.rfind("HETATM", 0) == 0;
        const bool last = end == text.size();
        if (atom && (line.size() < coordinatesEnd || (last && line.size() < temperatureEnd)))
        {
            const std::string record = line.rfind("ATOM", 0) == 0 ? "an ATOM record" : "a HETATM record";
            const std::size_t needed = line.size() < coordinatesEnd ? coordinatesEnd : temperatureEnd;
            const std::string where =
                record + ", stops at column " + std::to_string(line.size()) + " of " + std::to_string(needed);
            throw InputError(
                "Error: LINKMAP_STRUCTURE names " + fileName +
                (last ? ", which is cut short: its last line, " + where
                      : ", whose line " + std::to_string(lineNumber) + ", " + where + ", is cut short"));
        }
        start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
}

// The pairs of the trace's residues in contact, as bio3d's cmap finds them: two of their heavy atoms closer
// than distance, and three or more residues apart along the trace. gemmi's neighbour search finds the atoms
// near each, among the trace's own heavy atoms at places within reach, without the crystal's symmetry; its
// grid spans their box, so atoms spread too far apart for a grid that fits in memory are refused.
void findContacts(const std::vector<const gemmi::Residue*>& traced, double distance, ChainTrace& trace)
{
    constexpr std::size_t apart = 3;
    constexpr double mostCells = 8.0e6;
    gemmi::Model atoms("trace");
    atoms.chains.emplace_back("trace");
    std::vector<gemmi::Residue>& residues = atoms.chains.back().residues;
    gemmi::Box<gemmi::Position> box;
    for (const gemmi::Residue* residue : traced)
    {
        gemmi::Residue heavy = *residue;
        heavy.atoms.clear();
        for (const gemmi::Atom& atom : residue->first_conformer())
            if (!atom.is_hydrogen() && withinReach(atom.pos))
            {
                heavy.atoms.push_back(atom);
                box.extend(atom.pos);
            }
        residues.push_back(std::move(heavy));
    }
    trace.contactDistance = distance;
    // Residues whose atoms are all hydrogens, or out of reach, have no contacts; nor has a trace of none.
    if (!(box.minimum.x <= box.maximum.x))
        return;
    const double spacing = std::max(distance, 1.0);
    const gemmi::Position size = box.get_size();
    const double cells = (size.x / spacing + 4.0) * (size.y / spacing + 4.0) * (size.z / spacing + 4.0);
    if (!(cells <= mostCells))
        throw InputError("Error: LINKMAP_CONTACT asks for the contacts of " + trace.fileName +
                         ", whose atoms spread over " + fixedText(size.x, 0) + " by " + fixedText(size.y, 0) +
                         " by " + fixedText(size.z, 0) + " Å, too far for a map of contacts to span");
    gemmi::NeighborSearch search(atoms, gemmi::UnitCell(), spacing);
    search.populate(false);
    std::vector<std::uint64_t> pairs;
    for (std::size_t at = 0; at < residues.size(); ++at)
        for (const gemmi::Atom& atom : residues[at].atoms)
            search.for_each(atom.pos, atom.altloc, static_cast<float>(distance),
                            [&](const gemmi::NeighborSearch::Mark& mark, float) {
                const auto near = static_cast<std::size_t>(mark.residue_idx);
                if (near >= at + apart)
                    pairs.push_back(std::uint64_t(at) << 32 | near);
            });
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    trace.contacts.reserve(pairs.size());
    for (const std::uint64_t pair : pairs)
        trace.contacts.emplace_back(static_cast<std::uint32_t>(pair >> 32), static_cast<std::uint32_t>(pair));
}

// The structure of text, PDB or mmCIF, as gemmi reads it with its entities set up; path is the file's, for
// messages. Throws InputError naming LINKMAP_STRUCTURE when it cannot be read.
gemmi::Structure parseStructure(std::vector<char> text, const std::string& path)
{
    // The format is told from the first bytes, which the reader looks at eight at a time: blank lines at the
    // end of a short file give it all eight, and change nothing in either format.
    if (text.size() < 16)
        text.resize(16, '\n');
    if (gemmi::coor_format_from_content(text.data(), text.data() + text.size()) == gemmi::CoorFormat::Pdb)
    {
        checkAtomRecords(text, fileNameOf(path));
        text = fullWidthLines(text);
    }
    try
    {
        gemmi::Structure structure = gemmi::read_structure_from_char_array(text.data(), text.size(), path);
        gemmi::setup_entities(structure);
        return structure;
    }
    catch (const std::exception& error)
    {
        throw InputError("Error: LINKMAP_STRUCTURE names " + fileNameOf(path) +
                         ", which cannot be read as PDB or mmCIF: " + oneLine(error.what()));
    }
}

// The whole of the file at path, gzipped or not. Throws InputError naming LINKMAP_STRUCTURE when it cannot be
// read.
std::vector<char> readStructureText(const std::string& path)
{
    if (isDirectoryPath(path))
        throw InputError("Error: LINKMAP_STRUCTURE names " + inputName(path) +
                         ", which is a directory, not a structure file");
    OpenedInput input(path);
    std::FILE* file = input.get();
    if (file == nullptr)
        throw InputError("Error: LINKMAP_STRUCTURE names " + fileNameOf(path) +
                         ", which cannot be opened: " + std::strerror(errno));
    std::vector<char> text;
    char block[65536];
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0)
        text.insert(text.end(), block, block + count);
    const bool failed = std::ferror(file) != 0;
    input.close();
    if (failed)
        throw InputError("Error: LINKMAP_STRUCTURE names " + fileNameOf(path) +
                         ", which cannot be read to its end");
    return text;
}

} // namespace

ChainTrace readChainTrace(std::vector<char> text, const std::string& path, const std::string& chain,
                          int offset, double contactDistance)
{
    ChainTrace trace;
    trace.fileName = fileNameOf(path);
    trace.path = path;
    trace.chain = chain;
    gemmi::Structure structure = parseStructure(std::move(text), path);

    // The chains asked for: one, the first that holds a polymer, every one, or a list.
    std::vector<std::string> wanted;
    for (std::size_t start = 0; start <= chain.size() && chain.find(',') != std::string::npos;)
    {
        const std::size_t end = std::min(chain.find(',', start), chain.size());
        wanted.push_back(chain.substr(start, end - start));
        start = end + 1;
    }
    const bool several = chain == "all" || !wanted.empty();

    // The chains of the first model that hold a polymer with a trace, in file order.
    std::vector<std::string> names;
    std::vector<const gemmi::Residue*> tracedResidues;
    const gemmi::Model* model = structure.models.empty() ? nullptr : &structure.models.front();
    if (structure.models.size() > 1)
        trace.notes.push_back("Note: " + trace.fileName + " holds " +
                              std::to_string(structure.models.size()) +
                              " models; the sites stand on the first, model " + validText(model->name));
    if (model != nullptr)
    {
        for (const gemmi::Chain& each : model->chains)
        {
            std::vector<const gemmi::Residue*> traced;
            std::vector<ChainResidue> residues = traceResidues(each, offset, traced);
            if (residues.empty() || std::find(names.begin(), names.end(), each.name) != names.end())
                continue;
            names.push_back(each.name);
            if (several &&
                (wanted.empty() || std::find(wanted.begin(), wanted.end(), each.name) != wanted.end()))
            {
                for (ChainResidue& residue : residues)
                    residue.chain = each.name;
                trace.residues.insert(trace.residues.end(), residues.begin(), residues.end());
                tracedResidues.insert(tracedResidues.end(), traced.begin(), traced.end());
            }
            else if (!several && trace.residues.empty() && (chain.empty() || each.name == chain))
            {
                trace.chain = each.name;
                trace.residues = std::move(residues);
                tracedResidues = std::move(traced);
            }
        }
    }
    if (names.empty())
        throw InputError("Error: LINKMAP_STRUCTURE names " + trace.fileName +
                         ", which holds no chain of residues with Cα or C4′ atoms");
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    for (const std::string& each : several ? wanted : std::vector<std::string>{chain})
        if (std::find(names.begin(), names.end(), each) == names.end() && (several || trace.residues.empty()))
            throw InputError("Error: LINKMAP_CHAIN is " + chain + ", but " + trace.fileName +
                             " has no chain " + each + " of residues; its chains are " + list);
    if (contactDistance > 0.0)
        findContacts(tracedResidues, contactDistance, trace);
    if (several)
    {
        // Numbered 1 to N in file order, as a complex's correlation matrix numbers its rows.
        trace.chain.clear();
        for (std::size_t at = 0; at < trace.residues.size(); ++at)
        {
            trace.residues[at].number = static_cast<int>(at) + 1 + offset;
            if (at == 0 || trace.residues[at].chain != trace.residues[at - 1].chain)
                trace.chain += (trace.chain.empty() ? "" : ",") + trace.residues[at].chain;
        }
    }
    return trace;
}

ChainTrace readChainTrace(const std::string& path, const std::string& chain, int offset,
                          double contactDistance)
{
    return readChainTrace(readStructureText(path), path, chain, offset, contactDistance);
}

std::string structureWithResidueValues(const ChainTrace& trace, const std::vector<ResidueValues>& values)
{
    gemmi::Structure structure = parseStructure(readStructureText(trace.path), trace.path);
    // Each residue of the trace by its chain, author's number and insertion code, as the file names it.
    std::map<std::tuple<std::string, int, char>, ResidueValues> byResidue;
    for (std::size_t index = 0; index < trace.residues.size() && index < values.size(); ++index)
    {
        const ChainResidue& residue = trace.residues[index];
        byResidue[{residue.chain.empty() ? trace.chain : residue.chain, residue.authorNumber,
                   residue.insertion}] = values[index];
    }
    for (gemmi::Model& model : structure.models)
        for (gemmi::Chain& chain : model.chains)
            for (gemmi::Residue& residue : chain.residues)
            {
                const auto found = byResidue.find({chain.name, residue.seqid.num.value, residue.seqid.icode});
                const ResidueValues given = found == byResidue.end() ? ResidueValues{} : found->second;
                for (gemmi::Atom& atom : residue.atoms)
                {
                    atom.b_iso = static_cast<float>(given.bFactor);
                    atom.occ = static_cast<float>(given.occupancy);
                    atom.aniso = {0, 0, 0, 0, 0, 0};
                }
            }
    std::ostringstream text;
    try
    {
        gemmi::write_pdb(structure, text);
    }
    catch (const std::exception& error)
    {
        throw InputError("Error: " + trace.fileName + " cannot be written as PDB: " + oneLine(error.what()));
    }
    return text.str();
}

ResidueMatch matchResidues(const CorrelationNetwork& network, const ChainTrace& chain)
{
    // A number and an insertion code are the residue that has them; a number alone, the residue that has it
    // without an insertion code, or else the first that has it. On several chains, a chain and an author's
    // number are the residue that has them.
    const auto key = [](long long number, char insertion) {
        return static_cast<std::uint64_t>(number) << 8 | static_cast<unsigned char>(insertion);
    };
    std::unordered_map<std::uint64_t, std::uint32_t> byNumber;
    std::unordered_map<std::string, std::uint32_t> byChainNumber;
    for (const bool inserted : {false, true})
        for (std::size_t i = 0; i < chain.residues.size(); ++i)
        {
            const ChainResidue& residue = chain.residues[i];
            if ((residue.insertion != ' ') != inserted)
                continue;
            const auto index = static_cast<std::uint32_t>(i);
            byNumber.emplace(key(residue.number, residue.insertion), index);
            byNumber.emplace(key(residue.number, ' '), index);
            if (!residue.chain.empty())
                byChainNumber.emplace(residue.chain + ":" + authorNumber(residue), index);
        }
    ResidueMatch match;
    match.residueOf.assign(network.siteCount(), ResidueMatch::noResidue);
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const std::string& name = network.names[site];
        const std::size_t colon = chain.numberedInOrder() ? name.rfind(':') : std::string::npos;
        int number = 0;
        char insertion = ' ';
        std::uint32_t residue = ResidueMatch::noResidue;
        if (colon != std::string::npos)
        {
            if (residueNumberOf(name.substr(0, colon), number, insertion))
            {
                std::string author = std::to_string(number);
                if (insertion != ' ')
                    author += insertion;
                const auto found = byChainNumber.find(name.substr(colon + 1) + ":" + author);
                if (found != byChainNumber.end())
                    residue = found->second;
            }
        }
        else if (residueNumberOf(name, number, insertion))
        {
            const auto found = byNumber.find(key(number, chain.numberedInOrder() ? ' ' : insertion));
            if (found != byNumber.end())
                residue = found->second;
        }
        if (residue == ResidueMatch::noResidue)
        {
            match.unplaced.push_back(static_cast<std::uint32_t>(site));
            continue;
        }
        match.residueOf[site] = residue;
        match.lettered += letterNamesResidue(name, chain.residues[residue]) ? 1 : 0;
        if (letterDisagrees(name, chain.residues[residue]))
            match.mismatched.push_back(static_cast<std::uint32_t>(site));
    }
    return match;
}

namespace
{

std::string chainWords(const ChainTrace& chain);

} // namespace

ResidueMatch alignResidues(const CorrelationNetwork& network, const ChainTrace& chain, std::string& note)
{
    // The two sequences a letter a residue, the chain's unknown residues X; BLOSUM62's residues by their
    // letters.
    const std::string& reference = network.referenceResidues;
    std::vector<std::string> query, target;
    for (const char letter : reference)
        query.emplace_back(1, letter);
    std::vector<bool> freeGaps;
    for (const ChainResidue& residue : chain.residues)
    {
        target.emplace_back(1, residue.letter == ' ' ? 'X' : residue.letter);
        freeGaps.push_back(freeGaps.empty() || !residue.joined);
    }
    gemmi::AlignmentScoring scoring = gemmi::prepare_blosum62_scoring();
    for (std::string& name : scoring.matrix_encoding)
        if (const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(name); info.found())
            name = std::string(
                1, static_cast<char>(std::toupper(static_cast<unsigned char>(info.one_letter_code))));
    const gemmi::AlignmentResult aligned = gemmi::align_string_sequences(query, target, freeGaps, scoring);

    // The chain's residue of each of the reference's, from 1.
    std::vector<std::uint32_t> residueOfReference(reference.size() + 1, ResidueMatch::noResidue);
    std::size_t inReference = 0, inChain = 0;
    for (const gemmi::AlignmentResult::Item item : aligned.cigar)
        for (std::uint32_t step = 0; step < item.len(); ++step)
        {
            if (item.op() == 'M')
                residueOfReference[inReference + 1] = static_cast<std::uint32_t>(inChain);
            inReference += item.op() != 'D' ? 1 : 0;
            inChain += item.op() != 'I' ? 1 : 0;
        }
    ResidueMatch match;
    match.residueOf.assign(network.siteCount(), ResidueMatch::noResidue);
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const int number = network.numbers[site];
        const bool residue = network.names[site][0] != '-' && number >= 1 &&
                             static_cast<std::size_t>(number) <= reference.size();
        match.residueOf[site] =
            residue ? residueOfReference[static_cast<std::size_t>(number)] : ResidueMatch::noResidue;
        if (match.residueOf[site] == ResidueMatch::noResidue)
            match.unplaced.push_back(static_cast<std::uint32_t>(site));
        else if (reference[static_cast<std::size_t>(number) - 1] !=
                 chain.residues[match.residueOf[site]].letter)
            match.mismatched.push_back(static_cast<std::uint32_t>(site));
    }
    note = printfText("Note: the reference, %zu residues, aligns to %s at %.1f%% identity (%d of its "
                      "residues); %zu "
                      "of the %zu sites stand on the residues theirs align to, and %zu %s left off",
                      reference.size(), chainWords(chain).c_str(), aligned.calculate_identity(),
                      aligned.match_count, network.siteCount() - match.unplaced.size(), network.siteCount(),
                      match.unplaced.size(), match.unplaced.size() == 1 ? "is" : "are");
    return match;
}

namespace
{

// Whether a site's name is its number alone, as a reader names a site the file numbers: X45, or 45.
bool numberedOnly(const std::string& name)
{
    const std::size_t digits = !name.empty() && name[0] == 'X' ? 1 : 0;
    return name.size() > digits && name.find_first_not_of("0123456789", digits) == std::string::npos;
}

std::string chainWords(const ChainTrace& chain)
{
    return (chain.numberedInOrder() ? "chains " : "chain ") + validText(chain.chain) + " of " +
           chain.fileName;
}

} // namespace

void nameSitesByResidue(CorrelationNetwork& network, const ChainTrace& chain, const ResidueMatch& match)
{
    for (std::uint32_t site = 0; site < network.siteCount(); ++site)
    {
        const std::uint32_t at = match.residueOf[site];
        if (at == ResidueMatch::noResidue || !numberedOnly(network.names[site]) ||
            chain.residues[at].letter == ' ')
            continue;
        const ChainResidue& residue = chain.residues[at];
        std::string name = residue.letter + authorNumber(residue);
        if (chain.numberedInOrder())
            name += ":" + validText(residue.chain);
        network.renameSite(site, name);
    }
}

std::string placementNote(const CorrelationNetwork& network, const ChainTrace& chain,
                          const ResidueMatch& match)
{
    std::vector<bool> named(chain.residues.size(), false);
    std::size_t placed = 0;
    for (const std::uint32_t residue : match.residueOf)
        if (residue != ResidueMatch::noResidue)
        {
            named[residue] = true;
            ++placed;
        }
    const auto unnamed = static_cast<std::size_t>(std::count(named.begin(), named.end(), false));
    const std::size_t residues = chain.residues.size();
    return "Note: " + std::to_string(placed) + " of the " + std::to_string(network.siteCount()) +
           (network.siteCount() == 1 ? " site stands" : " sites stand") + " on residues of " +
           chainWords(chain) +
           (unnamed == 0 ? "; every one of its " + std::to_string(residues) + " residues has a site"
                         : "; " + std::to_string(unnamed) + " of its " + std::to_string(residues) +
                               (unnamed == 1 ? " residues has" : " residues have") + " none");
}

std::string keepContactLinks(CorrelationNetwork& network, const ChainTrace& chain)
{
    const ResidueMatch match = matchResidues(network, chain);
    std::unordered_set<std::uint64_t> contacts;
    for (const auto& [first, second] : chain.contacts)
        contacts.insert(std::uint64_t(first) << 32 | second);
    std::vector<bool> kept(network.linkCount(), false);
    for (std::size_t link = 0; link < network.linkCount(); ++link)
    {
        std::uint32_t first = match.residueOf[network.links[link].first];
        std::uint32_t second = match.residueOf[network.links[link].second];
        if (first > second)
            std::swap(first, second);
        kept[link] =
            second != ResidueMatch::noResidue && contacts.count(std::uint64_t(first) << 32 | second) > 0;
    }
    const std::size_t total = network.linkCount();
    const std::size_t removed = network.keepLinks(kept);
    return "Note: the contact map of " + chainWords(chain) + " at " + shortestText(chain.contactDistance) +
           " Å (LINKMAP_CONTACT) keeps " + std::to_string(total - removed) + " of the " +
           std::to_string(total) + " links and removes " + std::to_string(removed) +
           ": those of residues fewer than three apart along the chain, or with no two heavy atoms that "
           "close, or of a site on no residue";
}

std::vector<std::string> residueWarnings(const CorrelationNetwork& network, const ChainTrace& chain,
                                         const ResidueMatch& match)
{
    const std::string where =
        (chain.numberedInOrder() ? " chains " : " chain ") + validText(chain.chain) + " of " + chain.fileName;
    std::vector<std::string> lines;
    if (!match.unplaced.empty())
    {
        const std::size_t count = match.unplaced.size();
        std::string line = "Warning: " + std::to_string(count) + (count == 1 ? " site is" : " sites are") +
                           " no residue of" + where + " and " + (count == 1 ? "stands" : "stand") +
                           " on a ring beside it: ";
        const std::size_t named = std::min<std::size_t>(count, 3);
        for (std::size_t i = 0; i < named; ++i)
            line += (i == 0 ? "" : ", ") + validText(network.names[match.unplaced[i]]);
        if (count > named)
            line += ", and " + std::to_string(count - named) + " more";
        lines.push_back(line);
    }
    const std::size_t shown = std::min<std::size_t>(match.mismatched.size(), 10);
    for (std::size_t i = 0; i < shown; ++i)
    {
        const std::uint32_t site = match.mismatched[i];
        const ChainResidue& residue = chain.residues[match.residueOf[site]];
        lines.push_back("Warning: " + validText(network.names[site]) + " is " + validText(residue.name) +
                        " " + authorNumber(residue) + " in" + where);
    }
    if (match.mismatched.size() > shown)
        lines.push_back("Warning: and " + std::to_string(match.mismatched.size() - shown) +
                        " more sites whose letter is not their residue's");
    return lines;
}

void checkSameMolecule(const CorrelationNetwork& network, const ChainTrace& chain, const ResidueMatch& match)
{
    if (match.mismatched.size() * 2 <= match.lettered)
        return;
    std::string examples;
    for (std::size_t i = 0; i < match.mismatched.size() && i < 3; ++i)
    {
        const std::uint32_t site = match.mismatched[i];
        const ChainResidue& residue = chain.residues[match.residueOf[site]];
        examples += (i == 0 ? "" : ", ") + validText(network.names[site]) + " is " + validText(residue.name) +
                    " " + authorNumber(residue);
    }
    throw InputError("Error: " + std::to_string(match.mismatched.size()) + " of the " +
                     std::to_string(match.lettered) + " sites that name their residue disagree with" +
                     (chain.numberedInOrder() ? " chains " : " chain ") + chain.chain + " of " +
                     chain.fileName + " (" + examples +
                     "): choose the chain with LINKMAP_CHAIN, or shift its numbers with "
                     "LINKMAP_RESIDUE_OFFSET");
}

std::string describeResidue(const ChainTrace& chain, const ChainResidue& residue)
{
    return validText(residue.name) + " " + authorNumber(residue) + ", chain " +
           validText(residue.chain.empty() ? chain.chain : residue.chain);
}
