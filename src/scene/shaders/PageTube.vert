// A figure's trace: the tube the program made, in its sites' colours, dimmed with the sites while paths show.
uniform float dimming;
uniform vec3 background;
attribute vec3 tint;
varying vec3 vColor;
varying vec3 vNormal;

void main()
{
    vColor = dimming > 0.5 ? dimmedColor(tint, background) : tint;
    vNormal = normalMatrix * normal;
    gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0);
}
