#pragma once

#include <cstdint>
#include <string>

// The two shapes of a real field in a data line.
struct FieldShape {
    int width;
    int decimals;
};

inline constexpr FieldShape kWideField{13, 5};
inline constexpr FieldShape kNarrowField{8, 2};

// The text a real field must hold, built independently of the tool: glibc's
// printf of the value as a double, which prints the exact binary value rounded
// half-to-even, right-aligned; asterisks when longer than the field; the agreed
// words for infinities and not-a-number.
std::string reference_field(float value, FieldShape shape);

// Empty when format_real_field writes value as the reference does in both
// field shapes; otherwise a one-line account of the first disagreement.
std::string field_disagreement(float value);

// The float with the given bit pattern, and back.
float float_from_bits(std::uint32_t bits);
std::uint32_t bits_of(float value);
