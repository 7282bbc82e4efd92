#include <scene/GlyphStyle.h>

#include <osg/Math>

#include <algorithm>
#include <cmath>

bool regionColor(RegionKind kind, osg::Vec4& color)
{
    const RegionKindEntry* entry = findRegionKind(kind);
    if (entry == nullptr && kind != RegionKind::None)
        return false;
    const float* rgba = entry != nullptr ? entry->color : noRegionColor;
    color.set(rgba[0], rgba[1], rgba[2], rgba[3]);
    return true;
}

osg::Vec4 weightColor(float weight)
{
    // Beyond -1 and 1, the end colours; a weight that is no number stays so.
    const float strength = std::min(std::fabs(weight), 1.0f);
    if (weight < 0.0f)
        return osg::Vec4(1.0f, 1.0f - strength, 0.0f, 1.0f);
    return osg::Vec4(1.0f - strength, 1.0f, 0.0f, 1.0f);
}

osg::Vec4 dimmedColor(const osg::Vec4& color, const osg::Vec4& background)
{
    osg::Vec4 dimmed = color * (1.0f - GlyphStyle::dimming) + background * GlyphStyle::dimming;
    dimmed.a() = color.a();
    return dimmed;
}

osg::Quat linkRotation(const osg::Vec3& direction, float height)
{
    // Coincident ends make a cylinder of height 0, which has no direction to turn to.
    if (!(height > 0.0f))
        return osg::Quat();
    // Rounding can carry the quotient a hair beyond 1 for links along z, where asin has no value.
    const float cosine = std::clamp(direction.z() / height, -1.0f, 1.0f);
    const float polar = static_cast<float>(osg::PI_2) - std::asin(cosine);
    const float azimuth = static_cast<float>(osg::PI_2) - std::atan2(direction.x(), direction.y());
    return osg::Quat(0.0, osg::X_AXIS, polar, osg::Y_AXIS, azimuth, osg::Z_AXIS);
}
