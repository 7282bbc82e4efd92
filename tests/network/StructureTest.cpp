#include <network/ChainTrace.h>
#include <network/CorrelationNetwork.h>
#include <network/LineReader.h>
#include <network/NetworkReader.h>
#include <scene/SiteLayout.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace
{

const std::string protease = std::string(LINKMAP_SOURCE_DIR) + "/examples/1hpv.pdb";

// The Cα atoms of the structure's text, read by their columns: chain and number to name and place.
struct Alpha
{
    std::string name;
    float x, y, z;
};
std::map<std::pair<char, int>, Alpha> alphaCarbons(const std::string& pdb)
{
    std::map<std::pair<char, int>, Alpha> atoms;
    std::istringstream lines(pdb);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("ATOM", 0) == 0 && line.substr(12, 4) == " CA ")
            atoms[{line[21], std::stoi(line.substr(22, 4))}] =
                Alpha{line.substr(17, 3), std::stof(line.substr(30, 8)), std::stof(line.substr(38, 8)),
                      std::stof(line.substr(46, 8))};
    return atoms;
}

CorrelationNetwork sitesNamed(const std::vector<std::string>& names)
{
    CorrelationNetwork network;
    for (const std::string& name : names)
        network.addSite(name);
    return network;
}

std::string refusal(const std::string& path, const std::string& chain, int offset = 0)
{
    try
    {
        readChainTrace(path, chain, offset);
    }
    catch (const InputError& error)
    {
        return error.what();
    }
    return "read";
}

TEST(Structure, ReadsEveryResidueAtItsAlphaCarbonFromPdbMmcifAndGzippedMmcifAlike)
{
    TemporaryFolder folder;
    const std::string cif = folder.path("1hpv.cif");
    ASSERT_EQ(
        std::system(("gemmi convert '" + protease + "' '" + cif + "' && gzip -k '" + cif + "'").c_str()), 0);
    const auto alphas = alphaCarbons(readText(protease));
    ASSERT_EQ(alphas.size(), 198u);
    for (const std::string& path : {protease, cif, cif + ".gz"})
    {
        for (const std::string asked : {"", "A", "B"})
        {
            const ChainTrace trace = readChainTrace(path, asked, 100);
            const char chain = asked.empty() ? 'A' : asked[0];
            EXPECT_EQ(trace.chain, std::string(1, chain)) << path;
            ASSERT_EQ(trace.residues.size(), 99u) << path;
            for (const ChainResidue& residue : trace.residues)
            {
                const Alpha& alpha = alphas.at({chain, residue.authorNumber});
                EXPECT_EQ(residue.number, residue.authorNumber + 100);
                EXPECT_EQ(residue.name, alpha.name);
                EXPECT_NEAR(residue.x, alpha.x, 0.001) << path << " " << residue.authorNumber;
                EXPECT_NEAR(residue.y, alpha.y, 0.001);
                EXPECT_NEAR(residue.z, alpha.z, 0.001);
                // One unbroken chain: only the first residue starts the trace.
                EXPECT_EQ(residue.joined, residue.authorNumber != 1) << path << " " << residue.authorNumber;
            }
            EXPECT_EQ(trace.residues[44].letter, 'K');
            EXPECT_EQ(describeResidue(trace, trace.residues[44]), "LYS 45, chain " + trace.chain);
        }
    }

    // Residues missing from the file break the trace, and the layout draws it as two runs. Short records, a
    // NUL and CR LF line ends are read as the format's full lines.
    std::string gapped = "SSBOND   1 CYS A   67    CYS A   95" + std::string(38, ' ') + "2.0\r\n";
    gapped += std::string("REMARK   1 A NUL \0 IN A REMARK\r\n", 32);
    std::istringstream lines(readText(protease));
    for (std::string line; std::getline(lines, line);)
        if (!(line.rfind("ATOM", 0) == 0 && line[21] == 'A' && std::stoi(line.substr(22, 4)) / 10 == 2))
            gapped += line + "\n";
    const ChainTrace broken = readChainTrace(folder.write("gapped.pdb", gapped), "A", 0);
    ASSERT_EQ(broken.residues.size(), 89u);
    EXPECT_FALSE(broken.residues[19].joined);
    EXPECT_EQ(broken.residues[19].authorNumber, 30);
    const CorrelationNetwork none;
    const SiteLayout layout = layoutOnChain(none, broken, matchResidues(none, broken));
    ASSERT_EQ(layout.trace.size(), 2u);
    EXPECT_EQ(layout.trace[0].size() + layout.trace[1].size(), 89u);
}

