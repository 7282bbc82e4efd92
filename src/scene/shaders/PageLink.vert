// A link on the page: a quad from end to end, turned to face the eye, shaded across as the cylinder it stands
// for. Its colour, the filter and the dimming are those of the window's batched links. Each vertex holds its
// own end, the other, its look (weight, regions, thickness signed by the side of the quad, which end) and
// whether the link is emphasised; the paths' links stay drawn under another filter while keepPaths is set. For
// the picture of numbers, a link is drawn in the colour of its number.
uniform float radius;
uniform float thinnestWeight;
uniform float weightTop;
uniform float cutoff;
uniform float regionFilter;
uniform float emphasis;
uniform float keepPaths;
uniform vec3 background;
attribute vec3 other;
attribute vec4 look;
attribute float emphasised;
attribute float linkNumber;
varying vec3 vColor;
varying float vAcross;
varying vec3 vSide;
varying vec3 vFacing;

void main()
{
    if (!(keepPaths > 0.5 && emphasised > 0.5) && !linkShown(look.x, look.y, cutoff, regionFilter))
    {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }
    vec4 point = modelViewMatrix * vec4(position, 1.0);
    vec3 axis = (modelViewMatrix * vec4(other, 1.0)).xyz - point.xyz;
    if (look.w > 0.5)
        axis = -axis;
    vec3 side = cross(axis, -point.xyz);
    float size = length(side);
    side = size > 0.0 ? side / size : vec3(0.0);
    float length2 = max(dot(axis, axis), 1e-20);
    vFacing = normalize(-point.xyz + axis * dot(point.xyz, axis) / length2);
    vSide = side;
    vAcross = sign(look.z);
#ifdef NUMBERS
    vColor = numberColor(linkNumber);
#else
    vec3 color = weightColor(look.x, weightTop);
    vColor = emphasis > 0.5 && emphasised < 0.5 ? dimmedColor(color, background) : color;
#endif
    point.xyz += side * radius * linkWidth(look.x, thinnestWeight, weightTop) * look.z;
    gl_Position = projectionMatrix * point;
}
