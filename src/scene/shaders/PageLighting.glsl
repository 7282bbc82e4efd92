// The page's head light, as the window shines it: an ambient share of a surface's colour and a diffuse share
// that follows the cosine between its normal and the line of sight. The page defines the shares from its data.
vec3 lit(vec3 color, vec3 normal)
{
    return color * min(1.0, AMBIENT_SHARE + DIFFUSE_SHARE * max(normalize(normal).z, 0.0));
}
