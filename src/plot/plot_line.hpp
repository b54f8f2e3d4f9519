#pragma once

#include <cstddef>

// Width of a plot line and of every name answer.
inline constexpr std::size_t LINE_WIDTH = 120;

// The widest data line a declared layout may describe, and so the most bytes
// of a line that are ever read.
inline constexpr std::size_t MAX_LAYOUT_WIDTH = 1024;

// A header line is marked by an asterisk in column 1; it is copied, never parsed.
inline bool is_header_line(const char* line) { return line[0] == '*'; }
