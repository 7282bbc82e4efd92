#include <app/Display.h>
#include <app/DistanceCeiling.h>
#include <app/FigurePage.h>
#include <network/LineReader.h>
#include <scene/MoleculeFiles.h>
#include <scene/SceneFile.h>
#include <scene/WebPage.h>
#include <view/ViewModel.h>

#include <osg/View>
#include <osgGA/GUIActionAdapter>
#include <osgGA/GUIEventAdapter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

void readPageSize(const char* windowSetting, int& width, int& height)
{
    WindowPlace place;
    if (readWindowSetting(windowSetting, place) || screenSize(0, place.width, place.height))
    {
        width = place.width;
        height = place.height;
        return;
    }
    // Without a display there is no screen to ask.
    width = 1280;
    height = 1024;
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

FigureContent describeFigure(const RunInput& input, const ColorKeyInfo* key)
{
    const ViewState& view = input.view;
    const SiteLinks siteLinks = view.pick.kind == Pick::Kind::Site
                                    ? SiteLinks(input.network.links, input.network.siteCount())
                                    : SiteLinks();
    const Presentation shown =
        present(view, DescribedNetwork{input.network, input.layout.residues, input.files, siteLinks});
    FigureContent content;
    content.sites = input.layout.positions;
    content.kinds = input.network.regions;
    content.names = input.network.names;
    content.glyphs = input.layout.glyphs;
    content.colors = input.layout.colors;
    content.scales = input.layout.scales;
    // A figure marks the paths' two ends: larger, and ringed.
    if (input.layout.figure)
        content.pathEnds = shown.pathEnds;
    if (!content.colors.empty())
        content.communities = input.network.communities;
    content.trace = input.layout.trace;
    content.traceColors = traceColors(input.layout);
    content.links = input.network.links;
    if (input.network.exactWeights.size() == input.network.links.size())
        content.exactWeights = input.network.exactWeights;
    content.filter = shown.filter;
    content.linkRegions = input.network.linkRegions;
    content.emphasised = shown.emphasised;
    content.linkThickness = shown.thickness;
    content.pathCounts = pathLinkCounts(view, input.network.links.size());
    if (input.layout.figure)
    {
        content.figureStyle = true;
        content.labelPreference = LabelPreference{centralityRanks(input.network), shown.favoured};
        content.dimmedSites = shown.dimmedSites;
        content.traceDimmed = shown.traceDimmed;
    }
    content.background = input.output.background;
    content.textColor = input.style.textColor;
    content.colorKey = key != nullptr;
    if (key != nullptr)
    {
        content.keyRegions = key->regions;
        content.keyCommunities = key->communities;
        content.keySizeNote = key->sizeNote;
        content.keyWeights = key->weights;
    }
    for (const std::string& line : shown.corner)
        content.cornerText += (content.cornerText.empty() ? "" : "\n") + line;
    return content;
}

namespace
{

// Stands in for a viewer where the trackball is sent home: it offers the view whose camera frames the scene,
// and takes no requests, as nothing is drawn.
class FigureAction : public osgGA::GUIActionAdapter
{
public:
    explicit FigureAction(osg::View* figureView) : view(figureView) {}

    osg::View* asView() override
    {
        return view.get();
    }
    void requestRedraw() override {}
    void requestContinuousUpdate(bool) override {}
    void requestWarpPointer(float, float) override {}

private:
    osg::ref_ptr<osg::View> view;
};

} // namespace

namespace
{

// The first view of a window of the page's size: the camera framing the whole scene as the window's first
// view does, or as the settings place it; where its eye is, the point it turns round, and which way is up.
struct FirstView
{
    FigureView figure;
    osg::Vec3d eye;
    osg::Vec3d center;
    osg::Vec3d up;
    /** How far from the point it turns round the eye may go: the window's zoom stops there. */
    double ceiling = 0.0;

    /** The camera of this view, for a page or a scene. */
    SceneCamera camera() const
    {
        SceneCamera lens{eye, center, up};
        figure.projection.getPerspective(lens.fieldOfView, lens.aspectRatio, lens.near, lens.far);
        return lens;
    }
};

FirstView firstView(const RunInput& input, Stage& stage)
{
    int width = 0;
    int height = 0;
    readPageSize(std::getenv("OSG_WINDOW"), width, height);
    osg::ref_ptr<osg::View> view = new osg::View;
    osg::Camera& camera = *view->getCamera();
    shapeLikeWindow(camera, width, height);
    stage.trackball->setNode(stage.top.get());
    FigureAction action(view.get());
    osg::ref_ptr<osgGA::GUIEventAdapter> event = new osgGA::GUIEventAdapter;
    stage.trackball->home(*event, action);
    const float ceiling = takeFirstView(*stage.trackball, input.settings);
    limitDistance(*stage.trackball, ceiling);
    FirstView first;
    first.ceiling = ceiling;
    first.figure =
        FigureView{stage.trackball->getInverseMatrix(), camera.getProjectionMatrix(), width, height};
    stage.trackball->getTransformation(first.eye, first.center, first.up);
    return first;
}

} // namespace

void writeFigure(const RunInput& input, Stage stage)
{
    findViewPaths(input.view, input.network);
    writeVectorFigure(input.output.file, input.output.figureFormat,
                      describeFigure(input, input.settings.colorKey ? &stage.key : nullptr),
                      firstView(input, stage).figure);
}

void writePage(const RunInput& input, Stage stage)
{
    findViewPaths(input.view, input.network);
    const FirstView first = firstView(input, stage);
    PageContent page;
    page.figure = describeFigure(input, input.settings.colorKey ? &stage.key : nullptr);
    // The page puts its paths away at a click, and its spheres stay as first drawn: no marks of their ends.
    page.figure.pathEnds.clear();
    page.title = "linkmap: " + (input.files.groupFile == "-"
                                    ? inputName(input.files.groupFile)
                                    : std::filesystem::path(input.files.groupFile).filename().string());
    page.residues = input.layout.residues;
    const SiteLinks siteLinks(input.network.links, input.network.siteCount());
    for (std::size_t site = 0; site < input.network.siteCount(); ++site)
        page.strongestLinks.push_back(strongestLink(site, input.network, siteLinks));
    if (!input.network.communities.empty() || !input.network.betweenness.empty() ||
        !input.network.statistics.empty())
        for (std::size_t site = 0; site < input.network.siteCount(); ++site)
            page.measures.push_back(describeMeasures(input.network, site));
    for (const RegionKindEntry& entry : regionKinds)
        page.listNames.push_back(std::filesystem::path(input.files.*entry.listFile).filename().string());
    page.cutoff = input.view.cutoff;
    page.cutoffTop = input.view.cutoffTop;
    page.weakest = input.view.weakest;
    page.region = input.view.region;
    page.pick = input.view.pick;
    page.pathLines = describeViewPaths(input.view, input.network);
    page.caption = input.network.caption;
    if (input.view.paths)
    {
        const PathSearch& found = *input.view.paths;
        for (std::size_t path = 0; path < found.paths.size(); ++path)
            page.paths.push_back(
                {describePath(found, path, input.network), found.paths[path].links, found.paths[path].sites});
        page.pathsFoundAt = describePathsFoundAt(linkFilterOf(input.view), input.view.cutoffTop);
        ViewState alone = input.view;
        alone.onePath = 0;
        const std::vector<float> thickness = linkThickness(alone);
        if (!found.paths.empty() && !found.paths[0].links.empty() &&
            found.paths[0].links[0] < thickness.size())
            page.onePathThickness = thickness[found.paths[0].links[0]];
    }
    page.camera = first.camera();
    page.framed = !input.settings.viewGiven;
    page.farthest = first.ceiling;
    writeWebPage(page, input.output.file);
}

void writeScene(const RunInput& input, Stage stage)
{
    findViewPaths(input.view, input.network);
    // The scene opens on the page's first view.
    const SceneCamera camera = firstView(input, stage).camera();
    writeSceneFile(describeFigure(input, nullptr), input.output.file, camera, input.settings.sceneLabels);
}

void writePymolScript(const RunInput& input, Stage stage)
{
    findViewPaths(input.view, input.network);
    PymolContent content;
    content.figure = describeFigure(input, nullptr);
    const FirstView first = firstView(input, stage);
    content.camera = first.camera();
    content.width = first.figure.width;
    content.height = first.figure.height;
    content.chain = &*input.settings.structure;
    content.residueOf = input.layout.residueOf;
    content.communities = input.network.communities;
    writePymolScript(content, input.output.file);
}
