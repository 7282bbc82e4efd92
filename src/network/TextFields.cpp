#include <network/TextFields.h>

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <system_error>

namespace
{

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether token begins as a decimal number does: an optional minus, then a digit or a point, and not the 0x
// of a hexadecimal one. Everything else that strtod reads (a plus sign, leading space, hexadecimal, inf,
// nan) is left to strtod itself.
bool startsDecimal(std::string_view token)
{
    const std::size_t start = !token.empty() && token[0] == '-' ? 1 : 0;
    if (start >= token.size() || !(isDigit(token[start]) || token[start] == '.'))
        return false;
    return !(token[start] == '0' && start + 1 < token.size() &&
             (token[start + 1] == 'x' || token[start + 1] == 'X'));
}

} // namespace

bool endsWithCaseless(const std::string& name, const char* ending)
{
    const std::size_t length = std::strlen(ending);
    return name.size() > length && strcasecmp(name.c_str() + name.size() - length, ending) == 0;
}

int parseInteger(const char* text)
{
    // strtol reads exactly what atoi reads, and reports overflow by saturating to long's range.
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double parseDecimal(std::string_view token)
{
    // fast_float reads the longest decimal number at the start of the token and rounds it exactly as strtod
    // does, without a copy of the token; what it does not read in full goes to strtod.
    double value = 0.0;
    const char* end = token.data() + token.size();
    if (!startsDecimal(token) || fast_float::from_chars(token.data(), end, value).ec != std::errc())
        value = std::strtod(std::string(token).c_str(), nullptr);
    return value;
}

bool fitsFloat(double value)
{
    return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

float parseWeight(std::string_view token)
{
    const double value = parseDecimal(token);
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return value > 0.0 ? FLT_MAX : -FLT_MAX;
    return static_cast<float>(value);
}

std::vector<std::string> wrapText(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size())
    {
        std::size_t end = std::min(text.size(), at + std::max<std::size_t>(width, 1));
        if (end < text.size())
        {
            const std::size_t space = text.rfind(' ', end);
            end = space != std::string::npos && space > at ? space : end;
        }
        lines.push_back(text.substr(at, end - at));
        at = end < text.size() && text[end] == ' ' ? end + 1 : end;
    }
    return lines;
}
