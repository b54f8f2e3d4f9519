#pragma once

#include <cstdint>

// The SSE2 classifier uses _mm_cvtsi128_si64, which exists on x86-64 only.
#if defined(__SSE2__) && defined(__x86_64__)
#define PLOTMERGE_SSE2_CLASSIFIER 1
#endif

// Which of the sixteen bytes of a field right-aligned in two words hold what,
// one bit per byte (byte i of the text to bit i), and the digit values, 0 in
// every other byte, as two words; byte i of the text is byte i mod 8 of a
// word counted from its low end, whatever the machine's byte order.
struct FieldBytes {
    unsigned digits;
    unsigned blanks;
    unsigned points;
    unsigned minus;
    unsigned plus;
    std::uint64_t low_values;
    std::uint64_t high_values;
};

// Word arithmetic alone: the classifier of machines without SSE2.
FieldBytes classify_portably(std::uint64_t low, std::uint64_t high);

#if defined(PLOTMERGE_SSE2_CLASSIFIER)
// Sixteen bytes compared at once, straight from registers.
FieldBytes classify_with_sse2(std::uint64_t low, std::uint64_t high);
#endif
