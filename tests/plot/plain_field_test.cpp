#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "plot/field_bytes.hpp"

namespace {

#if defined(PLOTMERGE_SSE2_CLASSIFIER)
// A field as files hold it: leading blanks, maybe a sign, digits with the
// point anywhere or nowhere, sometimes trailing blanks. At most width bytes:
// a sign takes one of the width - 1 digit columns, a point the last column.
std::string random_plain_field(std::mt19937_64& random, std::size_t width)
{
    std::string number;
    if (random() % 4 == 0) number += random() % 2 ? '-' : '+';
    const std::size_t digits = 1 + random() % (width - 1 - number.size());
    const std::size_t point = random() % (digits + 2);  // digits + 1: no point at all
    for (std::size_t i = 0; i < digits; ++i) {
        if (i == point) number += '.';
        number += static_cast<char>('0' + random() % 10);
    }
    if (point == digits) number += '.';
    const std::size_t trailing = random() % 8 == 0 ? random() % (width - number.size() + 1) : 0;
    return std::string(width - number.size() - trailing, ' ') + number + std::string(trailing, ' ');
}

// Machines without SSE2 take the portable classifier: on x86 both are
// compiled and must tell every byte apart alike.
::testing::AssertionResult same_classes(std::uint64_t low, std::uint64_t high)
{
    const FieldBytes portable = classify_portably(low, high);
    const FieldBytes sse2 = classify_with_sse2(low, high);
    if (portable.digits == sse2.digits && portable.blanks == sse2.blanks && portable.points == sse2.points &&
        portable.minus == sse2.minus && portable.plus == sse2.plus && portable.low_values == sse2.low_values &&
        portable.high_values == sse2.high_values) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << "words " << low << ' ' << high;
}

std::uint64_t word_of(const std::string& text, std::size_t at)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i) word |= std::uint64_t{static_cast<unsigned char>(text[at + i])} << (8 * i);
    return word;
}

TEST(FieldClassifiers, AgreeOnEveryByteInEveryColumn)
{
    std::mt19937_64 random(86);
    for (int i = 0; i < 2000; ++i) {
        std::string field = random_plain_field(random, i % 2 == 0 ? 16 : 8);
        field.insert(0, 16 - field.size(), ' ');
        for (std::size_t column = 0; column < 16; ++column) {
            const char kept = field[column];
            for (int byte = 0; byte < 256; byte += (i % 16 == 0 ? 1 : 7)) {
                field[column] = static_cast<char>(byte);
                ASSERT_TRUE(same_classes(word_of(field, 0), word_of(field, 8)));
            }
            field[column] = kept;
        }
    }
    for (int i = 0; i < 200'000; ++i) ASSERT_TRUE(same_classes(random(), random()));
}
#else
TEST(FieldClassifiers, AgreeOnEveryByteInEveryColumn)
{
    GTEST_SKIP() << "this machine has no SSE2 classifier; only the portable one is built";
}
#endif

}  // namespace
