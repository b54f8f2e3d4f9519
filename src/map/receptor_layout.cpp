#include "map/receptor_layout.hpp"

#include <algorithm>
#include <cmath>
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
};

// The common step of sorted distinct coordinates, when every gap is a whole multiple of it.
std::optional<AxisSpacing> regular_spacing(const std::vector<double>& sorted)
{
    if (sorted.size() < 2) return AxisSpacing{};
    double step = sorted[1] - sorted[0];
    for (std::size_t i = 2; i < sorted.size(); ++i) step = std::min(step, sorted[i] - sorted[i - 1]);
    if (!(step > 0)) return std::nullopt;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const double multiple = (sorted[i] - sorted[i - 1]) / step;
        if (std::fabs(multiple - std::round(multiple)) > kStepTolerance * std::round(multiple)) return std::nullopt;
    }
    return AxisSpacing{step, std::round((sorted.back() - sorted.front()) / step) + 1};
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
    return GridSpacing{x_step, y_step};
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
