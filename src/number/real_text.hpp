#pragma once

#include <optional>
#include <string_view>

// The text form of a real, shared by data line fields and factor answers:
// an optional sign; digits with at most one decimal point, at least one digit;
// optionally an exponent, a letter E or D (either case) and an optionally
// signed integer, or a sign directly followed by an integer. The words Inf,
// Infinity and NaN, in any case and with an optional sign, name the special values.
//
// Without a decimal point the last implied_decimals digits are decimals, applied
// before the exponent. The result is the nearest single-precision value; a value
// beyond the single-precision range is an infinity of its sign. Any other text
// (blanks included) gives no value.
std::optional<float> read_real_text(std::string_view text, int implied_decimals);
