#include <app/StandardErrorNotifyHandler.h>

#include <cstdio>

void StandardErrorNotifyHandler::notify(osg::NotifySeverity, const char* message)
{
    std::fputs(message, stderr);
}