TEST(Structure, ReadsOnlyTheFormatsEightyColumnsOfEachLineWhateverEndsIt)
{
    // A long LINK line whose tail the reader once took for a record of its own and read past its end (found
    // by fuzzing; it fails under AddressSanitizer without the cut at column 80). The first byte chooses the
    // chain and the offset, as in the fuzz target.
    const std::string found = readText(dataFile("structure-long-line.bin"));
    try
    {
        const ChainTrace trace = readChainTrace(std::vector<char>(found.begin() + 1, found.end()),
                                                "found.pdb", (found[0] & 1) != 0 ? "A" : "", found[0] / 2);
        EXPECT_FALSE(trace.residues.empty());
    }
    catch (const InputError& error)
    {
        EXPECT_EQ(std::string(error.what()).rfind("Error: LINKMAP_STRUCTURE names found.pdb", 0), 0u);
    }

    // What stands beyond column 80 is no record, even after a byte above 127; lines ended by carriage
    // returns alone are lines.
    const std::string first = "ATOM      2  CA  PRO A   1      12.941  39.418   6.575  1.00 31.00";
    const std::string second = "ATOM     10  CA  GLN A   2      11.000  37.000   7.000  1.00 30.00";
    const std::string hidden =
        "ATOM     20  CA  ILE A  99      10.000  36.000   8.000  1.00 30.00           C";
    const std::string tail = std::string(80 - first.size(), ' ') + std::string(41, 'x') + "\xe9" + hidden;
    TemporaryFolder folder;
    for (const std::string& text : {first + tail + "\n" + second + "\n", first + tail + "\r" + second + "\r",
                                    first + "\r\n" + second + tail + "\r\n"})
    {
        const ChainTrace trace = readChainTrace(folder.write("long.pdb", text), "", 0);
        ASSERT_EQ(trace.residues.size(), 2u) << text;
        EXPECT_EQ(trace.residues[0].authorNumber, 1);
        EXPECT_EQ(trace.residues[1].authorNumber, 2);
        EXPECT_FLOAT_EQ(trace.residues[1].x, 11.0f);
    }
}

TEST(Structure, RefusesAFileThatHoldsNoChainAndAChainThatIsNotThere)
{
    TemporaryFolder folder;
    EXPECT_EQ(refusal(folder.path("none.pdb"), ""),
              "Error: LINKMAP_STRUCTURE names none.pdb, which cannot be opened: No such file or directory");
    EXPECT_EQ(
        refusal(dataFile("worked-example.txt"), ""),
        "Error: LINKMAP_STRUCTURE names worked-example.txt, which holds no chain of residues with Cα or "
        "C4′ atoms");
    EXPECT_EQ(
        refusal(folder.write("broken.cif", "data_x\nloop_\n_atom_site.id\n'unclosed\n"), "")
            .rfind("Error: LINKMAP_STRUCTURE names broken.cif, which cannot be read as PDB or mmCIF: ", 0),
        0u);
    EXPECT_EQ(refusal(protease, "C"),
              "Error: LINKMAP_CHAIN is C, but 1hpv.pdb has no chain C of residues; its "
              "chains are A, B");
    // Waters and the inhibitor are no chain of residues, even where they have a chain of their own.
    std::string ligandOnly;
    std::istringstream lines(readText(protease));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("HETATM", 0) == 0)
            ligandOnly += line + "\n";
    EXPECT_EQ(
        refusal(folder.write("ligand.pdb", ligandOnly), ""),
        "Error: LINKMAP_STRUCTURE names ligand.pdb, which holds no chain of residues with Cα or C4′ atoms");
    // A contact map spans its atoms' box in cells of the distance asked for: atoms a hundred thousand
    // ångströms apart would need more cells than memory holds, and are refused (the fuzzer's find).
    std::string spread;
    std::istringstream atoms(readText(protease));
    for (std::string line; std::getline(atoms, line);)
        if (line.rfind("ATOM", 0) == 0)
        {
            if (spread.empty())
                line.replace(30, 24, "99999.99-99999.99 9999.99");
            spread += line + "\n";
        }
    const std::string far = folder.write("far.pdb", spread);
    EXPECT_EQ(refusal(far, "A"), "read");
    try
    {
        readChainTrace(far, "A", 0, 4.0);
        ADD_FAILURE() << "the contact map of far.pdb was found";
    }
    catch (const InputError& error)
    {
        EXPECT_EQ(std::string(error.what())
                      .rfind("Error: LINKMAP_CONTACT asks for the contacts of far.pdb, whose "
                             "atoms spread over 1",
                             0),
                  0u)
            << error.what();
    }
}

