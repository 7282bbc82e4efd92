#include <network/CorrelationNetwork>

#include <osgDB/FileUtils>
#include <osgText/Font>

#include <filesystem>
#include <limits>
#include <string>
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

CorrelationNetwork::CorrelationNetwork() : root(new osg::Group), textColor(1.0f, 1.0f, 1.0f, 1.0f)
{
    putBundledFontsFirst();
    font = osgText::readRefFontFile("arial.ttf");
    links = new osg::Geode;
    root->addChild(links);
}

CorrelationNetwork::~CorrelationNetwork()
{
    markingDone = true;
    if (labelWork.valid())
        labelWork.wait();
}

void CorrelationNetwork::setTextColor(osg::Vec4 color)
{
    textColor = color;
}

osg::Group* CorrelationNetwork::getRoot()
{
    return root.get();
}

void CorrelationNetwork::load(InputFiles files, const SceneDetail& detail)
{
    progress = LoadProgress::onTerminal();

    // A file that cannot be opened contributes nothing; loading goes on with the rest.
    readGroupFile(files.groupFile);
    if (!files.positiveFile.empty())
        readRegionFile(files.positiveFile, static_cast<int>(RegionKind::Positive));
    if (!files.negativeFile.empty())
        readRegionFile(files.negativeFile, static_cast<int>(RegionKind::Negative));
    if (!files.acceleratedFile.empty())
        readRegionFile(files.acceleratedFile, static_cast<int>(RegionKind::Accelerated));
    // Groups are numbered as ints where they are laid out.
    if (groups.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw NetworkTooLarge(std::to_string(groups.size()) + " groups, more than " +
                              std::to_string(std::numeric_limits<int>::max()));
    startLabels(detail);
    markDuplicateNames();
    // Sites and links are numbered together where a ray looks for them.
    const std::size_t items = countLinks() + names.size();
    if (items >= std::numeric_limits<std::uint32_t>::max())
        throw NetworkTooLarge(std::to_string(items) + " sites and links, more than " +
                              std::to_string(std::numeric_limits<std::uint32_t>::max() - 1));
    buildScene(detail);

    progress.finish();
    progress = LoadProgress();
}

void CorrelationNetwork::markDuplicateNames()
{
    // Labels laid out meanwhile read the names as they come, so the names never move.
    const std::size_t siteCount = countSites();
    firstOccurrences.reserve(siteCount);
    names.reserve(names.size() + siteCount);
    primarySites.reserve(primarySites.size() + siteCount);

    // However marking ends, whoever waits for names is told that no more come.
    struct Finish
    {
        CorrelationNetwork& network;
        ~Finish()
        {
            network.namesMarked.store(network.names.size(), std::memory_order_release);
            network.markingDone.store(true, std::memory_order_release);
        }
    } finish{*this};
    const std::size_t toldEvery = 1024;

    for (std::size_t i = 0; i < groups.size(); ++i)
    {
        for (std::size_t j = 0; j < groups[i].size(); ++j)
        {
            Site& site = groups[i][j];
            const SiteLocation location{i, j, names.size()};
            const auto [first, isNew] = firstOccurrences.emplace(site.name, location);
            if (isNew)
            {
                if (names.size() >= Site::unmarked)
                    throw NetworkTooLarge("more distinct site names than " +
                                          std::to_string(Site::unmarked - 1));
                names.push_back(site.name);
                primarySites.push_back(location);
                if (names.size() % toldEvery == 0)
                    namesMarked.store(names.size(), std::memory_order_release);
            }
            else
                site.duplicate = true;
            site.nameIndex = static_cast<std::uint32_t>(first->second.name);
        }
    }
}

bool CorrelationNetwork::isKnownName(const std::string& name) const
{
    return firstOccurrences.find(name) != firstOccurrences.end();
}
