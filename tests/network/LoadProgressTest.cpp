#include <network/LoadProgress.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace
{

std::string contents(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    int c;
    while ((c = std::fgetc(file)) != EOF)
        text += static_cast<char>(c);
    return text;
}

TEST(LoadProgress, ShowsOneLineInPlaceAfterItsDelayAndErasesIt)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    LoadProgress progress(out, std::chrono::seconds(0));
    progress.update("reading the groups", 0.5);
    // At most ten a second: an update straight after is not drawn.
    progress.update("reading the groups", 0.6);
    EXPECT_EQ(contents(out), "\rlinkmap: reading the groups  50%");

    // A word said at once replaces the line, padded over what the longer one left, and stays.
    std::fseek(out, 0, SEEK_END);
    progress.say("done");
    const std::string line = "linkmap: reading the groups  50%";
    EXPECT_EQ(contents(out), "\r" + line + "\rlinkmap: done" + std::string(line.size() - 13, ' '));

    std::fseek(out, 0, SEEK_END);
    progress.finish();
    const std::string text = contents(out);
    const std::string erased =
        "\r" + std::string(std::string("linkmap: reading the groups  50%").size(), ' ') + "\r";
    ASSERT_GE(text.size(), erased.size());
    EXPECT_EQ(text.substr(text.size() - erased.size()), erased);
    std::fclose(out);
}

TEST(LoadProgress, StaysSilentBeforeItsDelayAndWithoutATerminal)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    LoadProgress patient(out, std::chrono::hours(1));
    patient.update("building the scene", 0.9);
    patient.say("the full picture is complete");
    patient.finish();
    LoadProgress silent;
    silent.update("building the scene", 0.9);
    silent.finish();
    EXPECT_EQ(contents(out), "");
    std::fclose(out);

    // The tests' standard error is no terminal.
    LoadProgress onTerminal = LoadProgress::onTerminal();
    std::FILE* none = std::tmpfile();
    onTerminal.update("x", 1.0);
    EXPECT_EQ(contents(none), "");
    std::fclose(none);
}

TEST(LoadProgress, WaitsOnALongCallWithItsSecondsUntilFinished)
{
    // Shown once its delay has passed, redrawn twice a second with the seconds so far; updates meanwhile are
    // not drawn; finish erases the line at once. A wait that ends before its delay shows nothing.
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        LoadProgress quick(out, std::chrono::hours(1));
        quick.wait("preparing the first frame");
        quick.finish();
    }
    EXPECT_EQ(contents(out), "");

    LoadProgress progress(out, std::chrono::milliseconds(200));
    progress.wait("preparing the first frame");
    progress.update("building the scene", 0.5);
    // Drawn at 0.2 s, 0.7 s and 1.2 s, or later on a busy machine: what was drawn is read beside the drawing,
    // without moving the file's position, until the line of the first whole second is there.
    const std::string drawn = "/proc/self/fd/" + std::to_string(fileno(out));
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readText(drawn).find("frame 1 s") == std::string::npos &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    progress.finish();
    const std::string text = contents(out);
    EXPECT_EQ(text.rfind("\rlinkmap: preparing the first frame 0 s", 0), 0u) << text;
    EXPECT_EQ(text.find("building"), std::string::npos) << text;
    EXPECT_NE(text.find("\rlinkmap: preparing the first frame 1 s"), std::string::npos) << text;
    const std::size_t shown = std::string("linkmap: preparing the first frame 1 s").size();
    const std::string erased = "\r" + std::string(shown, ' ') + "\r";
    ASSERT_GE(text.size(), erased.size());
    EXPECT_EQ(text.substr(text.size() - erased.size()), erased) << text;
    std::fclose(out);
}

} // namespace
