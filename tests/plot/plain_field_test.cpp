#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "plot/field_bytes.hpp"
#include "plot/plain_field.hpp"
#include "plot/real_field.hpp"
#include "slow_real_reader.hpp"

namespace {

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

std::string without_blanks(const std::string& field)
{
    std::string text;
    for (const char c : field) {
        if (c != ' ') text += c;
    }
    return text;
}

template <class Shape>
std::optional<float> quick(const std::string& field)
{
    EXPECT_EQ(field.size(), Shape::width);
    float value = 0.0f;
    if (!read_plain_field<Shape>(field.data(), value)) return std::nullopt;
    return value;
}

// Wherever the quick reader answers it must agree to the bit with the slow one.
template <class Shape>
void expect_agreement(const std::string& field, std::uint64_t& answered)
{
    const std::optional<float> value = quick<Shape>(field);
    if (!value) return;
    ++answered;
    const std::string text = without_blanks(field);
    const std::optional<float> slow = text.empty() ? 0.0f : slow_read_real(text, Shape::decimals);
    ASSERT_TRUE(slow.has_value()) << '[' << field << ']';
    ASSERT_EQ(std::bit_cast<std::uint32_t>(*slow), std::bit_cast<std::uint32_t>(*value)) << '[' << field << ']';
}

TEST(PlainFieldReader, AgreesWithTheSlowReaderOnRandomFields)
{
    std::mt19937_64 random(20261209);
    std::uint64_t answered = 0;
    constexpr int kFields = 1'000'000;
    for (int i = 0; i < kFields; ++i) {
        if (i % 2 == 0) {
            expect_agreement<WideReal>(random_plain_field(random, WideReal::width), answered);
        } else {
            expect_agreement<NarrowReal>(random_plain_field(random, NarrowReal::width), answered);
        }
    }
    // Nearly every plain field takes the quick way; only midpoints and
    // subnormals are left to the general reader.
    EXPECT_GT(answered, kFields * 9 / 10);
}

TEST(PlainFieldReader, LeavesOtherShapesToTheGeneralReader)
{
    // 1677721700000 with five implied decimals is 16777217, midway between
    // the floats 16777216 and 16777218.
    EXPECT_FALSE(quick<WideReal>("1677721700000").has_value());
    EXPECT_FALSE(quick<WideReal>("  1.5E2      ").has_value());
    EXPECT_FALSE(quick<WideReal>("    1 2 3    ").has_value());
    EXPECT_FALSE(quick<WideReal>("      1.5+2  ").has_value());
    EXPECT_FALSE(quick<WideReal>("          -  ").has_value());
    EXPECT_FALSE(quick<WideReal>("    12-3     ").has_value());
    EXPECT_FALSE(quick<WideReal>("    1.2.3    ").has_value());
    EXPECT_FALSE(quick<NarrowReal>("\t    1.5").has_value());
    // The general reader then gives the correctly rounded value or refuses.
    float value = 0.0f;
    ASSERT_TRUE(read_real_field<WideReal>("1677721700000", value));
    EXPECT_EQ(value, 16777216.0f);
    ASSERT_TRUE(read_real_field<WideReal>("    1 2 3    ", value));
    EXPECT_EQ(value, 0.00123f);
    EXPECT_FALSE(read_real_field<WideReal>("    1.2.3    ", value));
}

TEST(PlainFieldReader, ReadsTheCommonShapesItself)
{
    EXPECT_EQ(quick<WideReal>("12345.67891  "), 12345.67891f);
    EXPECT_EQ(quick<WideReal>("     -0.25   "), -0.25f);
    EXPECT_EQ(quick<WideReal>("          125"), 0.00125f);
    EXPECT_EQ(quick<NarrowReal>(" 1234567"), 12345.67f);
    EXPECT_EQ(quick<WideReal>("             "), 0.0f);
    const std::optional<float> negative_zero = quick<WideReal>("     -0.00000");
    ASSERT_TRUE(negative_zero.has_value());
    EXPECT_TRUE(std::signbit(*negative_zero));
}

TEST(PlainIntegerReader, ReadsBlanksSignAndDigits)
{
    std::int32_t value = 0;
    ASSERT_TRUE(read_plain_integer("00000042", value));
    EXPECT_EQ(value, 42);
    ASSERT_TRUE(read_plain_integer("  -123  ", value));
    EXPECT_EQ(value, -123);
    ASSERT_TRUE(read_plain_integer("        ", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(read_plain_integer("  1 2   ", value));
    EXPECT_FALSE(read_plain_integer("      + ", value));
}

#if defined(PLOTMERGE_SSE2_CLASSIFIER)
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
