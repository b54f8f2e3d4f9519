#include "plot/real_field.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include "number/decimal_text.hpp"
#include "number/powers_of_ten.hpp"
#include "number/real_text.hpp"
#include "plot/blanks.hpp"
#include "plot/plain_field.hpp"
#include "plot/text_words.hpp"

namespace {

// text right-aligned behind blanks; asterisks over the whole field when it does not fit.
void right_align(std::string_view text, std::size_t field, char* out)
{
    if (text.size() > field) {
        std::memset(out, '*', field);
        return;
    }
    std::memset(out, ' ', field - text.size());
    std::memcpy(out + field - text.size(), text.data(), text.size());
}

// An infinity or NaN by name, the long name when it fits.
void format_special_value(float value, std::size_t field, char* out)
{
    const bool negative = std::signbit(value);
    std::string_view text = "NaN";
    if (std::isinf(value)) {
        text = negative ? "-Infinity" : "Infinity";
        if (text.size() > field) text = negative ? "-Inf" : "Inf";
    }
    right_align(text, field, out);
}

// Out of the way of the common case: a value the digits of its field cannot
// hold as asterisks, an infinity or NaN by name.
[[gnu::noinline]] void format_unfit_value(float value, std::size_t field, char* out)
{
    if (std::isfinite(value)) {
        std::memset(out, '*', field);
    } else {
        format_special_value(value, field, out);
    }
}

// Text made a word at a time: a word holds eight bytes of text, the first in
// its low byte (see text_words.hpp).
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

// The exact value of a float times 10^decimals (at most 11), rounded half
// to even, as an integer; all ones for 2^24 and beyond, infinities and NaN
// included, where no field this serves has room. Works on the float's own
// bits, |value| = mantissa x 2^(exponent - 150): mantissa x 10^11 stays below
// 2^61, so nothing is lost before the one rounding shift.
inline std::uint64_t rounded_digits(float value, int decimals)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t exponent = bits >> 23 & 0xFF;
    if (exponent > 150) return std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t mantissa = (bits & 0x7FFFFF) | std::uint64_t{exponent != 0} << 23;
    // Twice the scaled mantissa, so that even whole floats shift by at least 1.
    const auto scale = static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(decimals)]);
    const std::uint64_t doubled = mantissa * scale * 2;
    // Below exponent 88 a float is under 2^-39 and rounds to 0 at any shift of
    // 43 or more, so a floor on the exponent keeps the shift below 64 without
    // changing the result.
    const int shift = 151 - static_cast<int>(std::max(exponent, 88u));
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return (doubled + (half - 1) + (doubled >> shift & 1)) >> shift;
}
constexpr int kMostRoundedDecimals = 11;

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
void write_digits(WideReal, std::uint64_t rounded, bool negative, char* out)
{
    const auto upper = static_cast<std::uint32_t>(rounded / 1000000);
    const auto lower = static_cast<std::uint32_t>(rounded % 1000000);
    const std::uint64_t seventh_to_ninth = three_digit_text(lower / 1000);
    const std::uint64_t text = three_digit_text(upper / 1000) | three_digit_text(upper % 1000) << 24 |
                               (seventh_to_ninth & 0xFF) << 48 | std::uint64_t{'.'} << 56;
    const std::uint64_t head = blank_leading_zeros(text, leading_zeros(text, 6), negative);
    // Columns 6 to 13: the last three of head, then the five decimals.
    const std::uint64_t tail = head >> 40 | (seventh_to_ninth >> 8) << 24 | three_digit_text(lower % 1000) << 40;
    store_text_word(head, out);
    store_text_word(tail, out + 5);
}

// An 8-column field with 2 decimals from its rounded digits (below 10^7):
// seven digits, one and then two groups of three, with the point after the fifth.
void write_digits(NarrowReal, std::uint64_t rounded, bool negative, char* out)
{
    const auto number = static_cast<std::uint32_t>(rounded);
    const std::uint64_t fifth_to_seventh = three_digit_text(number % 1000);
    const std::uint64_t text = ('0' + number / 1000000) | three_digit_text(number / 1000 % 1000) << 8 |
                               (fifth_to_seventh & 0xFF) << 32 | std::uint64_t{'.'} << 40 |
                               (fifth_to_seventh >> 8) << 48;
    store_text_word(blank_leading_zeros(text, leading_zeros(text, 4), negative), out);
}

