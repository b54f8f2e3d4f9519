#pragma once

#include <cstdint>
#include <string>

// The slow reference for the real field writer, built independently of the
// tool: the C library's printf of the value as a double, which prints the
// exact binary value rounded half to even, right-aligned in width columns;
// asterisks when longer than the field; the agreed words for infinities and
// not-a-number, or asterisks where even the short word does not fit.
std::string reference_field(float value, int width, int decimals);

// The float with the given bit pattern, and back.
float float_from_bits(std::uint32_t bits);
std::uint32_t bits_of(float value);
