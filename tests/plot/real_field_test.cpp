#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "field_reference.hpp"
#include "number/decimal_text.hpp"
#include "plot/real_field.hpp"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kSmallest = std::numeric_limits<float>::denorm_min();  // 2^-149

struct FormatCase {
    float value;
    int width;
    int decimals;
    const char* text;
};

// An Fw.d field, or with exponent set an Ew.d field.
void expect_formats(const FormatCase& c, bool exponent = false)
{
    std::string field(static_cast<std::size_t>(c.width) + 1, '#');  // the last byte must stay untouched
    const auto width = static_cast<std::size_t>(c.width);
    if (exponent) {
        format_exponent_field(c.value, width, c.decimals, field.data());
    } else {
        format_fixed_field(c.value, width, c.decimals, field.data());
    }
    EXPECT_EQ(std::string(c.text) + "#", field) << "value " << std::hexfloat << c.value << " in " << c.width << "."
                                                << c.decimals;
}

// Ties are judged on the exact binary value: k/8 and k/64 are exact, while
// 0.025f is 0.0250000003725..., 0.015f is 0.01499999966..., 2.675f is 2.67499995...
TEST(WritingRealFields, RoundsTheExactValueHalfToEven)
{
    const FormatCase cases[] = {
        {0.125f, 8, 2, "    0.12"},          {0.375f, 8, 2, "    0.38"},
        {0.625f, 8, 2, "    0.62"},          {0.875f, 8, 2, "    0.88"},
        {-0.125f, 8, 2, "   -0.12"},         {0.025f, 8, 2, "    0.03"},
        {0.015f, 8, 2, "    0.01"},          {2.675f, 8, 2, "    2.67"},
        {0.005f, 8, 2, "    0.00"},          {9.99609375f, 8, 2, "   10.00"},
        {0.015625f, 13, 5, "      0.01562"}, {0.046875f, 13, 5, "      0.04688"},
        {-0.078125f, 13, 5, "     -0.07812"}, {100.046875f, 13, 5, "    100.04688"},
        {0.1f, 13, 5, "      0.10000"},     {123.0f, 13, 5, "    123.00000"},
        {0.0f, 13, 5, "      0.00000"},     {0.0f, 8, 2, "    0.00"},
    };
    for (const FormatCase& c : cases) expect_formats(c);
}

// A 13/5 field holds seven integer digits, six after a minus sign; an 8/2
// field five, or four after a minus sign. -9999.995f is -9999.9951171875
// (10239995/1024), which rounds to -10000.00 and no longer fits;
// -9999.994140625 is the float just above it.
TEST(WritingRealFields, FillsWithAsterisksWhenTheRoundedTextDoesNotFit)
{
    const FormatCase cases[] = {
        {9999999.0f, 13, 5, "9999999.00000"},  {10000000.0f, 13, 5, "*************"},
        {-999999.9375f, 13, 5, "-999999.93750"}, {-1000000.0f, 13, 5, "*************"},
        {1e30f, 13, 5, "*************"},       {kMax, 13, 5, "*************"},
        {99999.9921875f, 8, 2, "99999.99"},     {100000.0f, 8, 2, "********"},
        {-9999.994140625f, 8, 2, "-9999.99"},   {-9999.995f, 8, 2, "********"},
        {-10000.0f, 8, 2, "********"},          {-kMax, 8, 2, "********"},
    };
    for (const FormatCase& c : cases) expect_formats(c);
}

TEST(WritingRealFields, KeepsTheMinusSignOnNegativeZeroAndTinyNegatives)
{
    const FormatCase cases[] = {
        {-0.0f, 13, 5, "     -0.00000"}, {-1e-10f, 13, 5, "     -0.00000"}, {-0.000004f, 13, 5, "     -0.00000"},
        {-kSmallest, 13, 5, "     -0.00000"}, {-0.0f, 8, 2, "   -0.00"}, {-0.004f, 8, 2, "   -0.00"},
    };
    for (const FormatCase& c : cases) expect_formats(c);
}