// A field of any shape by the general rule: its blanks left out, the rest
// read as a real text.
bool read_squeezed_field(const char* field, std::size_t width, int decimals, float& value)
{
    return read_without_blanks(field, width, [&](std::string_view text) {
        const std::optional<float> read = text.empty() ? 0.0f : read_real_text(text, decimals);
        if (read) value = *read;
        return read.has_value();
    });
}

// Room for the longest text a field of a declared layout may need: a sign,
// 39 integer digits, a point and the decimals, or "0." and digits and "E+ee".
constexpr std::size_t kLongestText = MAX_LAYOUT_WIDTH + 48;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Blanks, then a minus sign or none: where what the writer writes after them begins.
std::size_t after_blanks_and_minus(const char* field, std::size_t width)
{
    std::size_t at = 0;
    while (at < width && field[at] == ' ') ++at;
    if (at < width && field[at] == '-') ++at;
    return at;
}

std::size_t digits_from(const char* field, std::size_t width, std::size_t at)
{
    std::size_t end = at;
    while (end < width && is_digit(field[end])) ++end;
    return end - at;
}

// As format_fixed_field writes an exact decimal: blanks, a minus sign or
// none, integer digits without a leading zero (a single 0 below one), a
// point, the decimals, and the end of the field.
bool is_written_fixed(const char* field, std::size_t width, std::size_t decimals)
{
    std::size_t at = after_blanks_and_minus(field, width);
    const std::size_t whole = digits_from(field, width, at);
    if (whole == 0 || (whole > 1 && field[at] == '0')) return false;
    at += whole;
    if (at == width || field[at] != '.') return false;
    ++at;
    return digits_from(field, width, at) == decimals && at + decimals == width;
}

// As format_exponent_field writes: blanks, a minus sign or none, "0.", the
// digits (the first not 0, unless all are and the exponent is +00), "E", a
// sign and two digits, and the end of the field.
bool is_written_exponent(const char* field, std::size_t width, std::size_t digits)
{
    std::size_t at = after_blanks_and_minus(field, width);
    if (width - at != 2 + digits + 4 || field[at] != '0' || field[at + 1] != '.') return false;
    at += 2;
    if (digits_from(field, width, at) != digits) return false;
    const bool zero = std::all_of(field + at, field + at + digits, [](char c) { return c == '0'; });
    at += digits;
    if (field[at] != 'E' || (field[at + 1] != '+' && field[at + 1] != '-') || digits_from(field, width, at + 2) != 2) {
        return false;
    }
    return !zero || std::string_view(field + at, 4) == "E+00";
}

// A carried field that is not in its written form: its text read exactly
// (as a number, which the line's parser has checked it is) and written by text().
template <class Text, class Special>
void format_carried_field(const char* field, std::size_t width, int decimals, char* out, Text&& text, Special&& special)
{
    read_without_blanks(field, width, [&](std::string_view bytes) {
        const std::optional<DecimalText> number = bytes.empty() ? DecimalText{} : read_decimal_text(bytes, decimals);
        char written[kLongestText];
        const std::size_t length = number ? text(*number, written, std::min(width, sizeof written)) : 0;
        if (number && number->kind != DecimalText::Kind::Number) {
            special(nearest_float(*number));
        } else if (length == 0) {
            std::memset(out, '*', width);
        } else {
            right_align(std::string_view(written, length), width, out);
        }
    });
}


}  // namespace

template <RealFieldShape Shape>
bool read_real_field(const char* field, float& value)
{
    return read_plain_field<Shape>(field, value) || read_squeezed_field(field, Shape::width, Shape::decimals, value);
}

template <RealFieldShape Shape>
bool is_real_field(const char* field)
{
    float value = 0.0f;
    return is_plain_number<Shape>(field) || read_real_field<Shape>(field, value);
}

