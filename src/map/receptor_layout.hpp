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

// The spacing of a regular grid of receptors, in model units.
struct GridSpacing {
    double x_step;
    double y_step;
};

// The spacing when the placed receptors lie on a regular grid: along each axis
// every gap between neighbouring coordinates is a whole multiple of the
// smallest one, and the receptors fill at least a quarter of the grid's nodes.
// A single row or column takes the spacing along it for both. Nothing for
// scattered receptors, or fewer than two distinct places.
std::optional<GridSpacing> detect_grid(const ReceptorStore& receptors);

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
