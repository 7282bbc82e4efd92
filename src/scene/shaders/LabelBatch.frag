// Colours a glyph by the label colour, its coverage taken from the font's glyph texture; an outlined glyph is
// drawn over its outline, the glyph's coverage grown by the outline's width.
uniform sampler2D glyphTexture;

varying vec2 texCoord;
varying vec4 textColour;

#ifdef HALO
uniform vec4 haloColour;
varying vec4 textureBounds;
varying vec2 haloTexels;

float coverageAt(vec2 at)
{
    if (any(lessThan(at, textureBounds.xy)) || any(greaterThan(at, textureBounds.zw)))
        return 0.0;
    return texture2D(glyphTexture, at).GLYPH_CHANNEL;
}
#endif

void main()
{
#ifdef HALO
    float coverage = coverageAt(texCoord);
    float outline = coverage;
    for (int step = 0; step < 12; ++step)
    {
        float angle = 0.5235988 * float(step);
        vec2 toward = vec2(cos(angle), sin(angle)) * haloTexels;
        outline = max(outline, max(coverageAt(texCoord + toward), coverageAt(texCoord + 0.5 * toward)));
    }
    if (outline == 0.0)
        discard;
    gl_FragColor = vec4(mix(haloColour.rgb, textColour.rgb, coverage / outline), textColour.a * outline);
#else
    float coverage = texture2D(glyphTexture, texCoord).GLYPH_CHANNEL;
    if (coverage == 0.0)
        discard;
    gl_FragColor = vec4(textColour.rgb, textColour.a * coverage);
#endif
}
