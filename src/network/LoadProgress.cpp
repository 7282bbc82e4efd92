#include <network/LoadProgress>

#include <unistd.h>

#include <algorithm>

LoadProgress::LoadProgress(std::FILE* stream, std::chrono::steady_clock::duration delay)
    : out(stream), showFrom(std::chrono::steady_clock::now() + delay)
{
}

LoadProgress LoadProgress::onTerminal()
{
    if (isatty(STDERR_FILENO) != 1)
        return LoadProgress();
    return LoadProgress(stderr, std::chrono::seconds(1));
}

void LoadProgress::update(const char* stage, double fraction)
{
    if (out == nullptr)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now < showFrom || (shownLength > 0 && now - lastShown < std::chrono::milliseconds(100)))
        return;
    lastShown = now;

    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    char line[160];
    const int length = std::snprintf(line, sizeof line, "linkmap: %s %3d%%", stage, percent);
    if (length <= 0)
        return;
    // Pad over whatever a longer earlier line left behind.
    const std::size_t written = std::min(static_cast<std::size_t>(length), sizeof line - 1);
    std::fprintf(out, "\r%s%*s", line, static_cast<int>(shownLength > written ? shownLength - written : 0),
                 "");
    std::fflush(out);
    shownLength = std::max(shownLength, written);
}

void LoadProgress::finish()
{
    if (out == nullptr || shownLength == 0)
        return;
    std::fprintf(out, "\r%*s\r", static_cast<int>(shownLength), "");
    std::fflush(out);
    shownLength = 0;
}
