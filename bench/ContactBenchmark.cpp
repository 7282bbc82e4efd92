// Prints how long a structure of 3,096 residues takes to read, with and without its contact map at 4 Å as
// bio3d's cmap finds it: 24 copies of lysozyme (tests/data/structures/1hel.pdb.gz, all its atoms but the
// waters), side by side 45 Å apart and numbered on as one chain. Run from the build folder:
//     bench/ContactBenchmark [RUNS]
#include <network/ChainTrace.h>
#include <network/LineReader.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// The copies, each as a PDB file's ATOM records: shifted along x, residues numbered on, serials too.
std::vector<char> copiesOf(const std::string& pdb, int copies)
{
    std::vector<std::string> atoms;
    std::istringstream lines(pdb);
    int residues = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("ATOM  ", 0) == 0 && line.size() >= 54)
        {
            atoms.push_back(line);
            residues = std::max(residues, std::stoi(line.substr(22, 4)));
        }
    std::string text;
    int serial = 0;
    char field[16];
    for (int copy = 0; copy < copies; ++copy)
        for (std::string line : atoms)
        {
            std::snprintf(field, sizeof field, "%5d", ++serial % 100000);
            line.replace(6, 5, field);
            std::snprintf(field, sizeof field, "%4d", std::stoi(line.substr(22, 4)) + copy * residues);
            line.replace(22, 4, field);
            std::snprintf(field, sizeof field, "%8.3f", std::stod(line.substr(30, 8)) + 45.0 * copy);
            line.replace(30, 8, field);
            text += line + "\n";
        }
    text += "END\n";
    return std::vector<char>(text.begin(), text.end());
}

double secondsFor(const std::vector<char>& text, double contact, ChainTrace& trace)
{
    const auto start = std::chrono::steady_clock::now();
    trace = readChainTrace(text, "copies.pdb", "", 0, contact);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<char> text =
        copiesOf(readWholeText(std::string(LINKMAP_TEST_DATA) + "/structures/1hel.pdb.gz"), 24);
    std::vector<double> read, mapped;
    ChainTrace trace;
    for (int run = 0; run < runs; ++run)
    {
        read.push_back(secondsFor(text, 0.0, trace));
        mapped.push_back(secondsFor(text, 4.0, trace));
    }
    std::printf("structure: %zu residues, %.1f MB of PDB text, %zu pairs in contact at 4 A\n",
                trace.residues.size(), static_cast<double>(text.size()) / 1e6, trace.contacts.size());
    std::printf("read: %.3f s; read and contact map: %.3f s (medians of %d runs)\n", median(read),
                median(mapped), runs);
    return 0;
}
