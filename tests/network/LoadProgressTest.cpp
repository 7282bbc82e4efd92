#include <network/LoadProgress>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

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

} // namespace
