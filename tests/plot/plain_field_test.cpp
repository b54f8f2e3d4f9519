#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "plot/plain_field.hpp"
#include "plot/real_field.hpp"

namespace {

// A field as files hold it: leading blanks, maybe a sign, digits with the
// point anywhere or nowhere, sometimes trailing blanks.
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
    if (number.size() > width) number.pop_back();
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

// The quick reader must agree to the bit with the general one wherever it answers.
void expect_agreement(const std::string& field, int decimals, std::uint64_t& answered)
{
    const std::optional<float> quick = read_plain_field(field, decimals);
    if (!quick) return;
    ++answered;
    const std::optional<float> general = read_real_text(without_blanks(field), decimals);
    ASSERT_TRUE(general.has_value()) << '[' << field << ']';
    ASSERT_EQ(std::bit_cast<std::uint32_t>(*general), std::bit_cast<std::uint32_t>(*quick)) << '[' << field << ']';
}

TEST(PlainFieldReader, AgreesWithTheGeneralReaderOnRandomFields)
{
    std::mt19937_64 random(20261209);
    std::uint64_t answered = 0;
    constexpr int kFields = 2'000'000;
    for (int i = 0; i < kFields; ++i) {
        const bool wide = i % 2 == 0;
        expect_agreement(random_plain_field(random, wide ? 13 : 8), wide ? 5 : 2, answered);
    }
    // Nearly every plain field takes the quick way; only midpoints and long
    // digit strings are left to the general reader.
    EXPECT_GT(answered, kFields * 9 / 10);
}

TEST(PlainFieldReader, LeavesMidpointsAndOtherShapesToTheGeneralReader)
{
    // 16777217 lies midway between the floats 16777216 and 16777218.
    EXPECT_FALSE(read_plain_field("     16777217", 0).has_value());
    EXPECT_FALSE(read_plain_field("  1.5E2      ", 5).has_value());
    EXPECT_FALSE(read_plain_field("    1 2 3    ", 5).has_value());
    EXPECT_FALSE(read_plain_field("      1.5+2  ", 5).has_value());
    EXPECT_FALSE(read_plain_field("          -  ", 5).has_value());
    EXPECT_FALSE(read_plain_field("    12-3     ", 5).has_value());
    EXPECT_FALSE(read_plain_field("    1.2.3    ", 5).has_value());
    EXPECT_FALSE(read_plain_field("\t    1.5", 2).has_value());
    // The general reader then gives the correctly rounded value or refuses.
    EXPECT_EQ(read_real_field("     16777217", 0), 16777216.0f);
    EXPECT_EQ(read_real_field("    1 2 3    ", 5), 0.00123f);
    EXPECT_FALSE(read_real_field("    1.2.3    ", 5).has_value());
}

TEST(PlainFieldReader, ReadsTheCommonShapesItself)
{
    EXPECT_EQ(read_plain_field("   12345.67891", 5), 12345.67891f);
    EXPECT_EQ(read_plain_field("       -0.25  ", 5), -0.25f);
    EXPECT_EQ(read_plain_field("        125", 5), 0.00125f);
    EXPECT_EQ(read_plain_field(" 1234567", 2), 12345.67f);
    EXPECT_EQ(read_plain_field("             ", 5), 0.0f);
    const std::optional<float> negative_zero = read_plain_field("     -0.00000", 5);
    ASSERT_TRUE(negative_zero.has_value());
    EXPECT_TRUE(std::signbit(*negative_zero));
}

}  // namespace
