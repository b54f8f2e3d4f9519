#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "map/colour_scale.hpp"
#include "map/contours.hpp"
#include "map/receptors.hpp"

// Above this many receptors the map shows binned cells, not every receptor.
inline constexpr std::size_t BINNING_THRESHOLD = 40000;
// Binned cells along the longer side of the map.
inline constexpr int BINNED_CELLS = 200;

// What one map shows.
struct MapSubject {
    std::string_view title;      // the heading
    std::string_view file_name;  // shown beneath it, with the receptor count
    const PlotContents& contents;
    ScaleChoice scale_choice;
    std::span<const float> levels = {};          // colour classes and contour levels, ascending
    std::span<const LevelLines> contours = {};   // the lines of each level, when the receptors form a grid
    const ReceptorMesh* mesh = nullptr;          // the grid the lines follow
};

// The map as a self-contained SVG document: receptors at their x and y, equal
// scale, y up; grid receptors as touching cells, scattered ones as dots, more
// than BINNING_THRESHOLD as binned cells; coloured by value (viridis, blue to
// red around zero, or the classes between levels), with a colour bar, axes in
// model units, contour lines labelled with their levels, and the highest
// receptor marked. The title wraps within the page. The same subject always
// gives the same bytes.
std::string draw_map(const MapSubject& subject);
