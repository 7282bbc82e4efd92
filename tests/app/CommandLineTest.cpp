#include <network/NumberText.h>
#include <support/TestSupport.h>

#include <app/Settings.h>
#include <view/ViewModel.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace
{

const std::string missingMessage = "Error: No se encontro el fichero de entrada ";
const std::string windowMessage =
    "Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)\n";

// Every run here either stops before the window or has no display to open one in.
RunResult runWithoutDisplay(const std::vector<std::string>& arguments, std::vector<std::string> settings = {})
{
    settings.push_back("DISPLAY");
    return runLinkmap(arguments, settings);
}

TEST(CommandLine, PrintsTheUsageForAnArgumentCountOutsideTwoToTen)
{
    const std::string group = dataFile("road-of-one-line.txt");
    const std::string region = dataFile("region-simple.txt");
    const std::vector<std::vector<std::string>> commandLines = {
        {},
        {group, group, group, group, group, group, group, group, group, group},
        {group, "-p", region, "-n", region, "-a", region, "--generate-image", "x.png", "--background",
         "white"}};

    const RunResult bare = runWithoutDisplay({});
    EXPECT_EQ(bare.output.rfind(std::string("Usage: ") + LINKMAP_EXECUTABLE + " <linkmap-file>\n", 0), 0u)
        << bare.output;
    for (const char* text :
         {"-p <positive-file>", "-n <negative-file>", "-a <accelerated-file>", "--generate-image <filename>",
          "Save an screenshoot image and exit", "--background <color>",
          "Set the background color: black, white, blue (default)"})
        EXPECT_NE(bare.output.find(text), std::string::npos) << text;

    // Too many arguments are said to be too many, after the usage.
    for (const auto& arguments : commandLines)
    {
        const RunResult run = runWithoutDisplay(arguments);
        EXPECT_EQ(run.exitStatus, 1) << arguments.size() << " arguments";
        const std::string reason = arguments.empty()
                                       ? std::string()
                                       : "At most nine arguments may follow the program's name; "
                                         "this run had " +
                                             std::to_string(arguments.size()) + "\n";
        EXPECT_EQ(run.output, bare.output + reason) << arguments.size() << " arguments";
    }
}

TEST(CommandLine, NamesTheFirstPathThatCannotBeRead)
{
    TemporaryFolder folder;
    const std::string group = dataFile("road-of-one-line.txt");
    const std::string region = dataFile("region-simple.txt");
    const std::string missing = folder.path("missing.txt");
    const std::string otherMissing = folder.path("other-missing.txt");
    const std::string directory = folder.path("");

    struct Case
    {
        std::vector<std::string> arguments;
        std::string said;
    };
    // A directory is no file to read, and is called what it is.
    const Case cases[] = {
        // The first argument is the group file, whatever it is.
        {{"-p", region, group}, missingMessage + "-p"},
        {{missing, "-p", otherMissing}, missingMessage + missing},
        {{group, "-n", missing}, missingMessage + missing},
        {{group, "-a", otherMissing, "-p", region, "-n", missing}, missingMessage + missing},
        {{group, "-p", region, "-n", region, "-a", missing}, missingMessage + missing},
        {{""}, missingMessage},
        {{directory}, "Error: " + directory + " is a directory, not a network file"},
        {{group, "-a", directory}, "Error: " + directory + " is a directory, not a region list"},
        {{"/dev/null/not-a-folder"}, missingMessage + "/dev/null/not-a-folder"}};
    for (const Case& c : cases)
    {
        const RunResult run = runWithoutDisplay(c.arguments);
        EXPECT_EQ(run.exitStatus, 1) << c.said;
        EXPECT_EQ(run.output, c.said + "\n");
    }
}

TEST(CommandLine, TreatsAnOptionWithoutItsValueAsNotGiven)
{
    // With the paths accepted, the run goes on to load and then finds no display.
    const std::string group = dataFile("road-of-one-line.txt");
    const std::string links = "Creating link between H12 and K45 with weight 0.350000\n"
                              "Creating link between H12 and R78 with weight -0.200000\n"
                              "Creating link between K45 and R78 with weight 0.800000\n";
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{group},
                                                      {group, "-p"},
                                                      {group, "-a"},
                                                      {group, "--background"},
                                                      {group, "unknown", "words"},
                                                      {group, "-n", dataFile("region-simple.txt"), "-p"}})
    {
        const RunResult run = runWithoutDisplay(arguments);
        EXPECT_EQ(run.exitStatus, 1) << arguments.back();
        EXPECT_EQ(run.output, links + windowMessage) << arguments.back();
    }
}

TEST(CommandLine, FailsWithOneLineWhenNoWindowCanBeOpened)
{
    TemporaryFolder folder;
    const std::string image = folder.path("never.png");
    for (const std::vector<std::string>& environment :
         {std::vector<std::string>{"DISPLAY"}, {"DISPLAY=:97"}, {"DISPLAY=nowhere:0"}})
    {
        const RunResult run = runLinkmap({dataFile("empty.txt"), "--generate-image", image}, environment, 30);
        EXPECT_EQ(run.exitStatus, 1) << environment[0];
        EXPECT_EQ(run.output, "Note: " + dataFile("empty.txt") + " holds no sites or links\n" + windowMessage)
            << environment[0];
    }
}

TEST(CommandLine, AFigureWrittenWithoutADisplaySaysNothingOfADisplay)
{
    // Large enough to be drawn in batches, for which a window's display is asked whether it runs shaders.
    TemporaryFolder folder;
    const std::string network =
        folder.write("batched.txt", eightSiteRings(40, 8, [](int, int) { return 0.5; }));
    for (const char* figure : {"figure.html", "figure.svg", "figure.glb", "figure.graphml"})
        for (const char* display : {"DISPLAY", "DISPLAY=:97"})
        {
            LinkmapProcess run({network, "--generate-image", folder.path(figure)}, {display}, 60);
            EXPECT_EQ(run.finish().exitStatus, 0) << figure << ", " << display;
            // Under the sanitizers the leak checker reports its suppressions there: only a word of a display
            // or an error counts.
            const std::string errors = run.errorText();
            EXPECT_EQ(errors.find("isplay"), std::string::npos)
                << figure << ", " << display << ": " << errors;
            EXPECT_EQ(errors.find("rror"), std::string::npos) << figure << ", " << display << ": " << errors;
            EXPECT_TRUE(std::filesystem::exists(folder.path(figure))) << figure << ", " << display;
        }
}

