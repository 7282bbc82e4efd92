#ifndef LINKMAP_SCENE_LABELATLAS
#define LINKMAP_SCENE_LABELATLAS 1

#include <osg/Vec4>

#include <string>
#include <vector>

/** The sites' names drawn once into one picture, for a scene whose labels are quads that show a part of it:
 *  each name in the labels' font, outlined in the halo's colour as a figure's labels are, on a transparent
 *  ground, the names packed in rows. */
struct LabelAtlas
{
    /** The picture as a PNG file, and its size in pixels; empty without names. */
    std::vector<unsigned char> png;
    int width = 0;
    int height = 0;

    /** Where a name stands in the picture: its box, halo included, from 0 to 1 across and down, and the box's
     *  width and height in units of the text's height. */
    struct Place
    {
        float left = 0.0f;
        float top = 0.0f;
        float right = 0.0f;
        float bottom = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };
    /** One a name, in the order given. */
    std::vector<Place> places;
};

/** Draws names in textColor outlined in haloColor, their text as tall as it can be, up to 48 pixels, in a
 *  picture of at most largest pixels either way. */
LabelAtlas drawLabelAtlas(const std::vector<std::string>& names, const osg::Vec4& textColor,
                          const osg::Vec4& haloColor, int largest = 4096);

#endif
