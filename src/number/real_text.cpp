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

// An exponent this large already puts any kept digit string far outside the
// single-precision range, so saturating here changes no result.
constexpr std::int64_t kExponentCap = 1000000000000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ignoring_case(std::string_view text, std::string_view word)
{
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lower(text[i]) != word[i]) return false;
    }
    return true;
}

std::optional<float> special_value(std::string_view word, bool negative)
{
    if (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity")) {
        const float infinity = std::numeric_limits<float>::infinity();
        return negative ? -infinity : infinity;
    }
    if (equals_ignoring_case(word, "nan")) return std::numeric_limits<float>::quiet_NaN();
    return std::nullopt;
}

// The significant digits of a decimal number and the power of ten that scales
// them as an integer: value = digits x 10^exponent.
struct Decimal {
    std::array<char, kKeptDigits + 1> digits;
    int count = 0;
    std::int64_t exponent = 0;
};

// Reads the digit string with its optional point; returns the position after
// it, or npos when it holds no digit.
std::size_t read_mantissa(std::string_view text, std::size_t at, int implied_decimals, Decimal& number)
{
    bool any_digit = false;
    bool seen_point = false;
    bool dropped_nonzero = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !seen_point) {
            seen_point = true;
            continue;
        }
        if (!is_digit(c)) break;
        any_digit = true;
        if (number.count == 0 && c == '0') {
            if (seen_point) --number.exponent;
        } else if (number.count < kKeptDigits) {
            number.digits[number.count++] = c;
            if (seen_point) --number.exponent;
        } else {
            dropped_nonzero |= (c != '0');
            if (!seen_point) ++number.exponent;
        }
    }
    if (!any_digit) return std::string_view::npos;
    if (!seen_point) number.exponent -= implied_decimals;
    if (dropped_nonzero) {
        number.digits[number.count++] = '1';
        --number.exponent;
    }
    return at;
}

// Reads the exponent part that may follow the digit string, up to the end of
// text; false when it is malformed.
bool read_exponent(std::string_view text, std::size_t at, std::int64_t& exponent)
{
    if (at == text.size()) {
        exponent = 0;
        return true;
    }
    const char marker = lower(text[at]);
    if (marker == 'e' || marker == 'd') {
        ++at;
    } else if (marker != '+' && marker != '-') {
        return false;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!is_digit(text[at])) return false;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at] - '0'), kExponentCap);
    }
    exponent = negative ? -magnitude : magnitude;
    return true;
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

std::optional<float> read_real_text(std::string_view text, int implied_decimals)
{
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at < text.size()) {
        const char first = lower(text[at]);
        if (first == 'i' || first == 'n') return special_value(text.substr(at), negative);
    }
    Decimal number;
    at = read_mantissa(text, at, implied_decimals, number);
    if (at == std::string_view::npos) return std::nullopt;
    std::int64_t exponent = 0;
    if (!read_exponent(text, at, exponent)) return std::nullopt;
    number.exponent += exponent;
    const float magnitude = nearest_float(number);
    return negative ? -magnitude : magnitude;
}