TEST(CommandLine, HyphysSelectionResultsColourTheSitesAtTheThresholdsSet)
{
    // HyPhy's FEL result for its integrase alignment, as the negative region list, at its p-value and at
    // LINKMAP_P_VALUE's; MEME tests no purifying selection, and refuses to be the negative list.
    TemporaryFolder folder;
    const std::string fel = dataFile("field/integrase_BDA.FEL.json");
    const std::string graphml = folder.path("network.graphml");
    const struct
    {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        int exitStatus;
        std::string line;
    } runs[] = {
        {{dataFile("worked-example.txt"), "-n", fel, "--generate-image", graphml},
         {},
         0,
         "Note: " + fel + " gives 84 sites under negative selection (FEL, p \xe2\x89\xa4 0.1)\n"},
        {{dataFile("worked-example.txt"), "-n", fel, "--generate-image", graphml},
         {"LINKMAP_P_VALUE=0.05"},
         0,
         "Note: " + fel + " gives 42 sites under negative selection (FEL, p \xe2\x89\xa4 0.05)\n"},
        {{dataFile("worked-example.txt"), "-n", dataFile("field/integrase_BDA.MEME.json"), "--generate-image",
          graphml},
         {},
         1,
         "Error: " + dataFile("field/integrase_BDA.MEME.json") +
             " is HyPhy's MEME result, which tests only diversifying selection; give it to -p\n"},
    };
    for (const auto& each : runs)
    {
        const RunResult run = runLinkmap(each.arguments, each.environment);
        EXPECT_EQ(run.exitStatus, each.exitStatus) << run.output;
        EXPECT_NE(run.output.find(each.line), std::string::npos) << run.output;
    }
}

TEST(CommandLine, HyphysPipelineDrawsBgmAtItsThresholdAndSelectionByRoleWithEverySitesStatistics)
{
    // HyPhy's own results on the Drosophila alignment (tests/data/hyphy): BGM reports no pair at 0.5, which
    // every picture says; FUBAR and FEL are named in the key by role, method and threshold, and a picked
    // site's line gives its rates and p-value as FEL's JSON has them (expected.json, read by Python's json).
    TemporaryFolder folder;
    const std::string hyphy = dataFile("hyphy/");
    const std::vector<std::string> lists = {"-p", hyphy + "adh.FUBAR.json.gz", "-n", hyphy + "adh.FEL.json"};
    const std::string svg = folder.path("adh.svg");
    std::vector<std::string> arguments = {hyphy + "adh.BGM.json"};
    arguments.insert(arguments.end(), lists.begin(), lists.end());
    arguments.insert(arguments.end(), {"--generate-image", svg});
    const RunResult empty = runLinkmap(arguments, {"LINKMAP_KEY=1"});
    EXPECT_EQ(empty.exitStatus, 0) << empty.output;
    const std::string figure = readText(svg);
    for (const std::string& text :
         {std::string("BGM finds no pair of sites dependent at posterior 0.5 or more (the largest is 0.151)"),
          std::string("Positive selection: FUBAR, posterior \xe2\x89\xa5 0.9 (adh.FUBAR.json.gz)"),
          std::string("Negative selection: FEL, p \xe2\x89\xa4 0.1 (adh.FEL.json)"),
          std::string("BGM posterior probability")})
        EXPECT_NE(figure.find(text), std::string::npos) << text;

    // Every pair shown, named by the alignment's reference, codons translated; site 2 is MEL's TTT.
    const std::string graphml = folder.path("adh.graphml");
    arguments.back() = graphml;
    const std::vector<std::string> named = {"LINKMAP_MIN_WEIGHT=0", "LINKMAP_SEQUENCE=" + hyphy + "adh.nex",
                                            "LINKMAP_SELECT=F2"};
    const RunResult all = runLinkmap(arguments, named);
    EXPECT_EQ(all.exitStatus, 0) << all.output;
    const std::string written = readText(graphml);
    EXPECT_NE(written.find("attr.name=\"FEL p-value\""), std::string::npos);
    EXPECT_NE(written.find("attr.name=\"FUBAR Prob[alpha&lt;beta]\""), std::string::npos);
    EXPECT_NE(written.find("<data key=\"name\">F2</data>"), std::string::npos);
    arguments.back() = svg;
    EXPECT_EQ(runLinkmap(arguments, named).exitStatus, 0);
    std::ifstream stream(hyphy + "expected.json");
    const nlohmann::json expected = nlohmann::json::parse(stream);
    const nlohmann::json& fel = expected["adh.FEL.json"]["sites"]["2"];
    const std::string line = "; FEL \xce\xb1 " + printfText("%.3g", fel[0].get<double>()) + ", \xce\xb2 " +
                             printfText("%.3g", fel[1].get<double>()) + ", p " +
                             printfText("%.3g", fel[2].get<double>());
    EXPECT_NE(readText(svg).find(line), std::string::npos) << line;
    EXPECT_NE(readText(svg).find("F2: in no region; FUBAR \xce\xb1 "), std::string::npos);

    // Sized by FEL's certainty, and laid out by the links alike on every run.
    const RunResult sized =
        runLinkmap({hyphy + "p51.BGM.json", "-n", hyphy + "p51.FEL.json", "--generate-image",
                    folder.path("one.graphml")},
                   {"LINKMAP_MIN_WEIGHT=0.1", "LINKMAP_SIZE=selection", "LINKMAP_LAYOUT=force"});
    EXPECT_EQ(sized.exitStatus, 0) << sized.output;
    runLinkmap({hyphy + "p51.BGM.json", "-n", hyphy + "p51.FEL.json", "--generate-image",
                folder.path("two.graphml")},
               {"LINKMAP_MIN_WEIGHT=0.1", "LINKMAP_SIZE=selection", "LINKMAP_LAYOUT=force"});
    EXPECT_EQ(readText(folder.path("one.graphml")), readText(folder.path("two.graphml")));
    const RunResult unsized = runLinkmap(
        {hyphy + "p51.BGM.json", "--generate-image", folder.path("x.graphml")}, {"LINKMAP_SIZE=selection"});
    EXPECT_EQ(unsized.exitStatus, 1);
    EXPECT_NE(
        unsized.output.find("Error: LINKMAP_SIZE is selection, but no region list is a selection analysis's "
                            "result (HyPhy's FEL, SLAC, FUBAR or MEME)\n"),
        std::string::npos)
        << unsized.output;
}

