#ifndef LINKMAP_APP_STAGE
#define LINKMAP_APP_STAGE 1

#include <app/Explorer.h>
#include <app/Output.h>
#include <app/Settings.h>
#include <app/Trackball.h>
#include <network/CorrelationNetwork.h>
#include <network/InputFiles.h>
#include <scene/ColorKey.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>

#include <osg/Group>
#include <osg/ref_ptr>
#include <osgGA/TrackballManipulator>

/** What every output of a run draws from: the records, where the sites stand, the scene drawn from them, and
 *  the settings. Every part must outlive the stage set from it. */
struct RunInput
{
    const InputFiles& files;
    const Settings& settings;
    const Output& output;
    const CorrelationNetwork& network;
    const SiteLayout& layout;
    const NetworkScene& scene;
    LabelStyle style;
};

/** The picture as a run first shows it: the network's scene, optimised, with the colour key and the corner
 *  text over it; the explorer that sets the cutoff, the filter and the pick; and the trackball. */
struct Stage
{
    osg::ref_ptr<osg::Group> top;
    osg::ref_ptr<Explorer> explorer;
    osg::ref_ptr<Trackball> trackball;
    ColorKeyInfo key;
};

/** Sets the stage for input, with the cutoff, the region filter and the pick of the settings; false, after
 *  one message on standard output, when LINKMAP_SELECT names no site. */
bool setStage(const RunInput& input, Stage& stage);

/** After the trackball was sent home to frame the whole scene: moves it to the view the settings give, if
 *  any, which becomes its home. Returns how far out it may zoom, the whole scene's frame. */
float takeFirstView(osgGA::TrackballManipulator& trackball, const Settings& settings);

#endif
