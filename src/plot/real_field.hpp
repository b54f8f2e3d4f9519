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

// Reads a real field of a data line: blanks anywhere in it are ignored, a
// field of blanks only reads as 0, the rest is read as read_real_text reads it.
// Fields are at most 13 columns wide.
std::optional<float> read_real_field(std::string_view field, int implied_decimals);
// The same into value; false when the field is not a number.
bool read_real_field(std::string_view field, int implied_decimals, float& value);
// True when read_real_field would give a value; cheaper when the value is not needed.
bool is_real_field(std::string_view field, int implied_decimals);

// Writes value into exactly width bytes at out: rounded half-to-even on its exact
// value to the given decimals, right-aligned, minus sign kept on negative zero and
// on negatives that round to zero; width asterisks when the text does not fit.
void format_real_field(float value, int width, int decimals, char* out);
