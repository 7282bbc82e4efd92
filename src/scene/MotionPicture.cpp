#include <scene/GlyphStyle.h>
#include <scene/MotionPicture.h>

#include <osg/AlphaFunc>
#include <osg/Depth>
#include <osg/Image>
#include <osg/Point>
#include <osg/PointSprite>
#include <osg/Texture2D>
#include <osgUtil/CullVisitor>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

namespace
{

// The largest dot drawn, in pixels; drivers offer at least this much.
const float largestDotPixels = 128.0f;

// Sizes a site's dot, as the window's shape and the camera's lens change, so that with the distance
// attenuation (1 / distance) it is as wide as the sphere appears.
class FollowLens : public osg::NodeCallback
{
public:
    FollowLens(osg::Point* dots, float sphereRadius) : point(dots), radius(sphereRadius) {}

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override
    {
        if (auto* cull = dynamic_cast<osgUtil::CullVisitor*>(visitor))
        {
            const osg::Viewport* viewport = cull->getViewport();
            const osg::RefMatrix* projection = cull->getProjectionMatrix();
            if (viewport != nullptr && projection != nullptr)
            {
                // A sphere of radius r at distance d covers r * height * P11 / d pixels across.
                const double size = radius * viewport->height() * (*projection)(1, 1);
                point->setSize(static_cast<float>(size));
            }
        }
        traverse(node, visitor);
    }

private:
    osg::ref_ptr<osg::Point> point;
    float radius;
};

// Adds nothing to the bound of the scene it hangs in, so that the first view frames the full picture alone.
class NoBound : public osg::Node::ComputeBoundingSphereCallback
{
public:
    osg::BoundingSphere computeBound(const osg::Node&) const override
    {
        return osg::BoundingSphere();
    }
};

// A disc shaded as a sphere lit by a head light: bright in the middle, darker towards the rim, clear outside.
osg::ref_ptr<osg::Texture2D> createShadedDisc()
{
    const int size = 64;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(size, size, 1, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE);
    for (int row = 0; row < size; ++row)
    {
        for (int column = 0; column < size; ++column)
        {
            const float x = (column + 0.5f) / size * 2.0f - 1.0f;
            const float y = (row + 0.5f) / size * 2.0f - 1.0f;
            const float rim = x * x + y * y;
            // The surface's slope towards the eye, as the head light's diffuse term sees it.
            const float facing = rim < 1.0f ? std::sqrt(1.0f - rim) : 0.0f;
            unsigned char* texel = image->data(column, row);
            texel[0] = static_cast<unsigned char>(255.0f * (0.2f + 0.8f * facing));
            texel[1] = rim < 1.0f ? 255 : 0;
        }
    }
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(image.get());
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    return texture;
}

osg::ref_ptr<osg::Geometry> createBatch(GLenum mode)
{
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    geometry->setVertexArray(new osg::Vec3Array);
    geometry->setColorArray(new osg::Vec4Array, osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(new osg::DrawArrays(mode, 0, 0));
    return geometry;
}

// A link's strength: |weight|, and for a weight that is no number more than any, as no cutoff hides it.
float strengthOf(const SiteLink& link)
{
    return std::isnan(link.weight) ? std::numeric_limits<float>::infinity() : std::fabs(link.weight);
}

// Orders links by strength, strongest first; equal strengths keep the order of the log.
bool isStronger(const SiteLink& a, std::size_t placeA, const SiteLink& b, std::size_t placeB)
{
    const float strengthA = strengthOf(a);
    const float strengthB = strengthOf(b);
    return strengthA != strengthB ? strengthA > strengthB : placeA < placeB;
}

// The places of the strongest links that may be drawn, at most budget of them, strongest first: a cutoff then
// keeps a run from the start. Each link's place in that order is one number, its strength's bits (which order
// as the strengths do, for strengths of no sign) turned about, then its place in the log; the strongest are
// found first and only they are sorted. A link with an end that is no site is left out.
std::vector<std::size_t> rankStrongest(const std::vector<SiteLink>& links, std::size_t siteTotal,
                                       std::size_t budget)
{
    std::vector<std::uint64_t> order;
    order.reserve(links.size());
    for (std::size_t i = 0; i < links.size(); ++i)
    {
        if (links[i].first >= siteTotal || links[i].second >= siteTotal)
            continue;
        const float strength = strengthOf(links[i]);
        std::uint32_t bits;
        std::memcpy(&bits, &strength, sizeof bits);
        order.push_back(std::uint64_t(~bits) << 32 | i);
    }
    const auto kept = static_cast<std::ptrdiff_t>(std::min(order.size(), budget));
    std::nth_element(order.begin(), order.begin() + kept, order.end());
    std::sort(order.begin(), order.begin() + kept);
    std::vector<std::size_t> ranked;
    ranked.reserve(static_cast<std::size_t>(kept));
    for (auto key = order.begin(); key != order.begin() + kept; ++key)
        ranked.push_back(static_cast<std::size_t>(*key & 0xffffffffu));
    return ranked;
}

// Beyond budget sites, the ones drawn: the ends of the ranked links, strongest first, then every so many of
// the others, evenly; ascending.
std::vector<std::uint32_t> sampleSites(const std::vector<std::size_t>& ranked,
                                       const std::vector<SiteLink>& links, std::size_t siteTotal,
                                       std::size_t budget, std::vector<bool>& taken)
{
    std::vector<std::uint32_t> sample;
    sample.reserve(budget);
    taken.assign(siteTotal, false);
    const auto take = [&](std::uint32_t site) {
        if (sample.size() < budget && !taken[site])
        {
            taken[site] = true;
            sample.push_back(site);
        }
    };
    for (std::size_t i = 0; i < ranked.size() && sample.size() < budget; ++i)
    {
        take(links[ranked[i]].first);
        take(links[ranked[i]].second);
    }
    // The rest of the budget spread over the sites not taken, one every (left / room) of them.
    const std::size_t room = budget - sample.size();
    const std::size_t left = siteTotal - sample.size();
    std::size_t seen = 0;
    for (std::uint32_t site = 0; site < siteTotal && room > 0; ++site)
    {
        if (taken[site])
            continue;
        // Take the site when the count of those seen passes the next share.
        if ((seen * room) % left < room)
            take(site);
        ++seen;
    }
    std::sort(sample.begin(), sample.end());
    return sample;
}

} // namespace

MotionPicture::MotionPicture(const std::vector<osg::Vec3>& sitePositions,
                             const std::vector<osg::Vec4>& siteColors, const std::vector<SiteLink>& siteLinks,
                             const osg::Vec4& dimColor, const MotionDetail& detail)
    : links(siteLinks), background(dimColor), weightTop(detail.weightTop), node(new osg::Group)
{
    node->setName("motion picture");
    node->setComputeBoundingSphereCallback(new NoBound);
    osg::StateSet* state = node->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setTextureMode(0, GL_TEXTURE_2D, osg::StateAttribute::OFF);

    ranked = rankStrongest(links, sitePositions.size(), detail.linkBudget);
    strongest = ranked;
    sites = new osg::Vec3Array(sitePositions.begin(), sitePositions.end());

    lines = createBatch(GL_LINES);
    lines->setName("strongest links");
    updateLinkEnds();
    updateLinkColors();
    updateShownCount();
    node->addChild(lines);

    // Emphasised links over the dimmed ones where they coincide: drawn after them, at equal depth.
    emphasisLines = createBatch(GL_LINES);
    emphasisLines->setName("emphasised links");
    emphasisLines->getOrCreateStateSet()->setAttribute(new osg::Depth(osg::Depth::LEQUAL));
    emphasisLines->getOrCreateStateSet()->setRenderBinDetails(1, "RenderBin");
    node->addChild(emphasisLines);

    dots = createBatch(GL_POINTS);
    dots->setName("sites");
    dots->setVertexArray(sites.get());
    auto* colors = static_cast<osg::Vec4Array*>(dots->getColorArray());
    colors->reserve(sites->size());
    for (std::size_t site = 0; site < sites->size(); ++site)
        colors->push_back(site < siteColors.size() ? siteColors[site] : osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    static_cast<osg::DrawArrays*>(dots->getPrimitiveSet(0))->setCount(static_cast<GLsizei>(sites->size()));
    if (sites->size() > detail.siteBudget)
    {
        // Beyond the budget the dots are drawn by their places in the sites: the sample, and the emphasis.
        sample = sampleSites(ranked, links, sites->size(), detail.siteBudget, inSample);
        dots->setPrimitiveSet(0, new osg::DrawElementsUInt(GL_POINTS));
        updateDots();
    }
    dots->dirtyBound();

    osg::ref_ptr<osg::Point> point = new osg::Point;
    point->setDistanceAttenuation(osg::Vec3(0.0f, 0.0f, 1.0f));
    point->setMinSize(detail.minimumDotPixels);
    point->setMaxSize(largestDotPixels);
    point->setDataVariance(osg::Object::DYNAMIC);
    osg::StateSet* dotState = dots->getOrCreateStateSet();
    dotState->setAttributeAndModes(point.get());
    // Few sites are discs shaded as their spheres; many are plain dots, which cost a quarter as much.
    if (sites->size() <= detail.shadedSiteLimit)
    {
        dotState->setTextureAttributeAndModes(0, new osg::PointSprite, osg::StateAttribute::ON);
        dotState->setTextureAttributeAndModes(0, createShadedDisc(), osg::StateAttribute::ON);
        dotState->setAttributeAndModes(new osg::AlphaFunc(osg::AlphaFunc::GREATER, 0.5f));
    }
    dots->setCullCallback(new FollowLens(point.get(), detail.siteRadius));
    node->addChild(dots);
}

osg::Node* MotionPicture::getNode()
{
    return node.get();
}

void MotionPicture::setCutoff(float value)
{
    setFilter(LinkFilter{value, filter.regions}, linkRegions);
}

void MotionPicture::setFilter(const LinkFilter& shown, const std::vector<std::uint8_t>* regions)
{
    const bool regionsChanged = shown.regions != filter.regions || regions != linkRegions;
    filter = shown;
    linkRegions = regions;
    if (regionsChanged)
    {
        strongest.clear();
        std::copy_if(ranked.begin(), ranked.end(), std::back_inserter(strongest),
                     [this](std::size_t link) { return inRegions(link); });
        updateLinkEnds();
        updateLinkColors();
    }
    updateShownCount();
    updateEmphasisLines();
}

bool MotionPicture::inRegions(std::size_t link) const
{
    const std::uint8_t regions =
        linkRegions != nullptr && link < linkRegions->size() ? (*linkRegions)[link] : std::uint8_t(0);
    return filter.touches(regions);
}

void MotionPicture::updateLinkEnds()
{
    auto* ends = static_cast<osg::Vec3Array*>(lines->getVertexArray());
    ends->clear();
    ends->reserve(2 * strongest.size());
    for (const std::size_t link : strongest)
    {
        ends->push_back((*sites)[links[link].first]);
        ends->push_back((*sites)[links[link].second]);
    }
    ends->dirty();
    lines->dirtyBound();
}

void MotionPicture::setEmphasis(const std::vector<std::size_t>& places)
{
    emphasised = places;
    std::sort(emphasised.begin(), emphasised.end());
    emphasised.erase(std::unique(emphasised.begin(), emphasised.end()), emphasised.end());
    updateLinkColors();
    updateEmphasisLines();
    updateDots();
}

void MotionPicture::updateDots()
{
    auto* drawn = dynamic_cast<osg::DrawElementsUInt*>(dots->getPrimitiveSet(0));
    if (drawn == nullptr)
        return;
    drawn->assign(sample.begin(), sample.end());
    const std::size_t siteTotal = sites->size();
    for (const std::size_t link : emphasised)
    {
        if (link >= links.size())
            continue;
        for (const std::uint32_t end : {links[link].first, links[link].second})
            if (end < siteTotal && !inSample[end])
                drawn->push_back(end);
    }
    // An end shared by emphasised links is drawn once.
    std::sort(drawn->begin() + static_cast<std::ptrdiff_t>(sample.size()), drawn->end());
    drawn->erase(std::unique(drawn->begin() + static_cast<std::ptrdiff_t>(sample.size()), drawn->end()),
                 drawn->end());
    drawn->dirty();
    dots->dirtyGLObjects();
}

std::vector<std::uint32_t> MotionPicture::drawnSites() const
{
    if (const auto* drawn = dynamic_cast<const osg::DrawElementsUInt*>(dots->getPrimitiveSet(0)))
        return std::vector<std::uint32_t>(drawn->begin(), drawn->end());
    std::vector<std::uint32_t> all(sites->size());
    for (std::uint32_t site = 0; site < all.size(); ++site)
        all[site] = site;
    return all;
}

std::vector<std::size_t> MotionPicture::drawnLinks() const
{
    const auto count =
        static_cast<std::size_t>(static_cast<const osg::DrawArrays*>(lines->getPrimitiveSet(0))->getCount());
    std::vector<std::size_t> drawn(strongest.begin(),
                                   strongest.begin() + static_cast<std::ptrdiff_t>(count / 2));
    drawn.insert(drawn.end(), emphasisExtras.begin(), emphasisExtras.end());
    return drawn;
}

void MotionPicture::updateShownCount()
{
    // The links are strongest first, so those the cutoff shows are a run from the start.
    const auto shown = std::partition_point(strongest.begin(), strongest.end(), [this](std::size_t link) {
        return !links[link].isBelow(filter.cutoff);
    });
    static_cast<osg::DrawArrays*>(lines->getPrimitiveSet(0))
        ->setCount(static_cast<GLsizei>(2 * static_cast<std::size_t>(shown - strongest.begin())));
    lines->dirtyGLObjects();
}

void MotionPicture::updateLinkColors()
{
    auto* colors = static_cast<osg::Vec4Array*>(lines->getColorArray());
    colors->resize(2 * strongest.size());
    for (std::size_t i = 0; i < strongest.size(); ++i)
    {
        const std::size_t link = strongest[i];
        osg::Vec4 color = weightColor(links[link].weight, weightTop);
        if (!emphasised.empty() && !std::binary_search(emphasised.begin(), emphasised.end(), link))
            color = dimmedColor(color, background);
        (*colors)[2 * i] = color;
        (*colors)[2 * i + 1] = color;
    }
    colors->dirty();
}

void MotionPicture::updateEmphasisLines()
{
    // Every emphasised link the cutoff shows, drawn in its own colour over its dimmed copy, if it has one.
    auto* ends = static_cast<osg::Vec3Array*>(emphasisLines->getVertexArray());
    auto* colors = static_cast<osg::Vec4Array*>(emphasisLines->getColorArray());
    ends->clear();
    colors->clear();
    emphasisExtras.clear();
    const std::size_t siteTotal = sites->size();
    for (const std::size_t link : emphasised)
    {
        if (link >= links.size() || links[link].isBelow(filter.cutoff) || !inRegions(link) ||
            links[link].first >= siteTotal || links[link].second >= siteTotal)
            continue;
        ends->push_back((*sites)[links[link].first]);
        ends->push_back((*sites)[links[link].second]);
        colors->insert(colors->end(), 2, weightColor(links[link].weight, weightTop));
        // The strongest lead the order of strength, so a link is one of them unless it comes after the last.
        const bool amongStrongest =
            !ranked.empty() && !isStronger(links[ranked.back()], ranked.back(), links[link], link);
        if (!amongStrongest)
            emphasisExtras.push_back(link);
    }
    ends->dirty();
    colors->dirty();
    static_cast<osg::DrawArrays*>(emphasisLines->getPrimitiveSet(0))
        ->setCount(static_cast<GLsizei>(ends->size()));
    emphasisLines->dirtyGLObjects();
    emphasisLines->dirtyBound();
}
