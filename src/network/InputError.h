#ifndef LINKMAP_NETWORK_INPUTERROR
#define LINKMAP_NETWORK_INPUTERROR 1

#include <stdexcept>

/** Thrown by a reader for an input it refuses; what() is the one line that says why, naming the file and
 *  the line, or the setting. */
class InputError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

#endif
