#ifndef LINKMAP_APP_EXPLORER
#define LINKMAP_APP_EXPLORER 1

#include <app/PathFinder.h>
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
#include <view/ViewModel.h>
#include <view/ViewState.h>

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
#include <tuple>
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

/** The window's keys and gestures, each with what it does: the table of keys, in its order, then the
 *  trackball's buttons and the toolkit's keys the window keeps. */
std::vector<std::pair<std::string, std::string>> windowKeys();

/** The window's keys as lines of at most width characters: each key, and its help wrapped beside it. */
std::string describeWindowKeys(std::size_t width);

/** Why the window cannot show the network of communities over network's sites laid out as layout; empty when
 *  it can: over a figure of sites whose communities were found. */
std::string communityOverlayRefusal(const CorrelationNetwork& network, const SiteLayout& layout);

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

/** The window's front end to the view model: it turns clicks and keys into the model's commands, searches for
 *  the paths the model asks for beside the frame loop, and shows what the model presents: the links shown
 *  and emphasised, the sites dimmed, the labels favoured, the corner's lines and the network of communities.
 *  A click (no drag) picks; a double click turns the view about a site; the keys are those of the table of
 *  keys (keyBindings). */
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

    /** The help's node, to be added to the scene: the table of keys on a backdrop, shown by h and put away
     *  by h or Escape. */
    osg::Node* getHelpNode();

    /** Whether the help shows. */
    bool showsHelp() const;

    /** Runs command, as a click or a key asks it, and shows the view it leaves. */
    Effect runCommand(const ViewCommand& command);

    /** Shows the network of the communities over the sites faded, or puts it away again, as g does; false,
     *  and the corner says why, when the figure cannot show it. */
    bool toggleCommunities();

    /** Whether the network of communities is shown. */
    bool showsCommunities() const
    {
        return model.state().overlay;
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

    /** Shows only the links that touch a site of kind's region, as a region key does; false, and the corner
     *  says why, when kind's list was not given. */
    bool setRegionFilter(RegionKind kind);

    /** The region whose links are shown, or RegionKind::None. */
    RegionKind getRegionFilter() const;

    /** Whether the link at place link in the log is shown. */
    bool isShown(std::size_t link) const;

    /** Moves the cutoff to the step nearest cutoff, as the page's slider does. */
    void setCutoff(float cutoff);

    /** Moves the cutoff a step up or down, as + and - do. */
    void raiseCutoff();
    void lowerCutoff();

    /** The cutoff now in force. */
    float getCutoff() const;

    /** Adds a line of notice at the end of the corner text, or none when empty. */
    void setNotice(const std::string& text);

    /** Asks for the paths from the site picked to site, as Shift and a click on it do. */
    void findPathsTo(std::size_t site);

    /** Takes the paths found, once the search is over, into the view and the picture, and lists them on
     *  standard output: true when the picture or the corner changed, and a frame should show it. The frame
     *  loop asks at every pass. */
    bool collectPaths();

    /** Shows the next or the previous path alone (by ] and [), or all of them again (by \). */
    void showNextPath(int step);
    void showAllPaths();

    bool handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action) override;

protected:
    ~Explorer() override;

private:
    /** Builds the pick index, at the first pick. */
    void prepare();

    /** What the ray meets among the links shown and the sites. */
    Pick under(const PickRay& ray);

    /** Takes the press, drag and release of a button; the release of a click picks or centres. */
    void press(const osgGA::GUIEventAdapter& event);
    void release(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action);

    /** Takes a key; false when it is not the explorer's. */
    bool keyDown(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action);

    /** Does what a command's effect asks of the window beyond its view. */
    void act(const Effect& effect, osgGA::GUIActionAdapter* action);

    /** Shows what the model presents now, and asks for the paths it wants found. */
    void show();

    /** Shows the network of communities over the links shown, or puts it away. */
    void showCommunities(bool shown, const LinkFilter& filter);

    const CorrelationNetwork& network;
    const SiteLayout& layout;
    InputFiles files;
    ViewModel model;
    osg::ref_ptr<osgGA::TrackballManipulator> trackball;
    /** The colour of the rings that mark a figure's path ends: the labels'. */
    osg::Vec4 ringColor;
    LinkHighlight highlight;
    CornerText corner;
    CornerText help;
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
    };
    std::unique_ptr<CommunityPicture> community;
    osg::ref_ptr<osg::Group> communityNode;
    LabelStyle labelStyle;

    /** What dims a figure's spheres of the sites on no path shown, and its trace while they are dimmed; else
     *  empty. */
    std::function<void(const std::vector<bool>&)> dimSites;
    std::function<void(bool)> dimTrace;

    /** Built at the first pick: what a ray meets. */
    std::unique_ptr<PickIndex> index;

    /** The search for paths beside the frame loop, and the model's search it answers. */
    PathFinder pathFinder;
    std::uint64_t searchAsked = 0;

    /** What the picture shows now: its filter, and what its emphasis was made of. */
    std::optional<LinkFilter> filterShown;
    std::optional<std::tuple<Pick, std::size_t, std::uint64_t, bool, std::optional<std::size_t>, bool>>
        emphasisShown;

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
