// The page's head light, as the window shines it (lightShare, of LinkLook.glsl, which comes before this).
vec3 lit(vec3 color, vec3 normal)
{
    return color * lightShare(normalize(normal).z);
}
