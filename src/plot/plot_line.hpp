#pragma once

#include <array>
#include <cstddef>

// Width of a plot line and of every name answer.
inline constexpr std::size_t LINE_WIDTH = 120;

// The first LINE_WIDTH bytes of a line of a plot file, blank-padded.
using PlotLine = std::array<char, LINE_WIDTH>;

// A header line is marked by an asterisk in column 1; it is copied, never parsed.
inline bool is_header_line(const char* line) { return line[0] == '*'; }
inline bool is_header_line(const PlotLine& line) { return is_header_line(line.data()); }

// Whether the width bytes of a line hold nothing but blanks and control
// bytes: as a data line, a line of zeros at receptor (0, 0) and blank text.
bool holds_nothing_but_blanks(const char* line, std::size_t width);
