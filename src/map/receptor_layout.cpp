#include "map/receptor_layout.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// Coordinates are single precision: gaps that agree to a thousandth of the
// step are the same step.
constexpr double kStepTolerance = 1e-3;

// A grid this much larger than the receptors on it is a scatter.
constexpr double kLeastFill = 0.25;

struct AxisSpacing {
    double step = 0;       // 0 when all coordinates are the same
    double nodes = 1;      // grid positions from the lowest to the highest coordinate
    double low = 0;        // the lowest coordinate
};

// The common step of sorted distinct coordinates, when every gap is a whole multiple of it.
std::optional<AxisSpacing> regular_spacing(const std::vector<double>& sorted)
{
    if (sorted.size() < 2) return AxisSpacing{0, 1, sorted.empty() ? 0 : sorted.front()};
    double step = sorted[1] - sorted[0];
    for (std::size_t i = 2; i < sorted.size(); ++i) step = std::min(step, sorted[i] - sorted[i - 1]);
    if (!(step > 0)) return std::nullopt;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const double multiple = (sorted[i] - sorted[i - 1]) / step;
        if (std::fabs(multiple - std::round(multiple)) > kStepTolerance * std::round(multiple)) return std::nullopt;
    }
    return AxisSpacing{step, std::round((sorted.back() - sorted.front()) / step) + 1, sorted.front()};
}

std::vector<double> distinct_sorted(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

}  // namespace

bool has_place(const MapReceptor& receptor) { return std::isfinite(receptor.x) && std::isfinite(receptor.y); }

Extent extent_of(const ReceptorStore& receptors)
{
    Extent extent;
    for (std::size_t i = 0; i < receptors.size(); ++i) {
        const MapReceptor& receptor = receptors[i];
        if (!has_place(receptor)) continue;
        if (extent.placed == 0) {
            extent.x_low = extent.x_high = receptor.x;
            extent.y_low = extent.y_high = receptor.y;
        }
        extent.x_low = std::min<double>(extent.x_low, receptor.x);
        extent.x_high = std::max<double>(extent.x_high, receptor.x);
        extent.y_low = std::min<double>(extent.y_low, receptor.y);
        extent.y_high = std::max<double>(extent.y_high, receptor.y);
        ++extent.placed;
    }
    return extent;
}

std::optional<GridSpacing> detect_grid(const ReceptorStore& receptors)
{
    std::vector<std::pair<double, double>> places;
    for (std::size_t i = 0; i < receptors.size(); ++i) {
        if (has_place(receptors[i])) places.emplace_back(receptors[i].x, receptors[i].y);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    if (places.size() < 2) return std::nullopt;

    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto& [x, y] : places) {
        xs.push_back(x);
        ys.push_back(y);
    }
    const std::optional<AxisSpacing> along_x = regular_spacing(distinct_sorted(std::move(xs)));
    const std::optional<AxisSpacing> along_y = regular_spacing(distinct_sorted(std::move(ys)));
    if (!along_x || !along_y) return std::nullopt;
    if (along_x->nodes * along_y->nodes * kLeastFill > static_cast<double>(places.size())) return std::nullopt;
    const double x_step = along_x->step > 0 ? along_x->step : along_y->step;
    const double y_step = along_y->step > 0 ? along_y->step : along_x->step;
    return GridSpacing{x_step, y_step, along_x->low, along_y->low, static_cast<std::size_t>(along_x->nodes),
                       static_cast<std::size_t>(along_y->nodes)};
}

namespace {

std::optional<ReceptorMesh> cartesian_mesh(const ReceptorStore& receptors, const GridSpacing& grid)
{
    if (grid.columns < 2 || grid.rows < 2) return std::nullopt;
    ReceptorMesh mesh;
    mesh.across = grid.columns;
    mesh.along = grid.rows;
    mesh.receptor_at.assign(grid.columns * grid.rows, ReceptorMesh::kNone);
    const auto node_along = [](double offset, double step, std::size_t count) {
        return std::min(static_cast<std::size_t>(std::max(0.0, std::round(offset / step))), count - 1);
    };
    for (std::size_t i = 0; i < receptors.size(); ++i) {
        if (!has_place(receptors[i])) continue;
        const std::size_t node = mesh.node(node_along(receptors[i].x - grid.x_low, grid.x_step, grid.columns),
                                           node_along(receptors[i].y - grid.y_low, grid.y_step, grid.rows));
        if (mesh.receptor_at[node] == ReceptorMesh::kNone) mesh.receptor_at[node] = static_cast<std::uint32_t>(i);
    }
    return mesh;
}

// A receptor seen from the centre of a polar grid.
struct PolarPlace {
    std::uint32_t receptor;
    double distance;
    double direction;  // radians anticlockwise from the east, 0 to 2 pi
    std::size_t ring = 0;
    std::size_t ray = 0;
};

// Groups sorted values into runs whose neighbours lie within tolerance, each
// run spanning at most twice that: the group of each value, in order, and
// the number of groups; nothing when a run spans more.
template <class Value>
std::optional<std::size_t> group_sorted(std::vector<PolarPlace*>& sorted, Value value, double tolerance,
                                        std::size_t PolarPlace::*group)
{
    std::size_t groups = 0;
    double start = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double here = value(*sorted[i]);
        if (i == 0 || here - value(*sorted[i - 1]) > tolerance) {
            ++groups;
            start = here;
        } else if (here - start > 2 * tolerance) {
            return std::nullopt;
        }
        (*sorted[i]).*group = groups - 1;
    }
    return groups;
}

