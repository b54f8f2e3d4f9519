#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// integer x 10^exponent rounded to the nearest float, when one double
// operation can prove it: integer below 2^53, |exponent| at most 22. Nothing
// otherwise, and the caller takes the general way.
std::optional<float> float_from_scaled_integer(std::uint64_t integer, int exponent);

// The common real field, read without a branch on its shape: blanks, an
// optional sign, digits with at most one point, blanks. The field is read in
// place, two 64-bit words that never reach outside it. Nothing for any other
// text (blanks between digits, exponents, words, faults), and for fields wider
// than 16 bytes, which the general reader then decides.
std::optional<float> read_plain_field(std::string_view field, int implied_decimals);
// The same into value; false where the other gives nothing. A float and a
// flag come back in registers, where an optional float goes through memory.
bool read_plain_field(std::string_view field, int implied_decimals, float& value);

// True when a field of 8 or 13 bytes has the common shape, and so is a
// number, found without working out its value.
bool is_plain_number(std::string_view field);

// The common integer field of 8 bytes: blanks, an optional sign, digits, blanks.
// False for any other text, which the general reader then decides.
bool read_plain_integer(std::string_view field, std::int32_t& value);
