#ifndef LINKMAP_NETWORK_TEXTFIELDS
#define LINKMAP_NETWORK_TEXTFIELDS 1

#include <string>
#include <string_view>
#include <vector>

/** Calls visit with every token of text, in order; tokens are the runs of characters between the bytes of
 *  separators, so a run of separators counts as one and separators at either end are ignored. */
template <typename Visitor>
void forEachToken(std::string_view text, std::string_view separators, Visitor&& visit)
{
    // A table of the separators, so that each byte is told apart by one look, however long the line.
    bool separates[256] = {};
    for (const char separator : separators)
        separates[static_cast<unsigned char>(separator)] = true;
    const char* const end = text.data() + text.size();
    const char* at = text.data();
    for (;;)
    {
        while (at != end && separates[static_cast<unsigned char>(*at)])
            ++at;
        if (at == end)
            return;
        const char* const start = at;
        while (at != end && !separates[static_cast<unsigned char>(*at)])
            ++at;
        visit(std::string_view(start, static_cast<std::size_t>(at - start)));
    }
}

/** text in lines of at most width characters, broken at spaces (a word longer than width is cut). */
std::vector<std::string> wrapText(const std::string& text, std::size_t width);

/** Whether name ends in ending, in any case, with something before it: ".gz" for "network.txt.GZ". */
bool endsWithCaseless(const std::string& name, const char* ending);

/** Reads an integer as atoi does (leading white space, optional sign, decimal digits up to the first other
 *  character, 0 when there are none), saturated to the range of int instead of overflowing. */
int parseInteger(const char* text);

/** Reads a number from a token as atof reads it: the longest decimal number at its start, 0 when there is
 * none. */
double parseDecimal(std::string_view token);

/** Whether value is a finite number that a float holds without saturating: at most FLT_MAX in size. */
bool fitsFloat(double value);

/** Reads a weight from a token as atof reads it, narrowed to float; finite values beyond float's range
 *  saturate to its largest magnitude instead of being undefined. */
float parseWeight(std::string_view token);

#endif
