#pragma once

#include <cstddef>
#include <cstdint>

#include "plot/plain_field.hpp"

// The rules of an integer field (Iw and Iw.m), reading and writing.

enum class IntegerReading { Number, NotANumber, OutOfRange };

// Reads the width bytes at field as an integer field: blanks anywhere are
// ignored (only the space character; a tab is no blank), a field of blanks
// only reads as 0, the rest is an optional sign and digits whose value lies
// in the 32-bit signed range.
IntegerReading read_other_integer_field(const char* field, std::size_t width, std::int32_t& value);
inline IntegerReading read_integer_field(const char* field, std::size_t width, std::int32_t& value)
{
    // Eight columns of the common shape are read a word at a time.
    if (width == 8 && read_plain_integer(field, value)) return IntegerReading::Number;
    return read_other_integer_field(field, width, value);
}

// An Iw.m field: at least min_digits digits, zeros in front, and a minus sign
// when negative, right-aligned behind blanks; no digit at all for 0 when
// min_digits is 0; asterisks over the whole field when that does not fit.
void format_other_integer_field(std::int32_t value, std::size_t width, int min_digits, char* out);

// The same for a field of exactly `Width` digits (Iw.w), such as the stamp of
// the standard layout: unrolled, as it is written on every line.
template <std::size_t Width>
void format_integer_field(std::int32_t value, char* out)
{
    static_assert(Width <= 9, "every value of Width digits fits 32 bits");
    constexpr std::int32_t kLimit = [] {
        std::int32_t limit = 1;
        for (std::size_t i = 0; i < Width; ++i) limit *= 10;
        return limit;
    }();
    if (value < 0 || value >= kLimit) return format_other_integer_field(value, Width, Width, out);
    for (std::size_t i = Width; i-- > 0; value /= 10) out[i] = static_cast<char>('0' + value % 10);
}

inline void format_integer_field(std::int32_t value, std::size_t width, int min_digits, char* out)
{
    if (width == 8 && min_digits == 8) return format_integer_field<8>(value, out);
    format_other_integer_field(value, width, min_digits, out);
}
