#include <network/TextFields>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

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

float parseWeight(const char* text)
{
    const double value = std::strtod(text, nullptr);
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return value > 0.0 ? FLT_MAX : -FLT_MAX;
    return static_cast<float>(value);
}
