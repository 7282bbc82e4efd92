#include <network/NumberText.h>

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <system_error>

static_assert(std::numeric_limits<double>::max_exponent10 + 1 == 309, "the largest double has 309 digits");

namespace
{

// A number that does not fit its buffer is a fault of the program, never text to write.
[[noreturn]] void cutShort()
{
    throw std::logic_error("a number's text did not fit its buffer");
}

template <typename Number> std::string shortest(Number value)
{
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    if (written.ec != std::errc())
        cutShort();
    return std::string(text, written.ptr);
}

} // namespace

void appendFixed(std::string& text, double value, int decimals)
{
    if (decimals < 0 || decimals > 17)
        cutShort();
    char number[fixedTextRoom];
    const std::to_chars_result written =
        std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        cutShort();
    text.append(number, written.ptr);
}

std::string fixedText(double value, int decimals)
{
    std::string text;
    appendFixed(text, value, decimals);
    return text;
}

std::string shortestText(double value)
{
    return shortest(value);
}

std::string shortestText(float value)
{
    return shortest(value);
}

std::string shortNumber(double value)
{
    return printfText("%g", value);
}

std::string printfText(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text;
    if (length > 0)
    {
        text.resize(static_cast<std::size_t>(length));
        // The room vsnprintf asked for, and its NUL, which the string keeps past its end.
        if (std::vsnprintf(text.data(), text.size() + 1, format, again) != length)
            text.clear();
    }
    va_end(again);
    if (length < 0)
        throw std::runtime_error("a text could not be formatted");
    return text;
}
