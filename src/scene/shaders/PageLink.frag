// A link's quad shaded across as a cylinder: the normal turns from one side through the eye to the other. For
// the picture of numbers, it is drawn flat in the colour of its number.
precision mediump float;
varying vec3 vColor;
varying float vAcross;
varying vec3 vSide;
varying vec3 vFacing;

void main()
{
#ifdef NUMBERS
    gl_FragColor = vec4(vColor, 1.0);
#else
    vec3 normal = vAcross * vSide + sqrt(max(1.0 - vAcross * vAcross, 0.0)) * vFacing;
    gl_FragColor = vec4(lit(vColor, normal), 1.0);
#endif
}
