#include <network/NumberText.h>
#include <network/RegionKind.h>
#include <network/ValidText.h>
#include <scene/GlyphStyle.h>
#include <scene/MoleculeFiles.h>
#include <scene/NetworkFile.h>

#include <osg/Matrixd>
#include <osgDB/FileNameUtils>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>

bool moleculeFormatOf(const std::string& fileName, MoleculeFormat& format)
{
    const std::string extension = osgDB::getLowerCaseFileExtension(fileName);
    if (extension == "pml")
        format = MoleculeFormat::PymolScript;
    else if (extension == "pdb")
        format = MoleculeFormat::MeasuredStructure;
    else
        return false;
    return true;
}

std::vector<ResidueValues> residueMeasures(const CorrelationNetwork& network, const ChainTrace& chain,
                                           const std::vector<std::uint32_t>& residueOf, double& divisor)
{
    const std::vector<std::uint32_t>& communities = network.communities;
    double largest = 0.0;
    for (const double value : network.betweenness)
        largest = std::max(largest, value);
    divisor = 1.0;
    while (largest / divisor > largestBFactor)
        divisor *= 10.0;
    std::vector<ResidueValues> values(chain.residues.size());
    for (std::size_t site = 0; site < residueOf.size() && site < network.siteCount(); ++site)
    {
        const std::uint32_t residue = residueOf[site];
        if (residue >= values.size())
            continue;
        if (site < network.betweenness.size())
            values[residue].bFactor = network.betweenness[site] / divisor;
        if (site < communities.size() && communities[site] < 999)
            values[residue].occupancy = communities[site] + 1.0;
    }
    return values;
}

std::vector<std::string> writeMeasuredStructure(const CorrelationNetwork& network, const ChainTrace& chain,
                                                const std::vector<std::uint32_t>& residueOf,
                                                const std::string& fileName)
{
    double divisor = 1.0;
    const std::vector<ResidueValues> values = residueMeasures(network, chain, residueOf, divisor);
    std::string text;
    try
    {
        text = structureWithResidueValues(chain, values);
    }
    catch (const InputError& error)
    {
        throw OutputError("Error: could not write " + validText(fileName) + ": " + error.what());
    }
    writeTextFile(fileName, text);
    std::vector<std::string> notes;
    if (divisor != 1.0)
        notes.push_back("Note: the B-factors of " + validText(fileName) + " are the betweenness divided by " +
                        shortestText(divisor) + ", as the largest does not fit the column");
    return notes;
}

namespace
{

// A number of the script, as short as it reads back to the float.
std::string number(double value)
{
    return shortestText(static_cast<float>(value));
}

// A Python string literal of text: JSON's is one.
std::string pythonText(const std::string& text)
{
    return nlohmann::json(validText(text)).dump();
}

// The name PyMOL gives an object of the structure at path: its file's name without its extensions, in
// letters, digits and underscores.
std::string objectName(const std::string& path)
{
    std::string name = std::filesystem::path(path).filename().string();
    name = name.substr(0, name.find('.'));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            c = '_';
    return name.empty() ? "structure" : name;
}

// PyMOL's selection of the residues of chain at indices: each chain's residue numbers, with their insertion
// codes, joined by +; a negative number escaped.
std::string residueSelection(const std::string& object, const ChainTrace& chain,
                             const std::vector<std::uint32_t>& indices)
{
    std::map<std::string, std::string> numbersByChain;
    for (const std::uint32_t index : indices)
    {
        const ChainResidue& residue = chain.residues[index];
        std::string& numbers = numbersByChain[residue.chain.empty() ? chain.chain : residue.chain];
        numbers += (numbers.empty() ? "" : "+") + std::string(residue.authorNumber < 0 ? "\\" : "") +
                   std::to_string(residue.authorNumber) +
                   (residue.insertion == ' ' ? std::string() : std::string(1, residue.insertion));
    }
    std::string selection;
    for (const auto& [name, numbers] : numbersByChain)
        selection +=
            (selection.empty() ? "" : " or ") + std::string("(chain ") + name + " and resi " + numbers + ")";
    return object + " and (" + selection + ")";
}

// A colour as CGO's COLOR takes it.
std::string cgoColor(const osg::Vec4& color)
{
    return number(color.r()) + ", " + number(color.g()) + ", " + number(color.b());
}

std::string cgoPoint(const osg::Vec3& place)
{
    return number(place.x()) + ", " + number(place.y()) + ", " + number(place.z());
}

// PyMOL's view of camera: the turn from the structure's frame to the camera's (column by column), the eye
// from the point it turns round, that point, the clipping planes' distances, and the field of view (negative
// for a perspective).
std::string pymolView(const SceneCamera& camera)
{
    const osg::Matrixd turn = osg::Matrixd::lookAt(camera.eye, camera.center, camera.up);
    std::vector<double> view;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            view.push_back(turn(row, column));
    const double distance = (camera.eye - camera.center).length();
    view.insert(view.end(), {0.0, 0.0, -distance, camera.center.x(), camera.center.y(), camera.center.z(),
                             std::max(camera.near, 0.01), camera.far, -camera.fieldOfView});
    std::string text;
    for (const double value : view)
        text += (text.empty() ? "" : ", ") + number(value);
    return "(" + text + ")";
}

} // namespace

