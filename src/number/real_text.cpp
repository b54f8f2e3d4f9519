#include "number/real_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "number/scaled_integer.hpp"

namespace {
// More significant digits than any single-precision rounding decision needs
// (the longest exact decimal expansion of a float has 112); digits beyond are
// summarised by one sticky digit, which keeps the rounding exact.
constexpr int kKeptDigits = 160;

// The significant digits of a decimal number and the power of ten that scales
// them as an integer: value = digits x 10^exponent.
struct Decimal {
    std::array<char, kKeptDigits + 1> digits;
    int count = 0;
    std::int64_t exponent = 0;
};

// The kept digits of a text read: leading zeros dropped, digits beyond the
// kept ones counted into the exponent and summarised by a sticky 1.
Decimal kept_digits(const DecimalText& text)
{
    Decimal number;
    number.exponent = text.exponent;
    bool dropped_nonzero = false;
    text.each_digit([&](char c) {
        if (number.count == 0 && c == '0') return;
        if (number.count < kKeptDigits) {
            number.digits[static_cast<std::size_t>(number.count++)] = c;
        } else {
            dropped_nonzero |= (c != '0');
            ++number.exponent;
        }
    });
    if (dropped_nonzero) {
        number.digits[static_cast<std::size_t>(number.count++)] = '1';
        --number.exponent;
    }
    return number;
}

// Up to fifteen digits form an integer exact in double.
bool nearest_float_quickly(const Decimal& number, float& value)
{
    if (number.count > 15) return false;
    std::uint64_t integer = 0;
    for (int i = 0; i < number.count; ++i) integer = integer * 10 + static_cast<std::uint64_t>(number.digits[i] - '0');
    return nearest_float_of_scaled(integer, static_cast<int>(number.exponent), value);
}

// The single-precision value nearest to digits x 10^exponent (non-negative).
float nearest_float(const Decimal& number)
{
    if (number.count == 0) return 0.0f;
    const std::int64_t leading = number.exponent + number.count - 1;
    if (leading > 39) return std::numeric_limits<float>::infinity();
    if (leading < -46) return 0.0f;

    if (float quick = 0.0f; nearest_float_quickly(number, quick)) return quick;

    std::array<char, kKeptDigits + 16> text{};
    std::memcpy(text.data(), number.digits.data(), static_cast<std::size_t>(number.count));
    char* end = text.data() + number.count;
    *end++ = 'e';
    end = std::to_chars(end, text.data() + text.size(), number.exponent).ptr;
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        return leading > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    }
    return value;
}

}  // namespace

float nearest_float(const DecimalText& text)
{
    float magnitude = std::numeric_limits<float>::quiet_NaN();
    if (text.kind == DecimalText::Kind::Infinity) magnitude = std::numeric_limits<float>::infinity();
    if (text.kind == DecimalText::Kind::Number) magnitude = nearest_float(kept_digits(text));
    if (text.kind == DecimalText::Kind::NotANumber) return magnitude;
    return text.negative ? -magnitude : magnitude;
}

std::optional<float> read_real_text(std::string_view text, int implied_decimals)
{
    const std::optional<DecimalText> number = read_decimal_text(text, implied_decimals);
    if (!number) return std::nullopt;
    return nearest_float(*number);
}
