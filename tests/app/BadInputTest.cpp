// The mistakes people make by accident, each ending in one line that says what is wrong and a sound exit
// status, with every byte written valid text.
#include <network/ValidText.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{

struct Case
{
    const char* what;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    int exitStatus;
    /** Lines standard output must hold, whole; {} stands for the case's folder, with its slash. */
    std::vector<std::string> lines;
    /** Whether links are made: a refusal comes before any. */
    bool links = false;
};

std::string placed(std::string text, const std::string& folder)
{
    for (std::size_t at; (at = text.find("{}")) != std::string::npos;)
        text.replace(at, 2, folder);
    return text;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The chain of the test structure is PRO 1, GLN 2, ILE 3.
const std::string structure = dataFile("structure.pdb");

std::string cutAt(std::size_t bytes)
{
    return readText(structure).substr(0, bytes);
}

TEST(BadInput, EachMistakeEndsInOneLineAndASoundStatus)
{
    TemporaryFolder folder;
    const std::string at = folder.path("");
    std::filesystem::create_directory(folder.path("adir"));
    folder.write("empty.csv", "");
    folder.write("empty.txt", "");
    folder.write("net.txt", "K35 R52 0.5\n");
    folder.write("beyond.txt", "A1 B2 9.9e999\nC3 D4 1.0e308\nE5 F6 nan.\nG7 H8 -inf.\nI9 J10 0.5\n");
    folder.write("single.txt", "35\n52\n");
    folder.write("singles.txt", "35\n52\n60\n");
    folder.write("odd.txt", "10-20\n30\n");
    folder.write("sites.txt", "P1 Q2 0.5 I3 0.4 0.3\n");
    folder.write("other.txt", "K1 V2 0.5 F3 0.4 0.3\n");
    folder.write("one-off.txt", "P1 V2 0.5 I3 0.4 0.3\n");
    // Cut in the middle of an atom record's coordinates, after its B-factor began, and a line damaged inside.
    folder.write("cut-coordinates.pdb", cutAt(1150));
    folder.write("cut-factor.pdb", cutAt(1200));
    std::string damaged = readText(structure);
    const std::size_t fourth = damaged.find("ATOM      4");
    damaged.replace(fourth, damaged.find('\n', fourth) - fourth, "ATOM      4  O   PRO A   1      14.085");
    folder.write("damaged.pdb", damaged);
    folder.write("matrix.csv", "A,B,C\n1,0.5,0.4\n0.5,1,0.3\n0.4,0.3,1\n");
    folder.write("stockholm.sto", "# STOCKHOLM 1.0\nseq1 KVF\n//\n");
    const std::string group = dataFile("road-of-one-line.txt");
    const std::string eleven[] = {group,   "-p",           "a",    "-n", "b", "-a", "c", "--generate-image",
                                  "x.png", "--background", "white"};

    const Case cases[] = {
        {"an empty file still draws its empty picture",
         {at + "empty.csv", "--generate-image", at + "e.svg"},
         {},
         0,
         {"Note: {}empty.csv holds no sites or links"}},
        {"an empty group file",
         {at + "empty.txt", "--generate-image", at + "e.svg"},
         {},
         0,
         {"Note: {}empty.txt holds no sites or links"}},
        {"a directory as the network",
         {at + "adir"},
         {},
         1,
         {"Error: {}adir is a directory, not a network file"}},
        {"a directory as a region list",
         {group, "-n", at + "adir"},
         {},
         1,
         {"Error: {}adir is a directory, not a region list"}},
        {"a directory as the structure",
         {group, "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + at + "adir"},
         1,
         {"Error: LINKMAP_STRUCTURE names {}adir, which is a directory, not a structure file"}},
        {"a directory as the sequence",
         {at + "matrix.csv", "--generate-image", at + "x.svg"},
         {"LINKMAP_SEQUENCE=" + at + "adir"},
         1,
         {"Error: LINKMAP_SEQUENCE names {}adir, which is a directory, not a sequence file"}},
        {"weights no float holds",
         {at + "beyond.txt", "--generate-image", at + "x.graphml"},
         {},
         0,
         {"Warning: line 1 of {}beyond.txt has the weight 9.9e999, which is no finite number of at most "
          "3.40282e+38 in size; its pair gets no link",
          "Warning: line 2 of {}beyond.txt has the weight 1.0e308, which is no finite number of at most "
          "3.40282e+38 in size; its pair gets no link",
          "Warning: line 3 of {}beyond.txt has the weight nan., which is no finite number of at most "
          "3.40282e+38 in size; its pair gets no link",
          "Warning: line 4 of {}beyond.txt has the weight -inf., which is no finite number of at most "
          "3.40282e+38 in size; its pair gets no link",
          "Creating link between I9 and J10 with weight 0.500000"},
         true},
        {"a region list of one number a line",
         {at + "net.txt", "-p", at + "single.txt", "--generate-image", at + "x.graphml"},
         {},
         0,
         {"Note: {}single.txt has one number a line; they are read two by two as ranges, 35-52; write 35-35 "
          "for a single site"},
         true},
        {"one number a line, and an odd count",
         {at + "net.txt", "-a", at + "singles.txt", "--generate-image", at + "x.graphml"},
         {},
         0,
         {"Note: {}singles.txt has one number a line; they are read two by two as ranges, 35-52; write 35-35 "
          "for a single site; the last number, 60, has no partner and is left out"},
         true},
        {"a region list of an odd count",
         {at + "net.txt", "-n", at + "odd.txt", "--generate-image", at + "x.graphml"},
         {},
         0,
         {"Note: {}odd.txt holds an odd count of numbers, 3, read two by two as ranges; the last number, 30, "
          "has no partner and is left out"},
         true},
        {"a structure cut in its coordinates",
         {at + "sites.txt", "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + at + "cut-coordinates.pdb"},
         1,
         {"Error: LINKMAP_STRUCTURE names cut-coordinates.pdb, which is cut short: its last line, an ATOM "
          "record, stops at column 11 of 54"}},
        {"a structure cut in its last B-factor",
         {at + "sites.txt", "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + at + "cut-factor.pdb"},
         1,
         {"Error: LINKMAP_STRUCTURE names cut-factor.pdb, which is cut short: its last line, an ATOM record, "
          "stops at column 61 of 66"}},
        {"a structure damaged inside",
         {at + "sites.txt", "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + at + "damaged.pdb"},
         1,
         {"Error: LINKMAP_STRUCTURE names damaged.pdb, whose line 4, an ATOM record, stops at column 38 of "
          "54, "
          "is cut short"}},
        {"a structure of another molecule",
         {at + "other.txt", "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + structure},
         1,
         {"Error: 3 of the 3 sites that name their residue disagree with chain A of structure.pdb (K1 is PRO "
          "1, V2 is GLN 2, F3 is ILE 3): choose the chain with LINKMAP_CHAIN, or shift its numbers with "
          "LINKMAP_RESIDUE_OFFSET"}},
        {"a structure whose residues one site of three disagrees with",
         {at + "one-off.txt", "--generate-image", at + "x.svg"},
         {"LINKMAP_STRUCTURE=" + structure},
         0,
         {"Warning: V2 is GLN 2 in chain A of structure.pdb"},
         true},
        {"a sequence in no alignment format",
         {at + "matrix.csv", "--generate-image", at + "x.svg"},
         {"LINKMAP_SEQUENCE=" + at + "stockholm.sto"},
         1,
         {"Error: the sequence file {}stockholm.sto is no FASTA, NEXUS or Clustal alignment; its first line "
          "is "
          "\"# STOCKHOLM 1.0\" (LINKMAP_SEQUENCE)"}},
        {"more than nine arguments",
         std::vector<std::string>(std::begin(eleven), std::end(eleven)),
         {},
         1,
         {"At most nine arguments may follow the program's name; this run had 11"}},
        {"an output name of no format",
         {group, "--generate-image", at + "x.xyz"},
         {"DISPLAY"},
         1,
         {"Error: linkmap cannot write {}x.xyz: its name ends in no format linkmap writes (an image: .png, "
          ".jpg, .bmp, .tif; a figure: .svg, .pdf, .eps; .html, .glb, .gltf, .graphml, .pml, .pdb)"}},
        {"an output name without an extension",
         {group, "--generate-image", at + "picture"},
         {"DISPLAY"},
         1,
         {"Error: linkmap cannot write {}picture: its name ends in no format linkmap writes (an image: .png, "
          ".jpg, .bmp, .tif; a figure: .svg, .pdf, .eps; .html, .glb, .gltf, .graphml, .pml, .pdb)"}},
        {"a window without a display",
         {group},
         {"DISPLAY"},
         1,
         {"Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)"},
         true},
        {"a window setting of no numbers",
         {group},
         {"DISPLAY", "OSG_WINDOW=abc"},
         1,
         {"Warning: OSG_WINDOW is \"abc\", not \"x y width height\" with a width and height above 0; the "
          "window "
          "takes its default place and size"},
         true},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        LinkmapProcess run(test.arguments, test.environment, 60);
        const RunResult result = run.finish();
        const std::string errors = run.errorText();
        EXPECT_EQ(result.exitStatus, test.exitStatus);
        const std::vector<std::string> lines = linesOf(result.output);
        for (const std::string& expected : test.lines)
            EXPECT_NE(std::find(lines.begin(), lines.end(), placed(expected, at)), lines.end())
                << placed(expected, at) << "\nin:\n"
                << result.output;
        EXPECT_EQ(result.output.find("Creating link") != std::string::npos, test.links) << result.output;
        // A refusal is one line, after the usage where it is printed; the toolkit says nothing of a display.
        if (test.exitStatus == 1 && !test.links)
        {
            EXPECT_EQ(result.output.rfind("Error: ", 0) == 0 ? lines.size() : 1u, 1u) << result.output;
        }
        EXPECT_EQ(errors.find("Unable to open display"), std::string::npos) << errors;
        EXPECT_TRUE(isValidText(result.output)) << result.output;
        EXPECT_TRUE(isValidText(errors)) << errors;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("x.xyz")));
}

// Runs linkmap in a user namespace of its own, where it may not read a file that root made unreadable, and
// returns its standard output and error.
std::pair<RunResult, std::string> runUnprivileged(const std::string& path, const std::string& errorsFile)
{
    const std::string command =
        "unshare -U '" + std::string(LINKMAP_EXECUTABLE) + "' '" + path + "' 2>'" + errorsFile + "'";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {result, std::string()};
    char block[4096];
    for (std::size_t count; (count = std::fread(block, 1, sizeof block, pipe)) > 0;)
        result.output.append(block, count);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {result, readText(errorsFile)};
}

TEST(BadInput, AFileThatMayNotBeReadIsMissingWithItsReasonOnStandardError)
{
    TemporaryFolder folder;
    const std::string secret = folder.write("secret.txt", "K1 R2 0.5\n");
    std::filesystem::permissions(secret, std::filesystem::perms::none);
    if (std::system("unshare -U true 2>/dev/null") != 0 && geteuid() == 0)
        GTEST_SKIP() << "no user namespace here, and root reads every file";
    const auto [run, errors] = geteuid() == 0 ? runUnprivileged(secret, folder.path("errors"))
                                              : std::pair{runLinkmap({secret}), std::string()};
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.output, "Error: No se encontro el fichero de entrada " + secret + "\n");
    if (geteuid() == 0)
    {
        EXPECT_EQ(errors, "linkmap: " + secret + ": permission denied\n");
    }
}

TEST(BadInput, AlignmentsAreReadAsWhatTheyAre)
{
    // The first sequence of each names the sites of a numbered matrix: K1 V2 F3 L4 L5 P6.
    TemporaryFolder folder;
    const std::string matrix = folder.write("m.csv", "0,0.5,0.4,0.3,0.2,0.1\n0.5,0,0,0,0,0\n0.4,0,0,0,0,0\n"
                                                     "0.3,0,0,0,0,0\n0.2,0,0,0,0,0\n0.1,0,0,0,0,0\n");
    const struct
    {
        const char* name;
        const char* text;
    } alignments[] = {
        {"fasta", ">first one\nKVF\nLLP\n>second\nAAAAAA\n"},
        {"bare", "KVFLLP\n"},
        {"nexus interleaved",
         "#NEXUS\n[written by hand]\nBEGIN DATA;\n  DIMENSIONS NTAX=2 NCHAR=6;\n"
         "  FORMAT DATATYPE=PROTEIN INTERLEAVE;\n  MATRIX\n  'first one' KV[x]F\n  second MMM\n"
         "  'first one' LLP\n  second AAA\n  ;\nEND;\n"},
        {"nexus",
         "#nexus\nbegin characters;\ndimensions nchar=6;\nmatrix\nfirst KVFLLP\nsecond AAAAAA;\nend;\n"},
        {"clustal", "CLUSTAL W (1.83) multiple sequence alignment\n\nfirst   KVF 3\nsecond  MMM 3\n"
                    "        *  \n\nfirst   LLP 6\nsecond  AAA 6\n"},
    };
    for (const auto& alignment : alignments)
    {
        SCOPED_TRACE(alignment.name);
        const std::string sequence = folder.write("sequence", alignment.text);
        const RunResult run = runLinkmap({matrix, "--generate-image", folder.path("m.graphml")},
                                         {"LINKMAP_SEQUENCE=" + sequence, "DISPLAY"});
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        for (const char* site : {"V2", "F3", "L4", "L5", "P6"})
            EXPECT_NE(run.output.find(std::string("Creating link between K1 and ") + site), std::string::npos)
                << site << "\n"
                << run.output;
    }
}

} // namespace