TEST(Structure, MatchesSitesToResiduesAndWarnsOfEveryOneThatStandsElsewhere)
{
    // W45 names residue 45, a lysine; 300 and "loop" are no residue; x46 and 47 are a letter that is no code
    // and a bare number, so neither is warned of.
    const CorrelationNetwork network = sitesNamed({"K45", "W45", "x46", "47", "Q300", "loop"});
    const ChainTrace chain = readChainTrace(protease, "", 0);
    const ResidueMatch match = matchResidues(network, chain);
    const std::map<std::string, int> expected = {{"K45", 45}, {"W45", 45},  {"x46", 46},
                                                 {"47", 47},  {"Q300", -1}, {"loop", -1}};
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const int number = expected.at(network.names[site]);
        const std::uint32_t residue = match.residueOf[site];
        EXPECT_EQ(residue == ResidueMatch::noResidue ? -1 : chain.residues[residue].number, number)
            << network.names[site];
    }
    EXPECT_EQ(
        residueWarnings(network, chain, match),
        (std::vector<std::string>{"Warning: 2 sites are no residue of chain A of 1hpv.pdb and stand on a "
                                  "ring beside it: Q300, loop",
                                  "Warning: W45 is LYS 45 in chain A of 1hpv.pdb"}));

    // Numbered one too high, every site but the first is another residue: ten are named, the rest counted.
    std::vector<std::string> names;
    for (const ChainResidue& residue : chain.residues)
        if (residue.letter != chain.residues[residue.number % 99].letter)
            names.push_back(std::string(1, residue.letter) + std::to_string(residue.number + 1));
    const CorrelationNetwork shifted = sitesNamed(names);
    const std::vector<std::string> lines = residueWarnings(shifted, chain, matchResidues(shifted, chain));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1], "Warning: P2 is GLN 2 in chain A of 1hpv.pdb");
    EXPECT_EQ(lines[11], "Warning: and " + std::to_string(shifted.siteCount() - 11) +
                             " more sites whose letter is not their residue's");
    EXPECT_EQ(lines[0],
              "Warning: 1 site is no residue of chain A of 1hpv.pdb and stands on a ring beside it: " +
                  names.back());
}

TEST(Structure, InsertionCodesNameResiduesOfTheirOwnAndSitesKnownByNumberTakeTheirResiduesNames)
{
    // Chain A of bio3d's test file: GLY 1, TES 2, GLY 3, GLU 4, SER 5 and GLY 5I, then ligands.
    const ChainTrace chain = readChainTrace(dataFile("structures/test.pdb.gz"), "A", 0);
    CorrelationNetwork network = sitesNamed({"G5I", "S5", "X5", "5I", "X1", "4", "X2", "X7", "X8", "G9"});
    const ResidueMatch match = matchResidues(network, chain);
    std::vector<std::string> placed;
    for (std::size_t site = 0; site < network.siteCount(); ++site)
        placed.push_back(match.residueOf[site] == ResidueMatch::noResidue
                             ? "-"
                             : chain.residues[match.residueOf[site]].name + " " +
                                   std::to_string(chain.residues[match.residueOf[site]].authorNumber) +
                                   chain.residues[match.residueOf[site]].insertion);
    EXPECT_EQ(placed, (std::vector<std::string>{"GLY 5I", "SER 5 ", "SER 5 ", "GLY 5I", "GLY 1 ", "GLU 4 ",
                                                "TES 2 ", "-", "-", "-"}));
    // The ligands GDP 7 and CA 8 are no residue; the warning names three.
    EXPECT_EQ(
        residueWarnings(network, chain, match).front(),
        "Warning: 3 sites are no residue of chain A of test.pdb.gz and stand on a ring beside it: X7, X8, "
        "G9");
    EXPECT_EQ(
        placementNote(network, chain, match),
        "Note: 7 of the 10 sites stand on residues of chain A of test.pdb.gz; 1 of its 6 residues has none");
    // A site the file knows by its number alone takes its residue's name, where the residue has a letter;
    // the log keeps the file's names.
    nameSitesByResidue(network, chain, match);
    // X5 and 5I keep theirs, which S5 and G5I bear.
    EXPECT_EQ(network.names,
              (std::vector<std::string>{"G5I", "S5", "X5", "5I", "G1", "E4", "X2", "X7", "X8", "G9"}));
    EXPECT_EQ(network.fileName(4), "X1");
    EXPECT_EQ(network.findSite("G1"), 4u);
    EXPECT_EQ(network.findSite("X1"), 4u); // as the settings that name sites may call it
    EXPECT_EQ(network.findSite("K1"), network.siteCount());
}

