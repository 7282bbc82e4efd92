#ifndef LINKMAP_NETWORK_INPUTFILES
#define LINKMAP_NETWORK_INPUTFILES 1

#include <string>

/** The paths named on the command line; an empty path means the file was not given. */
struct InputFiles
{
    /** The correlation-group file. */
    std::string groupFile;

    /** The positive region list. */
    std::string positiveFile;

    /** The negative region list. */
    std::string negativeFile;

    /** The accelerated region list. */
    std::string acceleratedFile;
};

#endif
