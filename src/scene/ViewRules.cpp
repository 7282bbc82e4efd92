#include <network/NumberText.h>
#include <scene/ViewRules.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace ViewRules
{

const std::vector<Pattern>& patterns()
{
    static const std::vector<Pattern> all{siteNamedAt,  site,    inRegion, inNoRegion, siteMeasures,
                                          noLinks,      oneLink, links,    linksShown, link,
                                          regionFilter, cutoff,  noList};
    return all;
}

std::string fill(const Pattern& pattern,
                 std::initializer_list<std::pair<std::string_view, std::string>> values)
{
    // A name is letters, digits and underscores between braces, as the page's /\{(\w+)\}/ reads it.
    const auto isNameCharacter = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    };
    const std::string_view text = pattern.text;
    std::string filled;
    std::size_t at = 0;
    while (at < text.size())
    {
        std::size_t end = at + 1;
        while (text[at] == '{' && end < text.size() && isNameCharacter(text[end]))
            ++end;
        const auto value = std::find_if(values.begin(), values.end(), [&](const auto& each) {
            return each.first == text.substr(at + 1, end - at - 1);
        });
        if (text[at] != '{' || end == at + 1 || end == text.size() || text[end] != '}' ||
            value == values.end())
        {
            filled += text[at++];
            continue;
        }
        filled += value->second;
        at = end + 1;
    }
    return filled;
}

namespace
{

std::string fixed(double value, int digits)
{
    return fixedText(value, digits);
}

} // namespace

std::string weightText(double weight)
{
    return fixed(weight, weightDigits);
}

std::string cutoffText(float value, float top)
{
    return fixed(value, cutoffDigitsOf(top));
}

float cutoffTop(float weightTop)
{
    if (!(weightTop > 1.0f) && !(weightTop > 0.0f && weightTop < 1.0f))
        return 1.0f;
    const double power = std::pow(10.0, std::floor(std::log10(static_cast<double>(weightTop))));
    for (const double times : {1.0, 2.0, 5.0, 10.0})
        if (times * power >= static_cast<double>(weightTop) * (1.0 - 1e-6))
            return static_cast<float>(times * power);
    return static_cast<float>(10.0 * power);
}

int cutoffDigitsOf(float top)
{
    // A step is top / cutoffSteps: 0.05 of 1 needs two digits, 0.025 of 0.5 three.
    int digits = cutoffDigits;
    const double step = static_cast<double>(top) / cutoffSteps;
    while (digits < 9 &&
           std::fabs(step * std::pow(10.0, digits) - std::round(step * std::pow(10.0, digits))) > 1e-6)
        ++digits;
    return digits;
}

} // namespace ViewRules
