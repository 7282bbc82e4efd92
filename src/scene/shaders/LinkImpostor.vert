// Draws the front half of each link's tessellated cylinder, the ring edges that face the eye at both ends of
// the link, lit per vertex as the fixed pipeline lights the whole cylinder. With ROOF defined, for links a few
// pixels wide, only the two outer edges and the middle one are drawn: a roof of two facets, whose outer edges
// are lit as the facets beside them so that the roof's colour across averages the full front's. A link whose
// |weight| is below the cutoff is not drawn; while some links are emphasised, the others fade towards dimColor.
attribute vec4 otherEnd; // the link's other end; |w| - 1 is the edge's place along the front, negative at b

uniform float radius;
uniform int segments;
uniform float cutoff;
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
    // The colour's alpha is the link's weight.
    if (abs(gl_Color.a) < cutoff)
    {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        gl_FrontColor = vec4(0.0);
        gl_BackColor = gl_FrontColor;
        return;
    }
    bool atB = otherEnd.w < 0.0;
    vec3 a = atB ? otherEnd.xyz : gl_Vertex.xyz;
    vec3 b = atB ? gl_Vertex.xyz : otherEnd.xyz;
    float place = abs(otherEnd.w) - 1.0;
    vec3 edge = ringEdge(a, b, segments, place);
#ifdef ROOF
    float outer = float(segments / 2);
    vec3 normal = place == 0.0 ? ringEdge(a, b, segments, 0.7) : place == outer ? ringEdge(a, b, segments, outer - 0.7) : edge;
#else
    vec3 normal = edge;
#endif

    vec4 point = gl_ModelViewMatrix * gl_Vertex;
    point.xyz += edge * radius;
    vec3 material = emphasis != 0 && !isEmphasised(a, b) ? mix(gl_Color.rgb, dimColor.rgb, 0.75) : gl_Color.rgb;
    gl_FrontColor = lightColour(normal, point.xyz, vec4(material, 1.0));
    gl_BackColor = gl_FrontColor;
    gl_Position = gl_ProjectionMatrix * point;
}
