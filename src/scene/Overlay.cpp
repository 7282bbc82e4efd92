#include <scene/Overlay.h>

#include <osg/Camera>
#include <osg/Geode>
#include <osgUtil/CullVisitor>

namespace
{

// Keeps an overlay's units a hundredth of the window's height, whatever the window's shape.
class FollowWindow : public osg::NodeCallback
{
public:
    explicit FollowWindow(osg::Camera* hud) : camera(hud) {}

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override
    {
        if (auto* cull = dynamic_cast<osgUtil::CullVisitor*>(visitor))
        {
            const osg::Viewport* viewport = cull->getViewport();
            if (viewport != nullptr && viewport->height() > 0)
            {
                const double width = overlayWindowHeight * viewport->width() / viewport->height();
                camera->setProjectionMatrixAsOrtho2D(0.0, width, 0.0, overlayWindowHeight);
            }
        }
        traverse(node, visitor);
    }

private:
    osg::ref_ptr<osg::Camera> camera;
};

} // namespace

osg::ref_ptr<osg::Node> createOverlay(osg::Node* content, const std::string& name)
{
    osg::StateSet* stateSet = content->getOrCreateStateSet();
    stateSet->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    // After everything else, the labels (bin 11) included.
    stateSet->setRenderBinDetails(12, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);

    // Drawn into whatever the scene is drawn into, the window or an offscreen image.
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setName(name);
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    camera->setRenderOrder(osg::Camera::NESTED_RENDER);
    camera->setAllowEventFocus(false);
    camera->setViewMatrix(osg::Matrix::identity());
    camera->setProjectionMatrixAsOrtho2D(0.0, overlayWindowHeight, 0.0, overlayWindowHeight);
    camera->addChild(content);

    osg::ref_ptr<osg::Group> overlay = new osg::Group;
    overlay->setName(name);
    overlay->setCullCallback(new FollowWindow(camera.get()));
    overlay->addChild(camera.get());
    return overlay;
}

namespace
{

// Sets text to stand on a filled box of backdrop, with a margin of half a line, when backdrop shows at all.
void standOn(osgText::Text& text, const osg::Vec4& backdrop)
{
    if (backdrop.a() <= 0.0f)
        return;
    text.setDrawMode(osgText::Text::TEXT | osgText::Text::FILLEDBOUNDINGBOX);
    text.setBoundingBoxColor(backdrop);
    text.setBoundingBoxMargin(overlayTextHeight * 0.4f);
}

} // namespace

CornerText createTextPanel(osgText::Font* font, const osg::Vec4& color, const osg::Vec4& backdrop,
                           const std::string& lines)
{
    CornerText panel;
    panel.text = new osgText::Text;
    panel.text->setFont(font);
    panel.text->setCharacterSize(overlayTextHeight * 0.8f);
    panel.text->setColor(color);
    // Halfway up the left side, where a window of any shape has room for it.
    panel.text->setAlignment(osgText::Text::LEFT_CENTER);
    panel.text->setPosition(osg::Vec3(3.0f, overlayWindowHeight * 0.5f, 0.0f));
    panel.text->setText(lines, osgText::String::ENCODING_UTF8);
    standOn(*panel.text, backdrop);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(panel.text.get());
    panel.node = createOverlay(geode.get(), "help");
    panel.node->setNodeMask(0u);
    return panel;
}

CornerText createCornerText(osgText::Font* font, const osg::Vec4& color, const osg::Vec4& backdrop)
{
    const float margin = 2.0f;
    CornerText corner;
    corner.text = new osgText::Text;
    corner.text->setDataVariance(osg::Object::DYNAMIC);
    corner.text->setFont(font);
    corner.text->setCharacterSize(overlayTextHeight);
    corner.text->setColor(color);
    corner.text->setAlignment(osgText::Text::LEFT_TOP);
    corner.text->setPosition(osg::Vec3(margin, overlayWindowHeight - margin, 0.0f));
    standOn(*corner.text, backdrop);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(corner.text.get());
    corner.node = createOverlay(geode.get(), "corner text");
    return corner;
}
