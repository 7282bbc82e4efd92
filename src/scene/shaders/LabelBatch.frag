// Colours a glyph by the label colour, its coverage taken from the font's glyph texture.
uniform sampler2D glyphTexture;

varying vec2 texCoord;
varying vec4 textColour;

void main()
{
    float coverage = texture2D(glyphTexture, texCoord).GLYPH_CHANNEL;
    if (coverage == 0.0)
        discard;
    gl_FragColor = vec4(textColour.rgb, textColour.a * coverage);
}
