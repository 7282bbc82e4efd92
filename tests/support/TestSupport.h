#ifndef LINKMAP_TESTS_TESTSUPPORT
#define LINKMAP_TESTS_TESTSUPPORT 1

#include <network/CorrelationNetwork.h>
#include <network/RegionLists.h>
#include <scene/NetworkScene.h>
#include <scene/SiteLayout.h>

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

/** What a run of the program left behind. */
struct RunResult
{
    int exitStatus = -1; ///< the exit status, or -1 when the process did not exit by itself
    std::string output;  ///< everything written on standard output
};

/** A run of the linkmap executable in the background, standard error discarded, killed after its timeout. */
class LinkmapProcess
{
public:
    /** Starts the executable with arguments; environment holds extra NAME=value settings, and a bare NAME
     *  removes that variable. */
    LinkmapProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                   unsigned timeoutSeconds);
    ~LinkmapProcess();
    LinkmapProcess(const LinkmapProcess&) = delete;
    LinkmapProcess& operator=(const LinkmapProcess&) = delete;

    /** Whether the process is still running. */
    bool running();

    /** Reads its standard output to the end and waits for it to exit. */
    RunResult finish();

    /** Sends the process the signal number; safe while another thread waits in finish. */
    void signal(int number);

private:
    int child = -1;
    int output = -1;
    bool ended = false;
    int status = 0;
};

/** Runs the linkmap executable with arguments, standard error discarded, killing it after timeoutSeconds.
 *  environment holds extra NAME=value settings; a bare NAME removes that variable. */
RunResult runLinkmap(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment = {}, unsigned timeoutSeconds = 60);

/** The X window under the pointer, as xdotool reports it. */
std::string windowUnderPointer();

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