TEST(CommandLine, EachCodonStandsOnTheResidueItsReferenceResidueAlignsTo)
{
    // A chain made from integrase's reference with residues deleted, inserted and substituted, and numbered
    // along itself (tests/data/hyphy/made_structure.py): every site stands at the Calpha of the residue the
    // table says, and the deleted residue's site is left off and counted.
    TemporaryFolder folder;
    const std::string hyphy = dataFile("hyphy/");
    const std::string graphml = folder.path("placed.graphml");
    const RunResult run =
        runLinkmap({dataFile("field/integrase_BDA.BGM.json"), "--generate-image", graphml},
                   {"LINKMAP_MIN_WEIGHT=0", "LINKMAP_SEQUENCE=" + hyphy + "integrase_BDA.nex",
                    "LINKMAP_STRUCTURE=" + hyphy + "integrase-made.pdb"});
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    std::map<int, int> residueOf;
    std::istringstream table(readText(hyphy + "integrase-made.tsv"));
    std::string row;
    std::getline(table, row);
    while (std::getline(table, row))
        residueOf[std::stoi(row)] =
            row.find('\t') + 1 < row.size() ? std::stoi(row.substr(row.find('\t') + 1)) : 0;
    std::map<int, std::array<double, 3>> calpha;
    std::istringstream atoms(readText(hyphy + "integrase-made.pdb"));
    while (std::getline(atoms, row))
        if (row.rfind("ATOM", 0) == 0)
            calpha[std::stoi(row.substr(22, 4))] = {
                std::stod(row.substr(30, 8)), std::stod(row.substr(38, 8)), std::stod(row.substr(46, 8))};
    const std::string written = readText(graphml);
    std::size_t placed = 0, leftOff = 0;
    for (std::size_t at = 0; (at = written.find("<data key=\"name\">", at)) != std::string::npos; ++at)
    {
        const std::size_t start = at + 17;
        const std::string name = written.substr(start, written.find('<', start) - start);
        const auto value = [&](const char* key) {
            const std::string tag = std::string("<data key=\"") + key + "\">";
            const std::size_t from = written.find(tag, start) + tag.size();
            return std::stod(written.substr(from, written.find('<', from) - from));
        };
        const int residue = residueOf.at(std::stoi(name.substr(1)));
        if (residue == 0)
        {
            ++leftOff;
            continue;
        }
        ++placed;
        const std::array<double, 3>& place = calpha.at(residue);
        EXPECT_NEAR(value("x"), place[0], 1e-3) << name;
        EXPECT_NEAR(value("y"), place[1], 1e-3) << name;
        EXPECT_NEAR(value("z"), place[2], 1e-3) << name;
    }
    EXPECT_EQ(placed + leftOff, 54u);
    EXPECT_GT(leftOff, 0u);
    EXPECT_NE(run.output.find(std::to_string(placed) +
                              " of the 54 sites stand on the residues theirs align to, and " +
                              std::to_string(leftOff) + (leftOff == 1 ? " is" : " are") + " left off"),
              std::string::npos)
        << run.output;
}

