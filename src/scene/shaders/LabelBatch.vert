// Draws the glyphs of many labels at once, each label turned to face the screen about its own anchor. Every
// instance draws three glyphs, each from the corners of its two triangles.
attribute vec4 anchorPoint0; // a glyph's label's anchor, and whether the label shows (w: 1) or not (0)
attribute vec4 glyphBox0;    // its rectangle beside the anchor, in scene units on the screen
attribute vec4 textureBox0;  // its rectangle in the glyph texture
attribute vec4 anchorPoint1;
attribute vec4 glyphBox1;
attribute vec4 textureBox1;
attribute vec4 anchorPoint2;
attribute vec4 glyphBox2;
attribute vec4 textureBox2;
// gl_Vertex tells the corner: the side of the glyph's rectangle across (x) and up (y) it stands at, 0 for left
// or bottom and 1 for right or top; the corner of its texture rectangle (z: 1 for right, 2 for top); and which
// of the instance's glyphs it belongs to (w).

varying vec2 texCoord;
varying vec4 textColour;

#ifdef HALO
// An outlined glyph's rectangle grows by the outline's width, in scene units, and so does its texture
// rectangle, whose bounds the fragments are told so that they read nothing of the glyphs beside it.
uniform float haloReach;
varying vec4 textureBounds;
varying vec2 haloTexels;
#endif

void main()
{
    float slot = gl_Vertex.w;
    vec4 anchorPoint = slot < 0.5 ? anchorPoint0 : slot < 1.5 ? anchorPoint1 : anchorPoint2;
    vec4 glyphBox = slot < 0.5 ? glyphBox0 : slot < 1.5 ? glyphBox1 : glyphBox2;
    vec4 textureBox = slot < 0.5 ? textureBox0 : slot < 1.5 ? textureBox1 : textureBox2;
    bool right = mod(gl_Vertex.z, 2.0) > 0.5;
    bool top = gl_Vertex.z > 1.5;
    texCoord = vec2(right ? textureBox.z : textureBox.x, top ? textureBox.w : textureBox.y);
    textColour = gl_Color;
    vec4 anchor = gl_ModelViewMatrix * vec4(anchorPoint.xyz, 1.0);
    anchor.xy += vec2(gl_Vertex.x > 0.5 ? glyphBox.z : glyphBox.x, gl_Vertex.y > 0.5 ? glyphBox.w : glyphBox.y);
#ifdef HALO
    vec2 across = vec2(gl_Vertex.x > 0.5 ? 1.0 : -1.0, gl_Vertex.y > 0.5 ? 1.0 : -1.0);
    vec2 texturePerUnit = abs(textureBox.zw - textureBox.xy) / max(abs(glyphBox.zw - glyphBox.xy), vec2(1e-6));
    anchor.xy += across * haloReach;
    haloTexels = haloReach * texturePerUnit;
    texCoord += vec2(right ? 1.0 : -1.0, top ? 1.0 : -1.0) * haloTexels;
    textureBounds = vec4(min(textureBox.xy, textureBox.zw), max(textureBox.xy, textureBox.zw));
#endif
    // A label that does not show draws beyond the far plane, where nothing is drawn.
    gl_Position = anchorPoint.w > 0.5 ? gl_ProjectionMatrix * anchor : vec4(0.0, 0.0, 2.0, 1.0);
}
