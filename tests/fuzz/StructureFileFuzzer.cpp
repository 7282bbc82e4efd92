// The reader of PDB and mmCIF structures, and the placing of sites on the chain it reads.
#include <FuzzInput.h>
#include <network/ChainTrace.h>
#include <network/NetworkReader.h>
#include <scene/SiteLayout.h>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the chain, the offset and whether contacts are found; the rest is the file.
    if (size == 0)
        return 0;
    const std::string chain = (data[0] & 1) != 0 ? "A" : "";
    const int offset = static_cast<signed char>(data[0]) / 4;
    const double contact = (data[0] & 2) != 0 ? 4.5 : 0.0;
    ChainTrace trace;
    try
    {
        trace = readChainTrace(std::vector<char>(data + 1, data + size), "fuzz.pdb", chain, offset, contact);
    }
    catch (const InputError& error)
    {
        checkText(error.what());
        return 0;
    }

    // A chain of residues at places that are numbers, on which sites of any name stand or are set beside.
    if (trace.residues.empty() || (!chain.empty() && trace.chain != chain))
        std::abort();
    CorrelationNetwork network;
    for (const std::string& line : trace.notes)
        checkText(line);
    for (const auto& [first, second] : trace.contacts)
        if (second >= trace.residues.size() || first + 3 > second)
            std::abort();
    for (const char* name : {"K1", "A2", "G-3", "X", "7", "M2147483647", "Q99999999999", "G5A", "X12", "5B"})
        network.addSite(name);
    for (const ChainResidue& residue : trace.residues)
    {
        if (!std::isfinite(residue.x) || !std::isfinite(residue.y) || !std::isfinite(residue.z) ||
            residue.number != residue.authorNumber + offset)
            std::abort();
        network.addSite("K" + std::to_string(residue.number));
    }
    const ResidueMatch match = matchResidues(network, trace);
    const SiteLayout layout = layoutOnChain(network, trace, match);
    for (const std::string& line : residueWarnings(network, trace, match))
        checkText(line);
    try
    {
        checkSameMolecule(network, trace, match);
    }
    catch (const InputError& error)
    {
        checkText(error.what());
    }
    for (const ChainResidue& residue : trace.residues)
        checkText(describeResidue(trace, residue));
    checkText(placementNote(network, trace, match));
    for (std::uint32_t site = 0; site + 1 < network.siteCount(); ++site)
        network.addLink(site, site + 1, 0.5f);
    if (contact > 0.0)
        checkText(keepContactLinks(network, trace));
    nameSitesByResidue(network, trace, matchResidues(network, trace));
    for (std::size_t site = 0; site < network.siteCount(); ++site)
        if (network.findSite(network.names[site]) != site)
            std::abort();
    if (layout.positions.size() != network.siteCount())
        std::abort();
    for (const osg::Vec3& place : layout.positions)
        if (!place.valid())
            std::abort();
    return 0;
}
