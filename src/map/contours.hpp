#pragma once

#include <span>
#include <vector>

#include "map/receptor_layout.hpp"

// A place on a contour line, in model units.
struct ContourPoint {
    double x;
    double y;
};

// One line of a level: closed when its last point joins its first (which is
// then not repeated), open where it meets the edge of the grid or a cell
// that cannot be drawn.
struct ContourLine {
    std::vector<ContourPoint> points;
    bool closed = false;
};

// The lines of one level.
struct LevelLines {
    float level = 0.0f;
    std::vector<ContourLine> lines;
};

// Contour lines by marching squares over the cells of a mesh: a receptor at
// or above a level lies inside its lines. A line crosses each cell edge whose
// two receptors lie on either side, at the point of the edge where the
// linear interpolation between their values meets the level; a cell with
// its inside corners opposite each other (a saddle) joins them through its
// middle when the mean of its four values lies inside. A cell with a corner
// without a receptor or without a finite value is not crossed. One entry per
// level, in the order given.
std::vector<LevelLines> trace_contours(const ReceptorMesh& mesh, const ReceptorStore& receptors,
                                       std::span<const float> levels);
