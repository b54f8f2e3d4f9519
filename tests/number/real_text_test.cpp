#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "number/real_text.hpp"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kSmallest = std::numeric_limits<float>::denorm_min();  // 2^-149

// Equal to the last bit, signed zeros told apart; any NaN matches any NaN.
::testing::AssertionResult same_float(float expected, float actual)
{
    if (std::isnan(expected) && std::isnan(actual)) return ::testing::AssertionSuccess();
    if (std::bit_cast<std::uint32_t>(expected) == std::bit_cast<std::uint32_t>(actual)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected " << expected << " (bits " << std::hex
                                         << std::bit_cast<std::uint32_t>(expected) << "), got " << actual
                                         << " (bits " << std::bit_cast<std::uint32_t>(actual) << ")";
}

struct ReadCase {
    const char* text;
    int decimals;
    float expected;
};

template <std::size_t N>
void expect_reads(const ReadCase (&cases)[N])
{
    for (const ReadCase& c : cases) {
        const std::optional<float> value = read_real_text(c.text, c.decimals);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_TRUE(same_float(c.expected, *value)) << c.text << " with " << c.decimals << " decimals";
    }
}

TEST(ReadingRealText, AppliesImpliedDecimalsBeforeTheExponentAndAcceptsEveryExponentForm)
{
    const ReadCase cases[] = {
        {"125", 5, 0.00125f},   {"125", 2, 1.25f},     {"125.", 5, 125.0f},   {"000123", 2, 1.23f},
        {"12E1", 2, 1.2f},      {"12E1", 5, 0.0012f},  {"15+1", 2, 1.5f},     {"1.5E2", 5, 150.0f},
        {"1.5e2", 5, 150.0f},   {"1.5D2", 5, 150.0f},  {"1.5d2", 5, 150.0f},  {"1.5+2", 5, 150.0f},
        {"1.5E+2", 5, 150.0f},  {"1.5-2", 5, 0.015f},  {"-2.5E-1", 5, -0.25f}, {"+.5", 5, 0.5f},
        {"5.", 2, 5.0f},        {"0", 5, 0.0f},        {"-0", 5, -0.0f},      {"-0.0E5", 2, -0.0f},
    };
    expect_reads(cases);
}

// Halfway points between adjacent floats, worked out in binary: above 2^24
// floats are 2 apart; just above 1 they are 2^-23 apart. A tie goes to the
// float whose last significand bit is 0.
TEST(ReadingRealText, RoundsCorrectlyToTheNearestFloat)
{
    const ReadCase cases[] = {
        {"16777217.", 5, 16777216.0f},            // 2^24 + 1: tie, 2^24 is even
        {"16777219.", 5, 16777220.0f},            // 2^24 + 3: tie, 2^24 + 4 is even
        {"1677721900000", 5, 16777220.0f},        // the same tie through implied decimals
        {"16777217.0000001", 5, 16777218.0f},     // just above the tie
        {"1677721700001", 5, 16777218.0f},        // 16777217.00001
        {"1.000000059604644775390625", 5, 1.0f},  // 1 + 2^-24: tie, 1 is even
        {"1.0000000596046447", 5, 1.0f},
        {"1.0000000596046448", 5, 1.00000011920928955078125f},   // 1 + 2^-23
        {"1.000000178813934326171875", 5, 1.0000002384185791015625f},  // 1 + 3*2^-24: tie to 1 + 2^-22
        {"1.0000001788139342", 5, 1.00000011920928955078125f},
        {"0.1", 5, 0.100000001490116119384765625f},
    };
    expect_reads(cases);
    // A nonzero digit far beyond the tie still decides it.
    const std::string tie = "16777217." + std::string(300, '0');
    EXPECT_TRUE(same_float(16777216.0f, read_real_text(tie, 5).value_or(0.0f)));
    EXPECT_TRUE(same_float(16777218.0f, read_real_text(tie + "1", 5).value_or(0.0f)));
}

// The largest float is (2 - 2^-23) * 2^127; halfway from it to 2^128 is
// 3.40282356779...E38. Half the smallest subnormal, 2^-150, is 7.00649232162408535...E-46.
TEST(ReadingRealText, SaturatesToInfinityAndUnderflowsToSignedZero)
{
    const ReadCase cases[] = {
        {"3.4028235E38", 5, kMax},         {"3.4028236E38", 5, kInf},
        {"-3.4028236E38", 5, -kInf},       {"1.E39", 5, kInf},
        {"4E43", 5, kInf},                 {"1E39", 5, 1e34f},  // implied decimals: 1E39 is 1E34
        {"-1E41", 2, -kInf},               {"1E99999999999999999999", 5, kInf},
        {"1E-50", 5, 0.0f},                {"-1E-50", 5, -0.0f},
        {"1E-99999999999999999999", 5, 0.0f},
        {"7.0064923216240854E-46", 5, kSmallest}, {"7.0064923216240853E-46", 5, 0.0f},
        {"-7.0064923216240854E-46", 5, -kSmallest}, {"1.E-45", 5, kSmallest},
        {"1E-40", 5, kSmallest},  // 1E-45 after implied decimals, nearer 2^-149 than 0
        {"1.17549435E-38", 5, std::numeric_limits<float>::min()},
    };
    expect_reads(cases);
}

TEST(ReadingRealText, NamesInfinityAndNaNInAnyCase)
{
    const ReadCase cases[] = {
        {"Inf", 5, kInf},  {"-inf", 5, -kInf}, {"+INFINITY", 2, kInf}, {"-Infinity", 5, -kInf},
        {"nan", 5, kNaN},  {"NaN", 2, kNaN},   {"-NAN", 5, kNaN},
    };
    expect_reads(cases);
}

TEST(ReadingRealText, RefusesEmptyDigitStringsAndForeignForms)
{
    const char* const refused[] = {
        "",     "+",    "-",    ".",    "+.",   "E5",   "e5",    "D5",   ".E5",  "1E",  "1e+",    "1D-",
        "1+",   "1-",   "1Q2",  "1q2",  "1.2.3", "1 2", "1\t",   "\t1",  "2*1.0", "1;",  "1;2",    "12a",
        "--1",  "+-1",  "1E2.5", "0x10", "1,5", "1E+-2", "infinit", "infinityx", "nanx", "in", "1Inf",
    };
    for (const char* text : refused) {
        EXPECT_FALSE(read_real_text(text, 5).has_value()) << "'" << text << "'";
    }
}

}  // namespace
