#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "map/receptors.hpp"

// x or y of a ranked line as a data line carries it, from the exact decimal
// value of its text ("588348.27000"), not from the value read (value),
// which is written only when the line's bytes are not kept.
std::string shown_coordinate(const LayoutField& field, const RankedLine& line, float value);

// The table of highest receptors: a heading line, then one line per ranked
// line, at most count of them: rank, line number, then x, y and the mapped
// value each as a data line writes it in its own field, in a column as wide
// as that field and at least 13 (headed value, or value_k for value field
// k), then each text field as it stands, headed tag_a, tag_b, ... in column
// order; with_integers (for receptors on several lines, whose lines differ by
// date) shows the integer fields among them as a data line writes them,
// headed int_a, int_b, ... Columns are separated by blanks; trailing blanks
// are left off. Empty when count is 0.
std::string format_top_table(const std::vector<RankedLine>& ranked, const MappedFields& fields, std::size_t count,
                             bool with_integers = false);