TEST(CommandLine, RefusesASettingAScriptGotWrongWithOneLineAndStatusOne)
{
    // Each setting is checked before any input is read, so the message is all there is; a site's name can
    // only be checked once the names are read, so it comes after the log.
    const std::string example = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    struct Case
    {
        std::string setting;
        std::string message;
        bool beforeReading;
    };
    const Case cases[] = {
        {"LINKMAP_CUTOFF=1.5", "Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"1.5\"", true},
        {"LINKMAP_CUTOFF=-0.2", "Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"-0.2\"", true},
        {"LINKMAP_CUTOFF=strong", "Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"strong\"", true},
        {"LINKMAP_CUTOFF=0.5.5", "Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"0.5.5\"", true},
        {"LINKMAP_REGION=Positive",
         "Error: LINKMAP_REGION must be positive, negative or accelerated, not \"Positive\"", true},
        {"LINKMAP_REGION=2", "Error: LINKMAP_REGION must be positive, negative or accelerated, not \"2\"",
         true},
        {"LINKMAP_REGION=accelerated",
         "Error: LINKMAP_REGION is accelerated, but no accelerated list was given", true},
        {"LINKMAP_VIEW=0 -160 0 50 0 0 0 0",
         "Error: LINKMAP_VIEW must be the line of a .view file, nine numbers: the eye, the centre and the up "
         "direction, each x y z; not \"0 -160 0 50 0 0 0 0\"",
         true},
        {"LINKMAP_FORMAT=csv",
         "Error: LINKMAP_FORMAT must be groups, matrix, pairs, graphml, json, gml, pajek, lgl, ncol, sif or "
         "adjlist, not \"csv\"",
         true},
        {"LINKMAP_P_VALUE=0", "Error: LINKMAP_P_VALUE must be a number above 0 and at most 1, not \"0\"",
         true},
        {"LINKMAP_P_VALUE=5%", "Error: LINKMAP_P_VALUE must be a number above 0 and at most 1, not \"5%\"",
         true},
        {"LINKMAP_POSTERIOR=1.5", "Error: LINKMAP_POSTERIOR must be a number from 0 to 1, not \"1.5\"", true},
        {"LINKMAP_GROUPS=leiden",
         "Error: LINKMAP_GROUPS must be communities, components, one, betweenness, walktrap, greedy or "
         "infomap, "
         "not \"leiden\"",
         true},
        {"LINKMAP_WEIGHTS=lengths",
         "Error: LINKMAP_WEIGHTS must be correlation, probability, score or distance, not \"lengths\"", true},
        {"LINKMAP_CONTACT=4", "Error: LINKMAP_CONTACT is 4, but no LINKMAP_STRUCTURE was given", true},
        {"LINKMAP_COMMUNITIES=/", "Error: LINKMAP_COMMUNITIES names /, which is a directory, not a file",
         true},
        {"LINKMAP_COMMUNITIES=/no/such/folder/c.csv",
         "Error: LINKMAP_COMMUNITIES names /no/such/folder/c.csv, in a folder that is not there", true},
        {"LINKMAP_SCALE=1", "Error: LINKMAP_SCALE must be none or max, not \"1\"", true},
        {"LINKMAP_COARSE=yes", "Error: LINKMAP_COARSE must be 0 or 1, not \"yes\"", true},
        {"LINKMAP_SCENE_LABELS=on", "Error: LINKMAP_SCENE_LABELS must be 0 or 1, not \"on\"", true},
        {"LINKMAP_SIZE=area",
         "Error: LINKMAP_SIZE must be same, betweenness, degree or selection, not \"area\"", true},
        {"LINKMAP_COLOR=communities",
         "Error: LINKMAP_COLOR must be regions or community, not \"communities\"", true},
        {"LINKMAP_FIRST_NUMBER=1.5", "Error: LINKMAP_FIRST_NUMBER must be a whole number, not \"1.5\"", true},
        {"LINKMAP_MIN_WEIGHT=-0.1", "Error: LINKMAP_MIN_WEIGHT must be a number of at least 0, not \"-0.1\"",
         true},
        {"LINKMAP_RESIDUE_OFFSET=+-3", "Error: LINKMAP_RESIDUE_OFFSET must be a whole number, not \"+-3\"",
         true},
        {"LINKMAP_CHAIN=A", "Error: LINKMAP_CHAIN is A, but no LINKMAP_STRUCTURE was given", true},
        {"LINKMAP_WEIGHT_COLUMN=0",
         "Error: LINKMAP_WEIGHT_COLUMN must name a column by its header or its number from 1, not \"0\"",
         true},
        {"LINKMAP_FROM=K45", "Error: LINKMAP_FROM is K45, but LINKMAP_TO is not set", true},
        {"LINKMAP_PATHS=0", "Error: LINKMAP_PATHS must be a whole number from 1 to 1000, not \"0\"", true},
        {"LINKMAP_PATHS=1001", "Error: LINKMAP_PATHS must be a whole number from 1 to 1000, not \"1001\"",
         true},
        {"LINKMAP_IMAGE_SECONDS=-1",
         "Error: LINKMAP_IMAGE_SECONDS must be a number of seconds from 0 to 3600, not \"-1\"", true},
        {"LINKMAP_IMAGE_SECONDS=2s",
         "Error: LINKMAP_IMAGE_SECONDS must be a number of seconds from 0 to 3600, not \"2s\"", true},
        {"LINKMAP_IMAGE_SECONDS=nan",
         "Error: LINKMAP_IMAGE_SECONDS must be a number of seconds from 0 to 3600, not \"nan\"", true},
        {"LINKMAP_SELECT=K99", "Error: LINKMAP_SELECT names no site of the network: \"K99\"", false},
        {"LINKMAP_SELECT=k45", "Error: LINKMAP_SELECT names no site of the network: \"k45\"", false},
    };
    TemporaryFolder folder;
    const std::vector<std::string> arguments = {example + "network.txt",  "-p",
                                                example + "positive.txt", "-n",
                                                example + "negative.txt", "--generate-image"};
    for (const Case& c : cases)
    {
        std::vector<std::string> refused = arguments;
        refused.push_back(folder.path("no.svg"));
        const RunResult run = runWithoutDisplay(refused, {c.setting});
        EXPECT_EQ(run.exitStatus, 1) << c.setting;
        const std::size_t lastLine = run.output.rfind('\n', run.output.size() - 2);
        EXPECT_EQ(c.beforeReading ? run.output : run.output.substr(lastLine + 1), c.message + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("no.svg")));

    // Settings that are right reach a saved figure: the site picked, the filter, and their corner text.
    std::vector<std::string> accepted = arguments;
    accepted.push_back(folder.path("yes.svg"));
    const RunResult run =
        runWithoutDisplay(accepted, {"LINKMAP_SELECT=K45", "LINKMAP_REGION=negative", "LINKMAP_CUTOFF=0.3"});
    EXPECT_EQ(run.exitStatus, 0);
    std::ifstream svg(folder.path("yes.svg"));
    const std::string drawing((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    for (const char* line :
         {">K45: positive region (positive.txt); 6 links, 0 shown, the strongest with R78 at "
          "0.800000</text>",
          ">Links touching negative sites (negative.txt): 7 of 22 shown</text>",
          ">Cutoff 0.30: 7 of 22 links shown</text>"})
        EXPECT_NE(drawing.find(line), std::string::npos) << line;
}

TEST(CommandLine, ListsThePathsBetweenTwoSitesAfterTheLogAndCountsThemInGraphml)
{
    const std::string network = std::string(LINKMAP_SOURCE_DIR) + "/examples/network.txt";
    TemporaryFolder folder;
    const std::string file = folder.path("paths.graphml");
    const RunResult run = runWithoutDisplay({network, "--generate-image", file},
                                            {"LINKMAP_FROM=H12", "LINKMAP_TO=V212", "LINKMAP_PATHS=2"});
    EXPECT_EQ(run.exitStatus, 0);
    // After the log's 22 lines: H12-K45 (0.35), K45-F201 (-0.8), F201-M210 (0.95), M210-V212 (-0.7) is the
    // shortest, then the way through K45-M210 (0.6) straight to M210.
    const std::string lines = "Path 1 of 2 from H12 to V212, length 1.680934: H12 K45 F201 M210 V212\n"
                              "Path 2 of 2 from H12 to V212, length 1.917323: H12 K45 M210 V212\n"
                              "Sites on the 2 paths: H12 2, K45 2, M210 2, V212 2, F201 1\n";
    ASSERT_GE(run.output.size(), lines.size());
    EXPECT_EQ(run.output.substr(run.output.size() - lines.size()), lines);
    EXPECT_NEAR(-std::log(0.35) - std::log(0.8) - std::log(0.95) - std::log(0.7), 1.680934, 1e-6);
    // Every node and edge says how many paths pass: the five sites, and the five links of the two paths.
    const std::string graphml = readText(file);
    std::size_t nodeCounts = 0;
    std::size_t edgeCounts = 0;
    for (std::size_t at = 0; (at = graphml.find("<data key=\"paths\">", at)) != std::string::npos; ++at)
        nodeCounts += graphml.compare(at + 18, 2, "0<") != 0;
    for (std::size_t at = 0; (at = graphml.find("<data key=\"edge_paths\">", at)) != std::string::npos; ++at)
        edgeCounts += graphml.compare(at + 23, 2, "0<") != 0;
    EXPECT_EQ(nodeCounts, 5u);
    EXPECT_EQ(edgeCounts, 5u);

    // Names are checked once the network is read, after the log.
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"LINKMAP_FROM=H12", "LINKMAP_TO=Q1"}, "Error: LINKMAP_TO names no site of the network: \"Q1\""},
        {{"LINKMAP_FROM=H12", "LINKMAP_TO=H12"},
         "Error: LINKMAP_FROM and LINKMAP_TO both name H12; a path needs two sites"}};
    for (const auto& [settings, message] : refused)
    {
        const RunResult bad =
            runWithoutDisplay({network, "--generate-image", folder.path("no.graphml")}, settings);
        EXPECT_EQ(bad.exitStatus, 1);
        EXPECT_EQ(bad.output.substr(bad.output.rfind('\n', bad.output.size() - 2) + 1), message + "\n");
    }
}

