#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Eight bytes of text as a word with the first byte in its low end, and back,
// on any machine: the word arithmetic of the field reader and writer counts
// bytes from the low end, so big-endian machines take the same path with the
// bytes swapped at loading and storing.
inline std::uint64_t load_text_word(const char* bytes)
{
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

inline void store_text_word(std::uint64_t word, char* out)
{
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    std::memcpy(out, &word, sizeof word);
}

// Tests on every byte of a word at once: each leaves 0x80 in exactly the
// bytes it holds for, 0 in the others; no carry crosses from one byte to the next.
inline constexpr std::uint64_t TEXT_ONES = 0x0101010101010101;
inline constexpr std::uint64_t TEXT_HIGH_BITS = 0x8080808080808080;
inline constexpr std::uint64_t TEXT_LOW_BITS = ~TEXT_HIGH_BITS;
inline constexpr std::uint64_t TEXT_BLANKS = TEXT_ONES * ' ';

constexpr std::uint64_t bytes_equal(std::uint64_t word, unsigned char c)
{
    const std::uint64_t difference = word ^ (TEXT_ONES * c);
    return ~(((difference & TEXT_LOW_BITS) + TEXT_LOW_BITS) | difference) & TEXT_HIGH_BITS;
}
