#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/colour_scale.hpp"

// The settings of one plotmap run, from its command line.
struct MapOptions {
    std::string input;
    std::optional<std::string> output;  // "-" is standard output; absent: named after input
    std::size_t top_count = 10;
    ScaleChoice scale = ScaleChoice::Automatic;
    std::optional<std::string> title;
    bool help = false;
    bool version = false;
};

// A command line that cannot be followed; detail says why, in plain words.
struct UsageError {
    std::string detail;
};

inline constexpr std::string_view USAGE = "usage: plotmap [-o OUT] [--top N] [--log | --linear] [--title TEXT] FILE";

// The text of --help.
std::string help_text();

// Reads the arguments after the program name. Throws UsageError.
MapOptions parse_command_line(const std::vector<std::string_view>& arguments);

// The default map name: FILE without its folder, its extension replaced by
// .svg ("dir/RISK.PLT" gives "RISK.svg"), in the current folder.
std::string default_map_name(std::string_view input);
