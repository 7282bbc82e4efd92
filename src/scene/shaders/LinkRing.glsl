// The ring a link's cylinder is tessellated with, and which of its edges face the eye.
const float pi = 3.141592653589793;

// The eye-space direction of ring edge place (0 to half the ring) along the front half of the ring of the
// link from a to b: from the edge farthest to one side, across the front, to the opposite edge. Both ends of a
// link choose the same edges.
vec3 ringEdge(vec3 a, vec3 b, int segments, float place)
{
    // The cylinder's own x and y axes, which its rings start from: its rotation turns +z onto a - b by the
    // polar angle about y, then the azimuth about z.
    vec3 d = a - b;
    float height = length(d);
    float planar = length(d.xy);
    vec2 azimuth = planar > 0.0 ? d.xy / planar : vec2(0.0, 1.0);
    float polarCos = height > 0.0 ? d.z / height : 1.0;
    float polarSin = height > 0.0 ? planar / height : 0.0;
    vec3 ringX = gl_NormalMatrix * vec3(azimuth * polarCos, -polarSin);
    vec3 ringY = gl_NormalMatrix * vec3(-azimuth.y, azimuth.x, 0.0);

    vec3 middle = (gl_ModelViewMatrix * vec4(0.5 * (a + b), 1.0)).xyz;
    vec3 axis = gl_NormalMatrix * (b - a);
    vec3 across = cross(axis, -middle);
    vec3 toEye = cross(across, axis);
    float step = 2.0 * pi / float(segments);
    float first = floor((atan(dot(ringY, across), dot(ringX, across)) + pi) / step + 0.5);
    float middleAngle = (first + float(segments / 4)) * step;
    float turn = dot(ringX * cos(middleAngle) + ringY * sin(middleAngle), toEye) >= 0.0 ? 1.0 : -1.0;
    float angle = (first + turn * place) * step;
    return ringX * cos(angle) + ringY * sin(angle);
}
