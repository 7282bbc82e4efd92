#include <app/Settings.h>
#include <network/InputError.h>
#include <network/LinkPaths.h>
#include <network/RegionLists.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>

namespace
{

// The settings given in place of the environment's, while a SettingsGiven stands.
const std::map<std::string, std::string>* givenSettings = nullptr;

// The text of the setting name: the given settings', else the environment's; null when unset.
const char* settingText(const char* name)
{
    if (givenSettings == nullptr)
        return std::getenv(name);
    const auto found = givenSettings->find(name);
    return found == givenSettings->end() ? nullptr : found->second.c_str();
}

// The words a setting takes, and what each means.
template <typename Value> struct Word
{
    const char* word;
    Value value;
};

// The formats LINKMAP_FORMAT names, from the table of formats.
std::vector<Word<InputFormat>> formatWords()
{
    std::vector<Word<InputFormat>> words;
    for (const InputFormatEntry& entry : inputFormats)
        if (entry.word != nullptr)
            words.push_back({entry.word, entry.format});
    return words;
}
const Word<RingGrouping> groupingWords[] = {{"communities", RingGrouping::Communities},
                                            {"components", RingGrouping::Components},
                                            {"one", RingGrouping::One},
                                            {"betweenness", RingGrouping::Betweenness},
                                            {"walktrap", RingGrouping::Walktrap},
                                            {"greedy", RingGrouping::Greedy},
                                            {"infomap", RingGrouping::Infomap}};
const Word<WeightMeaning> weightWords[] = {{"correlation", WeightMeaning::Correlation},
                                           {"probability", WeightMeaning::Probability},
                                           {"score", WeightMeaning::Score},
                                           {"distance", WeightMeaning::Distance}};
const Word<bool> scaleWords[] = {{"none", false}, {"max", true}};
const Word<SiteColoring> coloringWords[] = {{"regions", SiteColoring::Regions},
                                            {"community", SiteColoring::Communities}};
const Word<bool> switchWords[] = {{"0", false}, {"1", true}};
const Word<bool> layoutWords[] = {{"rings", false}, {"force", true}};
const Word<DrawingStyle> styleWords[] = {{"plain", DrawingStyle::Plain}, {"figure", DrawingStyle::Figure}};
const Word<SiteSizing> sizingWords[] = {{"same", SiteSizing::Same},
                                        {"betweenness", SiteSizing::Betweenness},
                                        {"degree", SiteSizing::Degree},
                                        {"selection", SiteSizing::Selection}};

// A whole number within a billion either way, which no sum of two of them can take past an int's range.
bool parseWholeNumber(const char* text, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || number < -1000000000 || number > 1000000000)
        return false;
    value = static_cast<int>(number);
    return true;
}

// Reads the setting name as one of words; an unset or empty setting keeps value. Returns the refusal, or
// an empty string.
template <typename Words, typename Value>
std::string readWord(const char* name, const Words& words, Value& value)
{
    const char* setting = settingText(name);
    if (setting == nullptr || *setting == '\0')
        return std::string();
    std::string choices;
    const std::size_t count = std::size(words);
    std::size_t at = 0;
    for (const Word<Value>& entry : words)
    {
        if (std::strcmp(setting, entry.word) == 0)
        {
            value = entry.value;
            return std::string();
        }
        choices += at == 0 ? "" : at + 1 == count ? " or " : ", ";
        choices += entry.word;
        ++at;
    }
    return std::string("Error: ") + name + " must be " + choices + ", not \"" + setting + "\"";
}

