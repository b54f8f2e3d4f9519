#pragma once

#include <concepts>
#include <cstddef>

// The two shapes of a real field in the fixed data line: x, y and value take
// 13 columns with 5 decimals, aux1 to aux3 take 8 columns with 2. They have
// readers and writers of their own, tuned to them; a declared layout may
// have reals of any other width and decimals too.
struct WideReal {
    static constexpr std::size_t width = 13;
    static constexpr int decimals = 5;
};
struct NarrowReal {
    static constexpr std::size_t width = 8;
    static constexpr int decimals = 2;
};

template <class Shape>
concept RealFieldShape = std::same_as<Shape, WideReal> || std::same_as<Shape, NarrowReal>;

// Reads the Shape::width bytes at field into value: blanks anywhere in them
// are ignored, a field of blanks only reads as 0, the rest is read as
// read_real_text reads it with Shape::decimals implied decimals. False when
// the field is not a number.
template <RealFieldShape Shape>
bool read_real_field(const char* field, float& value);

// True when read_real_field would give a value; cheaper when the value is not needed.
template <RealFieldShape Shape>
bool is_real_field(const char* field);

// Writes value into the Shape::width bytes at out: its exact value rounded
// half to even to Shape::decimals decimals, right-aligned, the minus sign kept
// on negative zero and on negatives that round to zero; asterisks when the
// text does not fit. Infinities and NaN are written as the words that fit.
template <RealFieldShape Shape>
void format_real_field(float value, char* out);

// The same rules for a real field of any width and decimals (Fw.d and Ew.d
// are read alike), the two fixed shapes by their own readers.
bool read_real_field(const char* field, std::size_t width, int decimals, float& value);
bool is_real_field(const char* field, std::size_t width, int decimals);

// An Fw.d field: format_real_field's rule for any width and decimals.
void format_fixed_field(float value, std::size_t width, int decimals, char* out);

// An Ew.d field: "0.", the exact value rounded half to even to `digits`
// significant digits with the first one not 0, and "E+ee" or "E-ee";
// zero is 0.000...E+00; a minus sign in front when negative, negative zero
// included; right-aligned, asterisks when it does not fit. Infinities and
// NaN as in format_real_field.
void format_exponent_field(float value, std::size_t width, int digits, char* out);

// Whether a value that is not zero is written as zero in an Fw.d field: a
// zero digit in every place, as when it lies below half the last decimal.
bool writes_as_zero(float value, std::size_t width, int decimals);
