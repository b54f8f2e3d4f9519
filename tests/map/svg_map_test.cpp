#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "map/svg_map.hpp"

namespace {

// A square grid of side x side receptors, 10 units apart, values rising towards the far corner.
PlotContents square_grid(int side)
{
    PlotContents contents;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            contents.receptors.push_back({10.0f * column, 10.0f * row, 1.0f + column + row});
        }
    }
    RankedLine highest;
    highest.line_number = static_cast<std::uint64_t>(side) * side;
    highest.x = highest.y = 10.0f * (side - 1);
    highest.value = 2.0f * side - 1;
    contents.highest.push_back(highest);
    return contents;
}

// Scattered receptors: a pseudo-random walk, the same every run.
PlotContents scattered(std::size_t count)
{
    PlotContents contents;
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    };
    for (std::size_t i = 0; i < count; ++i) contents.receptors.push_back({next() * 5000, next() * 3000, next() * 100});
    return contents;
}

std::string map_of(const PlotContents& contents, ScaleChoice choice = ScaleChoice::Automatic)
{
    return draw_map({"title", "file.plt", contents, choice});
}

bool holds(const std::string& svg, std::string_view text) { return svg.find(text) != std::string::npos; }

TEST(SvgMap, DrawsGridsAsCellsAndScatteredReceptorsAsDots)
{
    const std::string grid = map_of(square_grid(5));
    EXPECT_TRUE(holds(grid, "grid cells of 10 x 10"));
    EXPECT_TRUE(holds(grid, "h128v128h-128z"));  // 640 pixels over 5 cells of 10 units
    EXPECT_TRUE(holds(map_of(scattered(50)), "dots: scattered receptors"));
}

TEST(SvgMap, BinsAboveTheThresholdOnly)
{
    EXPECT_FALSE(holds(map_of(scattered(BINNING_THRESHOLD)), "binned"));
    const std::string binned = map_of(scattered(BINNING_THRESHOLD + 1));
    EXPECT_TRUE(holds(binned, "binned: 200 x 120 cells of 25"));
    EXPECT_TRUE(holds(binned, "each showing the highest"));
}

TEST(SvgMap, StaysSmallForLargeFiles)
{
    const std::string dots = map_of(scattered(BINNING_THRESHOLD));
    EXPECT_LT(dots.size(), 1'000'000u);
    const std::string cells = map_of(square_grid(200));  // 40,000 cells, not binned
    EXPECT_LT(cells.size(), 2'000'000u);
    const std::string binned = map_of(square_grid(700));  // 490,000 receptors on 200 x 200 cells
    EXPECT_TRUE(holds(binned, "binned: 200 x 200 cells"));
    EXPECT_LT(binned.size(), 2'000'000u);
}

TEST(SvgMap, GivesTheSameBytesForTheSameSubject)
{
    const PlotContents contents = scattered(3000);
    EXPECT_EQ(map_of(contents), map_of(contents));
}

TEST(SvgMap, NamesTheScaleOnTheColourBar)
{
    PlotContents contents = square_grid(3);
    EXPECT_TRUE(holds(map_of(contents), "value, linear scale"));
    EXPECT_TRUE(holds(map_of(contents, ScaleChoice::Logarithmic), "value, logarithmic scale"));
    contents.receptors.push_back({0, 30, 1000.0f});
    EXPECT_TRUE(holds(map_of(contents), "value, logarithmic scale"));
}

TEST(SvgMap, CopesWithNoPlaceAndNoPositiveValue)
{
    PlotContents contents;
    contents.receptors.push_back({std::nanf(""), 0, 5});
    contents.receptors.push_back({0, std::numeric_limits<float>::infinity(), -1});
    const std::string svg = map_of(contents);
    EXPECT_TRUE(holds(svg, "no receptor to draw"));
    EXPECT_TRUE(holds(svg, "2 receptors without"));
    EXPECT_FALSE(holds(svg, "nan"));
    EXPECT_FALSE(holds(svg, "inf"));
    const std::string empty = map_of(PlotContents{});
    EXPECT_TRUE(holds(empty, "no positive value"));
    EXPECT_TRUE(holds(empty, "file.plt, 0 receptors"));
}

}  // namespace
