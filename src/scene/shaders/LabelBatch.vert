// Draws the glyphs of many labels at once, each label turned to face the screen about its own anchor.
attribute vec2 offset; // the glyph corner's place beside the anchor, in scene units on the screen

varying vec2 texCoord;
varying vec4 textColour;

void main()
{
    vec4 anchor = gl_ModelViewMatrix * gl_Vertex;
    anchor.xy += offset;
    gl_Position = gl_ProjectionMatrix * anchor;
    texCoord = gl_MultiTexCoord0.xy;
    textColour = gl_Color;
}
