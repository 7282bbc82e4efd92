#include <scene/LabelStyle.h>

#include <osgDB/FileUtils>

#include <filesystem>
#include <system_error>

namespace
{

// The label font is asked for as "arial.ttf". The build installs a link of that name to Liberation Sans,
// which has Arial's metrics, and its folders go first on the data search path so that the text library finds
// the link rather than whatever the system's font matching substitutes. The program looks beside its own
// installation first, wherever that was put (a package installs under /usr), then where it was built to go.
void putBundledFontsFirst()
{
    static bool done = false;
    if (done)
        return;
    done = true;

    osgDB::FilePathList folders;
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (!failed)
        folders.push_back((program.parent_path().parent_path() / "share/linkmap/fonts").string());
    osgDB::convertStringPathIntoFilePathList(LINKMAP_FONT_DIRS, folders);
    osgDB::FilePathList& searchPath = osgDB::getDataFilePathList();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    {
        if (osgDB::fileExists(*folder + "/arial.ttf"))
            searchPath.push_front(*folder);
    }
}

} // namespace

osg::ref_ptr<osgText::Font> readLabelFont()
{
    putBundledFontsFirst();
    return osgText::readRefFontFile("arial.ttf");
}
