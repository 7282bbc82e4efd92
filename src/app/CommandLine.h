#ifndef LINKMAP_APP_COMMANDLINE
#define LINKMAP_APP_COMMANDLINE 1

#include <network/InputFiles.h>

#include <osg/ArgumentParser>

#include <ostream>
#include <string>

/** Fills the parser's usage record with the program's name, its command line and its five options. */
void describeUsage(osg::ArgumentParser& arguments);

/** What a command line asks for: the program's run, or only its help or its version. */
enum class Request
{
    Run,
    Help,
    Version
};

/** --help or -h as the only argument asks for help, --version for the version; anything else is a run. */
Request readRequest(osg::ArgumentParser& arguments);

/** Writes the usage, the window's keys and mouse bindings and the environment settings to out. */
void writeHelp(osg::ArgumentParser& arguments, std::ostream& out);

/** Writes the program's name and version, one line, to out. */
void writeVersion(std::ostream& out);

/** Answers a command line that asks only for the help or the version on out: true when it did, and the run
 *  is over. */
bool answerRequest(osg::ArgumentParser& arguments, std::ostream& out);

/** Checks that the argument count, program name included, is one the program accepts (2 to 10); when it is
 *  not, throws InputError with the options as its text. */
void checkArgumentCount(osg::ArgumentParser& arguments);

/** Returns when path names a readable file; otherwise throws the missing-file message as an InputError,
 *  which main prints before it ends with 1, with the reason on standard error when the file exists but may
 * not be read. A directory is refused as not what was expected ("a network file"). */
void checkInputFile(std::string path, const char* expected = "a network file");

/** Takes the group file from the first argument and the region lists from -p, -n and -a, removing them from
 *  the parser and checking each path as soon as it is read. */
InputFiles readInputFiles(osg::ArgumentParser& arguments);

#endif
