#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "map/svg_map.hpp"
#include "map/contours.hpp"
#include "plot/standard_layout.hpp"

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

TEST(SvgMap, NamesTheFieldAndTheScaleOnTheColourBar)
{
    PlotContents contents = square_grid(3);
    EXPECT_TRUE(holds(map_of(contents), ">value, linear scale<"));
    EXPECT_TRUE(holds(map_of(contents, ScaleChoice::Logarithmic), ">value, logarithmic scale<"));
    contents.names = column_names(STANDARD_LAYOUT, std::vector<std::string>{"*            X             Y      DRY DEP"});
    contents.receptors.push_back({0, 30, 1000.0f});
    EXPECT_TRUE(holds(map_of(contents), ">DRY DEP, logarithmic scale<"));
    contents.receptors.push_back({0, 40, -2.0f});
    const std::string diverging = map_of(contents);
    EXPECT_TRUE(holds(diverging, ">DRY DEP, logarithmic scale<"));  // wrapped in the width beside the map
    EXPECT_TRUE(holds(diverging, ">around 0<"));
    EXPECT_TRUE(holds(diverging, ">-1000<"));
    EXPECT_TRUE(holds(diverging, "stop-color=\"#f7f7f7\""));  // near white at zero
}

// Classes named in the field's own form, F13.5 here, contours labelled so;
// zero in a class and not grey.
TEST(SvgMap, ColoursClassesBetweenLevelsAndLabelsTheirLines)
{
    PlotContents contents = square_grid(3);  // 1 to 5
    contents.receptors[0].value = 0.0f;
    const std::vector<float> levels = {2.5f, 64.6003f};
    const std::optional<ReceptorMesh> mesh = find_mesh(contents.receptors);
    ASSERT_TRUE(mesh.has_value());
    const std::vector<LevelLines> contours = trace_contours(*mesh, contents.receptors, levels);
    const std::string svg = draw_map({"title", "file.plt", contents, ScaleChoice::Automatic, levels, contours, &*mesh});
    for (const std::string_view text : {">value, classes<", ">below 2.50000<", ">2.50000 to 64.60030<",
                                        ">64.60030 and above<", ">grey: not finite<", "id=\"contours\"", ">2.50000</text>"}) {
        EXPECT_TRUE(holds(svg, text)) << text;
    }
    EXPECT_FALSE(holds(svg, "fill=\"#c0c0c0\" d="));
    const std::string no_grid = draw_map({"title", "file.plt", contents, ScaleChoice::Automatic, levels});
    EXPECT_TRUE(holds(no_grid, ">no contour lines: the receptors<"));
}

TEST(SvgMap, WrapsALongTitleAndCountsRepeatedReceptorsApart)
{
    PlotContents contents = square_grid(3);
    contents.data_lines = 216;
    const std::string title(30, 'W');  // about 70 characters of the title fit a line
    const std::string svg = draw_map({title + ' ' + title + ' ' + title, "file.plt", contents, ScaleChoice::Automatic});
    EXPECT_TRUE(holds(svg, "font-weight=\"bold\">" + title + ' ' + title + "</text>"));
    EXPECT_TRUE(holds(svg, "font-weight=\"bold\">" + title + "</text>"));
    EXPECT_TRUE(holds(svg, ">file.plt, 9 receptors on 216 data lines<"));
    EXPECT_TRUE(holds(svg, ">each shows its highest value<"));
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
