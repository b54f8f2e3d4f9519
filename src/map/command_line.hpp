#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/colour_scale.hpp"

// A contour level of --levels: the value the receptors are compared with,
// and the exact decimal the text of the command line gave, for GeoJSON.
struct ContourLevel {
    float value = 0.0f;
    std::string decimal;  // a JSON number: "10", "0.5", "-2500"
};

// The settings of one plotmap run, from its command line.
struct MapOptions {
    std::string input;
    std::optional<std::string> output;  // "-" is standard output; absent: named after input
    std::size_t top_count = 10;
    std::size_t value_field = 1;        // --field: 1 is the first value field
    std::vector<ContourLevel> levels;   // ascending, each value once
    ScaleChoice scale = ScaleChoice::Automatic;
    std::optional<std::string> title;
    std::optional<std::string> csv;      // "-" is standard output
    char csv_separator = ',';            // ';' writes numbers with a decimal comma
    std::optional<std::string> geojson;  // "-" is standard output
    std::optional<std::string> crs;      // "EPSG:32633" as given, with --geojson only
    bool help = false;
    bool version = false;

    // Whether any output goes to standard output, which then gets no table.
    bool writes_standard_output() const;
};

// A command line that cannot be followed; detail says why, in plain words.
struct UsageError {
    std::string detail;
};

inline constexpr std::string_view USAGE =
    "usage: plotmap [-o OUT] [--top N] [--field N] [--levels L1,L2,...] [--log | --linear] [--title TEXT]\n"
    "               [--csv FILE [--csv-separator ';']] [--geojson FILE [--crs EPSG:NNNN]] FILE";

// The text of --help.
std::string help_text();

// Reads the arguments after the program name. Throws UsageError.
MapOptions parse_command_line(const std::vector<std::string_view>& arguments);

// The default map name: FILE without its folder, its extension replaced by
// .svg ("dir/RISK.PLT" gives "RISK.svg"), in the current folder.
std::string default_map_name(std::string_view input);

// The failure of a --field that the file's layout has no value field for.
UsageError no_such_value_field(std::size_t asked, std::size_t count, std::string_view file);
