#ifndef LINKMAP_SCENE_COLORKEY
#define LINKMAP_SCENE_COLORKEY 1

#include <network/RegionKind.h>

#include <osg/Camera>
#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Font>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/** A swatch of the key that stands for no region: its colour and its name. */
struct KeyEntry
{
    osg::Vec4 color;
    std::string name;
};

/** The key's swatches for sites coloured by communities (one a site, from 0, largest first): "Community 1 (38
 *  sites)" and so on, top down, each in communityColor's colour, and the communities that share its grey in
 *  one swatch, "Communities 10 to 14 (25 sites)". */
std::vector<KeyEntry> communityKey(const std::vector<std::uint32_t>& communities);

/** The same for communities of the given sizes, the largest first. */
std::vector<KeyEntry> communityKey(const std::vector<std::size_t>& sizes);

/** The quantity the bar of link colours shows: a correlation from -1 to 1 (top 0), else a probability or a
 *  score from 0 to top (GlyphSizes::weightTop), under its title. */
struct WeightKey
{
    float top = 0.0f;
    std::string title = "link weight";
};

/** What the colour key shows: the label colour, and the region kinds that were given with their names. */
struct ColorKeyInfo
{
    /** The font and colour of the key's text, those of the site labels. */
    osg::ref_ptr<osgText::Font> font;
    osg::Vec4 textColor{1.0f, 1.0f, 1.0f, 1.0f};

    /** One swatch per region kind given, in this order, named as its list file is. */
    std::vector<std::pair<RegionKind, std::string>> regions;
    /** When the sites are coloured by community: their swatches, shown instead of the regions'. */
    std::vector<KeyEntry> communities;
    /** What the spheres' size means, a line over the swatches, or empty. */
    std::string sizeNote;
    /** The links' quantity, on the bar. */
    WeightKey weights;
};

/** The swatches of a key to regions, bottom up: grey "no region" and then every region given, in order; none
 *  when no region is given. */
std::vector<std::pair<RegionKind, std::string>>
keySwatches(const std::vector<std::pair<RegionKind, std::string>>& regions);

/** A rectangle of the key, in hundredths of the window's height from its bottom left corner. */
struct KeyBox
{
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;
};

/** A text of the key: its place, in the key's units, on its base line, left of it (-1), centred on it (0)
 *  or right of it (1). */
struct KeyText
{
    std::string text;
    double x = 0.0;
    double y = 0.0;
    int alignment = -1;
};

/** The colour key laid out, once for every output that draws it: the bar, whose colours are those of the
 *  link weights from -1 at its left through 0 in its middle to +1 at its right, its values and title, and a
 *  swatch for every region kind given, each with its name, bottom up. */
struct ColorKeyLayout
{
    KeyBox bar;
    std::vector<KeyText> barTexts;
    /** The bar's colours: each weight's, at share of the bar's width from its left, changing linearly
     *  between them, as the links' colours change. */
    struct BarStop
    {
        float weight;
        double share;
        osg::Vec4 color;
    };
    std::vector<BarStop> barStops;

    struct Swatch
    {
        KeyBox box;
        osg::Vec4 color;
        KeyText name;
    };
    std::vector<Swatch> swatches;
    /** What the spheres' size means, over the swatches; empty text when they are all one size. */
    KeyText sizeNote;
};

/** About how far the key reaches from the window's left edge, in hundredths of its height: its widest text's
 *  end, reckoning a character nine twentieths of the text's height wide, as the labels' font sets it. */
double keyReach(const ColorKeyLayout& key);

/** Lays out the key to regions, as keySwatches lists them. */
ColorKeyLayout layOutColorKey(const std::vector<std::pair<RegionKind, std::string>>& regions,
                              const std::vector<KeyEntry>& communities = {}, const std::string& sizeNote = {},
                              const WeightKey& weights = {});

/** A key to the colours, drawn over the scene in the window's bottom left corner: a bar of link colours from
 *  weight -1 (red) through 0 (yellow) to +1 (green), and a swatch for each region kind given, above one for
 * sites in none. It is drawn in a camera of its own, which adds nothing to the scene's bound. */
osg::ref_ptr<osg::Node> createColorKey(const ColorKeyInfo& info);

#endif