std::string readReadingSettings(ReadSettings& reading)
{
    const char* format = settingText("LINKMAP_FORMAT");
    InputFormat formatGiven = InputFormat::Groups;
    std::string refusal = readWord("LINKMAP_FORMAT", formatWords(), formatGiven);
    if (format != nullptr && *format != '\0')
        reading.format = formatGiven;
    if (refusal.empty())
        refusal = readWord("LINKMAP_GROUPS", groupingWords, reading.grouping);
    if (refusal.empty())
        refusal = readWord("LINKMAP_SCALE", scaleWords, reading.scaleToLargest);
    WeightMeaning weights = WeightMeaning::Correlation;
    if (refusal.empty())
        refusal = readWord("LINKMAP_WEIGHTS", weightWords, weights);
    if (!refusal.empty())
        return refusal;
    if (const char* given = settingText("LINKMAP_WEIGHTS"); given != nullptr && *given != '\0')
        reading.weights = weights;

    const char* sequence = settingText("LINKMAP_SEQUENCE");
    reading.sequenceFile = sequence != nullptr ? sequence : "";
    const char* reference = settingText("LINKMAP_REFERENCE");
    reading.reference = reference != nullptr ? reference : "";
    if (!reading.reference.empty() && reading.sequenceFile.empty())
        return "Error: LINKMAP_REFERENCE names a sequence of the alignment LINKMAP_SEQUENCE gives, but "
               "LINKMAP_SEQUENCE is not set";

    const char* first = settingText("LINKMAP_FIRST_NUMBER");
    if (first != nullptr && *first != '\0' && !parseWholeNumber(first, reading.firstNumber))
        return std::string("Error: LINKMAP_FIRST_NUMBER must be a whole number, not \"") + first + "\"";

    const char* minimum = settingText("LINKMAP_MIN_WEIGHT");
    if (minimum != nullptr && *minimum != '\0')
    {
        char* end = nullptr;
        const double weight = std::strtod(minimum, &end);
        if (end == minimum || *end != '\0' || !(weight >= 0.0) || !std::isfinite(weight))
            return std::string("Error: LINKMAP_MIN_WEIGHT must be a number of at least 0, not \"") + minimum +
                   "\"";
        reading.minimumWeight = static_cast<float>(std::min(weight, 1e30));
        reading.minimumGiven = true;
    }

    // The thresholds of a selection analysis given as a region list.
    const struct
    {
        const char* name;
        double& value;
        const char* range;
        bool zeroAllowed;
    } thresholds[] = {{"LINKMAP_P_VALUE", reading.selection.pValue, "a number above 0 and at most 1", false},
                      {"LINKMAP_POSTERIOR", reading.selection.posterior, "a number from 0 to 1", true}};
    for (const auto& threshold : thresholds)
    {
        const char* text = settingText(threshold.name);
        if (text == nullptr || *text == '\0')
            continue;
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end == text || *end != '\0' || !(value >= 0.0 && value <= 1.0) ||
            (!threshold.zeroAllowed && value == 0.0))
            return std::string("Error: ") + threshold.name + " must be " + threshold.range + ", not \"" +
                   text + "\"";
        threshold.value = value;
    }

    const char* column = settingText("LINKMAP_WEIGHT_COLUMN");
    if (column != nullptr && *column != '\0')
    {
        const std::string name = column;
        const bool number = name.find_first_not_of("0123456789") == std::string::npos;
        if (name.find_first_of(" \t,\"") != std::string::npos ||
            (number && std::strtoul(column, nullptr, 10) < 1))
            return "Error: LINKMAP_WEIGHT_COLUMN must name a column by its header or its number from 1, not "
                   "\"" +
                   name + "\"";
        reading.weightColumn = name;
    }
    return std::string();
}

// The refusal of a file a setting names for the run to write: a directory, or one in a folder that is not
// there; else empty.
std::string writableFileRefusal(const char* name, const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return std::string("Error: ") + name + " names " + validText(path) +
               ", which is a directory, not a file";
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        return std::string("Error: ") + name + " names " + validText(path) +
               ", in a folder that is not there";
    return std::string();
}

// The structure the sites stand on, read whole: the settings that choose its chain and numbering are checked
// first, and a file that cannot be read is refused before the network is.
std::string readStructureSettings(std::optional<ChainTrace>& structure, ReadSettings& reading)
{
    const char* path = settingText("LINKMAP_STRUCTURE");
    const char* chain = settingText("LINKMAP_CHAIN");
    const char* offset = settingText("LINKMAP_RESIDUE_OFFSET");
    const char* contact = settingText("LINKMAP_CONTACT");
    const bool given = path != nullptr && *path != '\0';
    int residueOffset = 0;
    if (offset != nullptr && *offset != '\0' && !parseWholeNumber(offset, residueOffset))
        return std::string("Error: LINKMAP_RESIDUE_OFFSET must be a whole number, not \"") + offset + "\"";
    double contactDistance = 0.0;
    if (contact != nullptr && *contact != '\0')
    {
        char* end = nullptr;
        contactDistance = std::strtod(contact, &end);
        if (end == contact || *end != '\0' || !(contactDistance > 0.0 && contactDistance <= 20.0))
            return std::string("Error: LINKMAP_CONTACT must be a distance in ångströms above 0 and at most "
                               "20, not \"") +
                   contact + "\"";
    }
    for (const auto& [name, value] :
         {std::pair{"LINKMAP_CHAIN", chain}, std::pair{"LINKMAP_RESIDUE_OFFSET", offset},
          std::pair{"LINKMAP_CONTACT", contact}})
        if (!given && value != nullptr && *value != '\0')
            return std::string("Error: ") + name + " is " + value + ", but no LINKMAP_STRUCTURE was given";
    if (!given)
        return std::string();
    try
    {
        structure = readChainTrace(path, chain != nullptr ? chain : "", residueOffset, contactDistance);
        if (contactDistance > 0.0)
            reading.contacts = std::make_shared<const ChainTrace>(*structure);
    }
    catch (const InputError& error)
    {
        return error.what();
    }
    return std::string();
}

} // namespace

