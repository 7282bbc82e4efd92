#include <network/CorrelationNetwork>

#include <osg/Math>
#include <osg/Quat>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// A repeated name has no place of its own: its links end at the first site bearing that name.
osg::Vec3 linkEnd(const CorrelationNetwork& network, const Site& site)
{
    return site.duplicate ? network.findSitePosition(site.name) : site.position;
}

// Turns the cylinder's own +z axis onto direction, a vector of length height.
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

// Yellow at 0, fading to green at 1 and to red at -1; not clamped beyond.
osg::Vec4 weightColor(float weight)
{
    if (weight < 0.0f)
        return osg::Vec4(1.0f, 1.0f - std::fabs(weight), 0.0f, 1.0f);
    return osg::Vec4(1.0f - std::fabs(weight), 1.0f, 0.0f, 1.0f);
}

} // namespace

void CorrelationNetwork::createGroupLinks(int groupIndex)
{
    const SiteGroup& group = groups[groupIndex];
    for (std::size_t i = 0; i + 1 < group.size(); ++i)
    {
        const Site& earlier = group[i];
        const osg::Vec3 a = linkEnd(*this, earlier);
        // weights[k] belongs to the pair (i, i + 1 + k); a short line left the last pairs without one.
        for (std::size_t k = 0; k < earlier.weights.size() && i + 1 + k < group.size(); ++k)
        {
            const Site& later = group[i + 1 + k];
            const float weight = earlier.weights[k];
            std::printf("Creating link between %s and %s with weight %f\n", earlier.name.c_str(),
                        later.name.c_str(), static_cast<double>(weight));
            createLink(a, linkEnd(*this, later), weight);
        }
    }
}

void CorrelationNetwork::createLink(osg::Vec3 a, osg::Vec3 b, float weight)
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(0.2f);

    // The cylinder gets its final shape before the drawable is made: a shape drawable builds its geometry
    // when it is made and does not follow later changes to its shape.
    const osg::Vec3 direction = a - b;
    const float height = direction.length();
    osg::ref_ptr<osg::Cylinder> cylinder = new osg::Cylinder((a + b) * 0.5f, 0.4f, height);
    cylinder->setRotation(linkRotation(direction, height));

    osg::ref_ptr<osg::ShapeDrawable> drawable = new osg::ShapeDrawable(cylinder.get(), hints.get());
    drawable->setColor(weightColor(weight));
    links->addDrawable(drawable);
}
