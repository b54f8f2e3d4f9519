#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "map/colour_scale.hpp"

namespace {

ValueRange range_of(std::initializer_list<float> values)
{
    ValueRange range;
    for (const float value : values) range.include(value);
    return range;
}

ColourScale automatic(std::initializer_list<float> values) { return ColourScale::choose(range_of(values), ScaleChoice::Automatic); }

const float kInf = std::numeric_limits<float>::infinity();

TEST(Palettes, RunThroughTheirAnchors)
{
    EXPECT_EQ((Rgb{0x44, 0x01, 0x54}), viridis(0.0));
    EXPECT_EQ((Rgb{0xfd, 0xe7, 0x25}), viridis(1.0));
    EXPECT_EQ((Rgb{0x21, 0x91, 0x8c}), viridis(0.5));
    // Halfway between the anchors at 0.2 (41 44 87) and 0.3 (35 5f 8d), halves rounded away from zero.
    EXPECT_EQ((Rgb{59, 82, 138}), viridis(0.25));
    EXPECT_EQ(viridis(0.0), viridis(-3.0));
    EXPECT_EQ(viridis(1.0), viridis(7.0));
    EXPECT_EQ((Rgb{0x05, 0x30, 0x61}), blue_to_red(0.0));
    EXPECT_EQ((Rgb{0xf7, 0xf7, 0xf7}), blue_to_red(0.5));
    EXPECT_EQ((Rgb{0x67, 0x00, 0x1f}), blue_to_red(1.0));
}

TEST(Palettes, NoLevelOfAnyScaleTakesTheNeutralColour)
{
    const std::vector<float> levels = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (const ColourScale& scale : {automatic({1, 5}), automatic({-1, 5}), ColourScale::choose({}, ScaleChoice::Automatic, levels)}) {
        for (int level = 0; level < scale.level_count(); ++level) {
            const Rgb colour = scale.level_colour(level);
            const int distance = std::abs(colour.red - NEUTRAL_COLOUR.red) + std::abs(colour.green - NEUTRAL_COLOUR.green) +
                                 std::abs(colour.blue - NEUTRAL_COLOUR.blue);
            EXPECT_GT(distance, 60) << "level " << level;
        }
    }
}

TEST(ValueRange, HoldsFiniteValuesBySign)
{
    const ValueRange range = range_of({0.0f, -5.0f, -0.0f, std::nanf(""), kInf, 3.0f, 0.25f, 9.5f, -kInf, -0.5f});
    EXPECT_EQ(0.25f, range.positive.smallest);
    EXPECT_EQ(9.5f, range.positive.largest);
    EXPECT_EQ(0.5f, range.negative.smallest);
    EXPECT_EQ(5.0f, range.negative.largest);
    const ValueRange none = range_of({0.0f, -0.0f, std::nanf(""), kInf, -kInf});
    EXPECT_TRUE(none.positive.empty());
    EXPECT_TRUE(none.negative.empty());
}

TEST(ColourScale, IsLogarithmicWhenTheMagnitudesSpanMoreThanTwoDecades)
{
    EXPECT_FALSE(automatic({1.0f, 100.0f}).logarithmic());
    EXPECT_TRUE(automatic({1.0f, 100.01f}).logarithmic());
    EXPECT_TRUE(automatic({0.001f, 5.0f, 0.0f}).logarithmic());
    // Negative values count by their magnitude, on a scale around zero.
    EXPECT_TRUE(automatic({-1000.0f, 0.0f, 2.0f, 30.0f}).logarithmic());
    EXPECT_FALSE(automatic({-20.0f, 0.0f, 2.0f, 30.0f}).logarithmic());
    // A choice on the command line holds either way.
    EXPECT_FALSE(ColourScale::choose(range_of({0.001f, 1000.0f}), ScaleChoice::Linear).logarithmic());
    EXPECT_TRUE(ColourScale::choose(range_of({1.0f, 2.0f}), ScaleChoice::Logarithmic).logarithmic());
}

TEST(ColourScale, IsSequentialForPositiveValuesAndDivergingOnceOneIsNegative)
{
    EXPECT_EQ(ScaleKind::Sequential, automatic({0.0f, 1.0f, 8.0f}).kind());
    EXPECT_EQ(ScaleKind::Diverging, automatic({-1.0f, 8.0f}).kind());
    EXPECT_EQ(ScaleKind::Diverging, automatic({-1.0f, -8.0f}).kind());
    EXPECT_EQ(ScaleKind::Classes, ColourScale::choose(range_of({-1.0f, 8.0f}), ScaleChoice::Automatic, std::vector<float>{5}).kind());
}

// Each scale's places of values on the bar, and nothing for the values it does not colour.
TEST(ColourScale, PlacesValuesOnTheBar)
{
    const float nan = std::nanf("");
    struct Case {
        const char* name;
        ColourScale scale;
        std::vector<std::pair<float, double>> places;
        std::vector<float> uncoloured;
    };
    const std::vector<float> levels = {1.0f, 10.0f, 100.0f};
    const Case cases[] = {
        {"linear from zero to the largest", automatic({1.0f, 8.0f}), {{2.0f, 0.25}, {8.0f, 1.0}, {0.001f, 0.000125}},
         {0.0f, -0.0f, nan, kInf}},
        {"logarithmic from the smallest to the largest", ColourScale::choose(range_of({0.01f, 100.0f}), ScaleChoice::Logarithmic),
         {{1.0f, 0.5}, {0.1f, 0.25}, {100.0f, 1.0}, {0.01f, 0.0}, {0.001f, 0.0}},
         {0.0f, nan, kInf, -kInf}},
        // The larger magnitude (8) reaches an end; zero lies in the middle.
        {"linear around zero", automatic({-2.0f, 8.0f}), {{8.0f, 1.0}, {-2.0f, 0.375}, {4.0f, 0.75}, {-8.0f, 0.0}},
         {0.0f, -0.0f, nan, kInf, -kInf}},
        // Magnitudes 0.01 to 100 on each side of the middle.
        {"logarithmic around zero", automatic({-0.01f, 100.0f}), {{100.0f, 1.0}, {1.0f, 0.75}, {-1.0f, 0.25}, {-100.0f, 0.0}},
         {0.0f, nan, kInf}},
        // Four classes: below 1, 1 to 10, 10 to 100, 100 and above; a level belongs to the class above it.
        {"classes between levels", ColourScale::choose({}, ScaleChoice::Automatic, levels),
         {{-5.0f, 0.125}, {0.0f, 0.125}, {1.0f, 0.375}, {99.9f, 0.625}, {100.0f, 0.875}, {1e30f, 0.875}},
         {nan, kInf, -kInf}},
    };
    for (const Case& c : cases) {
        for (const auto& [value, place] : c.places) {
            ASSERT_TRUE(c.scale.position(value).has_value()) << c.name << ": " << value;
            EXPECT_NEAR(place, *c.scale.position(value), 1e-7) << c.name << ": " << value;
        }
        for (const float value : c.uncoloured) {
            EXPECT_FALSE(c.scale.position(value).has_value()) << c.name << ": " << value;
            EXPECT_FALSE(c.scale.level(value).has_value()) << c.name << ": " << value;
        }
    }
}

TEST(ColourScale, GivesLevelsOfTheColoursAndTheTopOneWhenAllValuesAreEqual)
{
    const ColourScale linear = automatic({1.0f, 8.0f});
    EXPECT_EQ(COLOUR_LEVELS - 1, linear.level(8.0f));
    EXPECT_EQ(128, linear.level(4.0f));  // 0.5 x 255 = 127.5, rounded up
    EXPECT_EQ(viridis(1.0), linear.level_colour(COLOUR_LEVELS - 1));
    for (const ScaleChoice choice : {ScaleChoice::Linear, ScaleChoice::Logarithmic}) {
        EXPECT_EQ(COLOUR_LEVELS - 1, ColourScale::choose(range_of({3.0f, 3.0f}), choice).level(3.0f));
    }
    const ColourScale classes = ColourScale::choose({}, ScaleChoice::Automatic, std::vector<float>{5.0f});
    EXPECT_EQ(2, classes.level_count());
    EXPECT_EQ(1, classes.level(5.0f));
    EXPECT_EQ(viridis(0.0), classes.level_colour(0));
    EXPECT_EQ(viridis(1.0), classes.level_colour(1));
    EXPECT_EQ(blue_to_red(0.0), automatic({-3.0f, 1.0f}).level_colour(0));
}

}  // namespace
