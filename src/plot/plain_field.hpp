#pragma once

#include <cstddef>
#include <cstdint>

#include "plot/field_shapes.hpp"

// The common real field, read without a branch on its shape: blanks, an
// optional sign, digits with at most one point, blanks. The Shape::width bytes
// at field are read in place, as two words that never reach outside them.
// False for any other text (blanks between digits, exponents, words, faults),
// and for the rare values the double shortcut cannot prove, which the general
// reader then decides.
template <RealFieldShape Shape>
bool read_plain_field(const char* field, float& value);

// The digits of a field of the common shape: the integer they form (blanks
// after decimals reading as zeros), how many decimals it has (the implied
// ones without a point) and its sign; false for any other text.
struct PlainDigits {
    std::uint64_t integer = 0;
    int decimals = 0;
    bool negative = false;
};
template <RealFieldShape Shape>
bool read_plain_digits(const char* field, PlainDigits& number);

// The same for a field of any width (at most 16 columns) and implied decimals.
bool read_plain_field(const char* field, std::size_t width, int decimals, float& value);

// True when the field has the common shape, and so is a number, found without
// working out its value.
template <RealFieldShape Shape>
bool is_plain_number(const char* field);

// Whether a field is of the common shape, and if so whether it is also as
// the Fw.d writer writes a decimal: blanks, a minus sign or none, integer
// digits without a leading zero (a single 0 below one), a point,
// Shape::decimals decimals, and the end of the field. Found a word at a time.
enum class PlainShape { Other, Plain, Written };
template <RealFieldShape Shape>
PlainShape plain_shape_of(const char* field);

// The common integer field of the 8 bytes at field: blanks, an optional sign,
// digits, blanks. False for any other text, which the general reader then decides.
bool read_plain_integer(const char* field, std::int32_t& value);
