#ifndef LINKMAP_SCENE_SHADERS
#define LINKMAP_SCENE_SHADERS 1

#include <utility>
#include <vector>

/** The sources of src/scene/shaders, compiled into the program when it is built. */
namespace Shaders
{

/** The scene light's fixed-function lighting, per fragment; shared by the link and sphere shaders. */
extern const char* const lighting;

/** How a link looks: its colour by weight, its dimming and the filter that shows it; for the link shader,
 *  and compiled as C++ for the rest. */
extern const char* const linkLook;

/** The edges of a link's cylinder that face the eye; for the link shader. */
extern const char* const linkRing;

/** Links as the front halves of their cylinders, lit per vertex. */
extern const char* const linkVertex;

/** Spheres as squares traced as spheres. */
extern const char* const sphereVertex;
extern const char* const sphereFragment;

/** Label glyphs turned to the screen. */
extern const char* const labelVertex;
extern const char* const labelFragment;

/** The web page's shaders, by their file names, which the page compiles with linkLook and its lighting. */
const std::vector<std::pair<const char*, const char*>>& page();

} // namespace Shaders

#endif
