#include <view/SiteFinder.h>

#include <osgGA/GUIEventAdapter>

#include <gtest/gtest.h>

namespace
{

using Key = osgGA::GUIEventAdapter::KeySymbol;
using Action = SiteFinder::Action;

TEST(SiteFinder, MatchesNamesByTheirStartInAnyCaseAndSitesByTheirNumber)
{
    const std::pair<const char*, const char*> matching[] = {
        {"K45", "k"},   {"K45", "K4"},  {"K45", "k45"}, {"K45", "45"},
        {"K045", "45"}, {"X45b", "45"}, {"45B", "45"},  {"\xC3\x89t\xC3\xA9", "\xC3\x89t"},
        {"a<b", "A<"}};
    for (const auto& [name, text] : matching)
        EXPECT_TRUE(matchesSite(name, text)) << name << " " << text;
    const std::pair<const char*, const char*> others[] = {
        {"K45", ""},   {"K45", "45 "}, {"K45", "K46"},           {"K45", "4"}, {"K450", "45"}, {"K4", "K45"},
        {"45", "45x"}, {"K", "0"},     {"K45", "0000000000045"}, {"R78", "k"}};
    for (const auto& [name, text] : others)
        EXPECT_FALSE(matchesSite(name, text)) << name << " " << text;
}

TEST(SiteFinder, TypesEditsPicksEachMatchInTurnAndCloses)
{
    const std::vector<std::string> names = {"H12", "K45", "k450", "R78", "K4", "X45", "45B"};
    // Each step: the keys pressed, what the last asks for, the prompt's line after it, and the site picked
    // (by name; empty when none).
    struct Step
    {
        std::vector<int> keys;
        Action action;
        std::string line;
        std::string picked;
    };
    const std::vector<Step> steps = {
        {{}, Action::None, "Find: ", ""},
        {{Key::KEY_Return}, Action::None, "Find: ", ""},
        {{'k', '4'}, Action::Changed, "Find: k4  (3 sites match)", ""},
        {{Key::KEY_Return}, Action::Pick, "Find: k4  (1 of 3)", "K45"},
        {{Key::KEY_Return}, Action::Pick, "Find: k4  (2 of 3)", "k450"},
        {{Key::KEY_Tab}, Action::Pick, "Find: k4  (3 of 3)", "K4"},
        {{Key::KEY_KP_Enter}, Action::Pick, "Find: k4  (1 of 3)", "K45"},
        {{'x'}, Action::Changed, "Find: k4x  (no site matches)", ""},
        {{Key::KEY_Return}, Action::None, "Find: k4x  (no site matches)", ""},
        {{Key::KEY_BackSpace, Key::KEY_BackSpace, Key::KEY_BackSpace}, Action::Changed, "Find: ", ""},
        {{Key::KEY_BackSpace}, Action::None, "Find: ", ""},
        {{'4', '5'}, Action::Changed, "Find: 45  (3 sites match)", ""},
        {{Key::KEY_Tab}, Action::Pick, "Find: 45  (1 of 3)", "K45"},
        {{Key::KEY_Tab}, Action::Pick, "Find: 45  (2 of 3)", "X45"},
        {{Key::KEY_BackSpace, Key::KEY_BackSpace, 'R', Key::KEY_Shift_L, Key::KEY_Left},
         Action::None,
         "Find: R  (1 site matches)",
         ""},
        {{Key::KEY_BackSpace, Key::KEY_BackSpace, 0xE9},
         Action::Changed,
         "Find: \xC3\xA9  (no site matches)",
         ""},
        {{Key::KEY_BackSpace}, Action::Changed, "Find: ", ""},
    };
    SiteFinder finder(names);
    EXPECT_FALSE(finder.isOpen());
    finder.open();
    ASSERT_TRUE(finder.isOpen());
    for (const Step& step : steps)
    {
        Action last = Action::None;
        for (const int key : step.keys)
            last = finder.key(key);
        EXPECT_EQ(last, step.action) << step.line;
        EXPECT_EQ(finder.promptLine(), step.line);
        if (!step.picked.empty())
        {
            ASSERT_LT(finder.picked(), names.size()) << step.line;
            EXPECT_EQ(names[finder.picked()], step.picked) << step.line;
        }
    }
    EXPECT_EQ(finder.key(Key::KEY_Escape), Action::Close);
    EXPECT_FALSE(finder.isOpen());
    finder.open();
    EXPECT_EQ(finder.promptLine(), "Find: ") << "a prompt opens empty";
}

} // namespace