template <RealFieldShape Shape>
void format_real_field(float value, char* out)
{
    constexpr int kIntegerDigits = static_cast<int>(Shape::width) - 1 - Shape::decimals;
    static_assert(kPowersOfTen[kIntegerDigits] <= 0x1p24, "whole part beyond the bit-exact rounding");
    const bool negative = std::signbit(value);
    // The sign, when there is one, takes a column from the digits.
    const auto limit = static_cast<std::uint64_t>(kPowersOfTen[Shape::width - (negative ? 2 : 1)]);
    const std::uint64_t rounded = rounded_digits(value, Shape::decimals);
    if (rounded >= limit) {
        format_unfit_value(value, Shape::width, out);
    } else {
        write_digits(Shape{}, rounded, negative, out);
    }
}

template bool read_real_field<WideReal>(const char*, float&);
template bool read_real_field<NarrowReal>(const char*, float&);
template bool is_real_field<WideReal>(const char*);
template bool is_real_field<NarrowReal>(const char*);
template void format_real_field<WideReal>(float, char*);
template void format_real_field<NarrowReal>(float, char*);

bool read_real_field(OtherShape shape, const char* field, float& value)
{
    return read_plain_field(field, shape.width, shape.decimals, value) ||
           read_squeezed_field(field, shape.width, shape.decimals, value);
}

// Other shapes than the two common ones are rare: the standard library's
// printf-exact conversion rounds them, half to even on the exact value.
void format_fixed_field(OtherShape shape, float value, char* out)
{
    const std::size_t width = shape.width;
    const int decimals = shape.decimals;
    if (!std::isfinite(value)) return format_special_value(value, width, out);
    // A point and d decimals after at least one digit: a text longer than the field needs no digits worked out.
    if (static_cast<std::size_t>(decimals) + 2 > width) {
        std::memset(out, '*', width);
        return;
    }
    char text[kLongestText];
    char* end = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, decimals).ptr;
    // Without decimals the point still ends the integer digits: "1894.".
    if (decimals == 0) *end++ = '.';
    right_align(std::string_view(text, static_cast<std::size_t>(end - text)), width, out);
}

void format_exponent_field(float value, std::size_t width, int digits, char* out)
{
    if (!std::isfinite(value)) return format_special_value(value, width, out);
    const bool negative = std::signbit(value);
    const std::size_t length = (negative ? 1u : 0u) + 2 + static_cast<std::size_t>(digits) + 4;
    if (length > width) {
        std::memset(out, '*', width);
        return;
    }
    // d.ddddde+XX: the same digits, the point one place further left.
    char scientific[kLongestText];
    const auto end = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(static_cast<double>(value)),
                                   std::chars_format::scientific, digits - 1).ptr;
    const std::string_view written(scientific, static_cast<std::size_t>(end - scientific));
    const std::size_t marker = written.find('e');
    int exponent = 0;
    std::from_chars(written.data() + marker + (written[marker + 1] == '+' ? 2 : 1), end, exponent);
    if (value != 0.0f) ++exponent;

    char text[kLongestText];
    char* at = text;
    if (negative) *at++ = '-';
    *at++ = '0';
    *at++ = '.';
    for (std::size_t i = 0; i < marker; ++i) {
        if (written[i] != '.') *at++ = written[i];
    }
    *at++ = 'E';
    *at++ = exponent < 0 ? '-' : '+';
    // A float's decimal exponent lies between -44 and 39: two digits always.
    const int magnitude = exponent < 0 ? -exponent : exponent;
    *at++ = static_cast<char>('0' + magnitude / 10);
    *at++ = static_cast<char>('0' + magnitude % 10);
    right_align(std::string_view(text, length), width, out);
}

