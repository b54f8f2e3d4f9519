#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "plot/open_files.hpp"
#include "plot/plot_line.hpp"
#include "plot/plot_reader.hpp"
#include "plot/plot_writer.hpp"

// The largest number of inputs one run merges.
inline constexpr int MAX_INPUTS = 4;

enum class CombineMode { Average, Sum };

// One input: its name as answered (blank-padded, and whether the answer was
// longer), its scale factor, its open file.
struct InputSlot {
    std::array<char, LINE_WIDTH> name{};
    bool name_too_long = false;
    float scale = 1.0f;
    std::optional<PlotReader> file;
};

// The settings and open files of one run. The files live here from their
// opening to the end of the run; destroying the job closes whatever is still
// open and writes out its buffer. The registry of open files comes first, so
// that it outlives every file.
struct MergeJob {
    OpenFiles open_files;
    std::int32_t input_count = 0;
    std::array<InputSlot, MAX_INPUTS> inputs;
    CombineMode mode = CombineMode::Sum;
    bool risk_requested = false;
    std::string output_name;
    std::optional<PlotWriter> output_file;
    std::optional<PlotWriter> risk_file;
};
