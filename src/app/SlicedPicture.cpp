#include <app/SlicedPicture.h>

#include <osg/Drawable>
#include <osg/GLExtensions>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/LightSource>
#include <osg/NodeVisitor>
#include <osg/TexEnv>
#include <osg/TexMat>

#include <algorithm>
#include <vector>

// Lets the drawables of one slice through while the full picture is drawn offscreen, counting them in the
// order they are drawn; drawn anywhere else, they all go through.
class SlicedPicture::Gate : public osg::Drawable::DrawCallback
{
public:
    void drawImplementation(osg::RenderInfo& info, const osg::Drawable* drawable) const override
    {
        if (!slicing)
        {
            drawable->drawImplementation(info);
            return;
        }
        const std::size_t index = passing.size();
        passing.push_back(drawable->getStateSet());
        if (index >= begin && index < end)
            drawable->drawImplementation(info);
    }

    // Brackets the offscreen camera's drawing.
    class Bracket : public osg::Camera::DrawCallback
    {
    public:
        Bracket(Gate* owner, bool opens) : gate(owner), opening(opens) {}

        void operator()(osg::RenderInfo& info) const override
        {
            gate->slicing = opening;
            if (opening)
            {
                gate->passing.clear();
                return;
            }
            gate->kinds.swap(gate->passing);
            gate->queue(*info.getState());
        }

    private:
        Gate* gate;
        bool opening;
    };

    std::size_t begin = 0;
    std::size_t end = 0;
    // The kinds of the drawables the last offscreen drawing went through, in order: drawables that share
    // their state are of a kind.
    std::vector<SlicePlan::Kind> kinds;

private:
    // Sends the slice just drawn on to be rasterised, and waits for the one before it. The renderer's threads
    // rasterise a slice while the next frame works out the next slice's vertices; but no more than one slice
    // is ever queued ahead of what the next frame draws, so that a frame that answers a hand waits for no
    // more than the rest of one. Where the display cannot fence its work, the slice is finished within its
    // frame.
    void queue(osg::State& state)
    {
        const osg::GLExtensions* gl = state.get<osg::GLExtensions>();
        if (gl == nullptr || gl->glFenceSync == nullptr || gl->glClientWaitSync == nullptr ||
            gl->glDeleteSync == nullptr)
        {
            static const auto finish = reinterpret_cast<void (*)()>(osg::getGLExtensionFuncPtr("glFinish"));
            if (finish != nullptr)
                finish();
            return;
        }
        static const auto flush = reinterpret_cast<void (*)()>(osg::getGLExtensionFuncPtr("glFlush"));
        const GLsync fence = gl->glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        if (flush != nullptr)
            flush();
        if (queued != nullptr)
        {
            gl->glClientWaitSync(queued, 0, GL_TIMEOUT_IGNORED);
            gl->glDeleteSync(queued);
        }
        queued = fence;
    }

    // The kinds of the drawables the drawing under way has gone through so far.
    mutable std::vector<SlicePlan::Kind> passing;
    bool slicing = false;
    // The fence after the slice last sent on, while it may still be rasterised.
    GLsync queued = nullptr;
};

namespace
{

// Puts gate on every drawable under a node. A drawable compiled into a display list would keep what one
// slice drew of it, so none is.
class GateEveryDrawable : public osg::NodeVisitor
{
public:
    explicit GateEveryDrawable(osg::Drawable::DrawCallback* callback)
        : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), gate(callback)
    {
    }

    void apply(osg::Drawable& drawable) override
    {
        drawable.setUseDisplayList(false);
        drawable.setDrawCallback(gate);
    }

private:
    osg::Drawable::DrawCallback* gate;
};

// Drawn first into an offscreen buffer, after it is cleared: makes the buffer store its rows from the top
// down, as a window's are, where the display can. Rasterised so, an edge that runs exactly through the centre
// of a pixel takes the pixel to the same side as in the window, so the buffer's picture is the window's,
// pixel for pixel. The texture matrix that shows the buffer is told which way its rows run.
class TopDownRows : public osg::Drawable
{
public:
    explicit TopDownRows(osg::TexMat* shownBy) : shown(shownBy)
    {
        setCullingActive(false);
        setUseDisplayList(false);
        osg::StateSet* state = getOrCreateStateSet();
        state->setRenderBinDetails(-100, "RenderBin");
    }

