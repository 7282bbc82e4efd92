#ifndef LINKMAP_VIEW_KEYS
#define LINKMAP_VIEW_KEYS 1

/** The codes of the keys that are no character, as X11 numbers them (and so the toolkit's events, and the
 *  window's front end): a printable key is its character's code. */
namespace Keys
{
constexpr int backspace = 0xFF08;
constexpr int tab = 0xFF09;
constexpr int enter = 0xFF0D;
constexpr int escape = 0xFF1B;
constexpr int keypadEnter = 0xFF8D;
constexpr int keypadAdd = 0xFFAB;
constexpr int keypadSubtract = 0xFFAD;
} // namespace Keys

#endif
