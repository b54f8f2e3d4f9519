#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "map/command_line.hpp"
#include "map/contours.hpp"
#include "map/csv_export.hpp"
#include "map/receptors.hpp"

// What a GeoJSON export holds besides the data lines.
struct GeoJsonExtras {
    std::span<const LevelLines> contours;     // one MultiLineString feature each
    std::span<const ContourLevel> levels;     // the levels of the contours, in the same order
    std::optional<std::string_view> crs;      // "EPSG:32633", named in the collection's crs member
};

// A FeatureCollection: one Point feature per data line of contents (kept in
// contents.lines) at its x and y, unprojected (geometry null where x or y
// is not finite), with every field as a property named by its column: real
// and integer fields as JSON numbers of the exact decimal value of their
// text (the text itself where JSON reads it so; null for infinities and
// not-a-number), text fields as JSON strings of their bytes as read. Then one MultiLineString feature per level, its
// property "level" the level as given. One feature a line.
void write_geojson(const PlotContents& contents, const GeoJsonExtras& extras, const ExportSink& sink);
