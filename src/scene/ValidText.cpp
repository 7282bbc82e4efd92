#include <scene/ValidText.h>

std::string validText(const std::string& name)
{
    std::string text;
    text.reserve(name.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    const std::size_t size = name.size();
    for (std::size_t i = 0; i < size;)
    {
        const unsigned char lead = bytes[i];
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        bool valid = length > 0 && i + length <= size && lead >= 0x20 && lead != 0x7F;
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (bytes[i + k] >> 6) == 0x2;
        // Overlong forms, surrogates and code points beyond U+10FFFF are no characters either.
        if (valid && length == 2)
            valid = lead >= 0xC2;
        if (valid && length == 3)
            valid = !(lead == 0xE0 && bytes[i + 1] < 0xA0) && !(lead == 0xED && bytes[i + 1] >= 0xA0);
        if (valid && length == 4)
            valid = lead <= 0xF4 && !(lead == 0xF0 && bytes[i + 1] < 0x90) &&
                    !(lead == 0xF4 && bytes[i + 1] >= 0x90);
        if (valid)
        {
            text.append(name, i, length);
            i += length;
        }
        else
        {
            text += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return text;
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