TEST(CommandLine, ColoursAndDescribesTheSitesByTheCommunitiesFoundAndWritesThemInGraphml)
{
    // Two triangles joined by a weak link, as a pair list: by Girvan and Newman, two communities, and the two
    // sites of the joining link carry every path between them.
    TemporaryFolder folder;
    const std::string pairs = folder.write(
        "pairs.csv", "A1,B2,0.9\nB2,C3,0.8\nA1,C3,0.85\nD4,E5,0.9\nE5,F6,0.8\nD4,F6,0.85\nC3,D4,0.45\n");
    const std::string graphml = folder.path("communities.graphml");
    ASSERT_EQ(
        runWithoutDisplay({pairs, "--generate-image", graphml}, {"LINKMAP_GROUPS=betweenness"}).exitStatus,
        0);
    const std::string written = readText(graphml);
    for (const char* part :
         {"<key id=\"community\" for=\"node\" attr.name=\"community\" attr.type=\"int\"",
          "<key id=\"betweenness\" for=\"node\" attr.name=\"betweenness\" attr.type=\"double\"",
          "<data key=\"name\">C3</data>", "<data key=\"betweenness\">6</data>"})
        EXPECT_NE(written.find(part), std::string::npos) << part;
    // Each community from 1, three sites each; the ends of the joining link lie on 9 of the 15 shortest
    // paths.
    std::size_t ones = 0;
    std::size_t twos = 0;
    for (std::size_t at = 0; (at = written.find("<data key=\"community\">", at)) != std::string::npos; ++at)
    {
        ones += written.compare(at + 22, 2, "1<") == 0;
        twos += written.compare(at + 22, 2, "2<") == 0;
    }
    EXPECT_EQ(ones, 3u);
    EXPECT_EQ(twos, 3u);
    EXPECT_EQ(written.find("<data key=\"betweenness\">6</data>",
                           written.find("<data key=\"name\">D4</data>")) != std::string::npos,
              true);

    // The corner of a picked site, and the key, in a figure; a group file keeps its regions' colours unless
    // LINKMAP_COLOR asks, and then its communities are found.
    const std::string svg = folder.path("communities.svg");
    ASSERT_EQ(runWithoutDisplay({pairs, "--generate-image", svg},
                                {"LINKMAP_GROUPS=betweenness", "LINKMAP_SELECT=C3", "LINKMAP_KEY=1"})
                  .exitStatus,
              0);
    const std::string figure = readText(svg);
    for (const char* part :
         {">C3: in no region; community 1, betweenness 6; 3 links, the strongest with A1 at 0.850000<",
          ">Community 1 (3 sites)<", ">Community 2 (3 sites)<"})
        EXPECT_NE(figure.find(part), std::string::npos) << part;
    // The network of communities: a site each, holding its sites, joined by the strongest link between them,
    // which the log lists; the key says what size means.
    const std::string coarse = folder.path("coarse.graphml");
    const RunResult collapsed = runWithoutDisplay({pairs, "--generate-image", coarse},
                                                  {"LINKMAP_GROUPS=betweenness", "LINKMAP_COARSE=1"});
    ASSERT_EQ(collapsed.exitStatus, 0);
    EXPECT_EQ(collapsed.output, "Creating link between C1 and C2 with weight 0.450000\n");
    const std::string communities = readText(coarse);
    for (const char* part : {"<data key=\"name\">C1</data>", "<data key=\"sites\">A1 B2 C3</data>",
                             "<data key=\"sites\">D4 E5 F6</data>", "<data key=\"size\">3</data>",
                             "<data key=\"weight\">0.45</data>"})
        EXPECT_NE(communities.find(part), std::string::npos) << part;
    EXPECT_EQ(communities.find("<node id=\"n2\""), std::string::npos);
    const std::string coarseFigure = folder.path("coarse.svg");
    ASSERT_EQ(runWithoutDisplay({pairs, "--generate-image", coarseFigure},
                                {"LINKMAP_COARSE=1", "LINKMAP_KEY=1", "LINKMAP_SELECT=C2"})
                  .exitStatus,
              0);
    const RunResult byMember = runWithoutDisplay({pairs, "--generate-image", folder.path("member.svg")},
                                                 {"LINKMAP_COARSE=1", "LINKMAP_SELECT=E5"});
    EXPECT_EQ(byMember.exitStatus, 1);
    EXPECT_NE(
        byMember.output.find("Error: LINKMAP_SELECT names E5, which the network of communities shows in "
                             "C2; name C2\n"),
        std::string::npos)
        << byMember.output;
    const std::string coarseDrawing = readText(coarseFigure);
    for (const char* part : {">Sphere size: sites held, 3 to 3<", ">Community 2 (3 sites)<",
                             ">C2: in no region; community 2, holds 3 sites; 1 link, with C1 at 0.450000<"})
        EXPECT_NE(coarseDrawing.find(part), std::string::npos) << part;
    const std::string groups =
        folder.write("groups.txt", "A1 B2 C3 0.9 0.85 0.8\nD4 E5 F6 0.9 0.85 0.8\nC3 D4 0.45\n");
    const struct
    {
        const char* coloring;
        bool communities;
    } groupFiles[] = {
        {"LINKMAP_COLOR=", false}, {"LINKMAP_COLOR=regions", false}, {"LINKMAP_COLOR=community", true}};
    for (const auto& groupFile : groupFiles)
    {
        SCOPED_TRACE(groupFile.coloring);
        const std::string shown = folder.path("groups.svg");
        ASSERT_EQ(runWithoutDisplay({groups, "--generate-image", shown},
                                    {groupFile.coloring, "LINKMAP_SELECT=C3", "LINKMAP_KEY=1"})
                      .exitStatus,
                  0);
        const std::string drawn = readText(shown);
        EXPECT_EQ(drawn.find(">Community 1 (") != std::string::npos, groupFile.communities);
        EXPECT_EQ(drawn.find(">C3: in no region; community ") != std::string::npos, groupFile.communities);
    }
}

