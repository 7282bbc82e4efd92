#include <view/ViewRules.h>

#include <gtest/gtest.h>

#include <cmath>
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

TEST(ViewRules, TheCutoffStepsInRoundTwentiethsOfTheTopOfTheWeightsOwnRange)
{
    // A correlation and a probability step in twentieths of 1; a score in twentieths of the least 1, 2 or 5
    // times a power of ten at or above its largest, written with as many digits as a step needs.
    const struct
    {
        float weightTop;
        float cutoffTop;
        int digits;
        const char* step;
    } cases[] = {{0.0f, 1.0f, 2, "0.05"},  {1.0f, 1.0f, 2, "0.05"},       {0.83f, 1.0f, 2, "0.05"},
                 {1.75f, 2.0f, 2, "0.10"}, {2.37f, 5.0f, 2, "0.25"},      {12.0f, 20.0f, 2, "1.00"},
                 {0.4f, 0.5f, 3, "0.025"}, {0.0456f, 0.05f, 4, "0.0025"}, {200.0f, 200.0f, 2, "10.00"},
                 {NAN, 1.0f, 2, "0.05"},   {-3.0f, 1.0f, 2, "0.05"}};
    for (const auto& test : cases)
    {
        const float top = ViewRules::cutoffTop(test.weightTop);
        EXPECT_FLOAT_EQ(top, test.cutoffTop) << test.weightTop;
        EXPECT_EQ(ViewRules::cutoffDigitsOf(top), test.digits) << test.weightTop;
        EXPECT_EQ(ViewRules::cutoffText(top / ViewRules::cutoffSteps, top), test.step) << test.weightTop;
    }
}

} // namespace