std::string pymolScript(const PymolContent& content)
{
    const FigureContent& figure = content.figure;
    const ChainTrace& chain = *content.chain;
    const std::string object = objectName(chain.path);
    std::string script = "# The correlation network drawn by linkmap on " + validText(chain.fileName) +
                         ": pymol this.pml, or File > Run Script in PyMOL.\n"
                         "python\n"
                         "from pymol import cmd\n"
                         "from pymol.cgo import COLOR, CYLINDER, SPHERE\n";
    const std::string structurePath = std::filesystem::absolute(chain.path).string();
    script += "cmd.load(" + pythonText(structurePath) + ", " + pythonText(object) + ")\n";
    // The chains the sites stand on as a thin tube, the rest of the structure hidden.
    std::vector<std::string> chains;
    for (const ChainResidue& residue : chain.residues)
    {
        const std::string& name = residue.chain.empty() ? chain.chain : residue.chain;
        if (std::find(chains.begin(), chains.end(), name) == chains.end())
            chains.push_back(name);
    }
    std::string shown;
    for (const std::string& name : chains)
        shown += (shown.empty() ? "" : "+") + name;
    script += "cmd.hide(\"everything\", " + pythonText(object) + ")\n";
    script += "cmd.show(\"cartoon\", " + pythonText(object + " and chain " + shown) + ")\n";
    script += "cmd.cartoon(\"tube\", " + pythonText(object) + ")\n";
    script += "cmd.set(\"cartoon_tube_radius\", " + number(GlyphStyle::traceTubeRadius) + ")\n";
    // The trace dims with the sites while paths show, as linkmap's does.
    const osg::Vec4 traceColor =
        figure.traceDimmed ? dimmedColor(GlyphStyle::traceColor, figure.background) : GlyphStyle::traceColor;
    script += "cmd.set_color(\"linkmap_trace\", [" + cgoColor(traceColor) + "])\n";
    script += "cmd.color(\"linkmap_trace\", " + pythonText(object) + ")\n";
    script += "cmd.set(\"bg_rgb\", [" + cgoColor(figure.background) + "])\n";
    script += "cmd.set(\"ray_opaque_background\", 1)\n";

    // The spheres, as large and in the colours linkmap draws them; each object's shapes on one line, as PyMOL
    // echoes every line it runs.
    const std::size_t siteCount = figure.sites.size();
    std::string sites;
    for (std::size_t site = 0; site < siteCount; ++site)
    {
        const RegionKind kind = site < figure.kinds.size() ? figure.kinds[site] : RegionKind::None;
        osg::Vec4 color;
        if (!siteColor(figure.colors, site, kind, color))
            regionColor(RegionKind::None, color);
        if (site < figure.dimmedSites.size() && figure.dimmedSites[site])
            color = dimmedColor(color, figure.background);
        sites += "COLOR, " + cgoColor(color) + ", SPHERE, " + cgoPoint(figure.sites[site]) + ", " +
                 number(figure.glyphs.siteRadius * figure.sphereScale(site)) + ", ";
    }

    // The links the filter shows, as thick and in the colours linkmap draws them; while paths show, theirs
    // apart from the rest, which are dimmed.
    std::string links;
    std::string pathLinks;
    for (std::size_t link = 0; link < figure.links.size(); ++link)
    {
        if (!figure.linkShown(link))
            continue;
        const SiteLink& each = figure.links[link];
        const bool dimmed = !figure.emphasised.empty() && !figure.emphasised[link];
        osg::Vec4 color = weightColor(each.weight, figure.glyphs.weightTop);
        if (dimmed)
            color = dimmedColor(color, figure.background);
        const std::string rgb = cgoColor(color);
        (!figure.linkThickness.empty() && !dimmed ? pathLinks : links) +=
            "CYLINDER, " + cgoPoint(figure.sites[each.first]) + ", " + cgoPoint(figure.sites[each.second]) +
            ", " + number(figure.glyphs.linkRadius * figure.linkScale(link)) + ", " + rgb + ", " + rgb + ", ";
    }
    for (const auto& [name, shapes] :
         {std::pair<const char*, const std::string&>{"sites", sites}, {"links", links}, {"paths", pathLinks}})
        if (!shapes.empty())
            script += "cmd.load_cgo([" + shapes + "], \"" + name + "\")\n";

    // The residues of each community and of each region, as selections.
    std::map<std::uint32_t, std::vector<std::uint32_t>> byCommunity;
    std::map<RegionKind, std::vector<std::uint32_t>> byRegion;
    for (std::size_t site = 0; site < siteCount && site < content.residueOf.size(); ++site)
    {
        const std::uint32_t residue = content.residueOf[site];
        if (residue >= chain.residues.size())
            continue;
        if (site < content.communities.size())
            byCommunity[content.communities[site]].push_back(residue);
        if (site < figure.kinds.size() && figure.kinds[site] != RegionKind::None)
            byRegion[figure.kinds[site]].push_back(residue);
    }
    for (const auto& [community, residues] : byCommunity)
        script += "cmd.select(\"community_" + std::to_string(community + 1) + "\", " +
                  pythonText(residueSelection(object, chain, residues)) + ")\n";
    for (const auto& [kind, residues] : byRegion)
        if (const RegionKindEntry* entry = findRegionKind(kind))
            script += "cmd.select(\"" + std::string(entry->word) + "\", " +
                      pythonText(residueSelection(object, chain, residues)) + ")\n";
    script += "cmd.deselect()\n";

    // linkmap's first view, in a window of the size it was framed for.
    script += "cmd.viewport(" + std::to_string(content.width) + ", " + std::to_string(content.height) + ")\n";
    script += "cmd.set(\"orthoscopic\", 0)\n";
    script += "cmd.set(\"field_of_view\", " + number(content.camera.fieldOfView) + ")\n";
    script += "cmd.set_view(" + pymolView(content.camera) + ")\n";
    script += "python end\n";
    return script;
}

void writePymolScript(const PymolContent& content, const std::string& fileName)
{
    writeTextFile(fileName, pymolScript(content));
}