TEST(Structure, AComplexsChainsAreNumberedInFileOrderAndAMatrixOfThemNamesEachSiteWithItsChain)
{
    // Both chains of the protease dimer, 99 residues each: sites 1 to 198 in file order, whatever the chains'
    // own numbers, and a list of chains in any order takes them in file order.
    const ChainTrace both = readChainTrace(protease, "all", 0);
    ASSERT_EQ(both.residues.size(), 198u);
    EXPECT_EQ(both.chain, "A,B");
    EXPECT_EQ(readChainTrace(protease, "B,A", 0).residues.size(), 198u);
    EXPECT_EQ(refusal(protease, "A,C"),
              "Error: LINKMAP_CHAIN is A,C, but 1hpv.pdb has no chain C of residues; its chains are A, B");
    const ChainTrace chainB = readChainTrace(protease, "B", 0);

    // A matrix labelled as bio3d labels a homodimer's, every label twice, reads with the chain in each name,
    // and every site stands at its own chain's residue.
    const std::map<std::pair<char, int>, Alpha> alphas = alphaCarbons(readText(protease));
    std::vector<std::string> labels;
    for (const ChainResidue& residue : both.residues)
        labels.push_back("\"" + std::string(1, residue.letter) + std::to_string(residue.authorNumber) + "\"");
    std::string named = "\"\"";
    for (const std::string& label : labels)
        named += "," + label;
    for (std::size_t row = 0; row < labels.size(); ++row)
    {
        named += "\n" + labels[row];
        for (std::size_t column = 0; column < labels.size(); ++column)
            named += column == row + 1 || row == column + 1 ? ",0.5" : column == row ? ",1" : ",0";
    }
    TemporaryFolder folder;
    ReadSettings settings;
    for (const ChainResidue& residue : both.residues)
        settings.residueChains.push_back(residue.chain);
    CorrelationNetwork network;
    LoadProgress silent;
    captureOutput([&] { readNetwork(folder.write("dimer.csv", named + "\n"), settings, network, silent); });
    ASSERT_EQ(network.siteCount(), 198u);
    EXPECT_EQ(network.names[0], "P1:A");
    EXPECT_EQ(network.names[99], "P1:B");
    const ResidueMatch match = matchResidues(network, both);
    EXPECT_TRUE(match.unplaced.empty());
    EXPECT_TRUE(match.mismatched.empty());
    for (std::size_t site = 0; site < network.siteCount(); ++site)
    {
        const ChainResidue& residue = both.residues[match.residueOf[site]];
        const char chain = network.names[site].back();
        EXPECT_EQ(residue.chain, std::string(1, chain));
        EXPECT_NEAR(residue.x, alphas.at({chain, residue.authorNumber}).x, 0.001) << network.names[site];
    }
    EXPECT_EQ(describeResidue(both, both.residues[match.residueOf[99]]), "PRO 1, chain B");

    // Sites known by their numbers alone stand at the residues in file order: 100 is chain B's first.
    const CorrelationNetwork numbered = sitesNamed({"X1", "X100", "X198", "X199"});
    const ResidueMatch byOrder = matchResidues(numbered, both);
    EXPECT_EQ(both.residues[byOrder.residueOf[1]].chain, "B");
    EXPECT_FLOAT_EQ(both.residues[byOrder.residueOf[1]].x, chainB.residues[0].x);
    EXPECT_FLOAT_EQ(both.residues[byOrder.residueOf[2]].x, chainB.residues[98].x);
    EXPECT_EQ(residueWarnings(numbered, both, byOrder).front(),
              "Warning: 1 site is no residue of chains A,B of 1hpv.pdb and stands on a ring beside it: X199");
}

} // namespace

