#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plot/layout.hpp"

// What the fields of a layout are called, for the CSV columns, the GeoJSON
// properties and the legend: from the file's column-title line where its
// words stand over the fields, otherwise by kind and position.
struct ColumnNames {
    std::vector<std::string> names;    // one per field, all different
    std::vector<std::uint8_t> titled;  // 1 where the name comes from the title line
};

// The words of a header line that stand over each field of layout, joined
// by one blank, when the line is a column-title line: a word (a run of
// bytes other than blanks, after the asterisk) counts when it holds a letter,
// a digit or a byte of 128 or above, so that rules such as "________" do
// not; each such word overlaps the columns of exactly one field; words over
// different fields are parted by two blanks at least; and words stand over
// two fields at least.
std::optional<std::vector<std::string>> title_words(const PlotLayout& layout, std::string_view header_line);

// The names of layout's fields. The column-title line is the last of
// header_lines (the header lines before the first data line, in file order)
// that is one; a FORMAT line never is. A field without words is named by
// kind and position: x and y, value_k for value field k, and real_n,
// integer_n or text_n for field n of the layout (counted from 1). A name
// already taken gets _2, _3, ... appended.
ColumnNames column_names(const PlotLayout& layout, std::span<const std::string> header_lines);

// The name of value field k (from 1) whose field is at index: its title,
// or "value" for the first and "value_k" for the others.
std::string value_field_name(const ColumnNames& names, std::size_t index, std::size_t k);
