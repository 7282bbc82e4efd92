#ifndef LINKMAP_APP_STAGE
#define LINKMAP_APP_STAGE 1

#include <app/Output.h>
#include <app/Settings.h>
#include <app/Trackball.h>
#include <network/CorrelationNetwork.h>
#include <network/InputFiles.h>
#include <network/LoadProgress.h>
#include <scene/ColorKey.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>
#include <view/ViewState.h>

#include <osg/Group>
#include <osg/ref_ptr>
#include <osgGA/TrackballManipulator>

/** What every output of a run draws from: the records, where the sites stand, the scene drawn from them, the
 *  settings, and the view's state, which the window changes. Every part must outlive the stage set from it.
 */
struct RunInput
{
    const InputFiles& files;
    const Settings& settings;
    const Output& output;
    const CorrelationNetwork& network;
    const SiteLayout& layout;
    const NetworkScene& scene;
    LabelStyle style;
    ViewState& view;
};

/** The picture as a run first shows it: the network's scene, optimised, with the chain's trace and the colour
 *  key, and the trackball that frames it. */
struct Stage
{
    osg::ref_ptr<osg::Group> top;
    osg::ref_ptr<Trackball> trackball;
    ColorKeyInfo key;
};

/** How output's labels look: its text colour, in the label font when output draws a scene. */
LabelStyle labelStyleOf(const Output& output);

/** Draws network, set out as layout, in style, when output shows a scene (an empty scene otherwise): one
 * glyph per element, or in batches when it is large and the display runs the batches' shaders; progress hears
 * how far it has come. */
NetworkScene drawNetwork(const CorrelationNetwork& network, const SiteLayout& layout, const LabelStyle& style,
                         const Output& output, LoadProgress& progress);

/** Sets the stage for input. */
Stage setStage(const RunInput& input);

/** After the trackball was sent home to frame the whole scene: moves it to the first view the settings
 * give, if any, which becomes its home. Returns how far out it may zoom, the whole scene's frame. */
float takeFirstView(osgGA::TrackballManipulator& trackball, const Settings& settings);

#endif
