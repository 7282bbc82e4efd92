#ifndef LINKMAP_SCENE_SCENEFILE
#define LINKMAP_SCENE_SCENEFILE 1

#include <scene/FigureContent.h>
#include <scene/OutputError.h>

#include <string>

/** Whether fileName names a 3D scene file: .glb or .gltf, in any case. */
bool isSceneFileName(const std::string& fileName);

/** Writes the scene of content to fileName as glTF 2.0, binary (.glb) or as text with its buffer inside
 *  (.gltf), in the layout's units (ångströms on a structure), +y up: a node a site, named as it is, sharing
 *  one sphere mesh a region kind; every link the filter shows a square prism coloured by its weight, dimmed
 * or thicker as the view has it, merged into one mesh; the chain the sites stand on as thinner grey prisms.
 *  Throws OutputError, saying why, when it cannot be written. */
void writeSceneFile(const FigureContent& content, const std::string& fileName);

#endif
