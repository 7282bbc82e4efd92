#ifndef LINKMAP_NETWORK_INPUTERROR
#define LINKMAP_NETWORK_INPUTERROR 1

#include <network/ValidText.h>

#include <stdexcept>
#include <string>

/** A failure that ends a run, whose what() is the one line the run says of it: valid text, whatever the file
 * or the setting it quotes held. */
class ToldError : public std::runtime_error
{
public:
    explicit ToldError(const std::string& told) : std::runtime_error(validText(told, "\t\n")) {}
};

/** Thrown by a reader for an input it refuses; what() is the one line that says why, naming the file and
 *  the line, or the setting. */
class InputError : public ToldError
{
public:
    using ToldError::ToldError;
};

#endif
