// Draws each site's sphere as a square facing the eye, large enough to hold the sphere's outline. Every
// instance draws four spheres from the corners of their squares: gl_Vertex.xy is the corner, (-1 or +1, -1 or
// +1), and gl_Vertex.z which of the instance's spheres it belongs to. A sphere's centre carries its radius in w.
attribute vec4 sphereCentre0;
attribute vec4 sphereColour0;
attribute vec4 sphereCentre1;
attribute vec4 sphereColour1;
attribute vec4 sphereCentre2;
attribute vec4 sphereColour2;
attribute vec4 sphereCentre3;
attribute vec4 sphereColour3;

varying float radius;
varying vec4 baseColour;
varying vec3 centre;
varying vec3 eyePoint;

void main()
{
    float slot = gl_Vertex.z;
    vec4 sphereCentre = slot < 0.5 ? sphereCentre0 : slot < 1.5 ? sphereCentre1 : slot < 2.5 ? sphereCentre2 : sphereCentre3;
    radius = sphereCentre.w;
    vec4 middle = gl_ModelViewMatrix * vec4(sphereCentre.xyz, 1.0);
    centre = middle.xyz;

    // Seen in perspective the outline is wider than the sphere; the margin covers it off the axis too.
    float distance = length(middle.xyz);
    float widening = distance > radius * 1.05 ? distance / sqrt(distance * distance - radius * radius) : 3.3;
    middle.xy += gl_Vertex.xy * (radius * 1.3 * widening);

    eyePoint = middle.xyz;
    baseColour = slot < 0.5 ? sphereColour0 : slot < 1.5 ? sphereColour1 : slot < 2.5 ? sphereColour2 : sphereColour3;
    gl_Position = gl_ProjectionMatrix * middle;
}
