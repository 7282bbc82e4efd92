// Draws each site's sphere as a square facing the eye, large enough to hold the sphere's outline. Every sphere
// is one instance of the square's corners, gl_Vertex.xy: (-1 or +1, -1 or +1).
attribute vec3 sphereCentre;
attribute vec4 sphereColour;

uniform float radius;

varying vec4 baseColour;
varying vec3 centre;
varying vec3 eyePoint;

void main()
{
    vec4 middle = gl_ModelViewMatrix * vec4(sphereCentre, 1.0);
    centre = middle.xyz;

    // Seen in perspective the outline is wider than the sphere; the margin covers it off the axis too.
    float distance = length(middle.xyz);
    float widening = distance > radius * 1.05 ? distance / sqrt(distance * distance - radius * radius) : 3.3;
    middle.xy += gl_Vertex.xy * (radius * 1.3 * widening);

    eyePoint = middle.xyz;
    baseColour = sphereColour;
    gl_Position = gl_ProjectionMatrix * middle;
}
