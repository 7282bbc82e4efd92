// Draws the front half of each link's tessellated cylinder, the ring edges that face the eye at both ends of
// the link, lit per vertex as the fixed pipeline lights the whole cylinder. Every instance of the same corners
// draws four links, whose ends and weights come with the instance. The colours and the filter are LinkLook's. With ROOF defined, for links a few pixels
// wide, only the two outer edges and the middle one are drawn: a roof of two facets, whose outer edges are lit
// as the facets beside them so that the roof's colour across averages the full front's. A link whose |weight|
// is below the cutoff, or that touches none of the regions a filter asks for, is not drawn; while some links are
// emphasised, the others fade towards dimColor.
attribute vec4 linkA0; // a link's first end, and its weight in w
attribute vec4 linkB0; // its second end, and in w the regions its ends lie in, as the bits of the region kinds
attribute vec4 linkA1;
attribute vec4 linkB1;
attribute vec4 linkA2;
attribute vec4 linkB2;
attribute vec4 linkA3;
attribute vec4 linkB3;
// gl_Vertex.x is the corner's edge, its place along the front; gl_Vertex.y is 1 at a and -1 at b; gl_Vertex.z
// is which of the instance's links it belongs to.

uniform float radius;
uniform float thinnestWeight; // links as thick as they are strong from this |weight| on; below 0, all alike
uniform float weightTop;      // 0 for a correlation; else the |weight| at the top of the sequential ramp
uniform int segments;
uniform float cutoff;
uniform float regionFilter; // 0: every link; otherwise the bit of the region a link must touch
uniform int emphasis;    // 0: none; 1: the links that end at emphasisA; 2: the link from emphasisA to emphasisB
uniform vec3 emphasisA;
uniform vec3 emphasisB;
uniform vec4 dimColor;

bool isEmphasised(vec3 a, vec3 b)
{
    if (emphasis == 1)
        return a == emphasisA || b == emphasisA;
    return (a == emphasisA && b == emphasisB) || (a == emphasisB && b == emphasisA);
}

void main()
{
    float slot = gl_Vertex.z;
    vec4 first = slot < 0.5 ? linkA0 : slot < 1.5 ? linkA1 : slot < 2.5 ? linkA2 : linkA3;
    vec4 second = slot < 0.5 ? linkB0 : slot < 1.5 ? linkB1 : slot < 2.5 ? linkB2 : linkB3;
    vec3 a = first.xyz;
    vec3 b = second.xyz;
    float linkWeight = first.w;
    if (!linkShown(linkWeight, second.w, cutoff, regionFilter))
    {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        gl_FrontColor = vec4(0.0);
        gl_BackColor = gl_FrontColor;
        return;
    }
    float place = gl_Vertex.x;
    vec3 edge = ringEdge(a, b, segments, place);
#ifdef ROOF
    float outer = float(segments / 2);
    vec3 normal = place == 0.0 ? ringEdge(a, b, segments, 0.7) : place == outer ? ringEdge(a, b, segments, outer - 0.7) : edge;
#else
    vec3 normal = edge;
#endif

    vec4 point = gl_ModelViewMatrix * vec4(gl_Vertex.y > 0.0 ? a : b, 1.0);
    point.xyz += edge * (radius * linkWidth(linkWeight, thinnestWeight, weightTop));
    vec3 color = weightColor(linkWeight, weightTop);
    vec3 material = emphasis != 0 && !isEmphasised(a, b) ? dimmedColor(color, dimColor.rgb) : color;
    gl_FrontColor = lightColour(normal, point.xyz, vec4(material, 1.0));
    gl_BackColor = gl_FrontColor;
    gl_Position = gl_ProjectionMatrix * point;
}
