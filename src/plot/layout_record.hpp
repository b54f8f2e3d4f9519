#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plot/layout.hpp"
#include "plot/plot_record.hpp"

// The value of one field of a data line in a declared layout: real for F and
// E fields, integer for I fields; a text field keeps its bytes in the line.
struct FieldValue {
    float real = 0.0f;
    std::int32_t integer = 0;
};

// A data line of a declared layout is the first max(LINE_WIDTH, width) bytes
// of a line, blank-padded; only the layout's columns are looked at.

// Reads every field of the line, left to right, into values (one per field
// of the layout). Returns the first field that does not convert.
std::optional<FieldFault> parse_layout_line(const PlotLayout& layout, const char* line, FieldValue* values);

// Reads data lines of a declared layout one after another, as
// parse_layout_line does; x and y are not read again when their columns
// hold the bytes of the last line whose x and y were read.
class LayoutLineReader {
public:
    explicit LayoutLineReader(const PlotLayout& layout);

    std::optional<FieldFault> read_fields(const char* line, FieldValue* values);

    // Checks every field as read_fields does, with the same result, but keeps
    // only the receptor (the first two fields) and the value fields' values, in order.
    std::optional<FieldFault> read_values(const char* line, Receptor& receptor, float* values);

private:
    std::optional<FieldFault> read_receptor(const char* line, Receptor& receptor);

    const PlotLayout& layout_;
    std::size_t receptor_begin_;  // from x to the end of y
    std::size_t receptor_length_;
    ReceptorMemo memo_;
};

// Writes the layout's width() columns of a data line: each field from
// values, text fields as line holds them, blanks between.
void format_layout_line(const PlotLayout& layout, const FieldValue* values, const char* line, char* out);

// Rewrites the value fields of a written data line with values, in order.
void format_layout_values(const PlotLayout& layout, const float* values, char* out);

// How many of the value fields' values, in order, are not zero but written as zero.
std::size_t values_written_as_zero(const PlotLayout& layout, const float* values);

// A real field's text as a data line writes value in it: field.width columns.
std::string real_field_text(const LayoutField& field, float value);

// The bytes of a field's columns in a line.
std::string_view field_bytes(const LayoutField& field, const char* line);

// The receptor of a data line as a data line writes it, without leading
// blanks: "(1000.00000, 0.200000E+04)".
std::string layout_receptor_text(const PlotLayout& layout, const char* line);
