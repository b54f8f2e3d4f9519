#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "map/svg_text.hpp"
#include "map/ticks.hpp"

namespace {

std::vector<std::string> labels(const std::vector<Tick>& ticks)
{
    std::vector<std::string> texts;
    for (const Tick& tick : ticks) texts.push_back(tick.label);
    return texts;
}

using Labels = std::vector<std::string>;

TEST(RoundTicks, StepByOneTwoOrFiveTimesAPowerOfTen)
{
    // (12.34567 - 0) / 6 = 2.06: 1 and 2 are too small, 5 is the step.
    EXPECT_EQ((Labels{"0", "5", "10"}), labels(round_ticks(0, 12.34567, 6)));
    // 300 / 7 = 42.9: the step is 50.
    EXPECT_EQ((Labels{"42450", "42500", "42550", "42600", "42650", "42700", "42750"}),
              labels(round_ticks(42450, 42750, 7)));
    // 0.6 / 3 = 0.2 exactly: 0.2 is the step; every label has its one decimal, 0 no sign.
    EXPECT_EQ((Labels{"-0.2", "0.0", "0.2"}), labels(round_ticks(-0.3, 0.3, 3)));
    EXPECT_EQ((Labels{"-2000", "0", "2000", "4000"}), labels(round_ticks(-2500, 5000, 4)));
}

TEST(RoundTicks, LabelTenthsAsTenthsAndPlaceThemAtTheNearestDouble)
{
    const std::vector<Tick> ticks = round_ticks(0, 0.7, 7);
    EXPECT_EQ((Labels{"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7"}), labels(ticks));
    EXPECT_EQ(0.3, ticks[3].value);  // 3 / 10, not 0.1 + 0.1 + 0.1
    EXPECT_EQ(0.7, ticks[7].value);
}

TEST(RoundTicks, GiveOneTickWhenTheEndsMeet)
{
    EXPECT_EQ((Labels{"5.00"}), labels(round_ticks(5, 5, 6)));
}

TEST(DecadeTicks, MarkThePowersOfTenBetweenTheEnds)
{
    EXPECT_EQ((Labels{"0.01", "0.1", "1", "10"}), labels(decade_ticks(std::log10(0.002), std::log10(50.0))));
    const std::vector<Tick> ticks = decade_ticks(-12.5, 12.5);  // 25 powers of ten: every fifth
    EXPECT_EQ((Labels{"1e-12", "1e-7", "0.01", "1000", "1e8"}), labels(ticks));
    EXPECT_EQ(-12.0, ticks[0].value);
    EXPECT_EQ((Labels{"0.0001", "0.001", "0.01", "0.1", "1", "10", "100", "1000", "10000", "100000"}),
              labels(decade_ticks(-4, 5)));
    EXPECT_EQ((Labels{"0.0001", "0.01", "1", "100", "10000", "1000000"}), labels(decade_ticks(-4, 6)));
}

TEST(DecadeTicks, FallBackToOneTwoAndFiveAndThenToTheEnds)
{
    // Only 10 lies between 1.5 and 60: 2, 5, 10, 20 and 50 mark the bar instead.
    const std::vector<Tick> ticks = decade_ticks(std::log10(1.5), std::log10(60.0));
    EXPECT_EQ((Labels{"2", "5", "10", "20", "50"}), labels(ticks));
    EXPECT_NEAR(std::log10(20.0), ticks[3].value, 1e-12);
    // Between 3 and 8 only 5 is round: the ends are labelled instead.
    EXPECT_EQ((Labels{"3", "8"}), labels(decade_ticks(std::log10(3.0), std::log10(8.0))));
}

TEST(DecimalText, RoundsTheExactBinaryValueAndNeverWritesMinusZero)
{
    EXPECT_EQ("2.67", decimal_text(2.675, 2));  // 2.675 is held as 2.67499999...
    EXPECT_EQ("0.13", decimal_text(0.125000001, 2));
    EXPECT_EQ("0.12", decimal_text(0.125, 2));  // an exact tie goes to the even digit
    EXPECT_EQ("0.00", decimal_text(-0.0001, 2));
    EXPECT_EQ("0", decimal_text(-0.0, 0));
    EXPECT_EQ("-42750", decimal_text(-42750, 0));
}

}  // namespace
