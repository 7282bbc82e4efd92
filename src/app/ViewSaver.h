#ifndef LINKMAP_APP_VIEWSAVER
#define LINKMAP_APP_VIEWSAVER 1

#include <app/SavedImage.h>

#include <osg/Matrixd>
#include <osgGA/GUIEventHandler>
#include <osgGA/OrbitManipulator>
#include <osgViewer/Viewer>

#include <functional>
#include <string>

/** How long the corner tells what the c key saved, in seconds. */
constexpr double noticeSeconds = 4.0;

/** The first name linkmap-N.png of folder, N from 1 up, beside which no linkmap-N.view stands either. */
std::string nextFreeImageName(const std::string& folder);

/** The c key of the window: saves the full picture the window shows, at its size and with the samples asked
 *  for, as linkmap-N.png in the current folder, the first number free, and its view beside it as
 *  linkmap-N.view. The frame loop takes the request and draws the frame; the corner and standard error tell
 *  what was saved, or why nothing was. */
class ViewSaver : public osgGA::GUIEventHandler
{
public:
    /** Saves what viewer draws, in folder; tell shows a notice in the window's corner, or none when empty. */
    ViewSaver(osgViewer::Viewer& viewer, std::function<void(const std::string&)> tell,
              const std::string& folder = ".");

    /** Whether the c key was pressed since the last shot; the request is taken. */
    bool takeRequest();

    /** Before the frame to be saved: turns trackball to the view its text makes, clears the notice, and keeps
     *  the frame about to be drawn. */
    void beginShot(osgGA::OrbitManipulator& trackball);

    /** After it: writes the image and the view, and tells what came of it. Returns the image's name, or empty
     *  when nothing was saved. */
    std::string endShot(double now);

    /** Clears a notice shown long enough by now; true when it did. */
    bool expireNotice(double now);

    bool handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter& action) override;

protected:
    ~ViewSaver() override;

private:
    SavedImage image;
    std::function<void(const std::string&)> tell;
    std::string folder;
    std::string viewText;
    osg::Matrixd viewSettled;
    bool requested = false;
    double noticeUntil = -1.0;
};

#endif
