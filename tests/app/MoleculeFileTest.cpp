#include <support/TestSupport.h>

#include <gemmi/mmread.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace
{

const std::string examples = std::string(LINKMAP_SOURCE_DIR) + "/examples/";

RunResult runWithoutDisplay(const std::vector<std::string>& arguments, std::vector<std::string> settings)
{
    settings.push_back("DISPLAY");
    return runLinkmap(arguments, settings, 120);
}

// What a command printed on standard output, and whether it ended well.
bool commandOutput(const std::string& command, std::string& output)
{
    output.clear();
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return false;
    char block[4096];
    for (std::size_t count = 0; (count = std::fread(block, 1, sizeof block, pipe)) > 0;)
        output.append(block, count);
    return pclose(pipe) == 0;
}

// The sites of a GraphML file linkmap wrote: each name's attributes.
std::map<std::string, std::map<std::string, std::string>> graphmlSites(const std::string& path)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(path.c_str()));
    std::map<std::string, std::string> keyNames;
    for (const pugi::xml_node key : document.child("graphml").children("key"))
        keyNames[key.attribute("id").value()] = key.attribute("attr.name").value();
    std::map<std::string, std::map<std::string, std::string>> sites;
    for (const pugi::xml_node node : document.child("graphml").child("graph").children("node"))
    {
        std::map<std::string, std::string> attributes;
        for (const pugi::xml_node data : node.children("data"))
            attributes[keyNames[data.attribute("key").value()]] = data.child_value();
        sites[attributes["name"]] = attributes;
    }
    return sites;
}

// The numbers of a file of one number a line.
std::vector<double> numbersOf(const std::string& path)
{
    std::istringstream text(readText(path));
    std::vector<double> numbers;
    for (double value = 0.0; text >> value;)
        numbers.push_back(value);
    return numbers;
}

TEST(MoleculeFiles, AreRefusedBeforeTheNetworkWithoutTheSitesOnAStructure)
{
    TemporaryFolder folder;
    const std::string ragged = folder.write("ragged.csv", "1,0.5\n0.5\n");
    const struct
    {
        const char* file;
        std::vector<std::string> settings;
        std::string refusal;
    } cases[] = {
        {"net.pml",
         {},
         "Error: linkmap writes net.pml of the structure the sites stand on, and LINKMAP_STRUCTURE names "
         "none\n"},
        {"net.PDB",
         {},
         "Error: linkmap writes net.PDB of the structure the sites stand on, and LINKMAP_STRUCTURE names "
         "none\n"},
        {"net.pdb",
         {"LINKMAP_STRUCTURE=" + examples + "1hpv.pdb", "LINKMAP_COARSE=1"},
         "Error: linkmap writes net.pdb of the sites on their residues, and LINKMAP_COARSE=1 shows their "
         "communities in their place\n"},
    };
    for (const auto& each : cases)
    {
        SCOPED_TRACE(each.file);
        const RunResult run =
            runWithoutDisplay({ragged, "--generate-image", folder.path(each.file)}, each.settings);
        EXPECT_EQ(run.exitStatus, 1);
        // The refusal names the file as given, before the ragged matrix is read.
        std::string expected = each.refusal;
        expected.replace(expected.find(each.file), std::string(each.file).size(), folder.path(each.file));
        EXPECT_EQ(run.output, expected);
        EXPECT_FALSE(std::filesystem::exists(folder.path(each.file)));
    }
}

