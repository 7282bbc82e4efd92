// How a link looks, written once for the batched links' shader and for the C++ of every other output, which
// compiles this very file (GlyphStyle.cpp) with the few GLSL names it uses defined on osg's vectors. Keep to
// what reads the same in both: floats, vec3, min, max, abs, mix, floor, mod, if and the conditional operator.

// How far a dimmed link's colour fades towards the background, from 0 (not at all) to 1.
const float linkDimming = 0.75;

// The light the window shines (the toolkit's head light, under its light model), as every other picture shines
// it: an ambient share of a surface's colour, and a diffuse share that follows the cosine between its normal
// and the line of sight. Defined for the preprocessor, which GLSL and C++ share, so that the vector figures
// compute with them in double precision, as their colours are written.
#define AMBIENT_SHARE 0.1
#define DIFFUSE_SHARE 0.8

// The share of its colour a surface shows where its normal makes cosine with the line of sight.
float lightShare(float cosine)
{
    return min(1.0, AMBIENT_SHARE + DIFFUSE_SHARE * max(cosine, 0.0));
}

// From blue through teal and green to yellow: the upper part of viridis (its shares 0.3 to 1), whose lightness
// rises all the way, which readers with any common colour vision deficiency and a grey print still read in
// order, and whose lowest colour still shows on a dark background. For a share from 0 to 1 of a quantity that
// starts at 0.
vec3 sequentialColor(float share)
{
    float place = min(share, 1.0) * 4.0;
    if (place < 1.0)
        return mix(vec3(0.207, 0.372, 0.553), vec3(0.136, 0.541, 0.554), place);
    if (place < 2.0)
        return mix(vec3(0.136, 0.541, 0.554), vec3(0.186, 0.705, 0.485), place - 1.0);
    if (place < 3.0)
        return mix(vec3(0.186, 0.705, 0.485), vec3(0.546, 0.838, 0.276), place - 2.0);
    return mix(vec3(0.546, 0.838, 0.276), vec3(0.993, 0.906, 0.144), place - 3.0);
}

// A correlation (top 0): yellow at weight 0, fading to green at 1 and to red at -1; beyond them, the end
// colours. A probability or a score (top, the |weight| at the ramp's top, above 0): sequentialColor of
// |weight| / top. A weight that is no number stays so.
vec3 weightColor(float weight, float top)
{
    if (top > 0.0)
        return sequentialColor(abs(weight) / top);
    float strength = min(abs(weight), 1.0);
    return weight < 0.0 ? vec3(1.0, 1.0 - strength, 0.0) : vec3(1.0 - strength, 1.0, 0.0);
}

// A link's colour faded towards the background, as the links not emphasised are.
vec3 dimmedColor(vec3 color, vec3 background)
{
    return mix(color, background, linkDimming);
}

// Whether a link of weight whose ends lie in regions (the sum of their kinds' bits, 1, 2 and 4) is shown by a
// cutoff on |weight| and a region filter (the bit of the region a link must touch, or 0 for all).
bool linkShown(float weight, float regions, float cutoff, float regionFilter)
{
    return !(abs(weight) < cutoff) && !(regionFilter > 0.5 && mod(floor(regions / regionFilter), 2.0) < 0.5);
}

// How many times its usual radius a link of weight is drawn: as thick as it is strong, once at a |weight| of
// thinnest and below, growing to three times at the top of its scale (1, or top where it is above 0) and
// beyond; once for every link when thinnest is below 0.
float linkWidth(float weight, float thinnest, float top)
{
    float full = top > 0.0 ? top : 1.0;
    if (thinnest < 0.0 || !(thinnest < full) || !(abs(weight) > thinnest))
        return 1.0;
    return 1.0 + 2.0 * min((abs(weight) - thinnest) / (full - thinnest), 1.0);
}
