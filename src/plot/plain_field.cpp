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

constexpr std::array<std::uint64_t, 9> kIntegerPowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

constexpr std::uint64_t kAsciiZeros = 0x3030303030303030;

// The low k bytes of a word; on a little-endian load these are the first k bytes.
constexpr std::uint64_t low_bytes(unsigned k) { return k >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * k)) - 1; }

std::uint64_t load_word(const char* bytes)
{
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Eight ASCII digits, the first in the lowest byte, as their integer.
std::uint32_t eight_digits(std::uint64_t word)
{
    word -= kAsciiZeros;
    word = (word * 10) + (word >> 8);  // pairs of digits in every second byte
    word = (((word & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
            (((word >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >> 32;
    return static_cast<std::uint32_t>(word);
}

// The count digits that end just before end, as an integer (count 0 to 8).
std::uint64_t digits_ending_at(const char* end, unsigned count)
{
    const std::uint64_t before = low_bytes(8 - count);
    return eight_digits((load_word(end - 8) & ~before) | (kAsciiZeros & before));
}

// The count digits that start at start, as an integer (count 0 to 8).
std::uint64_t digits_starting_at(const char* start, unsigned count)
{
    if (count == 0) return 0;
    const unsigned shift = 8 * (8 - count);
    return eight_digits((load_word(start) << shift) | (kAsciiZeros & low_bytes(8 - count)));
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

#if defined(__SSE2__)

std::optional<float> read_plain_field(std::string_view field, int implied_decimals)
{
    // The field at offset 8, zeros before it for loads that reach back, blanks after.
    alignas(16) char bytes[40];
    std::memcpy(bytes, "00000000", 8);
    std::memset(bytes + 8, ' ', 32);
    // Copies of a known length compile to a few moves.
    switch (field.size()) {
    case 13: std::memcpy(bytes + 8, field.data(), 13); break;
    case 8: std::memcpy(bytes + 8, field.data(), 8); break;
    default:
        if (field.size() > 16) return std::nullopt;
        std::memcpy(bytes + 8, field.data(), field.size());
    }
    const char* text = bytes + 8;

    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const auto mask_of = [](__m128i flags) { return static_cast<unsigned>(_mm_movemask_epi8(flags)); };
    const unsigned digits = mask_of(_mm_and_si128(_mm_cmpgt_epi8(chunk, _mm_set1_epi8('0' - 1)),
                                                  _mm_cmplt_epi8(chunk, _mm_set1_epi8('9' + 1))));
    const unsigned blanks = mask_of(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(' ')));
    const unsigned points = mask_of(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('.')));
    const unsigned minus = mask_of(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('-')));
    const unsigned signs = minus | mask_of(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('+')));

    const unsigned filled = ~blanks & 0xFFFFu;
    if (filled == 0) return 0.0f;
    const unsigned lowest = filled & (0u - filled);
    const bool one_run = ((filled + lowest) & filled) == 0;
    const bool only_known = (digits | blanks | points | signs) == 0xFFFFu;
    const bool sign_leads = signs == 0 || signs == lowest;
    const bool one_point = (points & (points - 1)) == 0;
    if (!(one_run && only_known && sign_leads && one_point && digits != 0)) return std::nullopt;

    const auto first = static_cast<unsigned>(std::countr_zero(filled)) + (signs != 0 ? 1 : 0);
    const auto last = static_cast<unsigned>(31 - std::countl_zero(filled));
    const unsigned point = points != 0 ? static_cast<unsigned>(std::countr_zero(points)) : last + 1;
    const unsigned whole_count = point - first;
    const unsigned fraction_count = points != 0 ? last - point : 0;
    if (whole_count > 8 || fraction_count > 8) return std::nullopt;

    const std::uint64_t integer = digits_ending_at(text + point, whole_count) * kIntegerPowersOfTen[fraction_count] +
                                  digits_starting_at(text + point + 1, fraction_count);
    const int decimals = points != 0 ? static_cast<int>(fraction_count) : implied_decimals;
    const std::optional<float> magnitude = float_from_scaled_integer(integer, -decimals);
    if (magnitude && minus != 0) return -*magnitude;
    return magnitude;
}

#else

std::optional<float> read_plain_field(std::string_view, int) { return std::nullopt; }

#endif
