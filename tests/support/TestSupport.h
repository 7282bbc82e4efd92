#ifndef LINKMAP_TESTS_TESTSUPPORT
#define LINKMAP_TESTS_TESTSUPPORT 1

#include <network/CorrelationNetwork.h>
#include <network/RegionLists.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/** A file under tests/data. */
std::string dataFile(const std::string& name);

/** The whole text of the file at path. */
std::string readText(const std::string& path);

/** The group text of a network the window draws in slices, 20,000 sites alone and 30 rings of 6 with 450
 *  links, whose log still fits the pipe a test reads only at the end of a run. */
std::string slicedNetworkText();

/** The group text of rings of 8 sites named K1 up, each ring's first site numbered step after the one before
 *  (so that a step below 8 shares sites with the next ring), the 28 weights of ring given by weight(ring,
 *  pair). */
std::string eightSiteRings(int rings, int step, const std::function<double(int ring, int pair)>& weight);

/** A fresh, empty folder for one test's files, removed with everything in it when the object goes. */
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    /** The path of name inside the folder. */
    std::string path(const std::string& name) const;

    /** Writes text to the file name inside the folder and returns its path. */
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::string folder;
};

/** A page's data, read as JSON, as the page reads it; null when the page holds none. */
nlohmann::json pageData(const std::string& text);

/** What a run of the program left behind. */
struct RunResult
{
    int exitStatus = -1; ///< the exit status, or -1 when the process did not exit by itself
    std::string output;  ///< everything written on standard output
};

/** A run of the linkmap executable in the background, killed after its timeout. Its standard error is kept
 *  in a file of its own, so that a test can wait for what it says. */
class LinkmapProcess
{
public:
    /** Starts the executable with arguments; environment holds extra NAME=value settings, and a bare NAME
     *  removes that variable. The run works in folder, or in the test's own when it is empty. */
    LinkmapProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                   unsigned timeoutSeconds, const std::string& folder = std::string());
    ~LinkmapProcess();
    LinkmapProcess(const LinkmapProcess&) = delete;
    LinkmapProcess& operator=(const LinkmapProcess&) = delete;

    /** Whether the process is still running. */
    bool running();

    /** Reads what standard output holds, waiting at most seconds for more; what is read is kept for finish.
     *  A run whose log is larger than a pipe holds waits until it is read. */
    void takeOutput(double seconds);

    /** Waits until standard output holds text at or after the place from, the run ends or seconds pass; true
     *  when it holds it. */
    bool waitForOutput(const std::string& text, double seconds, std::size_t from = 0);

    /** How much of standard output has been read so far. */
    std::size_t outputRead() const
    {
        return received.size();
    }

    /** Waits until standard error holds text, the run ends or seconds pass; true when it holds it. */
    bool waitForError(const std::string& text, double seconds);

    /** Everything written on standard error so far. */
    std::string errorText() const;

    /** Waits for the process to end by itself, at most seconds; true when it has. */
    bool waitForExit(double seconds);

    /** Reads its standard output to the end and waits for it to exit. */
    RunResult finish();

    /** Sends the process the signal number; safe while another thread waits in finish. */
    void signal(int number);

private:
    int child = -1;
    int output = -1;
    bool ended = false;
    int status = 0;
    std::string received;
    std::string errorFile;
};

/** The program's window, run in a folder of its own and driven as a user drives it, with xdotool. A picture
 * of it is what its c key saves: the full picture after all the input sent before the key. The window has
 *  shown that it takes input once it has saved the first. */
class LiveWindow
{
public:
    /** Rests the pointer at x, y of the screen, starts the window there with arguments and environment, and
     *  saves its first picture. */
    LiveWindow(const std::vector<std::string>& arguments, const std::vector<std::string>& environment, int x,
               int y);

    /** Sends xdotool's commands, as in "click 1" or "key plus". */
    void send(const std::string& commands);

    /** Presses c and waits until the picture is saved; returns its file. */
    std::string save();

    /** The file of the first picture, saved before any input was sent. */
    std::string firstPicture() const;

    /** The run itself, to wait for what it prints. */
    LinkmapProcess& process();

    /** Ends the run as a signal does, which ends it as Escape does whatever the window shows, and waits for
     *  it. */
    RunResult close();

private:
    TemporaryFolder folder;
    std::unique_ptr<LinkmapProcess> run;
    int saved = 0;
};

/** How long a test waits at most for a sign of a run that should come at once: generous, so that only a run
 *  that will never give it makes a test wait this long. */
constexpr double patienceSeconds = 60.0;

/** Runs the linkmap executable with arguments, standard error discarded, killing it after timeoutSeconds.
 *  environment holds extra NAME=value settings; a bare NAME removes that variable. */
RunResult runLinkmap(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment = {}, unsigned timeoutSeconds = 60);

/** Whether the window under the pointer of display (DISPLAY's when empty) asks for keys and clicks, as a
 *  window does a moment after it appears; input sent to it before then is lost. */
bool windowUnderPointerTakesInput(const std::string& display = std::string());

/** Everything written on standard output while action runs in this process; an exception from action is
 *  passed on, with standard output restored. */
template <typename Action> std::string captureOutput(Action&& action);

/** Reads groupText as a group file into network; returns what it printed. */
std::string readGroups(CorrelationNetwork& network, const std::string& groupText);

/** A network as a run draws it: read, classified, its links logged, laid out on the ring grid and drawn. */
struct DrawnNetwork
{
    CorrelationNetwork network;
    SiteLayout layout;
    NetworkScene scene;
    LabelStyle style;
    /** Everything printed while it was read and logged. */
    std::string output;
};

/** The colours of every sphere drawn under root, one glyph per element or in batches, in the order drawn. */
std::vector<osg::Vec4> sphereColoursUnder(osg::Node& root);

/** Draws the network of groupText, classified by lists, along path, or the path its counts choose. */
std::unique_ptr<DrawnNetwork> drawNetwork(const std::string& groupText,
                                          std::optional<RenderPath> path = std::nullopt,
                                          const RegionLists& lists = RegionLists(),
                                          const SceneDetail& detail = SceneDetail());

/** Starts and ends the capture of standard output of this process; used by captureOutput. */
void beginOutputCapture();
std::string endOutputCapture();

template <typename Action> std::string captureOutput(Action&& action)
{
    beginOutputCapture();
    try
    {
        action();
    }
    catch (...)
    {
        endOutputCapture();
        throw;
    }
    return endOutputCapture();
}

#endif
