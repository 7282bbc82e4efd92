// Draws the glyphs of many labels at once, each label turned to face the screen about its own anchor. Every
// glyph is one instance of the corners of two triangles.
attribute vec3 anchorPoint; // the label's anchor
attribute vec4 glyphBox;    // the glyph's rectangle beside the anchor, in scene units on the screen
attribute vec4 textureBox;  // the glyph's rectangle in the glyph texture
// gl_Vertex tells the corner: the side of the glyph's rectangle (xy) and of its texture rectangle (zw) it
// stands at, 0 for left or bottom and 1 for right or top.

varying vec2 texCoord;
varying vec4 textColour;

void main()
{
    vec4 anchor = gl_ModelViewMatrix * vec4(anchorPoint, 1.0);
    anchor.xy += vec2(gl_Vertex.x > 0.5 ? glyphBox.z : glyphBox.x, gl_Vertex.y > 0.5 ? glyphBox.w : glyphBox.y);
    gl_Position = gl_ProjectionMatrix * anchor;
    texCoord = vec2(gl_Vertex.z > 0.5 ? textureBox.z : textureBox.x, gl_Vertex.w > 0.5 ? textureBox.w : textureBox.y);
    textColour = gl_Color;
}
