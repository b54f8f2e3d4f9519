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