    void drawImplementation(osg::RenderInfo& info) const override
    {
        using Parameter = void (*)(GLenum, GLenum, GLint);
        static const auto parameter =
            reinterpret_cast<Parameter>(osg::getGLExtensionFuncPtr("glFramebufferParameteri"));
        const bool topDown = parameter != nullptr &&
                             osg::isGLExtensionSupported(info.getContextID(), "GL_MESA_framebuffer_flip_y");
        if (topDown)
            parameter(GL_DRAW_FRAMEBUFFER, framebufferFlipY, GL_TRUE);
        shown->setMatrix(topDown ? osg::Matrix::scale(1.0, -1.0, 1.0) * osg::Matrix::translate(0.0, 1.0, 0.0)
                                 : osg::Matrix::identity());
    }

private:
    static constexpr GLenum framebufferFlipY = 0x8BBB;
    osg::ref_ptr<osg::TexMat> shown;
};

// Whether two projections frame the same: their depth terms may differ, since the cull puts its own near and
// far planes in, which the window's camera may keep from one frame to the next.
bool sameFrustum(const osg::Matrixd& a, const osg::Matrixd& b)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (column != 2 && a(row, column) != b(row, column))
                return false;
    return a(0, 2) == b(0, 2) && a(1, 2) == b(1, 2) && a(2, 3) == b(2, 3) && a(3, 3) == b(3, 3);
}

osg::ref_ptr<osg::Texture2D> createBuffer()
{
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D;
    texture->setInternalFormat(GL_RGBA8);
    texture->setSourceFormat(GL_RGBA);
    texture->setSourceType(GL_UNSIGNED_BYTE);
    texture->setResizeNonPowerOfTwoHint(false);
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::NEAREST);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::NEAREST);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    return texture;
}

// A camera that draws content into texture, as the window's camera would into the window: the same state,
// clear colour and headlight, with the same view set for every frame.
osg::ref_ptr<osg::Camera> createOffscreenCamera(osgViewer::Viewer& viewer, osg::Texture2D* texture,
                                                osg::TexMat* shownBy)
{
    const osg::Camera* window = viewer.getCamera();
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    camera->setAllowEventFocus(false);
    camera->setClearColor(window->getClearColor());
    camera->setClearMask(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera->setStateSet(const_cast<osg::StateSet*>(window->getStateSet()));
    camera->attach(osg::Camera::COLOR_BUFFER, texture);
    // As deep as the window's depth buffer on Mesa, so that nearly equal depths compare alike.
    camera->attach(osg::Camera::DEPTH_BUFFER, GL_DEPTH_COMPONENT32);
    camera->setNodeMask(0);
    // Every other setting of the cull follows the window's camera; this one, set, no longer does.
    camera->setCullMask(~0u);

    osg::ref_ptr<osg::Geode> rows = new osg::Geode;
    rows->addDrawable(new TopDownRows(shownBy));
    camera->addChild(rows.get());

    osg::ref_ptr<osg::LightSource> headlight = new osg::LightSource;
    headlight->setReferenceFrame(osg::LightSource::ABSOLUTE_RF);
    headlight->setLight(const_cast<osg::Light*>(viewer.getLight()));
    camera->addChild(headlight.get());
    return camera;
}

// The window filled with a texture, texel for pixel, beneath the overlays.
osg::ref_ptr<osg::Camera> createWindowPicture(osg::Texture2D* texture, osg::TexMat* rows)
{
    osg::ref_ptr<osg::Geometry> quad = osg::createTexturedQuadGeometry(
        osg::Vec3(0.0f, 0.0f, 0.0f), osg::Vec3(1.0f, 0.0f, 0.0f), osg::Vec3(0.0f, 1.0f, 0.0f));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(quad.get());
    osg::StateSet* state = geode->getOrCreateStateSet();
    state->setTextureAttributeAndModes(0, texture);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    state->setMode(GL_BLEND, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    state->setTextureAttribute(0, new osg::TexEnv(osg::TexEnv::REPLACE));
    state->setTextureAttribute(0, rows);
    state->setRenderBinDetails(-10, "RenderBin");

    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    camera->setRenderOrder(osg::Camera::NESTED_RENDER);
    camera->setAllowEventFocus(false);
    camera->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    camera->setViewMatrix(osg::Matrix::identity());
    camera->setProjectionMatrixAsOrtho2D(0.0, 1.0, 0.0, 1.0);
    camera->addChild(geode.get());
    camera->setNodeMask(0);
    return camera;
}

} // namespace

// Swaps the window's buffers, or not, for a frame whose picture is not to be shown.
class SlicedPicture::Swap : public osg::GraphicsContext::SwapCallback
{
public:
    void swapBuffersImplementation(osg::GraphicsContext* context) override
    {
        if (shown)
            context->swapBuffersImplementation();
    }

    bool shown = true;
};

SlicedPicture::SlicedPicture(osgViewer::Viewer& shownIn, osg::Node* fullPicture, osg::Node* chainTrace)
    : viewer(shownIn), full(fullPicture), trace(chainTrace), gate(new Gate), swap(new Swap),
      root(new osg::Group), fullTexture(createBuffer()), plan(sliceSeconds)
{
    root->setName("sliced picture");
    GateEveryDrawable gating(gate.get());
    full->accept(gating);
    if (trace.valid())
        trace->accept(gating);

    osg::ref_ptr<osg::TexMat> rows = new osg::TexMat;
    fullCamera = createOffscreenCamera(viewer, fullTexture.get(), rows.get());
    if (trace.valid())
        fullCamera->addChild(trace.get());
    fullCamera->addChild(full.get());
    fullCamera->setInitialDrawCallback(new Gate::Bracket(gate.get(), true));
    fullCamera->setFinalDrawCallback(new Gate::Bracket(gate.get(), false));
    shown = createWindowPicture(fullTexture.get(), rows.get());
    root->addChild(fullCamera.get());
    root->addChild(shown.get());

    osg::Camera* window = viewer.getCamera();
    window->setCullMask(windowOnly);
    windowClear = window->getClearMask();
    osgViewer::Viewer::Contexts contexts;
    viewer.getContexts(contexts);
    for (osg::GraphicsContext* context : contexts)
        context->setSwapCallback(swap.get());
}

SlicedPicture::~SlicedPicture()
{
    osgViewer::Viewer::Contexts contexts;
    viewer.getContexts(contexts);
    for (osg::GraphicsContext* context : contexts)
        if (context->getSwapCallback() == swap.get())
            context->setSwapCallback(nullptr);
}

void SlicedPicture::resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    fullTexture->setTextureSize(width, height);
    fullTexture->dirtyTextureObject();
    fullCamera->setViewport(0, 0, width, height);
    // The buffers the camera drew into were of the old size.
    fullCamera->setRenderingCache(nullptr);
}

