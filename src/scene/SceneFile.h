#ifndef LINKMAP_SCENE_SCENEFILE
#define LINKMAP_SCENE_SCENEFILE 1

#include <scene/FigureContent.h>
#include <scene/OutputError.h>

#include <osg/Vec3d>

#include <optional>
#include <string>

/** Whether fileName names a 3D scene file: .glb or .gltf, in any case. */
bool isSceneFileName(const std::string& fileName);

/** Writes the scene of content to fileName as glTF 2.0, binary (.glb) or as text with its buffer inside
 *  (.gltf), in the layout's units (ångströms on a structure), +y up: a node a site, named as it is, sharing
 *  one sphere mesh a region kind; every link the filter shows a prism coloured by its weight (six-sided with
 *  normals up to 40,000 links, square beyond), as thick
 *  as the view has it, its weight (and its count of paths, where paths were asked for) in its primitive's
 *  extras (weights, paths: one a prism, in order), in the mesh of its kind: "paths", "dimmed links" (their
 * own colours under a material that lets the background through) or "links"; the chain the sites stand on as
 * prisms; camera, when given, as the scene's first view; and with labels, every site's name on a quad facing
 * that view, in a mesh "labels". Throws OutputError, saying why, when it cannot be written. */
void writeSceneFile(const FigureContent& content, const std::string& fileName,
                    const std::optional<SceneCamera>& camera = std::nullopt, bool labels = false);

#endif
