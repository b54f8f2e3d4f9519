#pragma once

#include <optional>
#include <string_view>

#include "number/decimal_text.hpp"

// A text of the real form (see decimal_text.hpp) as the nearest
// single-precision value; a value beyond the single-precision range is an
// infinity of its sign. Nothing when the text is not of that form.
std::optional<float> read_real_text(std::string_view text, int implied_decimals);

// The single-precision value nearest to a text read.
float nearest_float(const DecimalText& text);
