#include "digit_field.hpp"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

std::string right_aligned(std::string_view text, int width)
{
    const auto columns = static_cast<std::size_t>(width);
    if (text.size() > columns) return std::string(columns, '*');
    return std::string(columns - text.size(), ' ') + std::string(text);
}

std::string special_value(float value, int width)
{
    if (std::isnan(value)) return right_aligned("NaN", width);
    const bool negative = std::signbit(value);
    const std::string_view word = negative ? "-Infinity" : "Infinity";
    if (word.size() <= static_cast<std::size_t>(width)) return right_aligned(word, width);
    return right_aligned(negative ? "-Inf" : "Inf", width);
}

}  // namespace

std::string digit_by_digit_field(float value, int width, int decimals)
{
    if (!std::isfinite(value)) return special_value(value, width);
    const bool negative = std::signbit(value);
    const int integer_room = width - 1 - decimals - (negative ? 1 : 0);
    const double scaled = std::fabs(static_cast<double>(value)) * std::pow(10.0, decimals);
    if (!(scaled < std::pow(10.0, integer_room + decimals))) return std::string(static_cast<std::size_t>(width), '*');
    // Below 2^52, adding 2^52 leaves no bits for a fraction: the sum is the
    // exact value rounded to an integer, half to even; subtracting is exact.
    auto digits = static_cast<std::uint64_t>((scaled + 0x1p52) - 0x1p52);
    std::string text;
    for (int i = 0; i < decimals; ++i) {
        text.insert(text.begin(), static_cast<char>('0' + digits % 10));
        digits /= 10;
    }
    text.insert(text.begin(), '.');
    do {
        text.insert(text.begin(), static_cast<char>('0' + digits % 10));
        digits /= 10;
    } while (digits != 0);
    if (negative) text.insert(text.begin(), '-');
    return right_aligned(text, width);
}
