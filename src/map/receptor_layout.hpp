#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "map/receptors.hpp"

// Only receptors with finite x and y can be placed on the map.
bool has_place(const MapReceptor& receptor);

// The smallest rectangle around every receptor that has a place.
struct Extent {
    double x_low = 0, x_high = 0, y_low = 0, y_high = 0;
    std::size_t placed = 0;  // receptors inside it
};
Extent extent_of(const ReceptorStore& receptors);

// A regular grid of receptors: its spacing in model units, its first node
// and its nodes along each axis.
struct GridSpacing {
    double x_step;
    double y_step;
    double x_low = 0;
    double y_low = 0;
    std::size_t columns = 1;
    std::size_t rows = 1;
};

// The spacing when the placed receptors lie on a regular grid: along each axis
// every gap between neighbouring coordinates is a whole multiple of the
// smallest one, and the receptors fill at least a quarter of the grid's nodes.
// A single row or column takes the spacing along it for both. Nothing for
// scattered receptors, or fewer than two distinct places.
std::optional<GridSpacing> detect_grid(const ReceptorStore& receptors);

// Receptors on a grid of four-cornered cells, which contour lines follow:
// the nodes of a regular grid, row by row (rows along y, columns along x);
// or of a polar grid, ring by ring outwards (rings of receptors at one
// distance from a centre, all at the same directions), direction by
// direction anticlockwise from the east. A cell lies between two neighbouring
// rows and columns, or rings and directions, the last direction joining the
// first around the circle.
struct ReceptorMesh {
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    enum class Shape { Cartesian, Polar };

    Shape shape = Shape::Cartesian;
    std::size_t across = 0;  // columns, or directions
    std::size_t along = 0;   // rows, or rings
    std::vector<std::uint32_t> receptor_at;  // by node, row * across + column; kNone where none stands

    bool wraps() const { return shape == Shape::Polar; }
    std::size_t node(std::size_t column, std::size_t row) const { return row * across + column % across; }
    // Cells between columns column and column + 1 (around the circle on a polar grid).
    std::size_t cell_columns() const { return wraps() ? across : (across > 0 ? across - 1 : 0); }
    std::size_t cell_rows() const { return along > 0 ? along - 1 : 0; }
};

// The placed receptors as nodes of a regular grid (see detect_grid), or
// else of a complete polar grid: two rings at least, at three directions at
// least, every ring at every direction. The centre is the mean of the
// places; distances and directions that agree to within the precision of
// the coordinates are the same. Nothing for receptors that form neither, or
// form no cell (a single row).
std::optional<ReceptorMesh> find_mesh(const ReceptorStore& receptors);

// Receptors gathered onto square cells, each holding the highest value in it.
struct BinnedCells {
    double x_low = 0;
    double y_low = 0;
    double cell_size = 1;
    int columns = 0;
    int rows = 0;
    std::vector<float> highest;         // row by row from y_low, column by column from x_low
    std::vector<std::uint8_t> counted;  // 1 where a receptor fell into the cell

    std::size_t index(int column, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
    }
};

// Bins the placed receptors onto at most largest_count cells along the longer
// side of their extent (and as many as the shorter side needs), each keeping
// its highest value (a number above not-a-number).
BinnedCells bin_receptors(const ReceptorStore& receptors, const Extent& extent, int largest_count);
