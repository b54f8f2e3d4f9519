#include <cmath>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

#include "map/receptor_layout.hpp"

namespace {

ReceptorStore store_of(std::initializer_list<MapReceptor> receptors)
{
    ReceptorStore store;
    for (const MapReceptor& receptor : receptors) store.push_back(receptor);
    return store;
}

// Receptors on every node of a columns x rows grid from (x0, y0), value 1.
ReceptorStore grid(int columns, int rows, float x0, float y0, float x_step, float y_step)
{
    ReceptorStore store;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            store.push_back({x0 + static_cast<float>(column) * x_step, y0 + static_cast<float>(row) * y_step, 1.0f});
        }
    }
    return store;
}

void expect_spacing(double x_step, double y_step, const std::optional<GridSpacing>& spacing, double tolerance = 0)
{
    ASSERT_TRUE(spacing.has_value());
    EXPECT_NEAR(x_step, spacing->x_step, tolerance);
    EXPECT_NEAR(y_step, spacing->y_step, tolerance);
}

TEST(GridDetection, FindsTheSpacingOfRegularGrids)
{
    expect_spacing(100, 100, detect_grid(grid(3, 2, 42500, 61250, 100, 100)));
    expect_spacing(250, 100, detect_grid(grid(5, 4, -500, 0, 250, 100)));
    // Tenths are not exact in single precision; the gaps still agree.
    expect_spacing(0.1, 0.1, detect_grid(grid(4, 4, 0.1f, 0.1f, 0.1f, 0.1f)), 1e-6);
    // A single row takes its spacing along both axes.
    expect_spacing(50, 50, detect_grid(grid(5, 1, 0, 7, 50, 1)));
    expect_spacing(20, 20, detect_grid(grid(1, 6, 3, 0, 1, 20)));
}

TEST(GridDetection, AcceptsHolesDuplicatesAndUnplacedReceptors)
{
    const float nan = std::nanf("");
    // Eight of nine nodes, the middle one missing, one node given twice, and one receptor with no place.
    const ReceptorStore store = store_of({{0, 0, 1}, {10, 0, 1}, {20, 0, 1}, {0, 10, 1}, {20, 10, 1}, {0, 20, 1},
                                          {10, 20, 1}, {20, 20, 1}, {10, 0, 5}, {nan, 10, 1}});
    expect_spacing(10, 10, detect_grid(store));
    // A missing column leaves a gap of two steps: still the same grid.
    expect_spacing(10, 10, detect_grid(store_of({{0, 0, 1}, {10, 0, 1}, {30, 0, 1}, {0, 10, 1}, {10, 10, 1}, {30, 10, 1}})));
}

TEST(GridDetection, RefusesScatteredAndSparseReceptors)
{
    // Gaps 10 and 15: 15 is no whole multiple of 10.
    EXPECT_FALSE(detect_grid(store_of({{0, 0, 1}, {10, 0, 1}, {25, 0, 1}})));
    EXPECT_FALSE(detect_grid(store_of({{0, 0, 1}, {10, 3, 1}, {25, 7, 1}, {31, 18, 1}})));
    // Gaps of 1 and 999 are multiples of 1, but 3 receptors on 1001 nodes are no grid.
    EXPECT_FALSE(detect_grid(store_of({{0, 0, 1}, {1, 0, 1}, {1000, 0, 1}})));
    // Four on the diagonal of a 4 x 4 grid fill a quarter of it: the least a grid may.
    expect_spacing(10, 10, detect_grid(store_of({{0, 0, 1}, {10, 10, 1}, {20, 20, 1}, {30, 30, 1}})));
    EXPECT_FALSE(detect_grid(store_of({{0, 0, 1}, {10, 10, 1}, {20, 20, 1}, {30, 30, 1}, {40, 40, 1}})));
}

TEST(GridDetection, NeedsTwoDistinctPlaces)
{
    EXPECT_FALSE(detect_grid(store_of({})));
    EXPECT_FALSE(detect_grid(store_of({{5, 5, 1}})));
    EXPECT_FALSE(detect_grid(store_of({{5, 5, 1}, {5, 5, 2}, {std::numeric_limits<float>::infinity(), 0, 1}})));
}

TEST(Extent, SpansOnlyReceptorsWithAPlace)
{
    const float inf = std::numeric_limits<float>::infinity();
    const Extent extent = extent_of(store_of({{inf, 0, 1}, {3, -2, 1}, {-1, 8, 1}, {0, std::nanf(""), 1}}));
    EXPECT_EQ(2u, extent.placed);
    EXPECT_EQ(-1, extent.x_low);
    EXPECT_EQ(3, extent.x_high);
    EXPECT_EQ(-2, extent.y_low);
    EXPECT_EQ(8, extent.y_high);
}

TEST(Binning, KeepsTheHighestValueOfEachSquareCell)
{
    // 200 x 100 units on at most 4 cells along the longer side: cells of 50, 4 x 2 of them.
    const ReceptorStore store = store_of({{0, 0, 1}, {49.9f, 0, 3}, {200, 100, 5}, {150, 50, 2}, {199, 99, 4}});
    const BinnedCells cells = bin_receptors(store, extent_of(store), 4);
    EXPECT_EQ(50, cells.cell_size);
    EXPECT_EQ(4, cells.columns);
    EXPECT_EQ(2, cells.rows);
    EXPECT_EQ(3, cells.highest[cells.index(0, 0)]);  // 1 and 3 share the first cell
    EXPECT_EQ(5, cells.highest[cells.index(3, 1)]);  // the far corner falls into the last cell, with 2 and 4
    int counted = 0;
    for (const std::uint8_t mark : cells.counted) counted += mark;
    EXPECT_EQ(2, counted);
}

