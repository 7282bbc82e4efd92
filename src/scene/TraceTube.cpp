#include <scene/GlyphStyle.h>
#include <scene/TraceTube.h>

#include <cmath>

namespace
{

// A unit vector square to direction.
osg::Vec3 anySquareTo(const osg::Vec3& direction)
{
    osg::Vec3 square =
        direction ^ (std::fabs(direction.x()) < 0.9f ? osg::Vec3(1, 0, 0) : osg::Vec3(0, 1, 0));
    square.normalize();
    return square;
}

} // namespace

TubeMesh traceTube(const std::vector<std::vector<osg::Vec3>>& trace,
                   const std::vector<std::vector<osg::Vec4>>& colors, float radius, unsigned int sides)
{
    TubeMesh tube;
    const bool coloured = colors.size() == trace.size();
    for (std::size_t run = 0; run < trace.size(); ++run)
    {
        const std::vector<osg::Vec3>& points = trace[run];
        if (points.size() < 2)
            continue;
        osg::Vec3 normal;
        for (std::size_t i = 0; i < points.size(); ++i)
        {
            // Along the chain through the point, from the one before to the one after.
            osg::Vec3 along = points[std::min(i + 1, points.size() - 1)] - points[i == 0 ? 0 : i - 1];
            if (along.normalize() == 0.0f)
                along.set(0.0f, 0.0f, 1.0f);
            // The last ring's normal, carried on square to the chain here.
            normal = i == 0 ? anySquareTo(along) : normal - along * (normal * along);
            if (normal.normalize() < 1e-6f)
                normal = anySquareTo(along);
            const osg::Vec3 binormal = along ^ normal;
            const osg::Vec4 color =
                coloured && i < colors[run].size() ? colors[run][i] : GlyphStyle::traceColor;
            const auto first = static_cast<std::uint32_t>(tube.points.size());
            for (unsigned int side = 0; side < sides; ++side)
            {
                const double angle = 6.283185307179586 * side / sides;
                const osg::Vec3 out = normal * static_cast<float>(std::cos(angle)) +
                                      binormal * static_cast<float>(std::sin(angle));
                tube.points.push_back(points[i] + out * radius);
                tube.normals.push_back(out);
                tube.colors.push_back(color);
            }
            if (i == 0)
                continue;
            const std::uint32_t before = first - sides;
            for (std::uint32_t side = 0; side < sides; ++side)
            {
                const std::uint32_t next = (side + 1) % sides;
                tube.triangles.insert(tube.triangles.end(), {before + side, before + next, first + side,
                                                             first + side, before + next, first + next});
            }
        }
    }
    return tube;
}
