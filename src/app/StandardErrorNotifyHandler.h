#ifndef LINKMAP_APP_STANDARDERRORNOTIFYHANDLER
#define LINKMAP_APP_STANDARDERRORNOTIFYHANDLER 1

#include <osg/Notify>

/** Sends every message of the toolkit to standard error, keeping standard output for the program's own lines.
 */
class StandardErrorNotifyHandler : public osg::NotifyHandler
{
public:
    /** Writes message to standard error. */
    void notify(osg::NotifySeverity severity, const char* message) override;
};

#endif
