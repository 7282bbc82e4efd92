#ifndef LINKMAP_NETWORK_VALIDTEXT
#define LINKMAP_NETWORK_VALIDTEXT 1

#include <string>
#include <string_view>

/** text as valid UTF-8, which text in every written format must be: a byte that starts no character becomes
 *  U+FFFD, and so does a control character but those that kept lists ("\t", "\t\n"). */
std::string validText(std::string_view text, const char* kept = "");

/** Adds text to out as validText makes it, without a string of its own. */
void appendValidText(std::string& out, std::string_view text, const char* kept = "");

/** Whether text is valid UTF-8 with no control character but newlines and tabs: what every text the program
 *  writes must be. */
bool isValidText(std::string_view text);

/** text with the characters that markup gives a meaning, & < > and ", written as XML's and HTML's entities.
 */
std::string escapeXml(const std::string& text);

#endif
