#ifndef LINKMAP_SCENE_VALIDTEXT
#define LINKMAP_SCENE_VALIDTEXT 1

#include <string>

/** A name as valid UTF-8, which text in every written format must be: a byte that starts no character becomes
 *  U+FFFD, and so does a control character. */
std::string validText(const std::string& name);

/** text with the characters that markup gives a meaning, & < > and ", written as XML's and HTML's entities.
 */
std::string escapeXml(const std::string& text);

#endif
