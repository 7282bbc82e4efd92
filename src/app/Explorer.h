#ifndef LINKMAP_APP_EXPLORER
#define LINKMAP_APP_EXPLORER 1

#include <app/PathFinder.h>
#include <app/SiteFinder.h>
#include <app/ViewState.h>
#include <network/CorrelationNetwork.h>
#include <network/InputFiles.h>
#include <network/RegionKind.h>
#include <network/RegionLists.h>
#include <scene/LinkHighlight.h>
#include <scene/MotionPicture.h>
#include <scene/NetworkScene.h>
#include <scene/Overlay.h>
#include <scene/PickIndex.h>
#include <scene/SiteLayout.h>

#include <osg/ApplicationUsage>
#include <osg/Camera>
#include <osg/Vec3d>
#include <osg/Vec4>
#include <osgGA/GUIEventHandler>
#include <osgGA/TrackballManipulator>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/** A ray from a camera's eye through a point of its viewport, and the angle one pixel covers there. */
struct PickRay
{
    osg::Vec3d origin;
    osg::Vec3d direction;
    double pixelAngle = 0.0;
};

/** The ray from camera's eye through the point (x, y) of its viewport, each from -1 to 1 across it. */
PickRay computePickRay(const osg::Camera& camera, double x, double y);

/** Adds the window's keys and mouse bindings for exploring a network to usage. */
void describeExplorerBindings(osg::ApplicationUsage& usage);

/** What the window explores: the network, where its sites stand, how it is drawn, the files it came from and
 *  how its labels look. Every part must outlive the explorer. */
struct ExploredNetwork
{
    const CorrelationNetwork& network;
    const SiteLayout& layout;
    const NetworkScene& scene;
    const InputFiles& files;
    LabelStyle style;
};

/** The window's ways into a network. A click (no drag) on a sphere or a link describes it in the top left
 *  corner and dims the links but its own until the next click; a double click on a sphere makes it the
 *  centre the trackball turns about; + and - raise and lower the cutoff on |weight| below which links are
 *  hidden; 1, 2 and 3 show only the links that touch a positive, negative or accelerated site, 0 all again;
 *  g shows the network of communities over the sites faded, and puts it away;
 *  / opens a prompt that finds a site by name or number, picks it and centres it. While the prompt is open it
 *  takes every key; Escape closes it, and quits when it is closed. */
class Explorer : public osgGA::GUIEventHandler
{
public:
    /** Explores a network, whose scene has been optimised, from view, which it changes as clicks and keys
     *  ask and which must outlive it; the scene shows view's cutoff, filter and pick from the start. Double
     *  clicks move trackball's centre; dimmed links fade towards background. The picture drawn while the view
     *  moves, if any, shows the same cutoff and emphasis. */
    Explorer(const ExploredNetwork& explored, ViewState& view, osgGA::TrackballManipulator* trackball,
             const osg::Vec4& background, MotionPicture* motion = nullptr);

    /** Makes motion, or nothing, the picture drawn while the view moves, with the cutoff and emphasis set so
     *  far. */
    void setMotionPicture(MotionPicture* motion);

    /** Grows whenever the network's picture changes its look: the cutoff, the region filter or the pick. */
    std::uint64_t pictureRevision() const
    {
        return highlight.revision();
    }

    /** The corner text's node, to be added to the scene. */
    osg::Node* getCornerNode();

    /** The node under which the network of communities is shown, to be added to the scene. */
    osg::Node* getCommunityNode();

    /** Shows the network of the communities over the sites faded, or puts it away again, as g does: a sphere
     *  each community at the centre of its sites, joined as the links shown join them. Only a figure whose
     *  sites have communities shows it; false, and the corner says why, otherwise. */
    bool toggleCommunities();

    /** Whether the network of communities is shown. */
    bool showsCommunities() const
    {
        return community != nullptr && community->shown;
    }

    /** The lines of the corner text. */
    std::string getCornerText() const;

    /** Selects what the ray meets, as a click does: a site or a link is described and emphasised; nothing
     *  clears both. */
    Pick pickAt(const PickRay& ray);

    /** Makes the site the ray meets the trackball's centre, as a double click does; false when it meets no
     *  site. */
    bool centreAt(const PickRay& ray);

    /** Selects the site drawn for names[site], as a click on it does. */
    void pickSite(std::size_t site);

    /** Shows only the links that touch a site of kind's region, as the cutoff lets them; RegionKind::None
     *  shows them all. A kind whose list was not given changes nothing, and the corner says so; false then.
     */
    bool setRegionFilter(RegionKind kind);

    /** The region whose links are shown, or RegionKind::None. */
    RegionKind getRegionFilter() const;

    /** Whether the link at place link in the log is shown. */
    bool isShown(std::size_t link) const;