TEST(CommandLine, ReadsTheNetworkFromStandardInputForADash)
{
    // Piped in, the example gives the same log and the same figure as named; a missing file is still refused.
    TemporaryFolder folder;
    const std::string example = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    const std::string network = example + "network.txt";
    const std::string positive = example + "positive.txt";
    const auto run = [&](const std::string& input, const std::string& figure) {
        const std::string command = "env -u DISPLAY " + std::string(LINKMAP_EXECUTABLE) + " " + input +
                                    " -p " + positive + " --generate-image " + folder.path(figure) + " > " +
                                    folder.path(figure + ".out") + " 2>/dev/null < " + network;
        return std::system(command.c_str());
    };
    ASSERT_EQ(run("-", "piped.svg"), 0);
    ASSERT_EQ(run(network, "named.svg"), 0);
    EXPECT_EQ(readText(folder.path("piped.svg.out")), readText(folder.path("named.svg.out")));
    EXPECT_EQ(readText(folder.path("piped.svg.out")).substr(0, 23), "Creating link between H");
    EXPECT_EQ(readText(folder.path("piped.svg")), readText(folder.path("named.svg")));
}

TEST(CommandLine, BioThreeDsPipelineOnItsStructureGivesCnasTableAndNamesTheSitesByTheirResidues)
{
    // bio3d's matrix of 1dpx numbers its sites 1 to 129; on the structure they take their residues' names,
    // but in the log. The table holds cna's walktrap communities with the contact map, numbered as cna
    // numbers them (tests/data/bio3d/contacts.R), each site's betweenness and its degree.
    TemporaryFolder folder;
    const std::string table = folder.path("communities.csv");
    const std::string graphml = folder.path("lyso.graphml");
    const RunResult run = runWithoutDisplay(
        {dataFile("writers/bio3d-nma-1dpx.csv.gz"), "--generate-image", graphml},
        {"LINKMAP_STRUCTURE=" + dataFile("structures/1dpx.pdb.gz"), "LINKMAP_CONTACT=4",
         "LINKMAP_GROUPS=walktrap", "LINKMAP_MIN_WEIGHT=0.4", "LINKMAP_COMMUNITIES=" + table});
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_NE(run.output.find("Creating link between X2 and X39 with weight"), std::string::npos);
    EXPECT_NE(
        run.output.find("Note: 73 of the 73 sites stand on residues of chain A of 1dpx.pdb.gz; 56 of its "
                        "129 residues have none\n"),
        std::string::npos);
    EXPECT_NE(run.output.find("Note: the table of the sites' communities is written to " + table + "\n"),
              std::string::npos);
    EXPECT_NE(readText(graphml).find("<data key=\"name\">V2</data>"), std::string::npos);

    std::istringstream cna(readText(dataFile("bio3d/bio3d-1dpx-cna-walk.txt")));
    const std::vector<std::string> membership{std::istream_iterator<std::string>(cna), {}};
    std::istringstream rows(readText(table));
    std::string row;
    std::getline(rows, row);
    EXPECT_EQ(row, "site,residue,community,betweenness,degree");
    std::size_t sites = 0, degrees = 0;
    while (std::getline(rows, row))
    {
        // V2,"VAL 2, chain A",22,0,1
        const std::size_t quote = row.find('"', row.find('"') + 1);
        std::istringstream after(row.substr(quote + 2));
        std::string community, betweenness, degree;
        std::getline(after, community, ',');
        std::getline(after, betweenness, ',');
        std::getline(after, degree, ',');
        const int number = std::stoi(row.substr(1, row.find(',') - 1));
        EXPECT_EQ(row.find(" " + std::to_string(number) + ", chain A\","),
                  quote - 10 - std::to_string(number).size())
            << row;
        EXPECT_EQ(community, membership.at(static_cast<std::size_t>(number - 1))) << row;
        EXPECT_GE(std::stod(betweenness), 0.0);
        degrees += std::stoul(degree);
        ++sites;
    }
    EXPECT_EQ(sites, 73u);
    EXPECT_EQ(degrees, 2u * 50u); // the 50 links the contact map keeps

    // From standard input, which cannot be read twice, site numbers in order over rows that may or may not be
    // a matrix under them are refused, naming the setting that chooses.
    const std::string command = "env -u DISPLAY " + std::string(LINKMAP_EXECUTABLE) + " - --generate-image " +
                                folder.path("no.svg") + " > " + folder.path("refused.out") +
                                " 2>/dev/null <<'END'\n1 2 3\n1 0.5 0.2\n0.5 0.3 0.1\n0.2 0.1 1\nEND\n";
    EXPECT_NE(std::system(("LINKMAP_FORMAT=matrix " + command).c_str()), 0);
    EXPECT_EQ(
        readText(folder.path("refused.out")),
        "Error: line 1 of standard input holds the whole numbers 1 to 3 in order, which may be its sites' "
        "numbers or its first row, and line 3 of standard input does not tell (LINKMAP_FORMAT=pairs reads a "
        "pair list; a matrix read from a file is told by its count of rows)\n");
}

