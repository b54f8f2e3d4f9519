#include "plot/real_field.hpp"

#include "plot/plain_field.hpp"

#include <algorithm>
#include <array>
#include <bit>
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
constexpr std::int64_t kExponentCap = 1000000000000;

// The widest real field of a data line.
constexpr std::size_t kLongestField = 13;

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
std::optional<float> nearest_float_quickly(const Decimal& number)
{
    if (number.count > 15 || number.exponent < -22 || number.exponent > 22) return std::nullopt;
    std::uint64_t integer = 0;
    for (int i = 0; i < number.count; ++i) integer = integer * 10 + static_cast<std::uint64_t>(number.digits[i] - '0');
    return float_from_scaled_integer(integer, static_cast<int>(number.exponent));
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

// Powers of ten for scaling a float to its decimals and for the field limits.
constexpr std::array<double, 13> kPowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4,  1e5,  1e6,
                                                 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

void format_special_value(float value, std::size_t field, char* out)
{
    const bool negative = std::signbit(value);
    std::string_view text = "NaN";
    if (std::isinf(value)) {
        text = negative ? "-Infinity" : "Infinity";
        if (text.size() > field) text = negative ? "-Inf" : "Inf";
    }
    if (text.size() > field) {
        std::memset(out, '*', field);
        return;
    }
    std::memset(out, ' ', field - text.size());
    std::memcpy(out + field - text.size(), text.data(), text.size());
}


// The exact value of a finite float, rounded half to even to the decimals, as
// an integer; nothing when it needs more digits than room allows.
std::optional<std::uint64_t> rounded_digits(float value, int decimals, int room)
{
    // A float has 24 significant bits and 10^5 needs 17, so the product is exact in double.
    const double scaled = std::fabs(static_cast<double>(value)) * kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double limit = kPowersOfTen[static_cast<std::size_t>(room)];
    if (!(scaled < limit)) return std::nullopt;
    // Below 2^52, adding 2^52 leaves no bits for a fraction: the sum is the
    // exact value rounded to an integer, half to even; subtracting is exact.
    const double rounded = (scaled + 0x1p52) - 0x1p52;
    if (rounded >= limit) return std::nullopt;
    return static_cast<std::uint64_t>(rounded);
}

// Out of the way of the common case: a value the digits of its field cannot
// hold, an infinity or NaN by name, anything else as asterisks.
[[gnu::noinline]] void format_unfit_value(float value, std::size_t field, char* out)
{
    if (std::isfinite(value)) {
        std::memset(out, '*', field);
    } else {
        format_special_value(value, field, out);
    }
}

// Text made a word at a time: a 64-bit word holds eight bytes of text, the
// first in its low byte (little-endian).
constexpr std::uint64_t kTextOnes = 0x0101010101010101;
constexpr std::uint64_t kZeros = kTextOnes * '0';

// The three digits of every number below 1000 as text in the low three bytes:
// a field's digits are looked up three at a time, which costs fewer
// multiplications than working them out.
constexpr std::array<std::uint32_t, 1000> kThreeDigitTexts = [] {
    std::array<std::uint32_t, 1000> texts{};
    for (std::uint32_t number = 0; number < 1000; ++number) {
        texts[number] = ('0' + number / 100) | ('0' + number / 10 % 10) << 8 | ('0' + number % 10) << 16;
    }
    return texts;
}();

std::uint64_t three_digit_text(std::uint32_t number) { return kThreeDigitTexts[number]; }

// The exact value of a float times 10^Decimals, rounded half to even, as an
// integer; all ones for 2^24 and beyond, infinities and NaN included, where no
// field this is used for has room. Works on the float's own bits,
// |value| = mantissa x 2^(exponent - 150): mantissa x 10^5 stays below 2^41,
// so nothing is lost before the one rounding shift.
template <int Decimals>
std::uint64_t rounded_small_digits(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t exponent = bits >> 23 & 0xFF;
    if (exponent > 150) return std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t mantissa = (bits & 0x7FFFFF) | std::uint64_t{exponent != 0} << 23;
    // Twice the scaled mantissa, so that even whole floats shift by at least 1.
    const auto scale = static_cast<std::uint64_t>(kPowersOfTen[Decimals]);
    const std::uint64_t doubled = mantissa * scale * 2;
    // Below exponent 88 a float is under 2^-39 and rounds to 0 at any shift of
    // 43 or more, so a floor on the exponent keeps the shift below 64 without
    // changing the result.
    const int shift = 151 - static_cast<int>(std::max(exponent, 88u));
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return (doubled + (half - 1) + (doubled >> shift & 1)) >> shift;
}

// How many '0' bytes lead text, counting no further than columns bytes.
int leading_zeros(std::uint64_t text, int columns)
{
    return std::countr_zero((text ^ kZeros) | std::uint64_t{1} << (8 * columns)) / 8;
}

// Blanks over the first blanks bytes of text, and the minus sign, when
// negative, in the last of them: a negative value always leaves a blank, as
// its sign takes one column from the digits.
std::uint64_t blank_leading_zeros(std::uint64_t text, int blanks, bool negative)
{
    const std::uint64_t blanked = (std::uint64_t{1} << (8 * blanks)) - 1;
    const std::uint64_t sign = (std::uint64_t{negative} * ('-' - ' ')) << (8 * blanks) >> 8;
    return ((text & ~blanked) | (kTextOnes * ' ' & blanked)) + sign;
}

// A 13-column field with 5 decimals from its rounded digits (below 10^12):
// twelve digits, in groups of three, with the point after the seventh.
void write_13_5(std::uint64_t rounded, bool negative, char* out)
{
    const auto upper = static_cast<std::uint32_t>(rounded / 1000000);
    const auto lower = static_cast<std::uint32_t>(rounded % 1000000);
    const std::uint64_t seventh_to_ninth = three_digit_text(lower / 1000);
    const std::uint64_t text = three_digit_text(upper / 1000) | three_digit_text(upper % 1000) << 24 |
                               (seventh_to_ninth & 0xFF) << 48 | std::uint64_t{'.'} << 56;
    const std::uint64_t head = blank_leading_zeros(text, leading_zeros(text, 6), negative);
    // Columns 6 to 13: the last three of head, then the five decimals.
    const std::uint64_t tail = head >> 40 | (seventh_to_ninth >> 8) << 24 | three_digit_text(lower % 1000) << 40;
    std::memcpy(out, &head, sizeof head);
    std::memcpy(out + 5, &tail, sizeof tail);
}

// An 8-column field with 2 decimals from its rounded digits (below 10^7):
// seven digits, one and then two groups of three, with the point after the fifth.
void write_8_2(std::uint64_t rounded, bool negative, char* out)
{
    const auto number = static_cast<std::uint32_t>(rounded);
    const std::uint64_t fifth_to_seventh = three_digit_text(number % 1000);
    const std::uint64_t text = ('0' + number / 1000000) | three_digit_text(number / 1000 % 1000) << 8 |
                               (fifth_to_seventh & 0xFF) << 32 | std::uint64_t{'.'} << 40 |
                               (fifth_to_seventh >> 8) << 48;
    const std::uint64_t word = blank_leading_zeros(text, leading_zeros(text, 4), negative);
    std::memcpy(out, &word, sizeof word);
}

template <int Width, int Decimals>
void format_in_words(float value, char* out)
{
    static_assert(kPowersOfTen[Width - 1 - Decimals] <= 0x1p24, "whole part beyond the bit-exact rounding");
    const bool negative = std::signbit(value);
    // The sign, when there is one, takes a column from the digits.
    const auto limit = static_cast<std::uint64_t>(kPowersOfTen[Width - (negative ? 2 : 1)]);
    const std::uint64_t rounded = rounded_small_digits<Decimals>(value);
    if (rounded >= limit) {
        format_unfit_value(value, Width, out);
    } else if constexpr (Width == 13) {
        write_13_5(rounded, negative, out);
    } else {
        write_8_2(rounded, negative, out);
    }
}

// Any other field shape, digit by digit.
void format_finite_any_width(float value, int width, int decimals, char* out)
{
    const auto field = static_cast<std::size_t>(width);
    const bool negative = std::signbit(value);
    const std::optional<std::uint64_t> rounded = rounded_digits(value, decimals, width - 1 - (negative ? 1 : 0));
    if (!rounded) {
        std::memset(out, '*', field);
        return;
    }
    std::uint64_t digits = *rounded;
    char* cursor = out + field;
    for (int i = 0; i < decimals; ++i) {
        *--cursor = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    *--cursor = '.';
    do {
        *--cursor = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    if (negative) *--cursor = '-';
    std::memset(out, ' ', static_cast<std::size_t>(cursor - out));
}

// Any field shape, any value.
[[gnu::noinline]] void format_any_shape(float value, int width, int decimals, char* out)
{
    if (std::isfinite(value)) {
        format_finite_any_width(value, width, decimals, out);
    } else {
        format_special_value(value, static_cast<std::size_t>(width), out);
    }
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

bool read_real_field(std::string_view field, int implied_decimals, float& value)
{
    if (read_plain_field(field, implied_decimals, value)) return true;
    char text[kLongestField];
    std::size_t length = 0;
    for (const char c : field.substr(0, kLongestField)) {
        if (c != ' ') text[length++] = c;
    }
    if (length == 0) {
        value = 0.0f;
        return true;
    }
    const std::optional<float> read = read_real_text(std::string_view(text, length), implied_decimals);
    if (read) value = *read;
    return read.has_value();
}

bool is_real_field(std::string_view field, int implied_decimals)
{
    float value = 0.0f;
    return is_plain_number(field) || read_real_field(field, implied_decimals, value);
}

std::optional<float> read_real_field(std::string_view field, int implied_decimals)
{
    float value = 0.0f;
    if (!read_real_field(field, implied_decimals, value)) return std::nullopt;
    return value;
}

void format_real_field(float value, int width, int decimals, char* out)
{
    if constexpr (std::endian::native == std::endian::little) {
        if (width == 13 && decimals == 5) return format_in_words<13, 5>(value, out);
        if (width == 8 && decimals == 2) return format_in_words<8, 2>(value, out);
    }
    format_any_shape(value, width, decimals, out);
}
