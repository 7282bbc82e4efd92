#include <network/ValidText.h>

#include <cstddef>
#include <cstring>

namespace
{

// The length of the character that starts at bytes[i], or 0 where no character of UTF-8 that may be shown
// starts: a byte that starts none, a form cut short or overlong, a surrogate, a code point beyond U+10FFFF,
// or a control character (C0, DEL or C1), but those that kept lists.
std::size_t characterLength(const unsigned char* bytes, std::size_t i, std::size_t size, const char* kept)
{
    const unsigned char lead = bytes[i];
    if (lead < 0x80)
        return (lead >= 0x20 && lead != 0x7F) || (lead != 0 && std::strchr(kept, lead) != nullptr) ? 1 : 0;
    const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > size)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((bytes[i + k] >> 6) != 0x2)
            return 0;
    const unsigned char next = bytes[i + 1];
    const bool valid =
        length == 2   ? lead >= 0xC2 && !(lead == 0xC2 && next < 0xA0)
        : length == 3 ? !(lead == 0xE0 && next < 0xA0) && !(lead == 0xED && next >= 0xA0)
                      : lead <= 0xF4 && !(lead == 0xF0 && next < 0x90) && !(lead == 0xF4 && next >= 0x90);
    return valid ? length : 0;
}

} // namespace

void appendValidText(std::string& out, std::string_view text, const char* kept)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size)
    {
        // Plain ASCII, nearly every name, goes in runs.
        std::size_t run = i;
        while (run < size && bytes[run] >= 0x20 && bytes[run] < 0x7F)
            ++run;
        out.append(text.data() + i, run - i);
        i = run;
        if (i == size)
            break;
        const std::size_t length = characterLength(bytes, i, size, kept);
        if (length > 0)
            out.append(text.data() + i, length);
        else
            out += "\xEF\xBF\xBD";
        i += length > 0 ? length : 1;
    }
}

std::string validText(std::string_view text, const char* kept)
{
    std::string valid;
    valid.reserve(text.size());
    appendValidText(valid, text, kept);
    return valid;
}

bool isValidText(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t length = characterLength(bytes, i, text.size(), "\t\n");
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string escapeXml(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text)
    {
        switch (c)
        {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}