TEST(WritingRealFields, WritesInfinityAndNaNAsWordsThatFit)
{
    const FormatCase cases[] = {
        {kInf, 13, 5, "     Infinity"}, {-kInf, 13, 5, "    -Infinity"}, {kNaN, 13, 5, "          NaN"},
        {kInf, 8, 2, "Infinity"},       {-kInf, 8, 2, "    -Inf"},       {-kNaN, 8, 2, "     NaN"},
    };
    for (const FormatCase& c : cases) expect_formats(c);
}

// Other shapes than the two of the standard line, by the same rules: 1.0625
// and 0.5 are ties at three and at no decimals; F0 fields end with the point;
// beyond what a double's digits show, the exact value still decides: 0.1f is
// 0.100000001490116119384765625 and the largest float is 2^128 - 2^104.
TEST(WritingRealFields, WritesAnyOtherWidthAndDecimalsByTheSameRules)
{
    const FormatCase cases[] = {
        {1.0625f, 7, 3, "  1.062"},    {-123.4375f, 9, 3, " -123.438"}, {1000.0f, 7, 3, "*******"},
        {1894.0f, 6, 0, " 1894."},     {0.5f, 3, 0, " 0."},             {1.5f, 3, 0, " 2."},
        {2.5f, 2, 0, "2."},            {-0.4f, 4, 0, " -0."},           {12.5f, 2, 0, "**"},
        {0.1f, 25, 20, "   0.10000000149011611938"},                   {1e10f, 20, 6, "  10000000000.000000"},
        {kMax, 41, 0, " 340282346638528859811704183484516925440."},    {-kSmallest, 6, 3, "-0.000"},
        {-kInf, 4, 1, "-Inf"},         {kInf, 3, 1, "Inf"},             {kNaN, 2, 1, "**"},
        {0.25f, 16, 1, "             0.2"},                              {0.75f, 16, 1, "             0.8"},
    };
    for (const FormatCase& c : cases) expect_formats(c);
}

// Ew.d: d significant digits of the exact value, half to even: 1234565 and
// 12.5 are ties that stay at the even digit, 1234575 and 13.5 go up;
// 9.99999904632568359375 (the float below 10) carries into the exponent;
// -2.5e-6f is -2.49999993684...e-6. The smallest subnormal is
// 1.40129846...e-45, the largest float 3.40282346...e38.
TEST(WritingRealFields, WritesExponentFieldsWithSignificantDigitsRoundedHalfToEven)
{
    const FormatCase cases[] = {
        {1234565.0f, 13, 6, " 0.123456E+07"},  {1234575.0f, 13, 6, " 0.123458E+07"},
        {12.5f, 8, 2, "0.12E+02"},             {13.5f, 8, 2, "0.14E+02"},
        {9.99999904632568359375f, 13, 6, " 0.100000E+02"}, {0.1f, 13, 6, " 0.100000E+00"},
        {1.0f, 12, 6, "0.100000E+01"},         {-1.0f, 12, 6, "************"},
        {-2.5e-6f, 13, 6, "-0.250000E-05"},    {2.95718e-6f, 13, 6, " 0.295718E-05"},
        {0.0f, 13, 6, " 0.000000E+00"},        {-0.0f, 13, 6, "-0.000000E+00"},
        {kSmallest, 13, 6, " 0.140130E-44"},   {kMax, 13, 6, " 0.340282E+39"},
        {0.25f, 7, 1, "0.2E+00"},              {0.75f, 7, 1, "0.8E+00"},
        {0.95f, 7, 1, "0.9E+00"},              {-5.0f, 9, 1, " -0.5E+01"},
        {kInf, 13, 6, "     Infinity"},        {-kInf, 8, 1, "    -Inf"},   {kNaN, 13, 6, "          NaN"},
    };
    for (const FormatCase& c : cases) expect_formats(c, true);
}