bool wantsColorKey(const char* setting)
{
    if (setting == nullptr)
        return false;
    const std::string value = setting;
    return !(value.empty() || value == "0" || value == "no" || value == "off" || value == "NO" ||
             value == "OFF");
}

namespace
{

// A setting (null when unset) that is a number from low to high, or empty for fallback; false for anything
// else.
bool readNumberSetting(const char* setting, double low, double high, double fallback, double& value)
{
    value = fallback;
    if (setting == nullptr || *setting == '\0')
        return true;
    char* end = nullptr;
    const double number = std::strtod(setting, &end);
    if (end == setting || *end != '\0' || !(number >= low && number <= high))
        return false;
    value = number;
    return true;
}

} // namespace

bool readCutoffSetting(const char* setting, float& value)
{
    double number = 0.0;
    const bool read = readNumberSetting(setting, 0.0, 1.0, 0.0, number);
    value = static_cast<float>(number);
    return read;
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

namespace
{

// The words of the region kinds, as a sentence lists them: "positive, negative or accelerated".
std::string regionWords()
{
    std::string words;
    for (std::size_t i = 0; i < std::size(regionKinds); ++i)
        words += (i == 0                            ? ""
                  : i + 1 == std::size(regionKinds) ? " or "
                                                    : ", ") +
                 std::string(regionKinds[i].word);
    return words;
}

// The longest an image run may be asked to show its scene: an hour.
const double mostImageSeconds = 3600.0;

// LINKMAP_FROM and LINKMAP_TO, both or neither, and LINKMAP_PATHS, from 1 to mostPaths. Returns the refusal,
// or an empty string.
std::string readPathSettings(Settings& settings)
{
    const char* from = settingText("LINKMAP_FROM");
    const char* to = settingText("LINKMAP_TO");
    settings.pathFrom = from != nullptr ? from : "";
    settings.pathTo = to != nullptr ? to : "";
    if (settings.pathFrom.empty() != settings.pathTo.empty())
        return settings.pathFrom.empty()
                   ? "Error: LINKMAP_TO is " + settings.pathTo + ", but LINKMAP_FROM is not set"
                   : "Error: LINKMAP_FROM is " + settings.pathFrom + ", but LINKMAP_TO is not set";
    const char* count = settingText("LINKMAP_PATHS");
    int paths = 0;
    if (count != nullptr && *count != '\0')
    {
        if (!parseWholeNumber(count, paths) || paths < 1 || static_cast<std::size_t>(paths) > mostPaths)
            return "Error: LINKMAP_PATHS must be a whole number from 1 to " + std::to_string(mostPaths) +
                   ", not \"" + count + "\"";
        settings.pathCount = static_cast<std::size_t>(paths);
    }
    return std::string();
}

// The line that refuses the first wrong setting, or an empty string.
std::string refuseSettings(const InputFiles& files, Settings& settings)
{
    const char* cutoff = settingText("LINKMAP_CUTOFF");
    if (!readCutoffSetting(cutoff, settings.cutoff))
        return std::string("Error: LINKMAP_CUTOFF must be a number from 0 to 1, not \"") + cutoff + "\"";

    const char* region = settingText("LINKMAP_REGION");
    if (!readRegionSetting(region, settings.region))
        return "Error: LINKMAP_REGION must be " + regionWords() + ", not \"" + region + "\"";
    if (settings.region != RegionKind::None && regionListOf(files, settings.region).empty())
        return std::string("Error: LINKMAP_REGION is ") + region + ", but no " + region + " list was given";

    const char* view = settingText("LINKMAP_VIEW");
    settings.viewGiven = view != nullptr && *view != '\0';
    if (settings.viewGiven && !parseView(view, settings.firstView))
        return std::string("Error: LINKMAP_VIEW must be the line of a .view file, nine numbers: the eye, the "
                           "centre and the up direction, each x y z; not \"") +
               view + "\"";

    const char* seconds = settingText("LINKMAP_IMAGE_SECONDS");
    if (!readNumberSetting(seconds, 0.0, mostImageSeconds, 1.0, settings.imageSeconds))
        return std::string("Error: LINKMAP_IMAGE_SECONDS must be a number of seconds from 0 to ") +
               std::to_string(int(mostImageSeconds)) + ", not \"" + seconds + "\"";

    std::string refusal = readReadingSettings(settings.reading);
    if (!refusal.empty())
        return refusal;
    SiteColoring coloring = SiteColoring::Regions;
    refusal = readWord("LINKMAP_COLOR", coloringWords, coloring);
    if (refusal.empty())
        refusal = readWord("LINKMAP_SIZE", sizingWords, settings.sizing);
    if (refusal.empty())
        refusal = readWord("LINKMAP_LAYOUT", layoutWords, settings.forceLayout);
    if (refusal.empty() && settings.forceLayout)
    {
        const char* structure = settingText("LINKMAP_STRUCTURE");
        if (structure != nullptr && *structure != '\0')
            refusal =
                "Error: LINKMAP_LAYOUT=force sets the sites out by their links, and LINKMAP_STRUCTURE stands "
                "them on its residues; give one of them";
    }
    if (refusal.empty())
        refusal = readWord("LINKMAP_COARSE", switchWords, settings.coarse);
    if (refusal.empty())
        refusal = readWord("LINKMAP_SCENE_LABELS", switchWords, settings.sceneLabels);
    DrawingStyle style = DrawingStyle::Plain;
    if (refusal.empty())
        refusal = readWord("LINKMAP_STYLE", styleWords, style);
    const char* styleSetting = settingText("LINKMAP_STYLE");
    if (styleSetting != nullptr && *styleSetting != '\0')
        settings.style = style;
    if (!refusal.empty())
        return refusal;
    const char* colorSetting = settingText("LINKMAP_COLOR");
    if (colorSetting != nullptr && *colorSetting != '\0')
        settings.coloring = coloring;
    else if (!files.positiveFile.empty() || !files.negativeFile.empty() || !files.acceleratedFile.empty())
        settings.coloring = SiteColoring::Regions;

    settings.colorKey = wantsColorKey(settingText("LINKMAP_KEY"));
    const char* select = settingText("LINKMAP_SELECT");
    settings.select = select != nullptr ? select : "";

    const std::string pathRefusal = readPathSettings(settings);
    if (!pathRefusal.empty())
        return pathRefusal;
    const char* communities = settingText("LINKMAP_COMMUNITIES");
    if (communities != nullptr && *communities != '\0')
    {
        settings.communitiesFile = communities;
        const std::string fileRefusal = writableFileRefusal("LINKMAP_COMMUNITIES", settings.communitiesFile);
        if (!fileRefusal.empty())
            return fileRefusal;
    }
    const std::string structureRefusal = readStructureSettings(settings.structure, settings.reading);
    if (structureRefusal.empty() && settings.structure && settings.structure->numberedInOrder())
        for (const ChainResidue& residue : settings.structure->residues)
            settings.reading.residueChains.push_back(residue.chain);
    return structureRefusal;
}

} // namespace

Settings readSettings(const InputFiles& files)
{
    Settings settings;
    const std::string refusal = refuseSettings(files, settings);
    if (!refusal.empty())
        throw InputError(refusal);
    return settings;
}

SettingsGiven::SettingsGiven(std::map<std::string, std::string> settings) : given(std::move(settings))
{
    for (const auto& [name, value] : given)
        if (std::find_if(std::begin(settingNames), std::end(settingNames), [&name = name](const char* known) {
                return name == known;
            }) == std::end(settingNames))
            throw InputError("Error: linkmap has no setting " + validText(name));
    previous = givenSettings;
    givenSettings = &given;
}

SettingsGiven::~SettingsGiven()
{
    givenSettings = previous;
}
