#include <scene/GlyphStyle.h>
#include <scene/TraceTube.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{

TEST(TraceTube, RingsOfTheRadiusRoundEveryPointJoinedRunByRun)
{
    // A bent run of four points, a run of one (no tube), and a straight run of two.
    const std::vector<std::vector<osg::Vec3>> trace = {
        {{0, 0, 0}, {3.8f, 0, 0}, {3.8f, 3.8f, 0}, {3.8f, 3.8f, 3.8f}},
        {{9, 9, 9}},
        {{0, 0, 10}, {0, 0, 20}}};
    const std::vector<std::vector<osg::Vec4>> colors = {
        {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 0, 1}},
        {{1, 1, 1, 1}},
        {{0, 1, 1, 1}, {1, 0, 1, 1}}};
    const unsigned int sides = 6;
    const float radius = 0.5f;
    const TubeMesh tube = traceTube(trace, colors, radius, sides);
    ASSERT_EQ(tube.points.size(), (4u + 2u) * sides);
    ASSERT_EQ(tube.normals.size(), tube.points.size());
    ASSERT_EQ(tube.colors.size(), tube.points.size());
    EXPECT_EQ(tube.triangles.size(), (3u + 1u) * sides * 6u);
    const std::vector<osg::Vec3> centres = {trace[0][0], trace[0][1], trace[0][2],
                                            trace[0][3], trace[2][0], trace[2][1]};
    const std::vector<osg::Vec4> ringColors = {colors[0][0], colors[0][1], colors[0][2],
                                               colors[0][3], colors[2][0], colors[2][1]};
    for (std::size_t ring = 0; ring < centres.size(); ++ring)
        for (unsigned int side = 0; side < sides; ++side)
        {
            const std::size_t at = ring * sides + side;
            const osg::Vec3 out = tube.points[at] - centres[ring];
            EXPECT_NEAR(out.length(), radius, 1e-5f) << at;
            EXPECT_NEAR(tube.normals[at].length(), 1.0f, 1e-5f) << at;
            EXPECT_NEAR((out / radius - tube.normals[at]).length(), 0.0f, 1e-5f) << "the normal points out";
            EXPECT_EQ(tube.colors[at], ringColors[ring]);
        }
    // Every triangle joins a ring to the next of the same run, and faces out of the tube.
    for (std::size_t t = 0; t + 2 < tube.triangles.size(); t += 3)
    {
        const std::uint32_t a = tube.triangles[t], b = tube.triangles[t + 1], c = tube.triangles[t + 2];
        const osg::Vec3 facing = (tube.points[b] - tube.points[a]) ^ (tube.points[c] - tube.points[a]);
        EXPECT_GT(facing * (tube.normals[a] + tube.normals[b] + tube.normals[c]), 0.0f) << t;
        EXPECT_LE(std::max({a, b, c}) / sides - std::min({a, b, c}) / sides, 1u);
    }
    // A straight run does not twist: its two rings stand side by side.
    for (unsigned int side = 0; side < sides; ++side)
        EXPECT_NEAR((tube.normals[4 * sides + side] - tube.normals[5 * sides + side]).length(), 0.0f, 1e-5f);
}

TEST(TraceTube, TakesTheTracesGreyWhereTheColoursDoNotMatch)
{
    const TubeMesh tube = traceTube({{{0, 0, 0}, {1, 0, 0}}}, {}, 1.0f, 4);
    ASSERT_EQ(tube.colors.size(), 8u);
    for (const osg::Vec4& color : tube.colors)
        EXPECT_EQ(color, GlyphStyle::traceColor);
    EXPECT_TRUE(traceTube({}, {}, 1.0f).points.empty());
    EXPECT_TRUE(traceTube({{{1, 2, 3}, {1, 2, 3}}}, {}, 1.0f).triangles.size() > 0)
        << "two points at one place";
}

} // namespace
