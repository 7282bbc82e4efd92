#ifndef LINKMAP_VIEW_SITEFINDER
#define LINKMAP_VIEW_SITEFINDER 1

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/** Whether name matches what was typed: it starts with text, ignoring case; or text is digits alone and the
 *  number after the name's first character, as region lists read it, is that number (45 finds K45). Empty
 * text matches nothing. */
bool matchesSite(const std::string& name, const std::string& text);

/** The find prompt: the text typed, the sites whose names match it, in the order of the names' first
 *  appearance, and the one picked last. */
class SiteFinder
{
public:
    /** What a key asks of the window. */
    enum class Action
    {
        /** Nothing changed. */
        None,
        /** The prompt's line changed. */
        Changed,
        /** The prompt's line changed and the site picked() is to be picked and centred. */
        Pick,
        /** The prompt closed. */
        Close
    };

    /** Finds among names, the distinct names in the order of their first appearance, which must outlive it.
     */
    explicit SiteFinder(const std::vector<std::string>& names);

    /** Opens the prompt with no text, or closes it. */
    void open();
    void close();
    bool isOpen() const;

    /** Takes a key of the window while the prompt is open: a printable character is typed, Backspace takes
     *  the last character back, Enter picks the first match and then the next, as Tab does, and Escape
     *  closes. With no match, Enter and Tab do nothing. */
    Action key(int key);

    /** Puts text, in UTF-8, in place of what was typed, as a search box does. */
    void type(const std::string& typed);

    /** The text typed so far, in UTF-8. */
    const std::string& getText() const;

    /** The site picked last, by its place among the names; only after a Pick. */
    std::size_t picked() const;

    /** The prompt's line: "Find: " and the text, and when there is text, how many sites match, or which of
     *  them is picked. */
    std::string promptLine() const;

private:
    void match();

    const std::vector<std::string>& names;
    std::string text;
    std::vector<std::uint32_t> matches;
    /** The place among the matches of the site picked last; none until Enter or Tab. */
    std::size_t cursor;
    bool opened = false;
};

#endif
