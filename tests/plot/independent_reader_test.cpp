// The tool's real readers against the slow strtof-based reader, which shares
// none of their shortcuts: on random fields of the standard line's two shapes
// and of others, on random texts, and on a table of cases where a shortcut
// is most likely to round wrongly.
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "number/real_text.hpp"
#include "plot/real_field.hpp"
#include "slow_real_reader.hpp"

namespace {

struct Shape {
    std::size_t width;
    int decimals;
};
constexpr Shape kWide{13, 5};
constexpr Shape kNarrow{8, 2};

std::optional<float> tool_field(const std::string& field, Shape shape)
{
    EXPECT_EQ(field.size(), shape.width);
    float value = 0.0f;
    if (!read_real_field(field.data(), shape.width, shape.decimals, value)) return std::nullopt;
    return value;
}

// A field as the slow reader reads it: blanks dropped, nothing left reads as 0.
std::optional<float> slow_field(const std::string& field, Shape shape)
{
    std::string text;
    for (const char c : field) {
        if (c != ' ') text += c;
    }
    if (text.empty()) return 0.0f;
    return slow_read_real(text, shape.decimals);
}

::testing::AssertionResult same(std::optional<float> expected, std::optional<float> actual)
{
    if (!expected || !actual) {
        if (!expected && !actual) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << (expected ? "refused a number" : "read a non-number");
    }
    if (std::isnan(*expected) && std::isnan(*actual)) return ::testing::AssertionSuccess();
    if (std::bit_cast<std::uint32_t>(*expected) == std::bit_cast<std::uint32_t>(*actual)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected " << std::hexfloat << *expected << ", read " << *actual;
}

// Texts of the real form and near misses: signs, digit strings with a point
// anywhere, every exponent form, now and then a foreign byte.
std::string random_number_text(std::mt19937_64& random, std::size_t longest)
{
    static constexpr std::string_view kForeign = "+-.eEdDqx\t/,*iInN";
    std::string text;
    if (random() % 3 == 0) text += random() % 2 ? '-' : '+';
    const std::size_t digits = random() % (longest + 1);
    const std::size_t point = random() % (digits + 3);
    for (std::size_t i = 0; i < digits; ++i) {
        if (i == point) text += '.';
        text += static_cast<char>(random() % 4 == 0 ? '0' : '0' + random() % 10);
    }
    if (point == digits) text += '.';
    switch (random() % 6) {
        case 0: text += "eEdD"[random() % 4]; break;
        case 1: text += random() % 2 ? '-' : '+'; break;
        default: break;
    }
    if (text.empty() || text.back() < '0' || text.back() > '9' || random() % 4 == 0) {
        if (random() % 3 == 0) text += random() % 2 ? '-' : '+';
        const std::size_t exponent_digits = random() % 3;
        for (std::size_t i = 0; i < exponent_digits; ++i) text += static_cast<char>('0' + random() % 10);
    }
    if (!text.empty() && random() % 16 == 0) text[random() % text.size()] = kForeign[random() % kForeign.size()];
    return text;
}

// A field as files mostly hold it, which the quick readers take: leading
// blanks, maybe a sign, digits with the point anywhere or nowhere, sometimes
// trailing blanks.
std::string random_plain_field(std::mt19937_64& random, Shape shape)
{
    std::string number;
    if (random() % 4 == 0) number += random() % 2 ? '-' : '+';
    const std::size_t digits = 1 + random() % (shape.width - 1 - number.size());
    const std::size_t point = random() % (digits + 2);  // digits + 1: no point at all
    for (std::size_t i = 0; i < digits; ++i) {
        if (i == point) number += '.';
        number += static_cast<char>('0' + random() % 10);
    }
    if (point == digits) number += '.';
    const std::size_t trailing = random() % 8 == 0 ? random() % (shape.width - number.size() + 1) : 0;
    return std::string(shape.width - number.size() - trailing, ' ') + number + std::string(trailing, ' ');
}

// The text cut to the shape and blanks put before, after and within it.
std::string random_field(std::mt19937_64& random, Shape shape)
{
    std::string text = random_number_text(random, shape.width);
    if (text.size() > shape.width) text.resize(shape.width);
    while (text.size() < shape.width && random() % 5 == 0) text.insert(random() % (text.size() + 1), 1, ' ');
    const std::size_t trailing = random() % 4 == 0 ? random() % (shape.width - text.size() + 1) : 0;
    return std::string(shape.width - text.size() - trailing, ' ') + text + std::string(trailing, ' ');
}

// Plain fields and every other form, in the standard line's two shapes and in
// other widths and decimals of declared layouts.
TEST(RealFieldsAgainstTheSlowReader, AgreeOnRandomFieldsOfEveryShape)
{
    std::mt19937_64 random(1409);
    int numbers = 0;
    for (int i = 0; i < 600'000; ++i) {
        Shape shape = i % 3 == 0 ? kWide : i % 3 == 1 ? kNarrow : Shape{3 + random() % 21, static_cast<int>(random() % 9)};
        const std::string field = i % 2 == 0 ? random_plain_field(random, shape) : random_field(random, shape);
        const std::optional<float> expected = slow_field(field, shape);
        numbers += expected.has_value();
        ASSERT_TRUE(same(expected, tool_field(field, shape))) << '[' << field << "] " << shape.decimals;
        ASSERT_EQ(expected.has_value(), is_real_field(field.data(), shape.width, shape.decimals)) << '[' << field << ']';
    }
    // Most random fields are numbers, so the values are what is compared.
    EXPECT_GT(numbers, 400'000);
}

TEST(RealTextAgainstTheSlowReader, AgreesOnRandomTextsOfEveryLength)
{
    std::mt19937_64 random(2026);
    for (int i = 0; i < 200'000; ++i) {
        const std::string text = random_number_text(random, 1 + random() % 40);
        for (const int decimals : {0, 2, 5}) {
            ASSERT_TRUE(same(slow_read_real(text, decimals), read_real_text(text, decimals)))
                << '[' << text << "] with " << decimals << " implied decimals";
        }
    }
}

struct HardCase {
    const char* text;
    int decimals;
};

// Decimals within a hair of the midpoint between two floats, so close that a
// double quotient of their digits and a power of ten lands on the midpoint
// itself; the smallest subnormals and the halfway point below them; the
// largest finite float and the halfway point above it; digit strings longer
// than any shortcut takes; implied decimals with exponents.
constexpr HardCase kHardTexts[] = {
    {"921414430195E-16", 0},  {"771767139085E-20", 0},  {"539385069942E-18", 0},   {"104011573967E-16", 0},
    {"555296927690506E-15", 0}, {"817151851952076E-16", 0}, {"90189409093E-14", 0}, {"90189409093-9", 5},
    {"71878862218-9", 5},     {"15475681721-9", 5},     {"16777217", 0},           {"16777217.000000000001", 0},
    {"1.4E-45", 0},           {"1.401298464324817E-45", 0}, {"7.006492321624085E-46", 0},
    {"7.006492321624086E-46", 0}, {"2.8E-45", 0},       {"1E-40", 5},              {"1.1754942E-38", 0},
    {"1.1754943E-38", 0},     {"3.4028234663852886E38", 0}, {"3.4028235677973366E38", 0},
    {"3.4028235677973367E38", 0}, {"340282356779733661637539395458142568448", 0}, {"34028236-31", 5},
    {"-3.40282357E38", 0},    {"1E39", 0},              {"1E39", 5},               {"1E-46", 0},
    {"0.000000000000000000000000000000000000000000001401298464324817070923729583289916131280", 0},
    {"1677721700000000000000000000000000000000000000000000000001E-50", 0},
    {"12E1", 2},              {"125-3", 5},             {"125D+3", 2},             {".5E1", 5},
    {"1677721700000", 5},     {"-0.00000", 5},
};

TEST(RealTextAgainstTheSlowReader, AgreesOnTheHardCases)
{
    for (const HardCase& c : kHardTexts) {
        EXPECT_TRUE(same(slow_read_real(c.text, c.decimals), read_real_text(c.text, c.decimals)))
            << c.text << " with " << c.decimals << " implied decimals";
    }
    // In exact rationals, 921414430195E-16 lies 2.3E-21 below 0x1.82781fp-14,
    // the midpoint between 0x1.82781ep-14 and 0x1.82782p-14: a relative
    // 2.5E-17, inside half a double's precision, so the double quotient is the
    // midpoint itself, and only the exact value says to round down.
    EXPECT_TRUE(same(0x1.82781ep-14f, read_real_text("921414430195E-16", 0)));
}

// The hard cases that fit a field, in fields, with blanks around and within.
TEST(RealFieldsAgainstTheSlowReader, AgreeOnTheHardCasesThatFitAField)
{
    for (const HardCase& c : kHardTexts) {
        for (const Shape shape : {kWide, kNarrow}) {
            const std::string text = c.text;
            if (text.size() > shape.width) continue;
            const std::string right(shape.width - text.size(), ' ');
            for (const std::string& field : {right + text, text + right}) {
                EXPECT_TRUE(same(slow_field(field, shape), tool_field(field, shape))) << '[' << field << ']';
            }
        }
    }
}

}  // namespace