bool writes_as_zero(float value, std::size_t width, int decimals)
{
    // Not zero, and below 1, or an integer digit would show.
    if (value == 0.0f || !(std::fabs(value) < 1.0f)) return false;
    // "0." or "-0." and the decimals must fit, or the field holds asterisks.
    if (static_cast<std::size_t>(decimals) + (std::signbit(value) ? 3 : 2) > width) return false;
    if (decimals <= kMostRoundedDecimals) return rounded_digits(value, decimals) == 0;
    char text[kLongestText];
    const char* end = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed,
                                    decimals).ptr;
    return std::find_if(static_cast<const char*>(text), end, [](char c) { return c >= '1' && c <= '9'; }) == end;
}

template <RealFieldShape Shape>
CarriedReal check_carried_field(const char* field)
{
    switch (plain_shape_of<Shape>(field)) {
    case PlainShape::Written: return CarriedReal::Written;
    case PlainShape::Plain: return CarriedReal::Number;
    case PlainShape::Other: break;
    }
    float value = 0.0f;
    return read_real_field<Shape>(field, value) ? CarriedReal::Number : CarriedReal::NotANumber;
}

template CarriedReal check_carried_field<WideReal>(const char*);
template CarriedReal check_carried_field<NarrowReal>(const char*);

CarriedReal check_other_carried_field(const char* field, std::size_t width, int digits, bool exponent)
{
    if (!is_real_field(field, width, digits)) return CarriedReal::NotANumber;
    const auto places = static_cast<std::size_t>(digits);
    const bool written = exponent ? is_written_exponent(field, width, places) : is_written_fixed(field, width, places);
    return written ? CarriedReal::Written : CarriedReal::Number;
}

namespace {

// A carried field of a common shape whose text is digits with a point or
// implied decimals: its decimal value is integer x 10^-decimals, rounded half
// to even to Shape::decimals places as an integer, exactly, and written by the
// float writer's digits. False for any other text.
template <RealFieldShape Shape>
bool format_plain_carried_field(const char* field, char* out)
{
    PlainDigits number;
    if (!read_plain_digits<Shape>(field, number)) return false;
    const auto limit = static_cast<std::uint64_t>(kPowersOfTen[Shape::width - (number.negative ? 2 : 1)]);
    std::uint64_t rounded = number.integer;
    if (number.decimals <= Shape::decimals) {
        const auto scale = static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(Shape::decimals - number.decimals)]);
        if (rounded > (limit - 1) / scale) {
            std::memset(out, '*', Shape::width);
            return true;
        }
        rounded *= scale;
    } else {
        const auto scale = static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(number.decimals - Shape::decimals)]);
        const std::uint64_t remainder = rounded % scale;
        rounded /= scale;
        // 0 = down; above half up; at half up when odd.
        if (remainder > scale / 2 || (remainder == scale / 2 && rounded % 2 == 1)) ++rounded;
    }
    if (rounded >= limit) {
        std::memset(out, '*', Shape::width);
    } else {
        write_digits(Shape{}, rounded, number.negative, out);
    }
    return true;
}

}  // namespace

void format_carried_fixed_field(const char* field, std::size_t width, int decimals, char* out)
{
    if (check_carried_field(field, width, decimals, false) == CarriedReal::Written) {
        std::memcpy(out, field, width);
        return;
    }
    switch (real_shape(width, decimals)) {
    case RealShape::Wide:
        if (format_plain_carried_field<WideReal>(field, out)) return;
        break;
    case RealShape::Narrow:
        if (format_plain_carried_field<NarrowReal>(field, out)) return;
        break;
    case RealShape::Other: break;
    }
    format_carried_field(
        field, width, decimals, out,
        [&](const DecimalText& number, char* text, std::size_t room) { return fixed_text(number, decimals, text, room); },
        [&](float special) { format_fixed_field(special, width, decimals, out); });
}

void format_carried_exponent_field(const char* field, std::size_t width, int digits, char* out)
{
    if (check_carried_field(field, width, digits, true) == CarriedReal::Written) {
        std::memcpy(out, field, width);
        return;
    }
    format_carried_field(
        field, width, digits, out,
        [&](const DecimalText& number, char* text, std::size_t room) { return scientific_text(number, digits, text, room); },
        [&](float special) { format_exponent_field(special, width, digits, out); });
}
