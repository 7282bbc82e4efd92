#include <support/TestSupport.h>

#include <network/LinkLog.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/NodeVisitor>
#include <osg/ShapeDrawable>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

std::string dataFile(const std::string& name)
{
    return std::string(LINKMAP_TEST_DATA) + "/" + name;
}

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "linkmap-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    folder = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string TemporaryFolder::path(const std::string& name) const
{
    return folder + "/" + name;
}

std::string TemporaryFolder::write(const std::string& name, const std::string& text) const
{
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

LinkmapProcess::LinkmapProcess(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, unsigned timeoutSeconds,
                               const std::string& folder)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "linkmap-stderr-XXXXXX").string();
    const int errors = mkstemp(pattern.data());
    if (errors < 0)
        throw std::runtime_error("cannot make a file for standard error");
    errorFile = pattern;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("cannot make a pipe");

    child = fork();
    if (child == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(errors, STDERR_FILENO);
        close(errors);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(126);
        for (const std::string& setting : environment)
        {
            const std::size_t equals = setting.find('=');
            if (equals == std::string::npos)
                unsetenv(setting.c_str());
            else
                setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(LINKMAP_EXECUTABLE));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        // The alarm survives exec: a run that hangs is killed instead of hanging the test.
        alarm(timeoutSeconds);
        execve(LINKMAP_EXECUTABLE, argv.data(), environ);
        _exit(127);
    }
    close(errors);
    close(pipeEnds[1]);
    output = pipeEnds[0];
}

LinkmapProcess::~LinkmapProcess()
{
    if (!ended)
        kill(child, SIGKILL);
    if (output >= 0)
        finish();
    std::remove(errorFile.c_str());
}

bool LinkmapProcess::running()
{
    if (ended)
        return false;
    if (waitpid(child, &status, WNOHANG) == child)
        ended = true;
    return !ended;
}

void LinkmapProcess::signal(int number)
{
    // The process stays until it is waited for, so the number is its own even when it has just ended.
    kill(child, number);
}

void LinkmapProcess::takeOutput(double seconds)
{
    if (output < 0)
        return;
    pollfd readable = {output, POLLIN, 0};
    int wait = static_cast<int>(seconds * 1000.0);
    while (poll(&readable, 1, wait) > 0)
    {
        char block[4096];
        const ssize_t count = read(output, block, sizeof block);
        if (count <= 0)
            return;
        received.append(block, static_cast<std::size_t>(count));
        // Once something came, only what is there already.
        wait = 0;
    }
}

namespace
{

// Asks have every few milliseconds until it holds or seconds pass; whether it held.
template <typename Have> bool waitUntil(double seconds, Have&& have)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!have())
    {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

bool LinkmapProcess::waitForOutput(const std::string& text, double seconds, std::size_t from)
{
    const auto holds = [&] { return received.find(text, from) != std::string::npos; };
    return waitUntil(
               seconds,
               [&] {
        takeOutput(0.01);
        return holds() || !running();
               }) &&
        holds();
}

std::string LinkmapProcess::errorText() const
{
    return readText(errorFile);
}

bool LinkmapProcess::waitForError(const std::string& text, double seconds)
{
    return waitUntil(seconds, [&] { return errorText().find(text) != std::string::npos || !running(); }) &&
           errorText().find(text) != std::string::npos;
}

bool LinkmapProcess::waitForExit(double seconds)
{
    return waitUntil(seconds, [&] {
        takeOutput(0.0);
        return !running();
    });
}

RunResult LinkmapProcess::finish()
{
    RunResult result;
    result.output = std::move(received);
    received.clear();
    char block[4096];
    ssize_t count;
    while ((count = read(output, block, sizeof block)) > 0)
        result.output.append(block, static_cast<std::size_t>(count));
    close(output);
    output = -1;
    if (!ended)
        waitpid(child, &status, 0);
    ended = true;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

LiveWindow::LiveWindow(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                       int x, int y)
{
    const std::string rest = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
    if (std::system(rest.c_str()) != 0)
        throw std::runtime_error("xdotool could not move the pointer");
    // Long enough for every picture of one test, each waited for.
    run = std::make_unique<LinkmapProcess>(arguments, environment, 600, folder.path(""));
    // A window appears a moment before it asks for input; what is sent before then is lost.
    const bool appeared = waitUntil(patienceSeconds, [&] {
        run->takeOutput(0.01);
        return !run->running() || windowUnderPointerTakesInput();
    });
    if (!appeared || !run->running())
        throw std::runtime_error(
            "waited for a window that takes keys and clicks under the pointer, but " +
            std::string(appeared ? "the run ended: " + run->errorText()
                                 : "it did not in " + std::to_string(patienceSeconds) + " s"));
    save();
}

void LiveWindow::send(const std::string& commands)
{
    if (std::system(("xdotool " + commands).c_str()) != 0)
        throw std::runtime_error("xdotool could not send: " + commands);
}

std::string LiveWindow::save()
{
    const std::string name = "linkmap-" + std::to_string(++saved) + ".png";
    send("key c");
    if (!run->waitForError("Saved " + name + "\n", patienceSeconds))
        throw std::runtime_error(
            "waited for the window to save " + name + " after the c key, but " +
            (run->running() ? "it did not in " + std::to_string(patienceSeconds) + " s" : "the run ended") +
            "; its standard error: " + run->errorText());
    return folder.path(name);
}

std::string LiveWindow::firstPicture() const
{
    return folder.path("linkmap-1.png");
}

LinkmapProcess& LiveWindow::process()
{
    return *run;
}

RunResult LiveWindow::close()
{
    run->signal(SIGTERM);
    if (!run->waitForExit(patienceSeconds))
        throw std::runtime_error("waited for the window to end on a signal, but it did not in " +
                                 std::to_string(patienceSeconds) + " s");
    return run->finish();
}

RunResult runLinkmap(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                     unsigned timeoutSeconds)
{
    return LinkmapProcess(arguments, environment, timeoutSeconds).finish();
}

namespace
{

int savedOutput = -1;
std::FILE* captureFile = nullptr;

} // namespace

void beginOutputCapture()
{
    std::fflush(stdout);
    captureFile = std::tmpfile();
    savedOutput = dup(STDOUT_FILENO);
    dup2(fileno(captureFile), STDOUT_FILENO);
}

std::string endOutputCapture()
{
    std::fflush(stdout);
    dup2(savedOutput, STDOUT_FILENO);
    close(savedOutput);
    std::rewind(captureFile);
    std::string text;
    char block[4096];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, captureFile)) > 0)
        text.append(block, count);
    std::fclose(captureFile);
    return text;
}