TEST(MoleculeFiles, MeasuredStructureHoldsBio3dsBetweennessAndCommunitiesReadBackByGemmiAndBio3d)
{
    // bio3d's cna of its protease trajectory (tests/data/bio3d), on both chains of 1HPV numbered 1 to 198 as
    // bio3d numbers them: every residue's B-factor is igraph for R's betweenness of cna's network, divided by
    // ten to fit the column, and its occupancy its community, numbered as linkmap's key numbers them: cna's
    // communities, the largest first.
    TemporaryFolder folder;
    const std::string written = folder.path("net.pdb");
    const RunResult run =
        runWithoutDisplay({dataFile("bio3d/bio3d-hivp-dccm.csv.gz"), "--generate-image", written},
                          {"LINKMAP_STRUCTURE=" + examples + "1hpv.pdb", "LINKMAP_CHAIN=all",
                           "LINKMAP_MIN_WEIGHT=0.4", "LINKMAP_GROUPS=betweenness"});
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_NE(run.output.find("Note: the B-factors of " + written +
                              " are the betweenness divided by 10, as the largest does not fit the column\n"),
              std::string::npos)
        << run.output;
    const std::vector<double> betweenness = numbersOf(dataFile("bio3d/bio3d-hivp-cna-betweenness.txt"));
    const std::vector<double> membership = numbersOf(dataFile("bio3d/bio3d-hivp-cna-membership.txt"));
    ASSERT_EQ(betweenness.size(), 198u);
    ASSERT_EQ(membership.size(), 198u);
    std::map<double, std::size_t> sizes;
    for (const double community : membership)
        ++sizes[community];
    // cna's community of each number of linkmap's: its communities, the largest first (of equal size, the
    // one whose first site comes first).
    std::vector<std::pair<std::size_t, std::size_t>> order;
    for (std::size_t site = 0; site < membership.size(); ++site)
        if (std::none_of(membership.begin(), membership.begin() + static_cast<std::ptrdiff_t>(site),
                         [&](double earlier) { return earlier == membership[site]; }))
            order.emplace_back(sizes[membership[site]], site);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::map<double, double> numbered;
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        numbered[membership[order[rank].second]] = static_cast<double>(rank + 1);

    // gemmi: every atom of a residue carries its values, the rest of the structure is as it was.
    const gemmi::Structure original = gemmi::read_structure_file(examples + "1hpv.pdb");
    const gemmi::Structure measured = gemmi::read_structure_file(written);
    ASSERT_EQ(measured.models.size(), 1u);
    ASSERT_EQ(measured.models[0].chains.size(), original.models[0].chains.size());
    std::size_t site = 0;
    for (std::size_t c = 0; c < measured.models[0].chains.size(); ++c)
    {
        const gemmi::Chain& chain = measured.models[0].chains[c];
        const gemmi::Chain& before = original.models[0].chains[c];
        ASSERT_EQ(chain.residues.size(), before.residues.size()) << chain.name;
        for (std::size_t r = 0; r < chain.residues.size(); ++r)
        {
            const gemmi::Residue& residue = chain.residues[r];
            ASSERT_EQ(residue.atoms.size(), before.residues[r].atoms.size());
            const bool isSite = residue.find_atom("CA", '*') != nullptr;
            for (std::size_t a = 0; a < residue.atoms.size(); ++a)
            {
                const gemmi::Atom& atom = residue.atoms[a];
                EXPECT_LT(atom.pos.dist(before.residues[r].atoms[a].pos), 1e-3);
                SCOPED_TRACE(chain.name + " " + residue.str() + " " + atom.name);
                if (!isSite)
                {
                    EXPECT_EQ(atom.b_iso, 0.0f);
                    EXPECT_EQ(atom.occ, 0.0f);
                    continue;
                }
                ASSERT_LT(site, betweenness.size());
                EXPECT_NEAR(atom.b_iso, betweenness[site] / 10.0, 0.0051);
                EXPECT_EQ(atom.occ, numbered.at(membership[site]));
            }
            site += isSite ? 1 : 0;
        }
    }
    EXPECT_EQ(site, 198u);

    // bio3d reads the same numbers.
    std::string read;
    ASSERT_TRUE(commandOutput("Rscript '" + std::string(LINKMAP_SOURCE_DIR) +
                                  "/tests/data/bio3d/read-measured.R' '" + written + "'",
                              read));
    std::istringstream rows(read);
    std::size_t row = 0;
    std::string chain;
    int number = 0;
    double bFactor = 0.0;
    double occupancy = 0.0;
    for (; rows >> chain >> number >> bFactor >> occupancy; ++row)
    {
        ASSERT_LT(row, betweenness.size());
        EXPECT_EQ(chain, row < 99 ? "A" : "B");
        EXPECT_NEAR(bFactor, betweenness[row] / 10.0, 0.0051) << row;
        EXPECT_EQ(occupancy, numbered.at(membership[row])) << row;
    }
    EXPECT_EQ(row, 198u);
}

