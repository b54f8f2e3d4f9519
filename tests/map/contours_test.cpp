#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "map/contours.hpp"

namespace {

// Receptors and the cells between them, worked out here from the grid's own
// description, apart from the mesh that plotmap finds.
struct Grid {
    std::vector<MapReceptor> receptors;
    std::vector<std::array<std::size_t, 4>> cells;  // receptors in turn around each cell
};

// columns x rows receptors 10 units apart, values row by row from the bottom; missing nodes left out.
Grid cartesian(std::size_t columns, std::size_t rows, const std::vector<float>& values, std::set<std::size_t> missing = {})
{
    Grid grid;
    std::map<std::size_t, std::size_t> receptor_of;
    for (std::size_t node = 0; node < columns * rows; ++node) {
        if (missing.contains(node)) continue;
        receptor_of[node] = grid.receptors.size();
        grid.receptors.push_back({10.0f * static_cast<float>(node % columns), 10.0f * static_cast<float>(node / columns), values[node]});
    }
    for (std::size_t row = 0; row + 1 < rows; ++row) {
        for (std::size_t column = 0; column + 1 < columns; ++column) {
            const std::array<std::size_t, 4> nodes = {row * columns + column, row * columns + column + 1,
                                                      (row + 1) * columns + column + 1, (row + 1) * columns + column};
            if (std::none_of(nodes.begin(), nodes.end(), [&](std::size_t n) { return missing.contains(n); })) {
                grid.cells.push_back({receptor_of[nodes[0]], receptor_of[nodes[1]], receptor_of[nodes[2]], receptor_of[nodes[3]]});
            }
        }
    }
    return grid;
}

// Rings of the radii around (1000, 2000), each at the same directions evenly spaced from the east.
Grid polar(const std::vector<double>& radii, std::size_t directions, const std::function<float(std::size_t, std::size_t)>& value)
{
    Grid grid;
    for (std::size_t ring = 0; ring < radii.size(); ++ring) {
        for (std::size_t ray = 0; ray < directions; ++ray) {
            const double angle = 2 * std::numbers::pi * static_cast<double>(ray) / static_cast<double>(directions);
            grid.receptors.push_back({static_cast<float>(1000 + radii[ring] * std::cos(angle)),
                                      static_cast<float>(2000 + radii[ring] * std::sin(angle)), value(ring, ray)});
        }
    }
    for (std::size_t ring = 0; ring + 1 < radii.size(); ++ring) {
        for (std::size_t ray = 0; ray < directions; ++ray) {
            const std::size_t next = (ray + 1) % directions;
            grid.cells.push_back({ring * directions + ray, ring * directions + next, (ring + 1) * directions + next,
                                  (ring + 1) * directions + ray});
        }
    }
    return grid;
}

struct Case {
    const char* name;
    Grid grid;
    float level;
    std::size_t open_lines;
    std::size_t closed_lines;
    std::set<std::size_t> cut_corners = {};  // of a saddle: the receptor each line cuts off
};

TEST(Contours, CrossEveryStraddlingCellEdgeOnceAtTheInterpolatedPoint)
{
    const std::vector<Case> cases = {
        {"a peak in the middle", cartesian(3, 3, {0, 0, 0, 0, 4, 0, 0, 0, 0}), 2.0f, 0, 1},
        {"a ridge across the grid", cartesian(3, 2, {0, 2, 0, 0, 2, 0}), 1.0f, 2, 0},
        {"values rising to the right", cartesian(4, 3, {0, 1, 2, 6, 0, 1, 2, 6, 0, 1, 2, 6}), 1.5f, 1, 0},
        // The missing top middle node leaves only the bottom cells: the line ends there.
        {"a missing receptor", cartesian(3, 3, {0, 1, 3, 0, 1, 3, 0, 1, 3}, {7}), 2.0f, 1, 0},
        {"a level above every value", cartesian(3, 3, {0, 0, 0, 0, 4, 0, 0, 0, 0}), 5.0f, 0, 0},
        {"a level on a receptor's value", cartesian(3, 2, {0, 2, 4, 0, 2, 4}), 2.0f, 1, 0},
        // Corners 0 and 2 of the one cell high: the mean (0.5) lies inside at 0.5, so the low corners
        // (receptors 1 and 2) are cut off; outside at 0.6, so the high ones (0 and 3) are.
        {"a saddle joined through its middle", cartesian(2, 2, {1, 0, 0, 1}), 0.5f, 2, 0, {1, 2}},
        {"a saddle parted in its middle", cartesian(2, 2, {1, 0, 0, 1}), 0.6f, 2, 0, {0, 3}},
        // Values falling outwards, and a little around the circle: one ring of 8 crossings, closed across east.
        {"a polar grid around its centre", polar({100, 200, 300}, 8, [](std::size_t ring, std::size_t ray) {
             return 10.0f - 3.0f * static_cast<float>(ring) + 0.1f * static_cast<float>(ray);
         }), 8.0f, 0, 1},
        // High on the two rays nearest the east only: a line on either side of them, from the inner ring to the outer.
        {"a polar grid high to the east", polar({100, 200}, 8, [](std::size_t, std::size_t ray) {
             return ray == 0 || ray == 1 ? 5.0f : 1.0f;
         }), 3.0f, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceptorStore store;
        for (const MapReceptor& receptor : c.grid.receptors) store.push_back(receptor);
        const std::optional<ReceptorMesh> mesh = find_mesh(store);
        ASSERT_TRUE(mesh.has_value());
        const std::vector<LevelLines> levels = trace_contours(*mesh, store, std::vector<float>{c.level});
        ASSERT_EQ(1u, levels.size());
        EXPECT_EQ(c.level, levels[0].level);

        // Every edge of a cell, once, and the point where the level crosses it.
        std::map<std::pair<std::size_t, std::size_t>, ContourPoint> straddling;
        for (const auto& cell : c.grid.cells) {
            for (std::size_t k = 0; k < 4; ++k) {
                const MapReceptor& a = c.grid.receptors[cell[k]];
                const MapReceptor& b = c.grid.receptors[cell[(k + 1) % 4]];
                if ((a.value >= c.level) == (b.value >= c.level)) continue;
                const double t = (c.level - a.value) / (static_cast<double>(b.value) - a.value);
                straddling[std::minmax(cell[k], cell[(k + 1) % 4])] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
            }
        }
        const auto edges_at = [&](const ContourPoint& point) {
            std::vector<std::pair<std::size_t, std::size_t>> found;
            for (const auto& [edge, crossing] : straddling) {
                if (std::hypot(point.x - crossing.x, point.y - crossing.y) < 1e-9) found.push_back(edge);
            }
            return found;
        };
        std::map<std::pair<std::size_t, std::size_t>, int> vertices_on;
        std::size_t open = 0, closed = 0;
        for (const ContourLine& line : levels[0].lines) {
            (line.closed ? closed : open) += 1;
            EXPECT_GE(line.points.size(), 2u);
            for (const ContourPoint& point : line.points) {
                const auto edges = edges_at(point);
                ASSERT_EQ(1u, edges.size()) << "a vertex at " << point.x << ", " << point.y;
                ++vertices_on[edges[0]];
            }
            if (!c.cut_corners.empty()) {
                ASSERT_EQ(2u, line.points.size());
                const auto [a, b] = std::make_pair(edges_at(line.points[0])[0], edges_at(line.points[1])[0]);
                const std::size_t corner = a.first == b.first || a.first == b.second ? a.first : a.second;
                EXPECT_TRUE(c.cut_corners.contains(corner)) << "the line cuts off receptor " << corner;
            }
        }
        EXPECT_EQ(straddling.size(), vertices_on.size());
        for (const auto& [edge, count] : vertices_on) EXPECT_EQ(1, count) << edge.first << "-" << edge.second;
        EXPECT_EQ(c.open_lines, open);
        EXPECT_EQ(c.closed_lines, closed);
    }
}

}  // namespace
