#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plot/plot_line.hpp"

// Length of a written data line, without its LF.
inline constexpr std::size_t RECORD_WIDTH = 107;

// The ten fields of a data line.
struct PlotRecord {
    float x = 0.0f;
    float y = 0.0f;
    float value = 0.0f;
    float aux1 = 0.0f;
    float aux2 = 0.0f;
    float aux3 = 0.0f;
    std::array<char, 6> tag_a{};
    std::array<char, 8> tag_b{};
    std::int32_t stamp = 0;
    std::array<char, 8> tag_c{};
};

// A field of a data line that is not a number: its name and the bytes of its columns.
struct FieldFault {
    std::string_view field;
    std::string_view text;
};

// Reads the ten fields of a data line into record, overwriting all of them.
// Returns the first field that does not convert; record is then partly filled.
std::optional<FieldFault> parse_plot_record(const PlotLine& line, PlotRecord& record);

// Checks every field of a data line as parse_plot_record does, with the same
// result, but works out only the value.
std::optional<FieldFault> parse_plot_value(const PlotLine& line, float& value);

// The same, and same_receptor tells whether the line names the receptor of a
// reference line whose fields parse_plot_record has read into
// reference_record: x and y read as the same values, so 1000.0, 1000.00000
// and 100000000 (five implied decimals) match, and so do 0 and -0. Fields in
// the same bytes as the reference's match, and are numbers, without being
// looked at again; only a field whose bytes differ is converted.
std::optional<FieldFault> parse_plot_value(const PlotLine& line, const PlotLine& reference,
                                           const PlotRecord& reference_record, float& value, bool& same_receptor);

// The RECORD_WIDTH characters of a data line for record.
std::array<char, RECORD_WIDTH> format_plot_record(const PlotRecord& record);

// Width of the x, y and value fields of a data line.
inline constexpr std::size_t WIDE_FIELD_WIDTH = 13;

// The text of x, y or value as a data line holds it (the value field's width and decimals).
std::array<char, WIDE_FIELD_WIDTH> format_wide_field(float value);

// Rewrites the value field of a formatted data line, the other nine unchanged:
// the same text as format_plot_record of the record with that value.
void format_record_value(float value, std::array<char, RECORD_WIDTH>& text);

// The receptor of a data line as a data line writes it, without leading
// blanks: "(1000.00000, 2000.00000)".
std::string receptor_text(const PlotLine& line);
