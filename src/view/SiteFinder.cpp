#include <network/CorrelationNetwork.h>
#include <network/TextFields.h>
#include <view/Keys.h>
#include <view/SiteFinder.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace
{

const std::size_t noMatch = std::numeric_limits<std::size_t>::max();

// Takes the last character of UTF-8 text off, however many bytes it has.
void eraseLastCharacter(std::string& text)
{
    while (!text.empty())
    {
        const auto last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80)
            return;
    }
}

// Adds a character of the Latin-1 range, as the window's keys give it, in UTF-8.
void appendCharacter(std::string& text, int key)
{
    if (key < 0x80)
    {
        text += static_cast<char>(key);
        return;
    }
    text += static_cast<char>(0xC0 | (key >> 6));
    text += static_cast<char>(0x80 | (key & 0x3F));
}

} // namespace

bool matchesSite(const std::string& name, const std::string& text)
{
    if (text.empty())
        return false;
    if (name.size() >= text.size() &&
        std::equal(text.begin(), text.end(), name.begin(), [](char typed, char named) {
            return std::tolower(static_cast<unsigned char>(typed)) ==
                   std::tolower(static_cast<unsigned char>(named));
        }))
        return true;
    // A number alone, of no more digits than an int holds, also finds the sites numbered so.
    const bool digits = text.size() <= 9 && std::all_of(text.begin(), text.end(), [](char c) {
                            return std::isdigit(static_cast<unsigned char>(c)) != 0;
                        });
    return digits && name.size() > 1 && siteNumber(name) == parseInteger(text.c_str());
}

SiteFinder::SiteFinder(const std::vector<std::string>& distinctNames) : names(distinctNames), cursor(noMatch)
{
}

void SiteFinder::open()
{
    opened = true;
    text.clear();
    match();
}

void SiteFinder::close()
{
    opened = false;
}

bool SiteFinder::isOpen() const
{
    return opened;
}

SiteFinder::Action SiteFinder::key(int key)
{
    switch (key)
    {
    case Keys::escape:
        close();
        return Action::Close;
    case Keys::enter:
    case Keys::keypadEnter:
    case Keys::tab:
        if (matches.empty())
            return Action::None;
        cursor = cursor == noMatch ? 0 : (cursor + 1) % matches.size();
        return Action::Pick;
    case Keys::backspace:
        if (text.empty())
            return Action::None;
        eraseLastCharacter(text);
        match();
        return Action::Changed;
    default:
        // Printable characters of the Latin-1 range; other keys (arrows, Shift, F1...) type nothing.
        if ((key >= 0x20 && key < 0x7F) || (key >= 0xA0 && key <= 0xFF))
        {
            appendCharacter(text, key);
            match();
            return Action::Changed;
        }
        return Action::None;
    }
}

void SiteFinder::type(const std::string& typed)
{
    text = typed;
    match();
}

const std::string& SiteFinder::getText() const
{
    return text;
}

std::size_t SiteFinder::picked() const
{
    return cursor == noMatch ? noMatch : matches[cursor];
}

std::string SiteFinder::promptLine() const
{
    std::string line = "Find: " + text;
    if (text.empty())
        return line;
    if (matches.empty())
        return line + "  (no site matches)";
    if (cursor != noMatch)
        return line + "  (" + std::to_string(cursor + 1) + " of " + std::to_string(matches.size()) + ")";
    return line + "  (" + std::to_string(matches.size()) +
           (matches.size() == 1 ? " site matches)" : " sites match)");
}

void SiteFinder::match()
{
    // A scan of every name, a fraction of a millisecond for a hundred thousand of them: well within a frame.
    matches.clear();
    cursor = noMatch;
    if (text.empty())
        return;
    for (std::size_t site = 0; site < names.size(); ++site)
        if (matchesSite(names[site], text))
            matches.push_back(static_cast<std::uint32_t>(site));
}
