#ifndef LINKMAP_SCENE_WEBASSETS
#define LINKMAP_SCENE_WEBASSETS 1

/** The web page's own script and style sheet, compiled into the program from src/scene/web: the script is its
 *  modules, each a function of what it uses, joined in order, page.js last, which calls them. */
namespace WebAssets
{

extern const char* const script;
extern const char* const style;

} // namespace WebAssets

#endif
