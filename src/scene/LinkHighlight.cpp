#include <scene/GlyphStyle.h>
#include <scene/Glyphs.h>
#include <scene/LinkHighlight.h>

#include <algorithm>
#include <limits>

LinkHighlight::LinkHighlight(const NetworkScene& scene, const std::vector<SiteLink>& siteLinks,
                             const osg::Vec4& background, MotionPicture* motionPicture)
    : links(siteLinks), shown(siteLinks.size()), dimColor(background), motion(motionPicture), root(scene.root)
{
    if (scene.path == RenderPath::Batched)
    {
        osg::StateSet* batched = scene.linkState.get();
        cutoffUniform = batched->getUniform("cutoff");
        regionUniform = batched->getUniform("regionFilter");
        emphasisUniform = batched->getUniform("emphasis");
        emphasisAUniform = batched->getUniform("emphasisA");
        emphasisBUniform = batched->getUniform("emphasisB");
        batched->getUniform("dimColor")->set(background);
        return;
    }
    // One drawable per link, in the order of the links.
    glyphs.reserve(scene.linkGlyphs.size());
    for (const osg::ref_ptr<osg::ShapeDrawable>& drawable : scene.linkGlyphs)
        glyphs.push_back(LinkGlyph{drawable, drawable->getColor()});
    glyphEmphasis.assign(glyphs.size(), true);
}

void LinkHighlight::setCutoff(float value)
{
    ++changes;
    filter.cutoff = value;
    updateFilter();
}

void LinkHighlight::setRegionFilter(std::uint8_t regions, const std::vector<std::uint8_t>& regionsOfLinks)
{
    ++changes;
    filter.regions = regions;
    linkRegions = &regionsOfLinks;
    updateFilter();
}

bool LinkHighlight::isShown(std::size_t link) const
{
    const std::uint8_t regions =
        linkRegions != nullptr && link < linkRegions->size() ? (*linkRegions)[link] : std::uint8_t(0);
    return link < links.size() && filter.shows(links[link], regions);
}

void LinkHighlight::updateFilter()
{
    // A pass over every link, which a key waits for: at 10^7 links it must take milliseconds, so it reads the
    // regions directly rather than through isShown's checks. A link past the list of regions touches none.
    const std::size_t withRegions = linkRegions != nullptr ? std::min(links.size(), linkRegions->size()) : 0;
    shown = 0;
    for (std::size_t link = 0; link < links.size(); ++link)
        shown +=
            filter.shows(links[link], link < withRegions ? (*linkRegions)[link] : std::uint8_t(0)) ? 1 : 0;
    if (cutoffUniform.valid())
        cutoffUniform->set(filter.cutoff);
    if (regionUniform.valid())
        regionUniform->set(static_cast<float>(filter.regions));
    if (motion != nullptr)
        motion->setFilter(filter, linkRegions);
    updateGlyphs(glyphEmphasis);
    for (const auto& [link, drawable] : pathGlyphs)
        drawable->setNodeMask(isShown(link) ? ~0u : 0u);
}

void LinkHighlight::emphasiseSite(const osg::Vec3& position, const std::vector<std::size_t>& siteLinks)
{
    ++changes;
    removePaths();
    if (emphasisUniform.valid())
    {
        emphasisUniform->set(1);
        emphasisAUniform->set(position);
    }
    emphasisedLinks = siteLinks;
    if (motion != nullptr)
        motion->setEmphasis(siteLinks);
    std::vector<bool> emphasised(glyphs.size(), false);
    for (const std::size_t link : siteLinks)
        if (link < emphasised.size())
            emphasised[link] = true;
    updateGlyphs(emphasised);
}

void LinkHighlight::emphasiseLink(std::size_t link, const osg::Vec3& a, const osg::Vec3& b)
{
    ++changes;
    removePaths();
    if (emphasisUniform.valid())
    {
        emphasisUniform->set(2);
        emphasisAUniform->set(a);
        emphasisBUniform->set(b);
    }
    emphasisedLinks = {link};
    if (motion != nullptr)
        motion->setEmphasis({link});
    std::vector<bool> emphasised(glyphs.size(), false);
    if (link < emphasised.size())
        emphasised[link] = true;
    updateGlyphs(emphasised);
}