TEST(CommandLine, WritesTheNetworkAsGraphmlThatReadsBackToTheSameLogAndRefusesABadMatrix)
{
    // No display is needed for either. The example goes out and comes back with the same links, and the file
    // written again is the same file.
    TemporaryFolder folder;
    const std::string example = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    const std::vector<std::string> lists = {"-p", example + "positive.txt", "-n", example + "negative.txt"};
    const auto write = [&](const std::string& input, const std::string& output) {
        std::vector<std::string> arguments = {input};
        arguments.insert(arguments.end(), lists.begin(), lists.end());
        arguments.insert(arguments.end(), {"--generate-image", folder.path(output)});
        return runWithoutDisplay(arguments, {});
    };
    const RunResult out = write(example + "network.txt", "example.graphml");
    const RunResult back = write(folder.path("example.graphml"), "again.GraphML");
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_EQ(back.exitStatus, 0);
    EXPECT_EQ(back.output, out.output);
    EXPECT_EQ(std::count(out.output.begin(), out.output.end(), '\n'), 22);
    EXPECT_EQ(readText(folder.path("again.GraphML")), readText(folder.path("example.graphml")));
    EXPECT_NE(readText(folder.path("example.graphml")).find("<data key=\"region\">negative</data>"),
              std::string::npos);

    // A refused matrix stops the run with one line and writes nothing.
    const RunResult refused = write(folder.write("ragged.csv", "1,0.5\n0.5\n"), "ragged.graphml");
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.output, "Error: line 2 of " + folder.path("ragged.csv") +
                                  " has 1 value where the matrix has 2 columns\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path("ragged.graphml")));
}

TEST(CommandLine, PlacesEverySiteAtItsResidueOfAStructureAndRefusesABadOneBeforeTheNetwork)
{
    // The export gives every site the place of its residue's Cα, from PDB and from gzipped mmCIF alike.
    TemporaryFolder folder;
    const std::string example = std::string(LINKMAP_SOURCE_DIR) + "/examples/";
    const std::string pdb = example + "1hpv.pdb";
    const std::string cif = folder.path("1hpv.cif");
    ASSERT_EQ(std::system(("gemmi convert '" + pdb + "' '" + cif + "' && gzip '" + cif + "'").c_str()), 0);
    std::map<std::string, std::vector<double>> alphas;
    std::istringstream atoms(readText(pdb));
    for (std::string line; std::getline(atoms, line);)
        if (line.rfind("ATOM", 0) == 0 && line.substr(12, 4) == " CA " && line[21] == 'A')
            alphas[std::to_string(std::stoi(line.substr(22, 4)))] = {
                std::stod(line.substr(30, 8)), std::stod(line.substr(38, 8)), std::stod(line.substr(46, 8))};
    for (const std::string& structure : {pdb, cif + ".gz"})
    {
        const std::string graphml = folder.path("placed.graphml");
        const RunResult run =
            runWithoutDisplay({example + "protease-a-gnm.csv", "--generate-image", graphml},
                              {"LINKMAP_STRUCTURE=" + structure, "LINKMAP_MIN_WEIGHT=0.35"});
        ASSERT_EQ(run.exitStatus, 0) << run.output;
        std::istringstream nodes(readText(graphml));
        std::map<std::string, std::string> node;
        std::size_t placed = 0;
        for (std::string line; std::getline(nodes, line);)
        {
            const std::size_t key = line.find("<data key=\"");
            if (key != std::string::npos)
            {
                const std::size_t value = line.find('>', key) + 1;
                node[line.substr(key + 11, line.find('"', key + 11) - key - 11)] =
                    line.substr(value, line.find('<', value) - value);
            }
            if (line.find("</node>") == std::string::npos)
                continue;
            const std::vector<double>& alpha = alphas.at(node["name"].substr(1));
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(std::stod(node[std::string(1, char('x' + axis))]), alpha[axis], 0.01)
                    << structure << " " << node["name"];
            ++placed;
        }
        EXPECT_EQ(placed, 88u) << structure;
    }

    // A structure that cannot be read, a chain it does not hold and an offset that is no number are each
    // refused with one line, before the network is read: this matrix would be refused too.
    const std::string ragged = folder.write("ragged.csv", "1,0.5\n0.5\n");
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"LINKMAP_STRUCTURE=" + folder.path("none.cif")},
         "Error: LINKMAP_STRUCTURE names none.cif, which cannot be opened: No such file or directory"},
        {{"LINKMAP_STRUCTURE=" + pdb, "LINKMAP_CHAIN=C"},
         "Error: LINKMAP_CHAIN is C, but 1hpv.pdb has no chain C of residues; its chains are A, B"},
        {{"LINKMAP_STRUCTURE=" + pdb, "LINKMAP_RESIDUE_OFFSET=ten"},
         "Error: LINKMAP_RESIDUE_OFFSET must be a whole number, not \"ten\""},
        {{"LINKMAP_STRUCTURE=" + pdb, "LINKMAP_CONTACT=0"},
         "Error: LINKMAP_CONTACT must be a distance in ångströms above 0 and at most 20, not \"0\""},
    };
    for (const auto& [settings, message] : refusals)
    {
        const RunResult run =
            runWithoutDisplay({ragged, "--generate-image", folder.path("no.graphml")}, settings);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.output, message + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("no.graphml")));
}

