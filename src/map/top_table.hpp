#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "map/receptors.hpp"

// The table of highest receptors: a heading line, then one line per ranked
// line, at most count of them: rank, line number, then x, y and value each as
// a data line writes it in its own field, in a column as wide as that field
// and at least 13, then each text field as it stands, headed tag_a, tag_b, ...
// in column order. Columns are separated by blanks; trailing blanks are left
// off. Empty when count is 0.
std::string format_top_table(const std::vector<RankedLine>& ranked, const MappedFields& fields, std::size_t count);