// Every structure Debian ships in bio3d and PyMOL's data, and PDB entries from Biopython's tests
// (tests/data/structures, write.sh there), against the trace bio3d reads of each.
TEST(Structure, EveryShippedStructureGivesTheTraceBio3dReads)
{
    struct Residue
    {
        std::string chain, number, name;
        double x, y, z;
    };
    std::map<std::string, std::vector<Residue>> expected;
    readTextLines(dataFile("structures/expected.tsv.gz"), [&](const std::string& line, std::size_t) {
        std::istringstream fields(line);
        std::string file, chain, number, insertion, name, x, y, z;
        for (std::string* field : {&file, &chain, &number, &insertion, &name, &x, &y, &z})
            std::getline(fields, *field, '\t');
        std::vector<Residue>& residues = expected[file];
        if (chain != "-")
            residues.push_back({chain, number + insertion, name, std::stod(x), std::stod(y), std::stod(z)});
    });
    EXPECT_EQ(expected.size(), 24u);
    // An NMR entry's models: the first is read, and a note says so.
    EXPECT_EQ(
        readChainTrace(dataFile("structures/1LCD.pdb.gz"), "", 0).notes,
        std::vector<std::string>{"Note: 1LCD.pdb.gz holds 3 models; the sites stand on the first, model 1"});
    EXPECT_TRUE(readChainTrace(dataFile("structures/1dpx.pdb.gz"), "", 0).notes.empty());
    for (const auto& [file, residues] : expected)
    {
        SCOPED_TRACE(file);
        const std::string path = dataFile("structures/" + file);
        if (residues.empty())
        {
            EXPECT_NE(refusal(path, "all").find("holds no chain of residues"), std::string::npos);
            continue;
        }
        const ChainTrace trace = readChainTrace(path, "all", 0);
        // TES, the residue bio3d's test file makes up, is a residue of the polymer to gemmi, not to bio3d.
        std::vector<std::size_t> known;
        for (std::size_t at = 0; at < trace.residues.size(); ++at)
            if (trace.residues[at].name != "TES")
                known.push_back(at);
        ASSERT_EQ(known.size(), residues.size());
        for (std::size_t at = 0; at < residues.size(); ++at)
        {
            const ChainResidue& read = trace.residues[known[at]];
            const Residue& wanted = residues[at];
            const std::string number = std::to_string(read.authorNumber) +
                                       (read.insertion == ' ' ? "" : std::string(1, read.insertion));
            // bio3d calls a blank chain NA.
            EXPECT_EQ((read.chain.empty() ? "NA" : read.chain) + " " + number + " " + read.name,
                      wanted.chain + " " + wanted.number + " " + wanted.name);
            EXPECT_LT(std::fabs(read.x - wanted.x) + std::fabs(read.y - wanted.y) +
                          std::fabs(read.z - wanted.z),
                      0.003);
            // The trace runs on from a residue to the next of its chain when they are as close as bonded
            // residues' Cα are, and breaks where they are farther apart than bonded ones can be.
            if (known[at] == 0 || trace.residues[known[at] - 1].chain != read.chain)
                continue;
            const ChainResidue& before = trace.residues[known[at] - 1];
            const double apart = std::hypot(read.x - before.x, read.y - before.y, read.z - before.z);
            if (read.aminoAcid && apart < 4.0)
            {
                EXPECT_TRUE(read.joined) << number << " is " << apart << " from the one before";
            }
            if (read.joined)
            {
                EXPECT_LT(apart, read.aminoAcid ? 5.0 : 8.0) << number;
            }
        }
    }
}