template <class Shape>
std::string written(float value)
{
    std::string field(Shape::width, '#');
    format_real_field<Shape>(value, field.data());
    return field;
}

template <class Shape>
void expect_as_reference(float value)
{
    EXPECT_EQ(reference_field(value, Shape::width, Shape::decimals), written<Shape>(value)) << std::hexfloat << value;
}

// The word-at-a-time writer against the slow printf reference: random bit
// patterns, the floats around every tie k + 1/2 ulp of the last decimal, and
// the edges where a text stops fitting its field.
TEST(WritingRealFields, WritesAsThePrintfReference)
{
    std::mt19937 random(744);
    for (int i = 0; i < 300'000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        expect_as_reference<WideReal>(value);
        expect_as_reference<NarrowReal>(value);
    }
    // Other shapes take another writer.
    for (int i = 0; i < 100'000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        const int width = 1 + static_cast<int>(random() % 24);
        const int decimals = static_cast<int>(random() % 13);
        std::string field(static_cast<std::size_t>(width), '#');
        format_fixed_field(value, static_cast<std::size_t>(width), decimals, field.data());
        ASSERT_EQ(reference_field(value, width, decimals), field) << std::hexfloat << value << " in " << width << "."
                                                                   << decimals;
    }
    for (const float edge : {9999999.5f, 1e7f, 999999.5f, 1e6f, 99999.995f, 1e5f, 9999.995f, 1e4f, 0.005f,
                             0.000005f, 1.0f, 0.0f}) {
        float below = edge;
        float above = edge;
        for (int step = 0; step < 64; ++step) {
            for (const float value : {below, above, -below, -above}) {
                expect_as_reference<WideReal>(value);
                expect_as_reference<NarrowReal>(value);
            }
            below = std::nextafter(below, 0.0f);
            above = std::nextafter(above, kInf);
        }
    }
}

// Only the two shapes of the standard line have a reader and writer of their own.
struct TenColumnsThreeDecimals {
    [[maybe_unused]] static constexpr std::size_t width = 10;
    [[maybe_unused]] static constexpr int decimals = 3;
};
static_assert(RealFieldShape<WideReal> && RealFieldShape<NarrowReal>);
static_assert(!RealFieldShape<TenColumnsThreeDecimals>);