void LinkHighlight::emphasisePaths(const std::vector<std::size_t>& pathLinks,
                                   const std::vector<float>& thickness,
                                   const std::vector<osg::Vec3>& positions, const GlyphSizes& sizes)
{
    ++changes;
    removePaths();
    // Every link dimmed: the batched ones by an emphasis of one link between two places that no link joins.
    if (emphasisUniform.valid())
    {
        const osg::Vec3 nowhere(std::numeric_limits<float>::max(), 0.0f, 0.0f);
        emphasisUniform->set(2);
        emphasisAUniform->set(nowhere);
        emphasisBUniform->set(nowhere);
    }
    updateGlyphs(std::vector<bool>(glyphs.size(), false));
    emphasisedLinks = pathLinks;
    if (motion != nullptr)
        motion->setEmphasis(pathLinks);

    // The paths' links drawn again, in their own colour and thicker, over the dimmed ones they enclose.
    pathGeode = new osg::Geode;
    pathGeode->setName("paths");
    for (const std::size_t link : pathLinks)
    {
        if (link >= links.size() || links[link].first >= positions.size() ||
            links[link].second >= positions.size())
            continue;
        GlyphSizes thicker = sizes;
        thicker.linkRadius *= link < thickness.size() ? thickness[link] : 1.0f;
        osg::ref_ptr<osg::ShapeDrawable> drawable = createLink(
            positions[links[link].first], positions[links[link].second], links[link].weight, thicker);
        drawable->setNodeMask(isShown(link) ? ~0u : 0u);
        pathGeode->addDrawable(drawable.get());
        pathGlyphs.emplace_back(link, drawable);
    }
    if (root.valid())
        root->addChild(pathGeode.get());
}

void LinkHighlight::markPathEnds(const std::vector<PathEnd>& ends)
{
    if (!pathGeode.valid())
        return;
    for (const PathEnd& end : ends)
    {
        GlyphSizes larger;
        larger.siteRadius = end.radius * PathEndMark::sphereScale;
        pathGeode->addDrawable(createSiteSphere(end.position, end.color, larger).get());
        pathMarks.push_back(createRing(end.position, end.radius * PathEndMark::ringScale, end.ringColor));
        if (root.valid())
            root->addChild(pathMarks.back().get());
    }
}

void LinkHighlight::removePaths()
{
    if (pathGeode.valid() && root.valid())
        root->removeChild(pathGeode.get());
    for (const osg::ref_ptr<osg::Node>& mark : pathMarks)
        if (root.valid())
            root->removeChild(mark.get());
    pathMarks.clear();
    pathGeode = nullptr;
    pathGlyphs.clear();
}

void LinkHighlight::clearEmphasis()
{
    ++changes;
    removePaths();
    if (emphasisUniform.valid())
        emphasisUniform->set(0);
    emphasisedLinks.clear();
    if (motion != nullptr)
        motion->setEmphasis({});
    updateGlyphs(std::vector<bool>(glyphs.size(), true));
}

void LinkHighlight::setMotionPicture(MotionPicture* picture)
{
    motion = picture;
    if (motion == nullptr)
        return;
    motion->setFilter(filter, linkRegions);
    motion->setEmphasis(emphasisedLinks);
}

std::size_t LinkHighlight::shownCount() const
{
    return shown;
}

std::size_t LinkHighlight::linkCount() const
{
    return links.size();
}

void LinkHighlight::updateGlyphs(const std::vector<bool>& emphasised)
{
    glyphEmphasis = emphasised;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
    {
        LinkGlyph& glyph = glyphs[i];
        glyph.drawable->setNodeMask(isShown(i) ? ~0u : 0u);
        const osg::Vec4 color = emphasised[i] ? glyph.color : dimmedColor(glyph.color, dimColor);
        if (color != glyph.drawable->getColor())
            glyph.drawable->setColor(color);
    }
}
