#ifndef LINKMAP_SCENE_MOLECULEFILES
#define LINKMAP_SCENE_MOLECULEFILES 1

#include <network/ChainTrace.h>
#include <network/CorrelationNetwork.h>
#include <scene/FigureContent.h>
#include <scene/OutputError.h>

#include <cstdint>
#include <string>
#include <vector>

/** The files for molecular viewers: a PyMOL script that draws the network on its structure, and the
 *  structure itself with each residue's measures in the columns every viewer colours by. */
enum class MoleculeFormat
{
    PymolScript,
    MeasuredStructure
};

/** Whether fileName, in any case, names a file for molecular viewers: .pml or .pdb; format is set to which.
 */
bool moleculeFormatOf(const std::string& fileName, MoleculeFormat& format);

/** The largest B-factor a PDB file's column holds. */
constexpr double largestBFactor = 999.99;

/** What the residues of chain are given for the sites of network standing on them (residueOf, one a site: its
 *  residue's place in chain, or ResidueMatch::noResidue): the site's betweenness as the B-factor, divided by
 *  divisor, the least power of ten that fits the largest in the column; and its community, numbered from 1
 *  as the key and GraphML number them (the largest first), as the occupancy (0 beyond 999, which the column
 * cannot hold). Residues no site stands on are given 0 and 0. */
std::vector<ResidueValues> residueMeasures(const CorrelationNetwork& network, const ChainTrace& chain,
                                           const std::vector<std::uint32_t>& residueOf, double& divisor);

/** Writes chain's structure as PDB to fileName, its residues given the measures of the sites on them
 *  (residueMeasures); returns the notes to print: the divisor of the B-factors, when it is not 1. Throws
 *  OutputError, saying why, when the file cannot be written. */
std::vector<std::string> writeMeasuredStructure(const CorrelationNetwork& network, const ChainTrace& chain,
                                                const std::vector<std::uint32_t>& residueOf,
                                                const std::string& fileName);

/** What a PyMOL script draws: the figure, the view it opens on and the size of the window it was framed for,
 *  the structure the sites stand on, the residue
 *  of each site (its place in chain, or ResidueMatch::noResidue), and each site's community, from 0 (empty
 *  when none was found). */
struct PymolContent
{
    FigureContent figure;
    SceneCamera camera;
    int width = 1280;
    int height = 1024;
    const ChainTrace* chain = nullptr;
    std::vector<std::uint32_t> residueOf;
    std::vector<std::uint32_t> communities;
};

/** The PyMOL script of content: it loads the structure by its path as a thin tube; draws every site as a
 *  sphere (object "sites") and every link the filter shows as a cylinder (objects "links" and, while paths
 *  show, "paths"), as large and in the colours the figure draws them, as CGO; selects the residues of each
 *  community ("community_1"…) and of each region ("positive"…); and opens on the camera's view. */
std::string pymolScript(const PymolContent& content);

/** Writes pymolScript(content) to fileName. Throws OutputError, saying why, when it cannot be written. */
void writePymolScript(const PymolContent& content, const std::string& fileName);

#endif
