#include <scene/ViewRules.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

TEST(ViewRules, FillReplacesEachNameOnceAndLeavesWhatItDoesNotName)
{
    struct Case
    {
        const char* pattern;
        std::string filled;
    };
    // Every case fills the same values: a name, a value that looks like a name, and an empty value.
    const Case cases[] = {
        {"{name}: {region}", "K45: {name}"},
        {"{name}{empty}!", "K45!"},
        {"no names at all", "no names at all"},
        {"{unknown} stays", "{unknown} stays"},
        {"{name", "{name"},
        {"name}", "name}"},
        {"{}", "{}"},
        {"{{name}}", "{K45}"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            ViewRules::fill({"case", c.pattern}, {{"name", "K45"}, {"region", "{name}"}, {"empty", ""}}),
            c.filled)
            << c.pattern;
}

TEST(ViewRules, ThePatternsHaveNamesOfTheirOwnAndNumbersReadAsTheCornerWritesThem)
{
    std::set<std::string> names;
    for (const ViewRules::Pattern& pattern : ViewRules::patterns())
        EXPECT_TRUE(names.insert(pattern.name).second) << pattern.name;
    EXPECT_EQ(names.count("noList"), 1u);
    EXPECT_EQ(ViewRules::fill(ViewRules::cutoff,
                              {{"cutoff", ViewRules::cutoffText(0.35f)}, {"shown", "3"}, {"total", "22"}}),
              "Cutoff 0.35: 3 of 22 links shown");
    EXPECT_EQ(ViewRules::weightText(-0.0f), "-0.000000");
    EXPECT_EQ(ViewRules::weightText(0.95f), "0.950000");
}

} // namespace
