#include <app/FigurePage>

#include <osg/GraphicsContext>

#include <cstdio>
#include <cstdlib>

void readPageSize(const char* windowSetting, int& width, int& height)
{
    int x = 0;
    int y = 0;
    if (windowSetting != nullptr && std::sscanf(windowSetting, "%d %d %d %d", &x, &y, &width, &height) == 4 &&
        width > 0 && height > 0)
        return;
    // Without a display there is no screen to ask.
    const char* display = std::getenv("DISPLAY");
    unsigned int screenWidth = 0;
    unsigned int screenHeight = 0;
    osg::GraphicsContext::ScreenIdentifier screen;
    screen.readDISPLAY();
    screen.setUndefinedScreenDetailsToDefaultScreen();
    osg::GraphicsContext::WindowingSystemInterface* system =
        display != nullptr && *display != '\0' ? osg::GraphicsContext::getWindowingSystemInterface()
                                               : nullptr;
    if (system != nullptr)
        system->getScreenResolution(screen, screenWidth, screenHeight);
    width = screenWidth > 0 && screenHeight > 0 ? static_cast<int>(screenWidth) : 1280;
    height = screenWidth > 0 && screenHeight > 0 ? static_cast<int>(screenHeight) : 1024;
}

void shapeLikeWindow(osg::Camera& camera, int width, int height)
{
    camera.setViewport(0, 0, width, height);
    // The viewer keeps its camera's field of view and stretches the projection to the window's shape.
    double fieldOfView = 0.0;
    double aspectRatio = 0.0;
    double near = 0.0;
    double far = 0.0;
    if (!camera.getProjectionMatrixAsPerspective(fieldOfView, aspectRatio, near, far))
        return;
    const double change = (static_cast<double>(width) / static_cast<double>(height)) / aspectRatio;
    if (change != 1.0)
        camera.getProjectionMatrix() *= osg::Matrix::scale(1.0 / change, 1.0, 1.0);
}

FigureContent describeFigure(const CorrelationNetwork& network, const Explorer& explorer,
                             const osg::Vec4& background, const ColorKeyInfo* key)
{
    FigureContent content;
    content.sites = network.sitePositions();
    content.kinds = network.siteKinds();
    content.names = network.names;
    content.links = network.siteLinks;
    content.filter =
        LinkFilter{explorer.getCutoff(), regionBit(static_cast<int>(explorer.getRegionFilter()))};
    content.linkRegions = network.linkRegions;
    content.emphasised = explorer.emphasisedLinks();
    content.background = background;
    content.textColor = network.textColor;
    content.colorKey = key != nullptr;
    if (key != nullptr)
        content.keyRegions = key->regions;
    content.cornerText = explorer.getCornerText();
    return content;
}
