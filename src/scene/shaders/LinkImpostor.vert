// Draws the front half of each link's tessellated cylinder, the ring edges that face the eye at both ends of
// the link, lit per vertex as the fixed pipeline lights the whole cylinder.
attribute vec4 otherEnd; // the link's other end; |w| - 1 is the edge's place along the front, negative at b

uniform float radius;
uniform int segments;

void main()
{
    bool atB = otherEnd.w < 0.0;
    vec3 a = atB ? otherEnd.xyz : gl_Vertex.xyz;
    vec3 b = atB ? gl_Vertex.xyz : otherEnd.xyz;
    vec3 normal = ringEdge(a, b, segments, abs(otherEnd.w) - 1.0);

    vec4 point = gl_ModelViewMatrix * gl_Vertex;
    point.xyz += normal * radius;
    gl_FrontColor = lightColour(normal, point.xyz, gl_Color);
    gl_BackColor = gl_FrontColor;
    gl_Position = gl_ProjectionMatrix * point;
}