TEST(MoleculeFiles, PymolScriptShowsInPymolWhatLinkmapDraws)
{
    // Chain A of 1HPV, flaps positive and the active site negative, as PyMOL holds the script: the structure,
    // the spheres, the links and, with paths asked for, the paths; a selection a community and a region,
    // holding the residues of the sites GraphML gives it; and linkmap's first view. The structure written
    // back gives each residue its site's community. On a chain numbered from -4, which the sites' numbers
    // reach by an offset of 5, the residues are the author's: PyMOL selects A:-4 for P1.
    const struct
    {
        std::vector<std::string> settings;
        std::set<std::string> objects;
        int offset;
    } cases[] = {
        {{}, {"1hpv", "sites", "links"}, 0},
        {{"LINKMAP_FROM=I50", "LINKMAP_TO=D25"}, {"1hpv", "sites", "links", "paths"}, 0},
        {{"LINKMAP_RESIDUE_OFFSET=5"}, {"1hpv", "sites", "links"}, 5},
    };
    for (const auto& each : cases)
    {
        SCOPED_TRACE(each.objects.size());
        TemporaryFolder folder;
        std::string structure = readText(examples + "1hpv.pdb");
        if (each.offset != 0)
        {
            // Chain A's residue numbers, columns 23 to 26, lowered by the offset.
            std::istringstream lines(structure);
            structure.clear();
            for (std::string line; std::getline(lines, line);)
            {
                if ((line.rfind("ATOM", 0) == 0 || line.rfind("HETATM", 0) == 0) && line.size() > 26 &&
                    line[21] == 'A')
                {
                    char number[8];
                    std::snprintf(number, sizeof number, "%4d", std::stoi(line.substr(22, 4)) - each.offset);
                    line.replace(22, 4, number);
                }
                structure += line + "\n";
            }
        }
        std::vector<std::string> settings = {"LINKMAP_STRUCTURE=" + folder.write("1hpv.pdb", structure),
                                             "LINKMAP_MIN_WEIGHT=0.25", "OSG_WINDOW=0 0 1200 900"};
        settings.insert(settings.end(), each.settings.begin(), each.settings.end());
        std::map<std::string, std::string> files;
        for (const char* name : {"net.pml", "net.graphml", "net.gltf", "net.pdb"})
        {
            files[name] = folder.path(name);
            const RunResult run = runWithoutDisplay(
                {examples + "protease-a-gnm.csv", "-p", examples + "protease-flaps.txt", "-n",
                 examples + "protease-active-site.txt", "--generate-image", files[name]},
                settings);
            ASSERT_EQ(run.exitStatus, 0) << run.output;
        }
        std::string read;
        ASSERT_TRUE(commandOutput("/usr/bin/python3 '" + std::string(LINKMAP_SOURCE_DIR) +
                                      "/tests/data/pymol/read-script.py' '" + files["net.pml"] + "'",
                                  read))
            << read;
        const nlohmann::json held = nlohmann::json::parse(read.substr(read.find('{')));

        std::set<std::string> objects(held["objects"].begin(), held["objects"].end());
        EXPECT_EQ(objects, each.objects);

        // Each community's and region's selection holds the residues of its sites.
        std::map<std::string, std::set<std::string>> expected;
        const auto sites = graphmlSites(files["net.graphml"]);
        std::vector<osg::Vec3d> places;
        for (const auto& [name, attributes] : sites)
        {
            const std::string residue = "A:" + std::to_string(std::stoi(name.substr(1)) - each.offset);
            expected["community_" + attributes.at("community")].insert(residue);
            if (attributes.at("region") != "none")
                expected[attributes.at("region")].insert(residue);
            places.emplace_back(std::stod(attributes.at("x")), std::stod(attributes.at("y")),
                                std::stod(attributes.at("z")));
        }
        const gemmi::Structure measured = gemmi::read_structure_file(files["net.pdb"]);
        std::size_t inCommunities = 0;
        for (const gemmi::Residue& residue : measured.models.at(0).find_chain("A")->residues)
        {
            const std::string key = "A:" + std::to_string(*residue.seqid.num);
            for (const auto& [selection, members] : expected)
                if (selection.rfind("community_", 0) == 0 && members.count(key) != 0)
                {
                    ++inCommunities;
                    for (const gemmi::Atom& atom : residue.atoms)
                        EXPECT_EQ(atom.occ, std::stod(selection.substr(10))) << key;
                }
        }
        EXPECT_EQ(inCommunities, sites.size());
        std::map<std::string, std::set<std::string>> selections;
        for (const auto& [name, residues] : held["residues"].items())
            selections[name] = std::set<std::string>(residues.begin(), residues.end());
        EXPECT_EQ(selections, expected);
        EXPECT_GE(expected.size(), 4u);

        // The spheres stand at the sites: their extent holds every site, and no more than a sphere beyond.
        const nlohmann::json& extent = held["extent"]["sites"];
        for (int axis = 0; axis < 3; ++axis)
        {
            double least = 1e9;
            double most = -1e9;
            for (const osg::Vec3d& place : places)
            {
                least = std::min(least, place[axis]);
                most = std::max(most, place[axis]);
            }
            EXPECT_LT(extent[0][axis].get<double>(), least);
            EXPECT_GT(extent[0][axis].get<double>(), least - 3.0);
            EXPECT_GT(extent[1][axis].get<double>(), most);
            EXPECT_LT(extent[1][axis].get<double>(), most + 3.0);
        }

        // The view is the glTF scene's first view: the same perspective, and the same eye, from PyMOL's view
        // (a turn from the model's axes to the camera's, column by column; the eye's place from the point
        // turned round, in the camera's axes; that point).
        const nlohmann::json gltf = nlohmann::json::parse(readText(files["net.gltf"]));
        EXPECT_NEAR(held["field_of_view"].get<double>(),
                    gltf["cameras"][0]["perspective"]["yfov"].get<double>() * 180.0 / M_PI, 1e-3);
        EXPECT_EQ(held["orthoscopic"], "off");
        const std::vector<double> view = held["view"];
        ASSERT_EQ(view.size(), 18u);
        osg::Vec3d eye(view[12], view[13], view[14]);
        for (int axis = 0; axis < 3; ++axis)
            for (int camera = 0; camera < 3; ++camera)
                eye[axis] -= view[axis * 3 + camera] * view[9 + camera];
        bool found = false;
        for (const nlohmann::json& node : gltf["nodes"])
            if (node.value("name", "") == "first view")
            {
                found = true;
                for (int axis = 0; axis < 3; ++axis)
                    EXPECT_NEAR(eye[axis], node["translation"][axis].get<double>(), 0.01) << axis;
            }
        EXPECT_TRUE(found);
    }
}

} // namespace
