// The fixed-function lighting of the scene's own light for an eye-space normal; when lighting is switched off,
// the colour as it is.
uniform bool lightingOn;

vec4 lightColour(vec3 normal, vec3 eyePoint, vec4 colour)
{
    if (!lightingOn)
        return clamp(colour, 0.0, 1.0);
    vec4 position = gl_LightSource[0].position;
    vec3 light = normalize(position.w == 0.0 ? position.xyz : position.xyz - eyePoint);
    float diffuse = max(dot(normal, light), 0.0);
    // Ambient and diffuse follow the vertex colour, as colour material does.
    vec4 result = gl_FrontMaterial.emission + gl_LightModel.ambient * colour +
                  gl_LightSource[0].ambient * colour + gl_LightSource[0].diffuse * colour * diffuse;
    if (diffuse > 0.0 && gl_FrontMaterial.shininess > 0.0)
    {
        vec3 halfway = normalize(light + vec3(0.0, 0.0, 1.0));
        result += gl_LightSource[0].specular * gl_FrontMaterial.specular *
                  pow(max(dot(normal, halfway), 0.0), gl_FrontMaterial.shininess);
    }
    result.a = colour.a;
    return clamp(result, 0.0, 1.0);
}
