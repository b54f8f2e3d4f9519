#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

// The text form of an integer, shared by count answers and integer fields:
// an optional sign and one or more decimal digits, nothing else. The value,
// or nothing when the text has another form. Magnitudes beyond the 32-bit
// range are held as one past it, so that a caller can tell them and no
// number of digits overflows.
std::optional<std::int64_t> read_integer_text(std::string_view text);

// Whether a value of read_integer_text lies in the 32-bit signed range.
inline bool fits_32_bits(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}
