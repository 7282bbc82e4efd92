// The trace's tube, lit as the spheres are.
precision highp float;
varying vec3 vColor;
varying vec3 vNormal;

void main()
{
    gl_FragColor = vec4(lit(vColor, vNormal), 1.0);
}
