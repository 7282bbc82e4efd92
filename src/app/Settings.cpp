#include <app/CommandLine>
#include <app/Settings>
#include <network/RegionLists>

#include <cstdlib>
#include <cstring>

bool readCutoffSetting(const char* setting, float& value)
{
    value = 0.0f;
    if (setting == nullptr || *setting == '\0')
        return true;
    char* end = nullptr;
    const double number = std::strtod(setting, &end);
    if (end == setting || *end != '\0' || !(number >= 0.0 && number <= 1.0))
        return false;
    value = static_cast<float>(number);
    return true;
}

bool readRegionSetting(const char* setting, RegionKind& kind)
{
    kind = RegionKind::None;
    if (setting == nullptr || *setting == '\0')
        return true;
    for (const RegionKindEntry& entry : regionKinds)
    {
        if (std::strcmp(setting, entry.word) == 0)
        {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

std::string readSettings(const InputFiles& files, Settings& settings)
{
    const char* cutoff = std::getenv("LINKMAP_CUTOFF");
    if (!readCutoffSetting(cutoff, settings.cutoff))
        return std::string("Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"") + cutoff + "\"";

    const char* region = std::getenv("LINKMAP_REGION");
    if (!readRegionSetting(region, settings.region))
        return std::string("Error: LINKMAP_REGION must be positive, negative or accelerated, not \"") +
               region + "\"";
    if (settings.region != RegionKind::None && regionListOf(files, settings.region).empty())
        return std::string("Error: LINKMAP_REGION is ") + region + ", but no " + region + " list was given";

    const char* view = std::getenv("LINKMAP_VIEW");
    settings.viewGiven = view != nullptr && *view != '\0';
    if (settings.viewGiven && !parseView(view, settings.firstView))
        return std::string("Error: LINKMAP_VIEW must be the line of a .view file, nine numbers: the eye, the "
                           "centre and the up direction, each x y z; not \"") +
               view + "\"";

    settings.colorKey = wantsColorKey(std::getenv("LINKMAP_KEY"));
    const char* select = std::getenv("LINKMAP_SELECT");
    settings.select = select != nullptr ? select : "";
    return std::string();
}
