#include "map/contours.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace {

constexpr std::uint32_t kNoCrossing = 0xFFFFFFFF;

// The crossings of one level on the cell edges, and the segments that join them.
class LevelTracer {
public:
    LevelTracer(const ReceptorMesh& mesh, const ReceptorStore& receptors, float level)
        : mesh_(mesh), receptors_(receptors), level_(level)
    {
    }

    LevelLines trace()
    {
        for (std::size_t row = 0; row < mesh_.cell_rows(); ++row) {
            for (std::size_t column = 0; column < mesh_.cell_columns(); ++column) march(column, row);
        }
        LevelLines result{level_, {}};
        std::vector<std::uint8_t> visited(points_.size(), 0);
        // Open lines first, from the end met first; then the closed ones.
        for (std::uint32_t start = 0; start < points_.size(); ++start) {
            if (!visited[start] && joined_[start][1] == kNoCrossing) result.lines.push_back(follow(start, visited, false));
        }
        for (std::uint32_t start = 0; start < points_.size(); ++start) {
            if (!visited[start]) result.lines.push_back(follow(start, visited, true));
        }
        return result;
    }

private:
    // The corners of the cell, in turn around it, and whether each lies inside.
    void march(std::size_t column, std::size_t row)
    {
        const std::array<std::size_t, 4> nodes = {mesh_.node(column, row), mesh_.node(column + 1, row),
                                                  mesh_.node(column + 1, row + 1), mesh_.node(column, row + 1)};
        std::array<bool, 4> inside{};
        double sum = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::uint32_t receptor = mesh_.receptor_at[nodes[k]];
            if (receptor == ReceptorMesh::kNone || !std::isfinite(receptors_[receptor].value)) return;
            inside[k] = receptors_[receptor].value >= level_;
            sum += receptors_[receptor].value;
        }
        // Edge k runs from corner k to corner k + 1; corner k lies between edges k - 1 and k.
        const auto crosses = [&](std::size_t k) { return inside[k] != inside[(k + 1) % 4]; };
        const auto edge = [&](std::size_t k) { return crossing(nodes[k], nodes[(k + 1) % 4]); };
        const int crossed = crosses(0) + crosses(1) + crosses(2) + crosses(3);
        if (crossed == 2) {
            std::array<std::uint32_t, 2> ends{};
            std::size_t found = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                if (crosses(k)) ends[found++] = edge(k);
            }
            join(ends[0], ends[1]);
        } else if (crossed == 4) {
            // A saddle: the corners on the side the middle is not on are cut off one by one.
            const bool middle_inside = sum / 4 >= level_;
            for (std::size_t k = 0; k < 4; ++k) {
                if (inside[k] != middle_inside) join(edge((k + 3) % 4), edge(k));
            }
        }
    }

    // The crossing on the edge between two nodes, made once for both cells
    // of the edge, interpolated from the lower node.
    std::uint32_t crossing(std::size_t a, std::size_t b)
    {
        if (b < a) std::swap(a, b);
        const std::uint64_t key = (static_cast<std::uint64_t>(a) << 32) | b;
        const auto [found, added] = crossing_of_.try_emplace(key, static_cast<std::uint32_t>(points_.size()));
        if (!added) return found->second;
        const MapReceptor& from = receptors_[mesh_.receptor_at[a]];
        const MapReceptor& to = receptors_[mesh_.receptor_at[b]];
        const double t = (static_cast<double>(level_) - from.value) / (static_cast<double>(to.value) - from.value);
        points_.push_back({from.x + t * (static_cast<double>(to.x) - from.x), from.y + t * (static_cast<double>(to.y) - from.y)});
        joined_.push_back({kNoCrossing, kNoCrossing});
        return found->second;
    }

    void join(std::uint32_t a, std::uint32_t b)
    {
        link(a, b);
        link(b, a);
    }
    void link(std::uint32_t from, std::uint32_t to) { joined_[from][joined_[from][0] == kNoCrossing ? 0 : 1] = to; }

    // The line through start: from an end when open, around when closed.
    ContourLine follow(std::uint32_t start, std::vector<std::uint8_t>& visited, bool closed)
    {
        ContourLine line{{}, closed};
        std::uint32_t previous = kNoCrossing;
        for (std::uint32_t at = start; at != kNoCrossing && !visited[at];) {
            visited[at] = 1;
            line.points.push_back(points_[at]);
            const std::uint32_t next = joined_[at][0] == previous ? joined_[at][1] : joined_[at][0];
            previous = at;
            at = next;
        }
        return line;
    }

    const ReceptorMesh& mesh_;
    const ReceptorStore& receptors_;
    float level_;
    std::unordered_map<std::uint64_t, std::uint32_t> crossing_of_;
    std::vector<ContourPoint> points_;
    std::vector<std::array<std::uint32_t, 2>> joined_;  // the crossings each is joined to
};

}  // namespace

std::vector<LevelLines> trace_contours(const ReceptorMesh& mesh, const ReceptorStore& receptors,
                                       std::span<const float> levels)
{
    std::vector<LevelLines> result;
    for (const float level : levels) result.push_back(LevelTracer(mesh, receptors, level).trace());
    return result;
}
