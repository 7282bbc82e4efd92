// A link of the light picture drawn while the view moves: a line in its colour, dimmed as the full picture's.
uniform float emphasis;
uniform float weightTop;
uniform vec3 background;
attribute vec4 look;
attribute float emphasised;
varying vec3 vColor;

void main()
{
    vec3 color = weightColor(look.x, weightTop);
    vColor = emphasis > 0.5 && emphasised < 0.5 ? dimmedColor(color, background) : color;
    gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0);
}
