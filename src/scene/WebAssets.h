#ifndef LINKMAP_SCENE_WEBASSETS
#define LINKMAP_SCENE_WEBASSETS 1

/** The web page's own scripts and style sheet, compiled into the program from src/scene/web: the controls'
 *  function, which the page's script calls, and the page's script. */
namespace WebAssets
{

extern const char* const controls;
extern const char* const script;
extern const char* const style;

} // namespace WebAssets

#endif
