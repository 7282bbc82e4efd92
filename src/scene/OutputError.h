#ifndef LINKMAP_SCENE_OUTPUTERROR
#define LINKMAP_SCENE_OUTPUTERROR 1

#include <network/InputError.h>

/** Thrown by a writer for an output it cannot make, as a reader throws InputError for an input it refuses:
 *  what() is the one line that says so, naming the file and why. */
class OutputError : public ToldError
{
public:
    using ToldError::ToldError;
};

#endif
