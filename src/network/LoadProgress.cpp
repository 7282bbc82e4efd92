#include <network/LoadProgress.h>
#include <network/NumberText.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>

LoadProgress::LoadProgress(std::FILE* stream, std::chrono::steady_clock::duration delay)
    : out(stream), showFrom(std::chrono::steady_clock::now() + delay)
{
}

LoadProgress& LoadProgress::operator=(LoadProgress&& other)
{
    finish();
    out = other.out;
    showFrom = other.showFrom;
    lastShown = other.lastShown;
    shownLength = other.shownLength;
    waiter = std::move(other.waiter);
    other.out = nullptr;
    other.shownLength = 0;
    return *this;
}

LoadProgress::~LoadProgress()
{
    finish();
}

LoadProgress LoadProgress::onTerminal()
{
    if (isatty(STDERR_FILENO) != 1)
        return LoadProgress();
    return LoadProgress(stderr, std::chrono::seconds(1));
}

void LoadProgress::update(const char* stage, double fraction)
{
    if (out == nullptr || waiter)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now < showFrom || (shownLength > 0 && now - lastShown < std::chrono::milliseconds(100)))
        return;
    lastShown = now;

    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    show(printfText("linkmap: %s %3d%%", stage, percent).c_str());
}

void LoadProgress::say(const char* text)
{
    if (out == nullptr || waiter || std::chrono::steady_clock::now() < showFrom)
        return;
    lastShown = std::chrono::steady_clock::now();
    show((std::string("linkmap: ") + text).c_str());
}

void LoadProgress::show(const char* line)
{
    // Pad over whatever a longer earlier line left behind.
    const std::size_t written = std::strlen(line);
    std::fprintf(out, "\r%s%*s", line, static_cast<int>(shownLength > written ? shownLength - written : 0),
                 "");
    std::fflush(out);
    shownLength = std::max(shownLength, written);
}

void LoadProgress::wait(const char* stage)
{
    if (out == nullptr || waiter)
        return;
    waiter = std::make_unique<Waiter>();
    const auto start = std::chrono::steady_clock::now();
    const std::string text = std::string("linkmap: ") + stage;
    // Without a thread to spare, the wait goes untold.
    try
    {
        waiter->thread = std::thread([this, start, text, state = waiter.get()] {
            std::unique_lock<std::mutex> lock(state->mutex);
            auto next = showFrom;
            while (!state->wake.wait_until(lock, next, [state] { return state->stop; }))
            {
                const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                    std::chrono::steady_clock::now() - start);
                show((text + " " + std::to_string(seconds.count()) + " s").c_str());
                next += std::chrono::milliseconds(500);
            }
        });
    }
    catch (const std::system_error&)
    {
        waiter.reset();
    }
}

void LoadProgress::finish()
{
    if (waiter)
    {
        {
            const std::lock_guard<std::mutex> lock(waiter->mutex);
            waiter->stop = true;
        }
        waiter->wake.notify_one();
        waiter->thread.join();
        waiter.reset();
    }
    if (out == nullptr || shownLength == 0)
        return;
    std::fprintf(out, "\r%*s\r", static_cast<int>(shownLength), "");
    std::fflush(out);
    shownLength = 0;
}