TEST(Binning, RanksNumbersAboveNotANumber)
{
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    const ReceptorStore store =
        store_of({{0, 0, nan}, {0.1f, 0, -5}, {1, 0, -inf}, {1, 0.1f, -7}, {2, 0, nan}, {3, 0, 0}, {3, 0, inf}});
    const BinnedCells cells = bin_receptors(store, extent_of(store), 3);  // cells of 1 unit: 3 x 1
    ASSERT_EQ(3, cells.columns);
    ASSERT_EQ(1, cells.rows);
    EXPECT_EQ(-5, cells.highest[0]);      // not-a-number first, then -5
    EXPECT_EQ(-7, cells.highest[1]);      // -7 above minus infinity
    EXPECT_EQ(inf, cells.highest[2]);     // cell 3 is cut to the last one: NaN, 0 and infinity
}

TEST(Binning, PutsReceptorsAtOnePlaceIntoOneCell)
{
    const ReceptorStore store = store_of({{7, 7, 1}, {7, 7, 9}, {7, 7, 4}});
    const BinnedCells cells = bin_receptors(store, extent_of(store), 200);
    EXPECT_EQ(1, cells.columns);
    EXPECT_EQ(1, cells.rows);
    EXPECT_EQ(9, cells.highest[0]);
}

TEST(Binning, UsesAtMostTheGivenCountOfCellsAlongTheLongerSide)
{
    const ReceptorStore store = grid(500, 120, 0, 0, 1, 1);  // 499 x 119 units
    const BinnedCells cells = bin_receptors(store, extent_of(store), 200);
    EXPECT_EQ(200, cells.columns);
    EXPECT_EQ(48, cells.rows);  // 119 / 2.495 = 47.7
    for (const std::uint8_t mark : cells.counted) EXPECT_EQ(1, mark);
}

}  // namespace

namespace {

// Rings of the radii around (cx, cy), each at `directions` evenly spaced from the angle `turn` (radians).
ReceptorStore rings(const std::vector<double>& radii, int directions, double cx, double cy, double turn = 0)
{
    ReceptorStore store;
    for (const double radius : radii) {
        for (int ray = 0; ray < directions; ++ray) {
            const double angle = turn + 2 * 3.14159265358979323846 * ray / directions;
            store.push_back({static_cast<float>(cx + radius * std::cos(angle)), static_cast<float>(cy + radius * std::sin(angle)), 1});
        }
    }
    return store;
}

TEST(MeshDetection, FindsRegularAndPolarGridsAndTheirNodes)
{
    const std::optional<ReceptorMesh> regular = find_mesh(grid(3, 2, 0, 0, 10, 10));
    ASSERT_TRUE(regular.has_value());
    EXPECT_EQ(ReceptorMesh::Shape::Cartesian, regular->shape);
    EXPECT_EQ(2u, regular->cell_columns());
    EXPECT_EQ(1u, regular->cell_rows());
    EXPECT_EQ(4u, regular->receptor_at[regular->node(1, 1)]);  // (10, 10), the fifth receptor

    // 36 directions of 10 degrees at far coordinates, where single precision
    // holds a place to a quarter of a unit; directions begin north-east.
    const ReceptorStore far = rings({100, 250, 500, 1000}, 36, 588348.27, 4425586.2, 0.8);
    const std::optional<ReceptorMesh> polar = find_mesh(far);
    ASSERT_TRUE(polar.has_value());
    EXPECT_EQ(ReceptorMesh::Shape::Polar, polar->shape);
    EXPECT_EQ(36u, polar->across);
    EXPECT_EQ(4u, polar->along);
    EXPECT_EQ(36u, polar->cell_columns());  // around the circle
    EXPECT_EQ(3u, polar->cell_rows());
    // Directions anticlockwise from the east: the first is the ray at 0.8 + 26 x 10 degrees ... the
    // smallest angle, 0.8 rad minus 4 steps of 10 degrees, ray 32; rings outwards.
    EXPECT_EQ(32u, polar->receptor_at[polar->node(0, 0)]);
    EXPECT_EQ(3u * 36 + 33, polar->receptor_at[polar->node(1, 3)]);
}

TEST(MeshDetection, RefusesReceptorsThatFormNoCells)
{
    EXPECT_FALSE(find_mesh(grid(5, 1, 0, 0, 10, 10)));  // one row
    EXPECT_FALSE(find_mesh(rings({100}, 12, 0, 0)));   // one ring
    ReceptorStore holed = rings({100, 200}, 12, 0, 0);
    holed.push_back({0, 0, 1});  // a receptor at the centre
    EXPECT_FALSE(find_mesh(holed));
    ReceptorStore uneven = rings({100, 200}, 12, 0, 0);
    uneven.push_back({300, 10, 1});  // one receptor beyond the rings
    EXPECT_FALSE(find_mesh(uneven));
    EXPECT_FALSE(find_mesh(store_of({{0, 0, 1}, {10, 3, 1}, {25, 7, 1}, {31, 18, 1}, {5, 40, 1}, {50, 2, 1}, {17, 29, 1}})));
}

}  // namespace
