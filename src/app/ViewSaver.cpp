#include <app/ViewFile.h>
#include <app/ViewSaver.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace
{

// The key that saves the view.
const int saveKey = 'c';

std::string numbered(const std::string& folder, unsigned number, const char* extension)
{
    return (std::filesystem::path(folder) / ("linkmap-" + std::to_string(number) + extension)).string();
}

} // namespace

std::string nextFreeImageName(const std::string& folder)
{
    std::error_code failed;
    for (unsigned number = 1;; ++number)
    {
        const std::string image = numbered(folder, number, ".png");
        if (!std::filesystem::exists(image, failed) &&
            !std::filesystem::exists(numbered(folder, number, ".view"), failed))
            return image;
    }
}

ViewSaver::ViewSaver(osgViewer::Viewer& viewer, std::function<void(const std::string&)> notice,
                     const std::string& where)
    : image(viewer, std::string(), SavedImage::Frames::Requested), tell(std::move(notice)), folder(where)
{
}

ViewSaver::~ViewSaver() = default;

bool ViewSaver::takeRequest()
{
    const bool taken = requested;
    requested = false;
    return taken;
}

void ViewSaver::beginShot(osgGA::OrbitManipulator& trackball)
{
    // A view settled before and not moved since keeps its text: the same view, the same file.
    if (viewText.empty() || trackball.getInverseMatrix() != viewSettled)
        viewText = settleView(trackball);
    viewSettled = trackball.getInverseMatrix();
    tell(std::string());
    noticeUntil = -1.0;
    image.keepFrames(true);
}

std::string ViewSaver::endShot(double now)
{
    image.keepFrames(false);
    // The view file is made first and only if it is new, which keeps the number for this shot whatever else
    // saves into the folder meanwhile.
    std::string imageName;
    std::string viewName;
    std::FILE* viewFile = nullptr;
    int error = 0;
    for (int attempt = 0; attempt < 100 && viewFile == nullptr; ++attempt)
    {
        imageName = nextFreeImageName(folder);
        viewName = imageName.substr(0, imageName.size() - 4) + ".view";
        viewFile = std::fopen(viewName.c_str(), "wx");
        error = errno;
        if (viewFile == nullptr && error != EEXIST)
            break;
    }
    const std::string shown = std::filesystem::path(imageName).filename().string();
    std::string notice;
    bool saved = false;
    if (viewFile == nullptr)
        notice = "Could not save " + shown + ": " + std::strerror(error);
    else
    {
        const bool viewWritten = std::fputs(viewText.c_str(), viewFile) >= 0;
        const bool viewClosed = std::fclose(viewFile) == 0;
        saved = viewWritten && viewClosed && image.write(imageName);
        if (!saved)
        {
            std::remove(viewName.c_str());
            notice = "Could not save " + shown + " in " + std::filesystem::absolute(folder).string();
        }
        else
            notice = "Saved " + shown;
    }
    std::fprintf(stderr, "%s\n", notice.c_str());
    tell(notice);
    noticeUntil = now + noticeSeconds;
    return saved ? imageName : std::string();
}

bool ViewSaver::expireNotice(double now)
{
    if (noticeUntil < 0.0 || now < noticeUntil)
        return false;
    noticeUntil = -1.0;
    tell(std::string());
    return true;
}

bool ViewSaver::handle(const osgGA::GUIEventAdapter& event, osgGA::GUIActionAdapter&)
{
    if (event.getHandled() || event.getEventType() != osgGA::GUIEventAdapter::KEYDOWN ||
        event.getKey() != saveKey)
        return false;
    requested = true;
    return true;
}
