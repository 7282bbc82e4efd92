#include <app/CommandLine>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// A directory passes the read test, yet reading it never reaches an end; only files that can be read as a
// stream of text are accepted: regular files, pipes and terminals.
bool isReadableFile(const std::string& path)
{
    if (access(path.c_str(), R_OK) != 0)
        return false;
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return false;
    return S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
}

// Reads one option's path and checks it at once, before the next option is read.
void readCheckedOption(osg::ArgumentParser& arguments, const char* option, std::string& path)
{
    if (arguments.read(option, osg::ArgumentParser::Parameter(path)))
        checkInputFile(path);
}

} // namespace

void describeUsage(osg::ArgumentParser& arguments)
{
    osg::ApplicationUsage* usage = arguments.getApplicationUsage();
    usage->setApplicationName(arguments.getApplicationName());
    usage->setDescription(arguments.getApplicationName());
    usage->setCommandLineUsage(arguments.getApplicationName() + " <linkmap-file>");
    usage->addCommandLineOption("-p <positive-file>", " ", "");
    usage->addCommandLineOption("-n <negative-file>", " ", "");
    usage->addCommandLineOption("-a <accelerated-file>", " ", "");
    usage->addCommandLineOption("--generate-image <filename>", "Save an screenshoot image and exit", "");
    usage->addCommandLineOption("--background <color>",
                                "Set the background color: black, white, blue (default)", "");
}

bool acceptsArgumentCount(int count)
{
    return count >= 2 && count <= 10;
}

void checkInputFile(std::string path)
{
    if (isReadableFile(path))
        return;
    std::printf("Error: No se encontro el fichero de entrada %s\n", path.c_str());
    std::exit(1);
}

InputFiles readInputFiles(osg::ArgumentParser& arguments)
{
    InputFiles files;
    // The first argument is the group file, whatever it looks like.
    files.groupFile = arguments.argv()[1];
    arguments.remove(1, 1);
    checkInputFile(files.groupFile);

    readCheckedOption(arguments, "-p", files.positiveFile);
    readCheckedOption(arguments, "-n", files.negativeFile);
    readCheckedOption(arguments, "-a", files.acceleratedFile);
    return files;
}
