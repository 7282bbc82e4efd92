// Weights are read and logged without a C library call per token; the values and text must stay exactly
// those of strtod and printf for every token and every float.

#include <network/LinkLog.h>
#include <network/TextFields.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace
{

// What the program read before: atof, narrowed to float, with finite values beyond float's range saturated.
float strtodWeight(const std::string& token)
{
    const double value = std::strtod(token.c_str(), nullptr);
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return value > 0.0 ? FLT_MAX : -FLT_MAX;
    return static_cast<float>(value);
}

bool sameFloat(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 ||
           (std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b));
}

// Random tokens built from the pieces numbers and near-numbers are made of.
std::string randomToken(std::mt19937& random)
{
    static const char* const pieces[] = {
        "0",   "1",    "5",     "9", "-",   "+",   ".", "e", "E",  "e-",
        "e+",  "x",    "0x",    "p", "inf", "nan", "a", " ", "00", "12345678901234567890",
        "999", "e400", "e-400", "\t"};
    std::string token;
    const int count = 1 + static_cast<int>(random() % 7);
    for (int i = 0; i < count; ++i)
        token += pieces[random() % std::size(pieces)];
    return token;
}

TEST(NumberText, WeightsReadExactlyAsStrtodReadsThem)
{
    std::vector<std::string> tokens = {"0.5",
                                       "-0.25",
                                       "1.",
                                       ".5",
                                       "-.5",
                                       "0.1",
                                       "0.3333333333333333333333333",
                                       "1e5.",
                                       "1.5e-3",
                                       "-1.5E+3",
                                       "3.4028235e38",
                                       "3.4028236e38",
                                       "1e39.",
                                       "-1e39.",
                                       "1e-46.",
                                       "1.4e-45",
                                       "1e400.",
                                       "123456789012.345",
                                       "0.000000000000000000000000000000000000000000001",
                                       "1.0000000596046448",
                                       "1.00000005960464477539062501",
                                       "0x1.8p1",
                                       "-0x.8",
                                       "0X10.",
                                       "+0.5",
                                       "+.5",
                                       " 0.5",
                                       "\t0.5",
                                       "inf.",
                                       "-infinity.",
                                       "nan.",
                                       "-nan.",
                                       "nan(1).",
                                       "0.5abc",
                                       "1.5e",
                                       "1.5e+",
                                       "-",
                                       "-.",
                                       ".",
                                       ".e5",
                                       "-.e5",
                                       "abc.1",
                                       "1,5.",
                                       "1..5",
                                       "--1.",
                                       "00.5",
                                       "0.5\r",
                                       "1_0.5",
                                       "2.5e-1x",
                                       "9007199254740993.0",
                                       "4.9406564584124654e-324"};
    std::mt19937 random(20261207);
    for (int i = 0; i < 200000; ++i)
        tokens.push_back(randomToken(random));
    for (const std::string& token : tokens)
    {
        const float expected = strtodWeight(token);
        const float actual = parseWeight(token);
        ASSERT_TRUE(sameFloat(actual, expected))
            << "\"" << token << "\": " << actual << " instead of " << expected;
    }
}

TEST(NumberText, TheLogSpellsEveryLinkAsPrintfDoes)
{
    // Every kind of float: random bit patterns (NaNs with payloads and either sign, infinities, subnormals,
    // the largest), values near the sixth decimal's rounding points, and names with and without a NUL.
    std::vector<float> weights = {0.0f,         -0.0f,    0.5f,          -0.5f,         1e-7f,
                                  5e-7f,        -5e-7f,   4.9999997e-7f, 5.0000006e-7f, 0.0000015f,
                                  0.1234565f,   2.5f,     FLT_MAX,       -FLT_MAX,      FLT_MIN,
                                  FLT_TRUE_MIN, INFINITY, -INFINITY,     NAN,           -NAN};
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i)
    {
        const std::uint32_t bits = random();
        float weight;
        std::memcpy(&weight, &bits, sizeof weight);
        weights.push_back(weight);
        weights.push_back(static_cast<float>(static_cast<int>(random() % 2000001) - 1000000) / 1e6f);
    }
    const std::string names[][2] = {{"H12", "K45"}, {std::string("A\0B", 3), "C"}, {"", "x"}};

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        LinkLog log(file);
        std::size_t i = 0;
        for (const float weight : weights)
        {
            const auto& pair = names[i++ % std::size(names)];
            log.write(pair[0], pair[1], weight);
            char line[512];
            std::snprintf(line, sizeof line, "Creating link between %s and %s with weight %f\n",
                          pair[0].c_str(), pair[1].c_str(), static_cast<double>(weight));
            expected += line;
        }
    }
    std::rewind(file);
    std::string written(expected.size() + 1, '\0');
    written.resize(std::fread(written.data(), 1, written.size(), file));
    std::fclose(file);
    ASSERT_EQ(written.size(), expected.size());
    // Line by line, so that a difference shows where it is.
    std::size_t start = 0;
    while (start < expected.size())
    {
        const std::size_t end = expected.find('\n', start) + 1;
        ASSERT_EQ(written.substr(start, end - start), expected.substr(start, end - start));
        start = end;
    }
}

} // namespace