TEST(CommandLine, AnswersHelpAndVersionAsTheOnlyArgument)
{
    for (const char* help : {"--help", "-h"})
    {
        const RunResult run = runWithoutDisplay({help});
        EXPECT_EQ(run.exitStatus, 0) << help;
        for (const char* text : {"Usage: ",
                                 "--generate-image <filename>",
                                 "At most nine arguments",
                                 "In the window",
                                 "Escape",
                                 "The positive region list",
                                 "Left click",
                                 "Left double click",
                                 "Raise the weight cutoff",
                                 "Environment:",
                                 "OSG_WINDOW",
                                 "OSG_MULTI_SAMPLES",
                                 "LINKMAP_KEY",
                                 "LINKMAP_CUTOFF",
                                 "LINKMAP_VIEW",
                                 "LINKMAP_REGION",
                                 "LINKMAP_SELECT",
                                 "LINKMAP_WEIGHTS",
                                 "LINKMAP_CONTACT",
                                 "LINKMAP_COMMUNITIES",
                                 "LINKMAP_FROM",
                                 "LINKMAP_PATHS",
                                 "LINKMAP_IMAGE_SECONDS",
                                 "Find a site",
                                 "Save what the window shows",
                                 "Show only the links that touch a positive site"})
            EXPECT_NE(run.output.find(text), std::string::npos) << help << ": " << text;
        // Every setting the program reads, which the Python module takes as its keywords.
        for (const char* setting : settingNames)
            EXPECT_NE(run.output.find(std::string(setting) + " "), std::string::npos)
                << help << ": " << setting;
        // The toolkit's keys that do nothing here are not offered.
        for (const char* stock : {"Toggle lighting", "Trackball: Space", "Output stats", "screen resolution"})
            EXPECT_EQ(run.output.find(stock), std::string::npos) << help << ": " << stock;
        // Every key of the table, in the table's order, with the first words of its help.
        std::size_t at = 0;
        for (const KeyBinding& binding : keyBindings())
        {
            if (binding.help.empty())
                continue;
            at = run.output.find("  " + binding.label + " ", at);
            ASSERT_NE(at, std::string::npos) << binding.label;
            EXPECT_NE(run.output.find(binding.help.substr(0, 20), at), std::string::npos) << binding.label;
        }
    }
    const RunResult version = runWithoutDisplay({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output, std::string("linkmap ") + LINKMAP_VERSION + "\n");

    // Anywhere else they are what the command line always made of them: the first argument is the group file.
    const RunResult notAlone = runWithoutDisplay({"--help", dataFile("road-of-one-line.txt")});
    EXPECT_EQ(notAlone.exitStatus, 1);
    EXPECT_EQ(notAlone.output, missingMessage + "--help\n");
}

// Runs the program without a display under an address-space limit of the given kibibytes; a run that has not
// ended in a minute is stopped, and its status is then timeout's 124.
RunResult runWithMemoryLimit(const std::string& groupFile, long kibibytes)
{
    const std::string command = "ulimit -v " + std::to_string(kibibytes) +
                                " && exec timeout 60 env -u DISPLAY '" + LINKMAP_EXECUTABLE + "' '" +
                                groupFile + "' 2>/dev/null";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char block[65536];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, pipe)) > 0)
        result.output.append(block, count);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(CommandLine, EndsUnderAnAddressSpaceLimitWhateverTheSystemsBlas)
{
    // A threaded BLAS (OpenBLAS, where it is the system's) starts no thread that would wait for memory the
    // limit refuses, and so keep the run from ending.
    if (runWithMemoryLimit("missing.txt", 8L << 20).exitStatus != 1)
        GTEST_SKIP() << "this build does not run under an address-space limit (a sanitizer's, for one)";
    for (const long kibibytes : {150000L, 200000L, 230000L, 300000L})
    {
        const RunResult run = runWithMemoryLimit("missing.txt", kibibytes);
        EXPECT_EQ(run.exitStatus, 1) << kibibytes;
        EXPECT_EQ(run.output, missingMessage + "missing.txt\n") << kibibytes;
    }
}

TEST(CommandLine, RefusesANetworkLargerThanTheMemoryItMayUse)
{
    // The smallest limit, to 8 MiB, under which a one-line network loads and gets as far as the window.
    TemporaryFolder folder;
    const std::string small = dataFile("road-of-one-line.txt");
    const auto loads = [&](long kibibytes) {
        return runWithMemoryLimit(small, kibibytes).output.find(windowMessage) != std::string::npos;
    };
    long high = 8L << 20;
    if (!loads(high))
        GTEST_SKIP() << "this build does not run under an address-space limit (a sanitizer's, for one)";
    long low = 0;
    while (high - low > 8192)
    {
        const long middle = (low + high) / 2;
        (loads(middle) ? high : low) = middle;
    }

    // Under that limit, 380,000 links cannot be held: the run says so and fails, having logged every link it
    // made in full, never crashing.
    std::ostringstream text;
    for (int group = 0; group < 2000; ++group)
    {
        for (int site = 0; site < 20; ++site)
            text << "K" << group * 20 + site + 1 << " ";
        for (int weight = 0; weight < 190; ++weight)
            text << "0.5 ";
        text << "\n";
    }
    const RunResult large = runWithMemoryLimit(folder.write("large.txt", text.str()), high);
    EXPECT_EQ(large.exitStatus, 1);
    const std::string refusal = "Error: not enough memory for this network; linkmap cannot show it\n";
    ASSERT_GE(large.output.size(), refusal.size());
    EXPECT_EQ(large.output.substr(large.output.size() - refusal.size()), refusal);
    std::istringstream lines(large.output.substr(0, large.output.size() - refusal.size()));
    std::string line;
    std::size_t logged = 0;
    while (std::getline(lines, line))
    {
        ASSERT_EQ(line.rfind("Creating link between K", 0), 0u) << line;
        ASSERT_EQ(line.substr(line.size() - 20), " with weight 0.500000") << line;
        ++logged;
    }
    EXPECT_LT(logged, 380000u);
}

} // namespace