void SlicedPicture::follow(const osg::Matrixd& newView, const osg::Matrixd& newProjection, int newWidth,
                           int newHeight, std::uint64_t newRevision)
{
    if (following && newView == view && sameFrustum(newProjection, projection) && newWidth == width &&
        newHeight == height && newRevision == revision)
        return;
    if (newWidth != width || newHeight != height)
        resize(newWidth, newHeight);
    following = true;
    view = newView;
    projection = newProjection;
    revision = newRevision;
    fullCamera->setViewMatrix(view);
    fullCamera->setProjectionMatrix(projection);
    drawn = 0;
    slices = 0;
    plan.restart();
}

double SlicedPicture::fraction() const
{
    return total == 0 ? 0.0 : static_cast<double>(drawn) / static_cast<double>(total);
}

void SlicedPicture::showWindow(bool shownNow)
{
    swap->shown = shownNow;
    viewer.getCamera()->setClearMask(shownNow ? windowClear : 0);
}

void SlicedPicture::prepareSlice(bool shownNow)
{
    if (trace.valid())
        trace->setNodeMask(shownNow ? ~0u : offscreenOnly);
    fullCamera->setNodeMask(~0u);
    fullCamera->setClearMask(drawn == 0 ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : 0);
    gate->begin = drawn;
    gate->end = plan.end(drawn, gate->kinds);
    shown->setNodeMask(0);
    showWindow(shownNow);
    sliceArmed = true;
}

void SlicedPicture::prepareFinished()
{
    if (trace.valid())
        trace->setNodeMask(offscreenOnly);
    fullCamera->setNodeMask(0);
    shown->setNodeMask(~0u);
    showWindow(true);
    sliceArmed = false;
}

void SlicedPicture::hide()
{
    if (trace.valid())
        trace->setNodeMask(~0u);
    fullCamera->setNodeMask(0);
    shown->setNodeMask(0);
    showWindow(true);
    sliceArmed = false;
}

void SlicedPicture::sliceDrawn(double seconds)
{
    if (!sliceArmed)
        return;
    sliceArmed = false;
    total = gate->kinds.size();
    drawn = std::min(gate->end, total);
    ++slices;
    plan.drawn(gate->begin, drawn, gate->kinds, seconds);
}
