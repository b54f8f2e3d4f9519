#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "map/colour_scale.hpp"
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
};

// The map as a self-contained SVG document: receptors at their x and y, equal
// scale, y up; grid receptors as touching cells, scattered ones as dots, more
// than BINNING_THRESHOLD as binned cells; coloured by value on viridis, with a
// colour bar, axes in model units, and the highest receptor marked. The same
// subject always gives the same bytes.
std::string draw_map(const MapSubject& subject);
