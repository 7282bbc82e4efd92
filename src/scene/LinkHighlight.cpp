#include <scene/GlyphStyle>
#include <scene/LinkHighlight>

#include <algorithm>

namespace
{

// The state of the batched links under root, which carries their cutoff and emphasis; null when the links
// are drawn one glyph each.
osg::StateSet* findBatchedLinks(osg::Group* root)
{
    for (unsigned int i = 0; i < root->getNumChildren(); ++i)
    {
        osg::Group* scene = root->getChild(i)->asGroup();
        if (scene == nullptr)
            continue;
        for (unsigned int j = 0; j < scene->getNumChildren(); ++j)
        {
            osg::StateSet* state = scene->getChild(j)->getStateSet();
            if (state != nullptr && state->getUniform("cutoff") != nullptr)
                return state;
        }
    }
    return nullptr;
}

} // namespace

LinkHighlight::LinkHighlight(osg::Group* root, osg::Geode* linkGeode, const std::vector<SiteLink>& siteLinks,
                             const osg::Vec4& background, MotionPicture* motionPicture)
    : links(siteLinks), shown(siteLinks.size()), dimColor(background), motion(motionPicture)
{
    if (osg::StateSet* batched = findBatchedLinks(root))
    {
        cutoffUniform = batched->getUniform("cutoff");
        emphasisUniform = batched->getUniform("emphasis");
        emphasisAUniform = batched->getUniform("emphasisA");
        emphasisBUniform = batched->getUniform("emphasisB");
        batched->getUniform("dimColor")->set(background);
        return;
    }
    // One drawable per link, in the order of the log.
    if (linkGeode->getNumDrawables() != links.size())
        return;
    for (unsigned int i = 0; i < linkGeode->getNumDrawables(); ++i)
        if (auto* drawable = dynamic_cast<osg::ShapeDrawable*>(linkGeode->getDrawable(i)))
            glyphs.push_back(LinkGlyph{drawable, drawable->getColor()});
    if (glyphs.size() != links.size())
        glyphs.clear();
    glyphEmphasis.assign(glyphs.size(), true);
}

void LinkHighlight::setCutoff(float value)
{
    cutoff = value;
    shown = static_cast<std::size_t>(std::count_if(
        links.begin(), links.end(), [value](const SiteLink& link) { return !link.isBelow(value); }));
    if (cutoffUniform.valid())
        cutoffUniform->set(value);
    if (motion != nullptr)
        motion->setCutoff(value);
    updateGlyphs(glyphEmphasis);
}

void LinkHighlight::emphasiseSite(const osg::Vec3& position, const std::vector<std::size_t>& siteLinks)
{
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

void LinkHighlight::clearEmphasis()
{
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
    motion->setCutoff(cutoff);
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
        glyph.drawable->setNodeMask(links[i].isBelow(cutoff) ? 0u : ~0u);
        const osg::Vec4 color = emphasised[i] ? glyph.color : dimmedColor(glyph.color, dimColor);
        if (color != glyph.drawable->getColor())
            glyph.drawable->setColor(color);
    }
}