    /** Hides the links whose |weight| is below cutoff, which is held within 0 to 1. */
    void setCutoff(float cutoff);

    /** Moves the cutoff to the next step of 0.05 up or down. */
    void raiseCutoff();
    void lowerCutoff();

    /** The cutoff now in force. */
    float getCutoff() const;

    /** Adds a line of notice at the end of the corner text, or none when empty. */
    void setNotice(const std::string& text);

    /** Asks for the paths from the site picked to site, found beside the frame loop; nothing without a site
     *  picked, or for the site picked itself. Shift and a click on a site ask so; Escape puts them away. */
    void findPathsTo(std::size_t site);

    /** Takes the paths found, once the search is over, into the view and the picture, and lists them on
     *  standard output: true when the picture or the corner changed, and a frame should show it. The frame
     *  loop asks at every pass. A change of the cutoff or the region filter asks for the paths again, over
     * the links then shown; until they are found, the corner says they are being looked for, and no paths are
     *  shown. */
    bool collectPaths();

    /** Shows the next or the previous path alone (by ] and [), or all of them again (by \). */
    void showNextPath(int step);
    void showAllPaths();

    /** Forgets the paths, and any search under way, and shows the pick again. */
    void clearPaths();

    bool handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action) override;
    void getUsage(osg::ApplicationUsage& usage) const override;

protected:
    ~Explorer() override;

private:
    /** Builds the pick index and every site's list of links, at the first pick. */
    void prepare();

    /** What the ray meets among the links shown and the sites. */
    Pick under(const PickRay& ray);

    /** Takes a key while the find prompt is open. */
    void findKey(int key);

    /** Takes the press, drag and release of a button; the release of a click picks or centres. */
    void press(const osgGA::GUIEventAdapter& event);
    void release(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action);

    /** Takes a key pressed while no prompt is open; false when it is not the explorer's. */
    bool keyDown(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action);

    void updateText();

    /** Shows view's paths in the picture: their links bright and thicker, the rest dimmed; without paths, the
     *  pick as it was. */
    void applyPaths();

    /** Selects the link at place link in the log, as a click on it does. */
    void pickLink(std::size_t link);

    /** Asks for the paths between ends over the links shown now, found beside the frame loop; until they are,
     *  no paths are shown. */
    void requestPaths(std::pair<std::uint32_t, std::uint32_t> ends);

    /** Asks for the paths again when the links shown are no longer those they were asked over: paths are
     *  always those of the links shown. */
    void followFilter();

    /** Forgets the paths and any search asked for, leaving the picture as it is. */
    void forgetPaths();

    /** Makes the network of communities shown again over the links shown, when they have changed. */
    void followCommunities();

    /** Fades every site, link and label of the network, under the network of communities. */
    void fadeUnderCommunities();

    const CorrelationNetwork& network;
    const SiteLayout& layout;
    InputFiles files;
    ViewState& view;
    osg::ref_ptr<osgGA::TrackballManipulator> trackball;
    /** The colour of the rings that mark a figure's path ends: the labels'. */
    osg::Vec4 ringColor;
    LinkHighlight highlight;
    CornerText corner;
    /** What chooses a figure's labels, told which sites to keep labelled first; else null. */
    osg::ref_ptr<LabelThinning> labels;
    /** The network of communities shown over the sites, made at the first g: its records, layout and scene.
     */
    struct CommunityPicture
    {
        CorrelationNetwork network;
        SiteLayout layout;
        NetworkScene scene;
        /** The links shown when it was made, which it joins the communities by. */
        LinkFilter filter;
        bool shown = false;
    };
    std::unique_ptr<CommunityPicture> community;
    osg::ref_ptr<osg::Group> communityNode;
    LabelStyle labelStyle;

    /** What dims a figure's spheres of the sites on no path shown; else empty. */
    std::function<void(const std::vector<bool>&)> dimSites;

    /** Built at the first pick: what a ray meets, and every site's links. */
    std::unique_ptr<PickIndex> index;
    SiteLinks siteLinks;

    SiteFinder finder;

    /** The search for paths beside the frame loop, and the filter of the links the paths shown or asked for
     *  were asked over. */
    PathFinder pathFinder;
    LinkFilter pathFilter;
    /** The paths were asked for by a click, not by the run's settings. */
    bool pathsFromWindow = false;
    std::string notice;
    /** What the explorer itself has to say, until the next key or click. */
    std::string message;

    // A press of the left button, and whether the pointer has since moved too far for a click.
    bool pressed = false;
    bool dragged = false;
    float pressX = 0.0f;
    float pressY = 0.0f;

    // The last click, when a second one may still make it a double click.
    bool clicked = false;
    double clickTime = 0.0;
    float clickX = 0.0f;
    float clickY = 0.0f;
};

#endif
