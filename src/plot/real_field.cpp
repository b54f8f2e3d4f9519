#include "plot/real_field.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// More significant digits than any single-precision rounding decision needs
// (the longest exact decimal expansion of a float has 112); digits beyond are
// summarised by one sticky digit, which keeps the rounding exact.
constexpr int kKeptDigits = 160;

// An exponent this large already puts any kept digit string far outside the
// single-precision range, so saturating here changes no result.
constexpr std::int64_t kExponentCap = 100000;

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
    std::array<char, kKeptDigits + 1> digits{};
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

// Up to fifteen digits form an integer exact in double, and powers of ten up
// to 10^22 are exact in double, so one multiplication or division rounds the
// exact value once. Rounding that double to float is then exact too, unless it
// landed exactly on a midpoint between two floats: only then can the double
// rounding have gone the wrong way, and the slow path decides.
std::optional<float> nearest_float_quickly(const Decimal& number)
{
    static constexpr std::array<double, 23> kPowersOfTen = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (number.count > 15 || number.exponent < -22 || number.exponent > 22) return std::nullopt;
    std::int64_t integer = 0;
    for (int i = 0; i < number.count; ++i) integer = integer * 10 + (number.digits[i] - '0');
    const auto mantissa = static_cast<double>(integer);
    const double power = kPowersOfTen[static_cast<std::size_t>(std::abs(number.exponent))];
    const double nearest = number.exponent >= 0 ? mantissa * power : mantissa / power;
    // Midpoints and subnormal floats go the slow way; 2^-126 is the smallest normal float.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &nearest, sizeof bits);
    constexpr std::uint64_t kBelowFloatPrecision = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t kMidpoint = std::uint64_t{1} << 28;
    if ((bits & kBelowFloatPrecision) == kMidpoint || nearest < 0x1p-126) return std::nullopt;
    return static_cast<float>(nearest);
}

// The single-precision value nearest to digits x 10^exponent (non-negative).
float nearest_float(const Decimal& number)
{
    if (number.count == 0) return 0.0f;
    const std::int64_t leading = number.exponent + number.count - 1;
    if (leading > 39) return std::numeric_limits<float>::infinity();
    if (leading < -46) return 0.0f;

    if (const std::optional<float> quick = nearest_float_quickly(number)) return *quick;

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

void format_real_field(float value, int width, int decimals, char* out)
{
    const auto field = static_cast<std::size_t>(width);
    std::memset(out, ' ', field);
    if (std::isnan(value)) {
        std::memcpy(out + field - 3, "NaN", 3);
        return;
    }
    const bool negative = std::signbit(value);
    if (std::isinf(value)) {
        std::string_view text = negative ? "-Infinity" : "Infinity";
        if (text.size() > field) text = negative ? "-Inf" : "Inf";
        if (text.size() > field) {
            std::memset(out, '*', field);
        } else {
            std::memcpy(out + field - text.size(), text.data(), text.size());
        }
        return;
    }

    // A float has 24 significant bits and 10^5 has 17, so the product is exact
    // in double and nearbyint rounds the exact value half-to-even.
    static constexpr std::array<double, 6> kScale = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5};
    const double scaled = std::nearbyint(std::fabs(static_cast<double>(value)) *
                                         kScale[static_cast<std::size_t>(decimals)]);
    // Digits that fit: the field less the point and the sign.
    static constexpr std::array<double, 13> kDigitLimit = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    const int digit_room = width - 1 - (negative ? 1 : 0);
    if (scaled >= kDigitLimit[static_cast<std::size_t>(digit_room)]) {
        std::memset(out, '*', field);
        return;
    }
    auto digits = static_cast<std::uint64_t>(scaled);
    char* cursor = out + field;
    for (int written = 0; written <= decimals || digits != 0; ++written) {
        if (written == decimals) *--cursor = '.';
        *--cursor = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (negative) *--cursor = '-';
}
