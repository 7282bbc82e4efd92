#ifndef LINKMAP_NETWORK_LOADPROGRESS
#define LINKMAP_NETWORK_LOADPROGRESS 1

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

/** One line on a terminal that tells how far a long load has come, redrawn in place and erased at the end. It
 *  stays silent for loads shorter than its delay, and when it has no terminal to write to. */
class LoadProgress
{
public:
    /** Silent: reports nothing. */
    LoadProgress() = default;

    /** Reports on out once delay has passed since now. */
    LoadProgress(std::FILE* out, std::chrono::steady_clock::duration delay);

    LoadProgress(LoadProgress&&) = default;
    LoadProgress& operator=(LoadProgress&& other);

    /** Erases the line, as finish does. */
    ~LoadProgress();

    /** Reports on standard error after a second, when standard error is a terminal; otherwise silent. */
    static LoadProgress onTerminal();

    /** For work that cannot tell how far it has come, such as one long call: from now until finish, shows
     *  stage and the seconds it has taken so far, once the delay has passed, redrawn twice a second by a
     *  thread of its own. Nothing else is shown meanwhile. */
    void wait(const char* stage);

    /** Shows that stage is done to the given fraction (0 to 1), at most ten times a second. */
    void update(const char* stage, double fraction);

    /** Shows text on the line at once, in place of what was there, and leaves it there; silent as update is
     *  before the delay has passed. */
    void say(const char* text);

    /** Erases the line, if one was shown, and ends a wait. */
    void finish();

private:
    void show(const char* text);

    /** The thread that shows a wait, and what it needs to be stopped. */
    struct Waiter
    {
        std::mutex mutex;
        std::condition_variable wake;
        bool stop = false;
        std::thread thread;
    };
    std::unique_ptr<Waiter> waiter;

    std::FILE* out = nullptr;
    std::chrono::steady_clock::time_point showFrom;
    std::chrono::steady_clock::time_point lastShown;
    std::size_t shownLength = 0;
};

#endif
