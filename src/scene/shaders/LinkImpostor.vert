// Draws the front half of each link's tessellated cylinder, the ring edges that face the eye at both ends of
// the link, lit per vertex as the fixed pipeline lights the whole cylinder. With ROOF defined, for links a few
// pixels wide, only the two outer edges and the middle one are drawn: a roof of two facets, whose outer edges
// are lit as the facets beside them so that the roof's colour across averages the full front's.
attribute vec4 otherEnd; // the link's other end; |w| - 1 is the edge's place along the front, negative at b

uniform float radius;
uniform int segments;

void main()
{
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
    gl_FrontColor = lightColour(normal, point.xyz, gl_Color);
    gl_BackColor = gl_FrontColor;
    gl_Position = gl_ProjectionMatrix * point;
}
