#pragma once

#include <bit>
#include <cstdint>

#include "number/powers_of_ten.hpp"

// integer x 10^exponent rounded to the nearest float, into value, when one
// double operation can prove it: integer below 2^53 and |exponent| at most 22
// make both operands exact, so the double result is correctly rounded. False
// otherwise, and the caller takes the general way. Inline, since the field
// readers call it for almost every field.
inline bool nearest_float_of_scaled(std::uint64_t integer, int exponent, float& value)
{
    if (integer == 0) {
        value = 0.0f;
        return true;
    }
    if (integer >= (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
    const auto mantissa = static_cast<double>(integer);
    const double power = kPowersOfTen[static_cast<unsigned>(exponent < 0 ? -exponent : exponent)];
    const double nearest = exponent >= 0 ? mantissa * power : mantissa / power;
    // Rounding that double to float again is exact unless it fell exactly on a
    // midpoint between two floats (the decimal may lie a hair to either side),
    // or among the subnormal floats, whose spacing is wider.
    const auto bits = std::bit_cast<std::uint64_t>(nearest);
    constexpr std::uint64_t kBelowFloatPrecision = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t kMidpoint = std::uint64_t{1} << 28;
    if ((bits & kBelowFloatPrecision) == kMidpoint || nearest < 0x1p-126) return false;
    value = static_cast<float>(nearest);
    return true;
}
