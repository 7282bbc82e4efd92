#ifndef LINKMAP_APP_SETTINGS
#define LINKMAP_APP_SETTINGS 1

#include <app/ViewFile.h>
#include <network/ChainTrace.h>
#include <network/InputFiles.h>
#include <network/NetworkReader.h>
#include <network/RegionKind.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>

/** The LINKMAP_ settings of a run, read from the environment: the command line has no room for them. */
/** What the sites' spheres are coloured by. */
enum class SiteColoring
{
    /** The region each site lies in. */
    Regions,
    /** The community each site belongs to. */
    Communities
};

/** What the sites' spheres are sized by. */
enum class SiteSizing
{
    /** Every sphere the same. */
    Same,
    /** Betweenness over the links shown at the start. */
    Betweenness,
    /** How many links shown at the start meet the site. */
    Degree,
    /** How surely the first selection analysis given as a region list calls the site selected: -log10 of
     *  its p-value, or its posterior. */
    Selection
};

/** How the picture is drawn. */
enum class DrawingStyle
{
    /** Every link as thick as every other. */
    Plain,
    /** A figure for print: links as thick as they are strong. */
    Figure
};

struct Settings
{
    /** LINKMAP_CUTOFF: links whose |weight| is below it are hidden. */
    float cutoff = 0.0f;

    /** LINKMAP_REGION: only the links that touch a site of this region are shown; None shows all. */
    RegionKind region = RegionKind::None;

    /** LINKMAP_KEY: a key to the colours is drawn. */
    bool colorKey = false;

    /** LINKMAP_VIEW: the first view, when given. */
    bool viewGiven = false;
    CameraView firstView;

    /** LINKMAP_COLOR: what the spheres are coloured by; unset, by regions where a region list is given, else
     *  as the network's file decides (placeSites). */
    std::optional<SiteColoring> coloring;

    /** LINKMAP_STYLE: how the picture is drawn; unset, as the network's file and a structure decide
     *  (placeSites). */
    std::optional<DrawingStyle> style;

    /** LINKMAP_COARSE: the network of communities is shown instead of the sites. */
    bool coarse = false;

    /** LINKMAP_SCENE_LABELS: a scene file carries the sites' names as labels. */
    bool sceneLabels = false;

    /** LINKMAP_SIZE: what the spheres are sized by. */
    SiteSizing sizing = SiteSizing::Same;

    /** LINKMAP_LAYOUT=force: the sites where their links pull them, rather than on rings. */
    bool forceLayout = false;

    /** LINKMAP_SELECT: the name of the site picked from the start, or empty; only the network can tell
     *  whether a site bears it. */
    std::string select;

    /** LINKMAP_FROM and LINKMAP_TO: the sites the paths run between, both or neither given; LINKMAP_PATHS:
     * how many paths are asked for. */
    std::string pathFrom;
    std::string pathTo;
    std::size_t pathCount = 10;

    /** LINKMAP_IMAGE_SECONDS: how long an image run shows the scene before it saves the last frame. */
    double imageSeconds = 1.0;

    /** LINKMAP_FORMAT, LINKMAP_SEQUENCE, LINKMAP_FIRST_NUMBER, LINKMAP_MIN_WEIGHT, LINKMAP_GROUPS,
     *  LINKMAP_SCALE, LINKMAP_WEIGHTS and LINKMAP_CONTACT: how the network is read. */
    ReadSettings reading;

    /** LINKMAP_COMMUNITIES: the file the table of the sites' communities is written to; empty for none. */
    std::string communitiesFile;

    /** LINKMAP_STRUCTURE, LINKMAP_CHAIN and LINKMAP_RESIDUE_OFFSET: the chain of a structure that the sites
     *  stand at, read with the settings; none when no structure is given. */
    std::optional<ChainTrace> structure;
};

/** Whether the setting of LINKMAP_KEY (null when unset) asks for the colour key: any value but empty, 0, no
 *  and off. */
bool wantsColorKey(const char* setting);

/** Reads a cutoff setting (null when unset): a number from 0 to 1, or empty for none; false for anything
 *  else. */
bool readCutoffSetting(const char* setting, float& cutoff);

/** Reads a region filter setting (null when unset): positive, negative or accelerated, or empty for none
 *  (RegionKind::None); false for anything else. */
bool readRegionSetting(const char* setting, RegionKind& kind);

/** Reads every setting from the environment before any input is read; files tells which region lists were
 *  given. Throws InputError, the one line that refuses it, naming it, for the first setting that is wrong. */
Settings readSettings(const InputFiles& files);

/** The name of every setting readSettings reads: --help lists each, and the Python module takes each as a
 *  keyword, in lower case without its prefix. */
inline const char* const settingNames[] = {
    "LINKMAP_CHAIN",   "LINKMAP_COARSE",       "LINKMAP_COLOR",         "LINKMAP_COMMUNITIES",
    "LINKMAP_CONTACT", "LINKMAP_CUTOFF",       "LINKMAP_FIRST_NUMBER",  "LINKMAP_FORMAT",
    "LINKMAP_FROM",    "LINKMAP_GROUPS",       "LINKMAP_IMAGE_SECONDS", "LINKMAP_KEY",
    "LINKMAP_LAYOUT",  "LINKMAP_MIN_WEIGHT",   "LINKMAP_PATHS",         "LINKMAP_POSTERIOR",
    "LINKMAP_P_VALUE", "LINKMAP_REFERENCE",    "LINKMAP_REGION",        "LINKMAP_RESIDUE_OFFSET",
    "LINKMAP_SCALE",   "LINKMAP_SCENE_LABELS", "LINKMAP_SELECT",        "LINKMAP_SEQUENCE",
    "LINKMAP_SIZE",    "LINKMAP_STRUCTURE",    "LINKMAP_STYLE",         "LINKMAP_TO",
    "LINKMAP_VIEW",    "LINKMAP_WEIGHTS",      "LINKMAP_WEIGHT_COLUMN"};

/** While it stands, readSettings reads settings, by their names (LINKMAP_MIN_WEIGHT), in place of the
 *  environment's, which it then ignores: the Python module's keywords. Throws InputError for a name that is
 * no setting's. */
class SettingsGiven
{
public:
    explicit SettingsGiven(std::map<std::string, std::string> settings);
    ~SettingsGiven();
    SettingsGiven(const SettingsGiven&) = delete;
    SettingsGiven& operator=(const SettingsGiven&) = delete;

private:
    std::map<std::string, std::string> given;
    const std::map<std::string, std::string>* previous = nullptr;
};

#endif
