#include <app/Display>

#include <osg/DisplaySettings>
#include <osg/GLExtensions>
#include <osg/GraphicsContext>

#include <cstdio>

bool openWindow(osgViewer::Viewer& viewer)
{
    const int samples = static_cast<int>(osg::DisplaySettings::instance()->getNumMultiSamples());
    viewer.realize();
    if (!viewer.isRealized() && samples > 0)
    {
        std::fprintf(stderr,
                     "Warning: the display offers no window with %d samples; the window is drawn without "
                     "multisampling\n",
                     samples);
        osg::DisplaySettings::instance()->setNumMultiSamples(0);
        // The failed attempt ended the run; the second one starts it again.
        viewer.setDone(false);
        viewer.realize();
    }
    return viewer.isRealized();
}

bool displayRunsShaders()
{
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->readDISPLAY();
    traits->setUndefinedScreenDetailsToDefaultScreen();
    traits->width = 1;
    traits->height = 1;
    traits->pbuffer = true;
    traits->doubleBuffer = false;
    osg::ref_ptr<osg::GraphicsContext> context = osg::GraphicsContext::createGraphicsContext(traits.get());
    if (!context.valid() || !context->realize())
        return true;
    bool usable = true;
    if (context->makeCurrent())
    {
        const unsigned int contextID = context->getState()->getContextID();
        const osg::GLExtensions* extensions = osg::GLExtensions::Get(contextID, true);
        // Links are drawn as instances of one cylinder front, so the display must also draw instances.
        usable = extensions != nullptr && extensions->isGlslSupported &&
                 extensions->glslLanguageVersion >= 1.2f && extensions->glVertexAttribDivisor != nullptr &&
                 extensions->glDrawElementsInstanced != nullptr;
        // The window's context may take the same number; it reads its own extensions.
        osg::GLExtensions::Set(contextID, nullptr);
        context->releaseContext();
    }
    context->close();
    return usable;
}
