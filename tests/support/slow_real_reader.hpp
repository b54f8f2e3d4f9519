#pragma once

#include <optional>
#include <string_view>

// A deliberately plain second reader of the real text form, used to check the
// tool's fast one: the grammar is walked with no shortcuts, the digits are
// rewritten as a C number with the implied decimals folded into the exponent,
// and glibc's strtof, which rounds correctly to float, gives the value.
std::optional<float> slow_read_real(std::string_view text, int implied_decimals);
