// A site's sphere on the page: a quad at the sphere's centre, facing the eye, wide enough for its outline in
// perspective. A figure's sites on no path are dimmed while the paths show, as their links are. For the
// picture of numbers, each sphere is drawn in the colour of its site's number instead.
uniform float radius;
uniform float dimming;
uniform vec3 background;
attribute vec3 tint;
attribute vec2 corner;
attribute float scale;
attribute float dimmed;
attribute float siteNumber;
varying vec3 vColor;
varying vec3 vPoint;
varying vec3 vCentre;
varying float vRadius;

void main()
{
#ifdef NUMBERS
    vColor = numberColor(siteNumber);
#else
    vColor = dimming * dimmed > 0.5 ? dimmedColor(tint, background) : tint;
#endif
    vec4 centre = modelViewMatrix * vec4(position, 1.0);
    vCentre = centre.xyz;
    vRadius = radius * scale;
    vPoint = centre.xyz + vec3(corner * vRadius * 1.5, 0.0);
    gl_Position = projectionMatrix * vec4(vPoint, 1.0);
}
