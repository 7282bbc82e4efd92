// A figure's trace: the tube the program made, in its sites' colours.
attribute vec3 tint;
varying vec3 vColor;
varying vec3 vNormal;

void main()
{
    vColor = tint;
    vNormal = normalMatrix * normal;
    gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0);
}
