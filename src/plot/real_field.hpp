#pragma once

#include <cstddef>

#include "plot/field_shapes.hpp"

// The rules of a real field (Fw.d or Ew.d), reading and writing, for a field
// of any shape: no columns and no files, bytes in and a value or a fault out.

// Reads the Shape::width bytes at field into value: blanks anywhere in them
// are ignored, a field of blanks only reads as 0, the rest is read as
// read_real_text reads it with Shape::decimals implied decimals. False when
// the field is not a number.
template <RealFieldShape Shape>
bool read_real_field(const char* field, float& value);

// True when read_real_field would give a value; cheaper when the value is not needed.
template <RealFieldShape Shape>
bool is_real_field(const char* field);

// The same rule for a field of any other width and decimals.
bool read_real_field(OtherShape shape, const char* field, float& value);

// The same rule for a field of any width and decimals (Fw.d and Ew.d are read
// alike). Always inline, so that a field of known shape calls its own reader.
[[gnu::always_inline]] inline bool read_real_field(const char* field, std::size_t width, int decimals, float& value)
{
    switch (real_shape(width, decimals)) {
    case RealShape::Wide: return read_real_field<WideReal>(field, value);
    case RealShape::Narrow: return read_real_field<NarrowReal>(field, value);
    case RealShape::Other: break;
    }
    return read_real_field(OtherShape{width, decimals}, field, value);
}

[[gnu::always_inline]] inline bool is_real_field(const char* field, std::size_t width, int decimals)
{
    switch (real_shape(width, decimals)) {
    case RealShape::Wide: return is_real_field<WideReal>(field);
    case RealShape::Narrow: return is_real_field<NarrowReal>(field);
    case RealShape::Other: break;
    }
    float value = 0.0f;
    return read_real_field(OtherShape{width, decimals}, field, value);
}

// Writes value into the Shape::width bytes at out: its exact value rounded
// half to even to Shape::decimals decimals, right-aligned, the minus sign kept
// on negative zero and on negatives that round to zero; asterisks when the
// text does not fit. Infinities and NaN are written as the words that fit.
template <RealFieldShape Shape>
void format_real_field(float value, char* out);

// An Fw.d field of any other shape, by the same rule.
void format_fixed_field(OtherShape shape, float value, char* out);

// An Fw.d field of any shape.
[[gnu::always_inline]] inline void format_fixed_field(float value, std::size_t width, int decimals, char* out)
{
    switch (real_shape(width, decimals)) {
    case RealShape::Wide: return format_real_field<WideReal>(value, out);
    case RealShape::Narrow: return format_real_field<NarrowReal>(value, out);
    case RealShape::Other: break;
    }
    format_fixed_field(OtherShape{width, decimals}, value, out);
}

// An Ew.d field: "0.", the exact value rounded half to even to `digits`
// significant digits with the first one not 0, and "E+ee" or "E-ee";
// zero is 0.000...E+00; a minus sign in front when negative, negative zero
// included; right-aligned, asterisks when it does not fit. Infinities and
// NaN as in format_real_field.
void format_exponent_field(float value, std::size_t width, int digits, char* out);

// A real field that is carried, not computed (every real but the value
// fields): the width bytes at field, which read as a number, written again
// into out from the exact decimal value of their text, not from single
// precision. An Fw.d field is rounded half to even to d decimals, an Ew.d
// field to d significant digits, on that decimal value; otherwise by the
// rules of its kind (asterisks when it does not fit, or when an E field's
// exponent needs more than two digits; the minus sign of a negative zero;
// infinities and NaN as words). A field already written the way the writer
// writes it is copied as it stands.
void format_carried_fixed_field(const char* field, std::size_t width, int decimals, char* out);
void format_carried_exponent_field(const char* field, std::size_t width, int digits, char* out);

// A carried real field checked as is_real_field checks it, and told whether
// it is already written the way the writer writes it, to be copied as it
// stands: in one look at a field of a common shape.
enum class CarriedReal { NotANumber, Number, Written };
CarriedReal check_other_carried_field(const char* field, std::size_t width, int digits, bool exponent);
template <RealFieldShape Shape>
CarriedReal check_carried_field(const char* field);
[[gnu::always_inline]] inline CarriedReal check_carried_field(const char* field, std::size_t width, int digits,
                                                                bool exponent)
{
    if (!exponent) {
        switch (real_shape(width, digits)) {
        case RealShape::Wide: return check_carried_field<WideReal>(field);
        case RealShape::Narrow: return check_carried_field<NarrowReal>(field);
        case RealShape::Other: break;
        }
    }
    return check_other_carried_field(field, width, digits, exponent);
}

// Whether a value that is not zero is written as zero in an Fw.d field: a
// zero digit in every place, as when it lies below half the last decimal.
bool writes_as_zero(float value, std::size_t width, int decimals);
