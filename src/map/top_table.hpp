#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "map/receptors.hpp"

// The table of highest receptors: a heading line, then one line per ranked
// line, at most count of them: rank, line number, x, y and value as a data line
// writes them, then the three text fields as they stand. Columns are separated
// by blanks; trailing blanks are left off. Empty when count is 0.
std::string format_top_table(const std::vector<RankedLine>& ranked, std::size_t count);