// A carried field is written from the exact decimal value of its text,
// rounded half to even on that decimal: values worked out by hand. Texts in
// the form the writer writes come out byte for byte.
TEST(WritingCarriedFields, RoundsTheExactDecimalOfTheirTextHalfToEven)
{
    const struct {
        const char* text;
        bool exponent;
        int width;
        int digits;
        const char* written;
    } cases[] = {
        {"4425586.20194", false, 13, 5, "4425586.20194"},  // a float would give ...586.20312
        {"6137044.02000", false, 13, 5, "6137044.02000"},
        {"-1249.68", false, 13, 5, "  -1249.68000"},
        {"   492.40388 ", false, 13, 5, "    492.40388"},
        {"588348.27", false, 13, 5, " 588348.27000"},
        {" +1.0", false, 13, 5, "      1.00000"},
        {"125", false, 13, 5, "      0.00125"},            // implied decimals
        {"1 2 3", false, 8, 2, "    1.23"},
        {"12E1", false, 8, 2, "    1.20"},                 // implied decimals before the exponent
        {"1.5+2", false, 13, 5, "    150.00000"},
        {"0.000005", false, 13, 5, "      0.00000"},        // a tie: to the even 0
        {"0.000015", false, 13, 5, "      0.00002"},        // a tie: to the even 2
        {"0.0000150001", false, 13, 5, "      0.00002"},
        {"-0.000004", false, 13, 5, "     -0.00000"},       // negative, rounds to zero
        {"-0", false, 8, 2, "   -0.00"},
        {"", false, 8, 2, "    0.00"},
        {"999999.999994", false, 13, 5, " 999999.99999"},
        {"1.E7", false, 13, 5, "*************"},             // eight integer digits
        {"-9999.995", false, 9, 2, "-10000.00"},             // a tie to the odd 9: up, carried
        {"1E39", false, 13, 5, "*************"},             // 1E34, exactly, no infinity
        {"2.5", false, 6, 0, "    2."},
        {"3.5", false, 6, 0, "    4."},
        {"-inf", false, 8, 2, "    -Inf"},
        {"NaN", false, 13, 5, "          NaN"},
        {"0.295718E-05", true, 13, 6, " 0.295718E-05"},
        {"2.957175E-06", true, 13, 6, " 0.295718E-05"},       // a tie to the odd 7: up
        {"2.957185E-06", true, 13, 6, " 0.295718E-05"},       // a tie to the even 8: down
        {"0", true, 13, 6, " 0.000000E+00"},
        {"-0.0E7", true, 13, 6, "-0.000000E+00"},
        {"1.E39", true, 13, 6, " 0.100000E+40"},
        {"1.E-100", true, 13, 6, " 0.100000E-99"},
        {"1.E-101", true, 13, 6, "*************"},           // an exponent of three digits
        {"9.9999996E98", true, 13, 6, "*************"},       // carries to 0.100000E+100
        {"-1234567.", true, 12, 6, "************"},           // -0.123457E+07 needs 13 columns
        {"  12345678", true, 13, 6, " 0.123457E+02"},        // implied decimals: 12.345678
    };
    for (const auto& c : cases) {
        std::string field = c.text;
        field.resize(static_cast<std::size_t>(c.width), ' ');
        std::string written(field.size() + 1, '#');
        if (c.exponent) {
            format_carried_exponent_field(field.data(), field.size(), c.digits, written.data());
        } else {
            format_carried_fixed_field(field.data(), field.size(), c.digits, written.data());
        }
        EXPECT_EQ(std::string(c.written) + "#", written) << '[' << c.text << "] as " << (c.exponent ? 'E' : 'F')
                                                         << c.width << '.' << c.digits;
    }
}

// The shortcuts of a carried field (a text already written as the writer
// writes it, copied; plain digits rounded as integers) against the general
// way on its exact decimal, on random fields of the common shapes and others.
TEST(WritingCarriedFields, GiveTheGeneralWaysDigitsByEveryShortcut)
{
    std::mt19937_64 random(20261210);
    const auto digits = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 300'000; ++i) {
        const std::size_t width = i % 3 == 0 ? 13 : i % 3 == 1 ? 8 : 3 + random() % 14;
        const int decimals = i % 3 == 0 ? 5 : i % 3 == 1 ? 2 : static_cast<int>(random() % (width - 1));
        std::string text = random() % 4 == 0 ? "-" : random() % 9 == 0 ? "+" : "";
        const std::size_t whole = random() % 8;
        text += digits(whole);
        if (random() % 5 != 0) text += "." + digits(random() % 9);
        if (random() % 9 == 0) text += "E" + std::to_string(static_cast<int>(random() % 7) - 3);
        if (text.size() > width) text.resize(width);
        const std::size_t left = random() % (width - text.size() + 1);
        const std::string field = std::string(left, ' ') + text + std::string(width - text.size() - left, ' ');

        const std::string squeezed = [&] {
            std::string kept;
            for (const char c : field) {
                if (c != ' ') kept += c;
            }
            return kept;
        }();
        const std::optional<DecimalText> number = squeezed.empty() ? DecimalText{} : read_decimal_text(squeezed, decimals);
        if (!number) continue;
        char general[64];
        const std::size_t length = fixed_text(*number, decimals, general, width);
        const std::string expected = length == 0 ? std::string(width, '*')
                                                 : std::string(width - length, ' ') + std::string(general, length);
        std::string written(width, '#');
        format_carried_fixed_field(field.data(), width, decimals, written.data());
        ASSERT_EQ(expected, written) << '[' << field << "] as F" << width << '.' << decimals;
    }
}

}  // namespace
