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

osg::Vec4 communityColor(std::size_t community)
{
    static const unsigned int muted[communityColorCount] = {0xCC6677, 0x332288, 0xDDCC77, 0x117733, 0x88CCEE,
                                                            0x882255, 0x44AA99, 0x999933, 0xAA4499};
    const unsigned int rgb = community < communityColorCount ? muted[community] : 0xDDDDDD;
    return osg::Vec4(static_cast<float>((rgb >> 16) & 255) / 255.0f,
                     static_cast<float>((rgb >> 8) & 255) / 255.0f, static_cast<float>(rgb & 255) / 255.0f,
                     1.0f);
}

bool siteColor(const std::vector<osg::Vec4>& colors, std::size_t site, RegionKind kind, osg::Vec4& color)
{
    if (site < colors.size())
    {
        color = colors[site];
        return true;
    }
    return regionColor(kind, color);
}

namespace LinkLook
{

// The names of GLSL that the link's look uses, on osg's vectors and as GLSL defines them, so that its source
// compiles as C++ unchanged.
using vec3 = osg::Vec3;

float abs(float x)
{
    return std::fabs(x);
}

float min(float x, float y)
{
    return y < x ? y : x;
}

float max(float x, float y)
{
    return x < y ? y : x;
}

float floor(float x)
{
    return std::floor(x);
}

float mod(float x, float y)
{
    return x - y * floor(x / y);
}

vec3 mix(const vec3& x, const vec3& y, float a)
{
    return x * (1.0f - a) + y * a;
}

#include <scene/shaders/LinkLook.glsl>

float dimmedOpacity()
{
    return 1.0f - linkDimming;
}

double lightShare(double cosine)
{
    return std::min(1.0, AMBIENT_SHARE + DIFFUSE_SHARE * std::max(cosine, 0.0));
}

#undef AMBIENT_SHARE
#undef DIFFUSE_SHARE

} // namespace LinkLook

osg::Vec4 weightColor(float weight, float top)
{
    return osg::Vec4(LinkLook::weightColor(weight, top), 1.0f);
}

osg::Vec4 dimmedColor(const osg::Vec4& color, const osg::Vec4& background)
{
    const osg::Vec3 dimmed = LinkLook::dimmedColor(osg::Vec3(color.r(), color.g(), color.b()),
                                                   osg::Vec3(background.r(), background.g(), background.b()));
    return osg::Vec4(dimmed, color.a());
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
