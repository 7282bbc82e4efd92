#ifndef LINKMAP_SCENE_TRACETUBE
#define LINKMAP_SCENE_TRACETUBE 1

#include <osg/Vec3>
#include <osg/Vec4>

#include <cstdint>
#include <vector>

/** A tube along a chain's trace: rings of points round each point of every run, with their normals and
 *  colours, and the triangles that join each ring to the next. */
struct TubeMesh
{
    std::vector<osg::Vec3> points;
    std::vector<osg::Vec3> normals;
    std::vector<osg::Vec4> colors;
    std::vector<std::uint32_t> triangles;
};

/** The tube of radius, sides sides round, along every run of trace of two points or more, each ring in its
 *  point's colour of colors (one a point of each run), or the trace's grey where colors does not match trace.
 *  Each ring turns as little as it can from the one before, so the tube does not twist. */
TubeMesh traceTube(const std::vector<std::vector<osg::Vec3>>& trace,
                   const std::vector<std::vector<osg::Vec4>>& colors, float radius, unsigned int sides = 10);

#endif
