#pragma once

#include <cstddef>
#include <cstdint>

enum class IntegerReading { Number, NotANumber, OutOfRange };

// Reads the width bytes at field as an integer field: blanks anywhere are
// ignored (only the space character; a tab is no blank), a field of blanks
// only reads as 0, the rest is an optional sign and digits whose value lies
// in the 32-bit signed range.
IntegerReading read_integer_field(const char* field, std::size_t width, std::int32_t& value);

// An Iw.m field: at least min_digits digits, zeros in front, and a minus sign
// when negative, right-aligned behind blanks; no digit at all for 0 when
// min_digits is 0; asterisks over the whole field when that does not fit.
void format_integer_field(std::int32_t value, std::size_t width, int min_digits, char* out);
