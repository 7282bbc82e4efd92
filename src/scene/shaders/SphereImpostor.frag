// Finds where the ray through a fragment meets the sphere, then lights and depth-sorts that point.
varying float radius;

varying vec4 baseColour;
varying vec3 centre;
varying vec3 eyePoint;

void main()
{
    vec3 ray = normalize(eyePoint);
    float along = dot(ray, centre);
    // Measured from the centre, so that far spheres keep their precision.
    vec3 toRay = ray * along - centre;
    float inside = radius * radius - dot(toRay, toRay);
    if (inside < 0.0)
        discard;
    float back = sqrt(inside);
    vec3 normal = (toRay - ray * back) / radius;
    vec3 hit = ray * (along - back);

    vec4 clip = gl_ProjectionMatrix * vec4(hit, 1.0);
    float depth = clip.z / clip.w;
    gl_FragDepth = 0.5 * ((gl_DepthRange.far - gl_DepthRange.near) * depth + gl_DepthRange.near + gl_DepthRange.far);
    gl_FragColor = lightColour(normal, hit, baseColour);
}
