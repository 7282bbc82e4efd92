#ifndef LINKMAP_NETWORK_INPUTERROR
#define LINKMAP_NETWORK_INPUTERROR 1

#include <stdexcept>

/** A failure that ends a run, whose what() is the one line the run says of it. */
class ToldError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** Thrown by a reader for an input it refuses; what() is the one line that says why, naming the file and
 *  the line, or the setting. */
class InputError : public ToldError
{
public:
    using ToldError::ToldError;
};

#endif