nlohmann::json pageData(const std::string& text)
{
    const std::string opening = "<script id=\"linkmap-data\" type=\"application/json\">";
    const std::size_t from = text.find(opening);
    if (from == std::string::npos)
        return nullptr;
    const std::size_t start = from + opening.size();
    return nlohmann::json::parse(text.substr(start, text.find("</script>", start) - start));
}

std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string slicedNetworkText()
{
    std::ostringstream out;
    for (int ring = 0; ring < 30; ++ring)
    {
        for (int site = 0; site < 6; ++site)
            out << (site == 0 ? "" : " ") << "K" << ring * 6 + site + 1;
        for (int pair = 0; pair < 15; ++pair)
            out << " " << std::fixed << std::setprecision(2) << ((ring * 15 + pair) % 19 - 9.5) / 10.0;
        out << "\n";
    }
    for (int alone = 0; alone < 20000; ++alone)
        out << "R" << alone + 1 << "\n";
    return out.str();
}

std::string eightSiteRings(int rings, int step, const std::function<double(int ring, int pair)>& weight)
{
    std::ostringstream out;
    for (int ring = 0; ring < rings; ++ring)
    {
        for (int site = 1; site <= 8; ++site)
            out << "K" << ring * step + site << " ";
        // A weight is a token with a point, so 0 is written 0.000000, never a name.
        for (int pair = 0; pair < 28; ++pair)
            out << std::fixed << std::setprecision(6) << weight(ring, pair) << (pair + 1 < 28 ? " " : "\n");
    }
    return out.str();
}

std::string readGroups(CorrelationNetwork& network, const std::string& groupText)
{
    TemporaryFolder folder;
    const std::string path = folder.write("groups.txt", groupText);
    LoadProgress silent;
    return captureOutput([&] { readGroupFile(path, network, silent); });
}

std::unique_ptr<DrawnNetwork> drawNetwork(const std::string& groupText, std::optional<RenderPath> path,
                                          const RegionLists& lists, const SceneDetail& detail)
{
    auto drawn = std::make_unique<DrawnNetwork>();
    drawn->output = readGroups(drawn->network, groupText);
    classifyRegions(drawn->network, lists);
    drawn->output += captureOutput([&] { logLinks(drawn->network); });
    drawn->layout = layoutRingGrid(drawn->network);
    drawn->style.font = readLabelFont();
    const RenderPath chosen =
        path ? *path : chooseRenderPath(drawn->network.linkCount(), drawn->network.siteCount(), detail);
    drawn->scene = buildNetworkScene(drawn->network, drawn->layout, drawn->style, chosen, detail);
    return drawn;
}

bool windowUnderPointerTakesInput(const std::string& name)
{
    ::Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (display == nullptr)
        return false;
    const Window root = DefaultRootWindow(display);
    Window rootUnder = 0;
    Window child = 0;
    int x = 0, y = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    XWindowAttributes attributes = {};
    const bool takes =
        XQueryPointer(display, root, &rootUnder, &child, &x, &y, &windowX, &windowY, &buttons) &&
        child != 0 && XGetWindowAttributes(display, child, &attributes) &&
        (attributes.all_event_masks & (KeyPressMask | ButtonPressMask)) == (KeyPressMask | ButtonPressMask);
    XCloseDisplay(display);
    return takes;
}

std::vector<osg::Vec4> sphereColoursUnder(osg::Node& root)
{
    struct Finder : osg::NodeVisitor
    {
        Finder() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
        void apply(osg::Drawable& drawable) override
        {
            if (auto* sphere = dynamic_cast<osg::ShapeDrawable*>(&drawable))
                if (dynamic_cast<const osg::Sphere*>(sphere->getShape()) != nullptr)
                    colours.push_back(sphere->getColor());
        }
        void apply(osg::Geode& geode) override
        {
            if (geode.getName() == "spheres")
                for (unsigned int i = 0; i < geode.getNumDrawables(); ++i)
                    if (const osg::Geometry* geometry = geode.getDrawable(i)->asGeometry())
                        for (const unsigned int slot : {8u, 10u, 12u, 14u})
                            if (const auto* colors =
                                    dynamic_cast<const osg::Vec4Array*>(geometry->getVertexAttribArray(slot)))
                                colours.insert(colours.end(), colors->begin(), colors->end());
            traverse(geode);
        }
        std::vector<osg::Vec4> colours;
    } finder;
    root.accept(finder);
    return finder.colours;
}
