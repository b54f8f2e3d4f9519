#include "plot/plain_field.hpp"

#include <array>
#include <bit>
#include <cstring>

#include "number/scaled_integer.hpp"
#include "plot/field_bytes.hpp"
#include "plot/text_words.hpp"

#if defined(PLOTMERGE_SSE2_CLASSIFIER)
#include <emmintrin.h>
#endif

namespace {

constexpr std::uint64_t kOnes = TEXT_ONES;
constexpr std::uint64_t kHighBits = TEXT_HIGH_BITS;
constexpr std::uint64_t kLowBits = TEXT_LOW_BITS;
constexpr std::uint64_t kBlanks = TEXT_BLANKS;

constexpr std::uint64_t digit_bytes(std::uint64_t word)
{
    const std::uint64_t low = word & kLowBits;
    return (kOnes * (127 + '9' + 1) - low) & ~word & (low + kOnes * (127 - ('0' - 1))) & kHighBits;
}

// One bit per marked byte, byte i to bit i.
constexpr unsigned byte_bits(std::uint64_t marked)
{
    return static_cast<unsigned>(((marked >> 7) * 0x0102040810204080) >> 56);
}

// Eight digit values (0 to 9), the first in the lowest byte, as their integer.
constexpr std::uint64_t eight_digit_values(std::uint64_t word)
{
    word = (word * 10) + (word >> 8);
    return (((word & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
            (((word >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >> 32;
}

// Bytes 0 to p of sixteen, for a point at byte p; entry 16 (no point) is empty.
struct BytePrefix {
    std::uint64_t low;
    std::uint64_t high;
};
constexpr std::array<BytePrefix, 17> kBytePrefixes = [] {
    std::array<BytePrefix, 17> prefixes{};
    for (unsigned p = 0; p < 16; ++p) {
        prefixes[p].low = p >= 7 ? ~0ULL : (1ULL << (8 * (p + 1))) - 1;
        prefixes[p].high = p < 8 ? 0 : p == 15 ? ~0ULL : (1ULL << (8 * (p - 7))) - 1;
    }
    return prefixes;
}();

// The field right-aligned in sixteen bytes behind blanks, as two words,
// loaded straight from the field without leaving it.
template <RealFieldShape Shape>
void load_field(const char* field, std::uint64_t& low, std::uint64_t& high)
{
    constexpr unsigned leading = 16 - Shape::width;
    high = load_text_word(field + Shape::width - 8);
    if constexpr (leading == 8) {
        low = kBlanks;
    } else {
        low = (load_text_word(field) << (8 * leading)) | (kBlanks >> (8 * (8 - leading)));
    }
}

FieldBytes classify(std::uint64_t low, std::uint64_t high)
{
#if defined(PLOTMERGE_SSE2_CLASSIFIER)
    return classify_with_sse2(low, high);
#else
    return classify_portably(low, high);
#endif
}

// Blanks, an optional sign, digits with at most one point, blanks, and
// nothing else; an all-blank field too.
bool has_plain_shape(const FieldBytes& field)
{
    const unsigned filled = 0xFFFFu & ~field.blanks;
    const unsigned signs = field.minus | field.plus;
    const unsigned lowest = filled & (0u - filled);
    return (field.digits | field.blanks | field.points | signs) == 0xFFFFu && ((filled + lowest) & filled) == 0 &&
           (signs == 0 || signs == lowest) && (field.points & (field.points - 1)) == 0 &&
           (filled == 0 || field.digits != 0);
}

// The digits of a field of plain shape; nothing about the shape takes a branch.
bool read_packed_digits(std::uint64_t low, std::uint64_t high, int implied_decimals, PlainDigits& number)
{
    const FieldBytes field = classify(low, high);
    if (!has_plain_shape(field)) return false;

    // The digits before the point moved one byte on, over it.
    const BytePrefix& before = kBytePrefixes[static_cast<std::size_t>(std::countr_zero(field.points | 0x10000u))];
    const std::uint64_t low_moved = ((field.low_values << 8) & before.low) | (field.low_values & ~before.low);
    const std::uint64_t high_moved = (((field.high_values << 8) | (field.low_values >> 56)) & before.high) |
                                     (field.high_values & ~before.high);
    const std::uint64_t integer = eight_digit_values(low_moved) * 100000000 + eight_digit_values(high_moved);

    // With a point the digits after it are the decimals, blanks after them
    // reading as zeros; without, the implied decimals, trailing blanks ignored.
    const unsigned filled = 0xFFFFu & ~field.blanks;
    const auto last = static_cast<int>(31 - std::countl_zero(filled | 1u));
    number.integer = integer;
    number.decimals = field.points != 0 ? 15 - std::countr_zero(field.points) : implied_decimals + 15 - last;
    number.negative = field.minus != 0;
    return true;
}

// The value of a field of plain shape.
bool read_packed_words(std::uint64_t low, std::uint64_t high, int implied_decimals, float& value)
{
    PlainDigits number;
    if (!read_packed_digits(low, high, implied_decimals, number)) return false;
    float magnitude = 0.0f;
    if (!nearest_float_of_scaled(number.integer, -number.decimals, magnitude)) return false;
    value = number.negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

FieldBytes classify_portably(std::uint64_t low, std::uint64_t high)
{
    const auto bits = [](std::uint64_t low_marks, std::uint64_t high_marks) {
        return byte_bits(low_marks) | byte_bits(high_marks) << 8;
    };
    const std::uint64_t low_digits = digit_bytes(low);
    const std::uint64_t high_digits = digit_bytes(high);
    return {bits(low_digits, high_digits),
            bits(bytes_equal(low, ' '), bytes_equal(high, ' ')),
            bits(bytes_equal(low, '.'), bytes_equal(high, '.')),
            bits(bytes_equal(low, '-'), bytes_equal(high, '-')),
            bits(bytes_equal(low, '+'), bytes_equal(high, '+')),
            low & ((low_digits >> 7) * 0x0F),
            high & ((high_digits >> 7) * 0x0F)};
}

#if defined(PLOTMERGE_SSE2_CLASSIFIER)
FieldBytes classify_with_sse2(std::uint64_t low, std::uint64_t high)
{
    const __m128i bytes = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
    const auto bits = [](__m128i flags) { return static_cast<unsigned>(_mm_movemask_epi8(flags)); };
    const __m128i values = _mm_and_si128(_mm_sub_epi8(bytes, _mm_set1_epi8('0')), digit);
    return {bits(digit),
            bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))),
            bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))),
            bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('-'))),
            bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('+'))),
            static_cast<std::uint64_t>(_mm_cvtsi128_si64(values)),
            static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(values, values)))};
}
#endif

