#include <network/NumberText.h>
#include <view/ViewRules.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace ViewRules
{

const std::vector<Pattern>& patterns()
{
    static const std::vector<Pattern> all{
        siteNamedAt, site, inRegion,     inNoRegion, siteMeasures, noLinks,      oneLink,       links,
        linksShown,  link, regionFilter, cutoff,     noList,       findingPaths, pathsInWindow, overlay};
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

namespace
{

// The cutoff of a whole number of steps, held to the range: a whole number of twentieths of the top, so that
// 0.35 is the float that a weight written 0.35 reads as.
float cutoffAtStep(int step, double steps)
{
    return static_cast<float>(std::clamp(step, 0, cutoffSteps) / steps);
}

} // namespace

float raisedCutoff(float value, float top, float weakest)
{
    const double steps = cutoffSteps / static_cast<double>(top);
    const int next = static_cast<int>(std::floor(value * steps + 1e-3)) + 1;
    const int aboveWeakest =
        weakest > 0.0f && weakest < top ? static_cast<int>(std::floor(weakest * steps + 1e-3)) + 1 : 0;
    return cutoffAtStep(std::max(next, aboveWeakest), steps);
}

float loweredCutoff(float value, float top)
{
    const double steps = cutoffSteps / static_cast<double>(top);
    return cutoffAtStep(static_cast<int>(std::ceil(value * steps - 1e-3)) - 1, steps);
}

float nearestCutoff(float value, float top)
{
    const double steps = cutoffSteps / static_cast<double>(top);
    const double step = std::round(value * steps);
    return cutoffAtStep(step > 0.0 ? static_cast<int>(std::min(step, double(cutoffSteps))) : 0, steps);
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
