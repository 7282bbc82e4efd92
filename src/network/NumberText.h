#ifndef LINKMAP_NETWORK_NUMBERTEXT
#define LINKMAP_NETWORK_NUMBERTEXT 1

#include <cstddef>
#include <string>

/** Room enough for any double written with %f and up to 17 decimals: a sign, the 309 digits of the largest
 *  double, the point and the decimals. A buffer of this size never cuts a number short. */
constexpr std::size_t fixedTextRoom = 1 + 309 + 1 + 17 + 1;

/** value as printf's "%.*f" writes it with decimals digits after the point (0 to 17): every digit of a large
 *  number, "inf", "-inf", "nan" and "-nan" as glibc spells them. */
std::string fixedText(double value, int decimals);

/** Writes value as fixedText does at the end of text, without a string of its own for each number. */
void appendFixed(std::string& text, double value, int decimals);

/** The shortest text that reads back to the same double, or to the same float. */
std::string shortestText(double value);
std::string shortestText(float value);

/** A number as %g writes it: 0.1, 1e-05. */
std::string shortNumber(double value);

/** The text printf writes for format and its arguments, however long. */
std::string printfText(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