std::optional<ReceptorMesh> polar_mesh(const ReceptorStore& receptors, const Extent& extent)
{
    std::vector<PolarPlace> places;
    double x_sum = 0, y_sum = 0;
    for (std::size_t i = 0; i < receptors.size(); ++i) {
        if (!has_place(receptors[i])) continue;
        places.push_back({static_cast<std::uint32_t>(i), 0, 0});
        x_sum += receptors[i].x;
        y_sum += receptors[i].y;
    }
    if (places.size() < 6) return std::nullopt;
    const double centre_x = x_sum / static_cast<double>(places.size());
    const double centre_y = y_sum / static_cast<double>(places.size());
    // Single precision holds a coordinate to 2^-23 of its size: eight such
    // steps, and a ten-thousandth of the extent, are within precision.
    const double largest = std::max({std::fabs(extent.x_low), std::fabs(extent.x_high), std::fabs(extent.y_low),
                                     std::fabs(extent.y_high)});
    const double tolerance = 1e-4 * std::max(extent.x_high - extent.x_low, extent.y_high - extent.y_low) +
                             8 * std::ldexp(largest, -23);
    for (PolarPlace& place : places) {
        const double dx = receptors[place.receptor].x - centre_x;
        const double dy = receptors[place.receptor].y - centre_y;
        place.distance = std::hypot(dx, dy);
        place.direction = std::atan2(dy, dx);
        if (place.direction < 0) place.direction += 2 * std::numbers::pi;
        if (!(place.distance > tolerance)) return std::nullopt;
    }
    std::vector<PolarPlace*> sorted;
    for (PolarPlace& place : places) sorted.push_back(&place);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->distance < b->distance; });
    const std::optional<std::size_t> rings =
        group_sorted(sorted, [](const PolarPlace& p) { return p.distance; }, tolerance, &PolarPlace::ring);
    if (!rings || *rings < 2 || places.size() % *rings != 0 || places.size() / *rings < 3) return std::nullopt;
    const double angle_tolerance = tolerance / sorted.front()->distance;
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->direction < b->direction; });
    // Directions just below a full turn belong with those just above 0.
    const double wrap_above = sorted.front()->direction + 2 * std::numbers::pi - angle_tolerance;
    for (PolarPlace* place : sorted) {
        if (place->direction >= wrap_above) place->direction -= 2 * std::numbers::pi;
    }
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->direction < b->direction; });
    const std::optional<std::size_t> rays =
        group_sorted(sorted, [](const PolarPlace& p) { return p.direction; }, angle_tolerance, &PolarPlace::ray);
    if (!rays || *rays * *rings != places.size()) return std::nullopt;
    ReceptorMesh mesh;
    mesh.shape = ReceptorMesh::Shape::Polar;
    mesh.across = *rays;
    mesh.along = *rings;
    mesh.receptor_at.assign(places.size(), ReceptorMesh::kNone);
    for (const PolarPlace& place : places) {
        std::uint32_t& node = mesh.receptor_at[mesh.node(place.ray, place.ring)];
        if (node != ReceptorMesh::kNone) return std::nullopt;
        node = place.receptor;
    }
    return mesh;
}

}  // namespace

std::optional<ReceptorMesh> find_mesh(const ReceptorStore& receptors)
{
    if (const std::optional<GridSpacing> grid = detect_grid(receptors)) return cartesian_mesh(receptors, *grid);
    return polar_mesh(receptors, extent_of(receptors));
}

BinnedCells bin_receptors(const ReceptorStore& receptors, const Extent& extent, int largest_count)
{
    BinnedCells cells;
    const double width = extent.x_high - extent.x_low;
    const double height = extent.y_high - extent.y_low;
    const double longer = std::max(width, height);
    cells.cell_size = longer > 0 ? longer / largest_count : 1.0;
    cells.x_low = extent.x_low;
    cells.y_low = extent.y_low;
    const auto count_along = [&](double length) {
        return std::clamp(static_cast<int>(std::ceil(length / cells.cell_size - kStepTolerance)), 1, largest_count);
    };
    cells.columns = count_along(width);
    cells.rows = count_along(height);
    const std::size_t total = static_cast<std::size_t>(cells.columns) * static_cast<std::size_t>(cells.rows);
    cells.highest.assign(total, std::nanf(""));
    cells.counted.assign(total, 0);
    const auto cell_along = [&](double offset, int count) {
        return std::clamp(static_cast<int>(std::floor(offset / cells.cell_size)), 0, count - 1);
    };
    for (std::size_t i = 0; i < receptors.size(); ++i) {
        const MapReceptor& receptor = receptors[i];
        if (!has_place(receptor)) continue;
        const std::size_t at = cells.index(cell_along(receptor.x - cells.x_low, cells.columns),
                                           cell_along(receptor.y - cells.y_low, cells.rows));
        if (!cells.counted[at] || ranks_above(receptor.value, cells.highest[at])) cells.highest[at] = receptor.value;
        cells.counted[at] = 1;
    }
    return cells;
}
