#pragma once

#include <cstdint>
#include <string>

// The slow reference for the real field writer, built independently of the
// tool: the C library's printf of the value as a double, which prints the
// exact binary value rounded half to even, right-aligned in width columns;
// asterisks when longer than the field; the agreed words for infinities and
// not-a-number, or asterisks where even the short word does not fit.
std::string reference_field(float value, int width, int decimals);

// The same for an Ew.d field: printf's %e of the value with digits
// significant digits, rewritten as "0." and the digits and "E+ee", the
// exponent one higher (0 for zero), a minus sign in front when negative.
std::string reference_exponent_field(float value, int width, int digits);

// The float with the given bit pattern, and back.
float float_from_bits(std::uint32_t bits);
std::uint32_t bits_of(float value);
