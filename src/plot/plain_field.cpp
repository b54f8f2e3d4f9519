#include "plot/plain_field.hpp"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::array<double, 23> kPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

std::uint64_t load_word(const char* bytes)
{
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

}  // namespace

std::optional<float> float_from_scaled_integer(std::uint64_t integer, int exponent)
{
    if (integer == 0) return 0.0f;
    if (integer >= (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return std::nullopt;
    const auto mantissa = static_cast<double>(integer);
    const double power = kPowersOfTen[static_cast<std::size_t>(exponent < 0 ? -exponent : exponent)];
    // One correctly rounded double operation on exact operands.
    const double nearest = exponent >= 0 ? mantissa * power : mantissa / power;
    // Rounding that double to float again is exact unless it fell exactly on a
    // midpoint between two floats, or among the subnormal floats.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &nearest, sizeof bits);
    constexpr std::uint64_t kBelowFloatPrecision = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t kMidpoint = std::uint64_t{1} << 28;
    constexpr double kSmallestNormalFloat = 0x1p-126;
    if ((bits & kBelowFloatPrecision) == kMidpoint || nearest < kSmallestNormalFloat) return std::nullopt;
    return static_cast<float>(nearest);
}

namespace {

// Each test leaves 0x80 in exactly the bytes of a word it holds for, 0 in the
// others; no carry crosses from one byte to the next.
constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;
constexpr std::uint64_t kLowBits = ~kHighBits;
constexpr std::uint64_t kBlanks = kOnes * ' ';

constexpr std::uint64_t bytes_equal(std::uint64_t word, unsigned char c)
{
    const std::uint64_t difference = word ^ (kOnes * c);
    return ~(((difference & kLowBits) + kLowBits) | difference) & kHighBits;
}

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
// loaded straight from the field (8 to 16 bytes) without leaving it.
void load_field(const char* field, unsigned width, std::uint64_t& low, std::uint64_t& high)
{
    const unsigned leading = 16 - width;
    high = load_word(field + width - 8);
    if (leading == 8) {
        low = kBlanks;
    } else if (leading == 0) {
        low = load_word(field);
    } else {
        low = (load_word(field) << (8 * leading)) | (kBlanks >> (8 * (8 - leading)));
    }
}

// Which of the sixteen bytes hold what, one bit per byte (byte i to bit i),
// and the digit values, 0 in every other byte, as two words.
struct FieldBytes {
    unsigned digits;
    unsigned blanks;
    unsigned points;
    unsigned minus;
    unsigned plus;
    std::uint64_t low_values;
    std::uint64_t high_values;
};

#if defined(__SSE2__)
// Sixteen bytes compared at once, straight from registers.
FieldBytes classify(std::uint64_t low, std::uint64_t high)
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
#else
FieldBytes classify(std::uint64_t low, std::uint64_t high)
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
#endif

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

// The value of a field of plain shape; nothing about the shape takes a branch.
bool read_packed_words(std::uint64_t low, std::uint64_t high, int implied_decimals, float& value)
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
    const int decimals = field.points != 0 ? 15 - std::countr_zero(field.points) : implied_decimals + 15 - last;
    if (integer >= (std::uint64_t{1} << 53) || decimals > 22) return false;
    const double nearest = static_cast<double>(integer) / kPowersOfTen[static_cast<std::size_t>(decimals)];
    std::uint64_t bits = 0;
    std::memcpy(&bits, &nearest, sizeof bits);
    constexpr std::uint64_t kBelowFloatPrecision = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t kMidpoint = std::uint64_t{1} << 28;
    if ((bits & kBelowFloatPrecision) == kMidpoint || (integer != 0 && nearest < 0x1p-126)) return false;
    const auto magnitude = static_cast<float>(nearest);
    value = field.minus != 0 ? -magnitude : magnitude;
    return true;
}

// A field of up to 16 bytes right-aligned in two words; the usual widths as
// constants, so that the loads and shifts are fixed. False for a wider field
// and on machines that are not little-endian.
bool load_field_words(std::string_view field, std::uint64_t& low, std::uint64_t& high)
{
    if constexpr (std::endian::native != std::endian::little) return false;
    if (field.size() == 13) {
        load_field(field.data(), 13, low, high);
    } else if (field.size() == 8) {
        load_field(field.data(), 8, low, high);
    } else if (field.size() > 8 && field.size() <= 16) {
        load_field(field.data(), static_cast<unsigned>(field.size()), low, high);
    } else if (field.size() < 8) {
        char bytes[8];
        std::memset(bytes, ' ', sizeof bytes);
        std::memcpy(bytes + sizeof bytes - field.size(), field.data(), field.size());
        load_field(bytes, 8, low, high);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool read_plain_field(std::string_view field, int implied_decimals, float& value)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    return load_field_words(field, low, high) && read_packed_words(low, high, implied_decimals, value);
}

bool read_plain_integer(std::string_view field, std::int32_t& value)
{
    if constexpr (std::endian::native != std::endian::little) return false;
    if (field.size() != 8) return false;
    const std::uint64_t word = load_word(field.data());
    const std::uint64_t digit_marks = digit_bytes(word);
    const unsigned digits = byte_bits(digit_marks);
    const unsigned blanks = byte_bits(bytes_equal(word, ' '));
    const unsigned minus = byte_bits(bytes_equal(word, '-'));
    const unsigned signs = minus | byte_bits(bytes_equal(word, '+'));
    const unsigned filled = 0xFFu & ~blanks;
    const unsigned lowest = filled & (0u - filled);
    const bool plain = (digits | blanks | signs) == 0xFFu && ((filled + lowest) & filled) == 0 &&
                       (signs == 0 || signs == lowest) && (filled == 0 || digits != 0);
    if (!plain) return false;
    // The digits moved to the end of the word, zeros before them.
    const int trailing = std::countl_zero(static_cast<std::uint8_t>(filled));  // 8 when all blank, and no digits
    const std::uint64_t values = (word & ((digit_marks >> 7) * 0x0F)) << (8 * (trailing & 7));
    const auto magnitude = static_cast<std::int32_t>(eight_digit_values(values));
    value = minus != 0 ? -magnitude : magnitude;
    return true;
}

bool is_plain_number(std::string_view field)
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    return load_field_words(field, low, high) && has_plain_shape(classify(low, high));
}

std::optional<float> read_plain_field(std::string_view field, int implied_decimals)
{
    float value = 0.0f;
    if (!read_plain_field(field, implied_decimals, value)) return std::nullopt;
    return value;
}