template <RealFieldShape Shape>
bool read_plain_field(const char* field, float& value)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    load_field<Shape>(field, low, high);
    return read_packed_words(low, high, Shape::decimals, value);
}

template <RealFieldShape Shape>
bool read_plain_digits(const char* field, PlainDigits& number)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    load_field<Shape>(field, low, high);
    return read_packed_digits(low, high, Shape::decimals, number);
}

template <RealFieldShape Shape>
bool is_plain_number(const char* field)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    load_field<Shape>(field, low, high);
    return has_plain_shape(classify(low, high));
}

bool read_plain_field(const char* field, std::size_t width, int decimals, float& value)
{
    if (width > 16) return false;
    char padded[16];
    std::memset(padded, ' ', sizeof padded);
    std::memcpy(padded + sizeof padded - width, field, width);
    return read_packed_words(load_text_word(padded), load_text_word(padded + 8), decimals, value);
}

// A field of plain shape as the Fw.d writer writes a decimal: blanks first
// and only first, a minus sign or none, a point before the last `decimals`
// bytes, digits elsewhere, and no leading zero but a single 0 before the point.
bool is_written_bytes(const FieldBytes& bytes, int decimals)
{
    const unsigned blanks = bytes.blanks;
    if (bytes.plus != 0 || (blanks & (blanks + 1)) != 0 || bytes.points != 1u << (15 - decimals)) return false;
    const auto first = static_cast<unsigned>(std::countr_one(blanks));
    if (bytes.minus != 0 && bytes.minus != 1u << first) return false;
    const unsigned digits = 0xFFFFu & ~blanks & ~bytes.points & ~bytes.minus;
    if (bytes.digits != digits) return false;
    const unsigned first_digit = first + (bytes.minus != 0 ? 1u : 0u);
    const unsigned point = 15u - static_cast<unsigned>(decimals);
    if (first_digit >= point) return false;
    const std::uint64_t values = first_digit < 8 ? bytes.low_values : bytes.high_values;
    const bool leading_zero = (values >> (8 * (first_digit % 8)) & 0xF) == 0;
    return !leading_zero || first_digit + 1 == point;
}

template <RealFieldShape Shape>
PlainShape plain_shape_of(const char* field)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    load_field<Shape>(field, low, high);
    const FieldBytes bytes = classify(low, high);
    if (!has_plain_shape(bytes)) return PlainShape::Other;
    return is_written_bytes(bytes, Shape::decimals) ? PlainShape::Written : PlainShape::Plain;
}

template PlainShape plain_shape_of<WideReal>(const char*);
template PlainShape plain_shape_of<NarrowReal>(const char*);
template bool read_plain_digits<WideReal>(const char*, PlainDigits&);
template bool read_plain_digits<NarrowReal>(const char*, PlainDigits&);
template bool read_plain_field<WideReal>(const char*, float&);
template bool read_plain_field<NarrowReal>(const char*, float&);
template bool is_plain_number<WideReal>(const char*);
template bool is_plain_number<NarrowReal>(const char*);

// The eight bytes right-aligned in sixteen behind blanks, classified as a
// real field's are; a point has no place in an integer.
bool read_plain_integer(const char* field, std::int32_t& value)
{
    const FieldBytes bytes = classify(kBlanks, load_text_word(field));
    if (bytes.points != 0 || !has_plain_shape(bytes)) return false;
    // The digits moved to the end of the word, zeros before them.
    const unsigned filled = 0xFF00u & ~bytes.blanks;
    const int trailing = std::countl_zero(static_cast<std::uint16_t>(filled | 0x80u));  // 8 when all blank
    const std::uint64_t values = bytes.high_values << (8 * (trailing & 7));
    const auto magnitude = static_cast<std::int32_t>(eight_digit_values(values));
    value = bytes.minus != 0 ? -magnitude : magnitude;
    return true;
}
