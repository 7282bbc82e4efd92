// Each fragment of a sphere's quad casts a ray from the eye to the sphere, and takes the depth, the normal
// and the light of where it meets it; a ray that misses draws nothing.
precision highp float;
uniform mat4 projection;
varying vec3 vColor;
varying vec3 vPoint;
varying vec3 vCentre;
varying float vRadius;

void main()
{
    vec3 ray = normalize(vPoint);
    float middle = dot(ray, vCentre);
    float miss = middle * middle - dot(vCentre, vCentre) + vRadius * vRadius;
    if (miss < 0.0)
        discard;
    vec3 hit = ray * (middle - sqrt(miss));
    vec4 clip = projection * vec4(hit, 1.0);
    gl_FragDepthEXT = 0.5 * clip.z / clip.w + 0.5;
#ifdef NUMBERS
    gl_FragColor = vec4(vColor, 1.0);
#else
    gl_FragColor = vec4(lit(vColor, (hit - vCentre) / vRadius), 1.0);
#endif
}
