#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "map/colour_scale.hpp"

namespace {

PositiveRange range_of(std::initializer_list<float> values)
{
    PositiveRange range;
    for (const float value : values) range.include(value);
    return range;
}

TEST(Viridis, RunsFromDarkPurpleToYellowThroughItsAnchors)
{
    EXPECT_EQ((Rgb{0x44, 0x01, 0x54}), viridis(0.0));
    EXPECT_EQ((Rgb{0xfd, 0xe7, 0x25}), viridis(1.0));
    EXPECT_EQ((Rgb{0x21, 0x91, 0x8c}), viridis(0.5));
    // Halfway between the anchors at 0.2 (41 44 87) and 0.3 (35 5f 8d), halves rounded away from zero.
    EXPECT_EQ((Rgb{59, 82, 138}), viridis(0.25));
    EXPECT_EQ(viridis(0.0), viridis(-3.0));
    EXPECT_EQ(viridis(1.0), viridis(7.0));
    EXPECT_EQ(viridis(1.0), level_colour(COLOUR_LEVELS - 1));
    EXPECT_EQ(viridis(0.0), level_colour(0));
}

TEST(Viridis, NoLevelTakesTheNeutralColour)
{
    for (int level = 0; level < COLOUR_LEVELS; ++level) {
        const Rgb colour = level_colour(level);
        const int distance = std::abs(colour.red - NEUTRAL_COLOUR.red) + std::abs(colour.green - NEUTRAL_COLOUR.green) +
                             std::abs(colour.blue - NEUTRAL_COLOUR.blue);
        EXPECT_GT(distance, 60) << "level " << level;
    }
}

TEST(PositiveRange, HoldsOnlyFinitePositiveValues)
{
    const float inf = std::numeric_limits<float>::infinity();
    const PositiveRange range = range_of({0.0f, -5.0f, -0.0f, std::nanf(""), inf, 3.0f, 0.25f, 9.5f, -inf});
    EXPECT_EQ(0.25f, range.smallest);
    EXPECT_EQ(9.5f, range.largest);
    EXPECT_TRUE(range_of({0.0f, -1.0f, std::nanf(""), inf}).empty());
}

TEST(ColourScale, IsLogarithmicWhenThePositiveValuesSpanMoreThanTwoDecades)
{
    EXPECT_FALSE(ColourScale::choose(range_of({1.0f, 100.0f}), ScaleChoice::Automatic).logarithmic());
    EXPECT_TRUE(ColourScale::choose(range_of({1.0f, 100.01f}), ScaleChoice::Automatic).logarithmic());
    EXPECT_TRUE(ColourScale::choose(range_of({0.001f, 5.0f, 0.0f}), ScaleChoice::Automatic).logarithmic());
    // Zero and negative values do not widen the span.
    EXPECT_FALSE(ColourScale::choose(range_of({-1000.0f, 0.0f, 2.0f, 30.0f}), ScaleChoice::Automatic).logarithmic());
    // A choice on the command line holds either way.
    EXPECT_FALSE(ColourScale::choose(range_of({0.001f, 1000.0f}), ScaleChoice::Linear).logarithmic());
    EXPECT_TRUE(ColourScale::choose(range_of({1.0f, 2.0f}), ScaleChoice::Logarithmic).logarithmic());
}

TEST(ColourScale, PlacesValuesLinearlyFromZeroToTheLargest)
{
    const ColourScale scale = ColourScale::choose(range_of({1.0f, 8.0f}), ScaleChoice::Automatic);
    EXPECT_EQ(0.0, scale.low());
    EXPECT_EQ(8.0, scale.high());
    EXPECT_EQ(0.25, scale.position(2.0f));
    EXPECT_EQ(1.0, scale.position(8.0f));
    EXPECT_EQ(COLOUR_LEVELS - 1, scale.level(8.0f));
    EXPECT_EQ(128, scale.level(4.0f));  // 0.5 x 255 = 127.5, rounded up
    EXPECT_EQ(0, scale.level(0.001f));
}

TEST(ColourScale, PlacesValuesByTheirLogarithmBetweenTheSmallestAndTheLargest)
{
    const ColourScale scale = ColourScale::choose(range_of({0.01f, 100.0f}), ScaleChoice::Logarithmic);
    EXPECT_NEAR(-2.0, scale.low(), 1e-7);
    EXPECT_NEAR(2.0, scale.high(), 1e-7);
    EXPECT_NEAR(0.5, *scale.position(1.0f), 1e-7);
    EXPECT_NEAR(0.25, *scale.position(0.1f), 1e-7);
    EXPECT_EQ(1.0, scale.position(100.0f));
    EXPECT_EQ(0.0, scale.position(0.01f));
    EXPECT_EQ(COLOUR_LEVELS - 1, scale.level(100.0f));
}

TEST(ColourScale, GivesNoPlaceToZeroNegativeOrNonFiniteValues)
{
    for (const ScaleChoice choice : {ScaleChoice::Linear, ScaleChoice::Logarithmic}) {
        const ColourScale scale = ColourScale::choose(range_of({0.5f, 50.0f}), choice);
        for (const float value : {0.0f, -0.0f, -2.0f, std::nanf(""), std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity()}) {
            EXPECT_FALSE(scale.position(value).has_value()) << value;
            EXPECT_FALSE(scale.level(value).has_value()) << value;
        }
    }
}

TEST(ColourScale, GivesTheTopColourWhenAllPositiveValuesAreEqual)
{
    for (const ScaleChoice choice : {ScaleChoice::Linear, ScaleChoice::Logarithmic}) {
        const ColourScale scale = ColourScale::choose(range_of({3.0f, 3.0f}), choice);
        EXPECT_EQ(COLOUR_LEVELS - 1, scale.level(3.0f));
    }
}

}  // namespace
