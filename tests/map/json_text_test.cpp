#include <string>

#include <gtest/gtest.h>

#include "map/json_text.hpp"

namespace {

std::string json_of(std::string_view text, int implied_decimals)
{
    const std::optional<DecimalText> decimal = read_decimal_text(text, implied_decimals);
    return decimal ? json_number(*decimal) : "(no number)";
}

TEST(JsonNumber, WritesTheExactDecimalOfEveryFormAFieldTakes)
{
    const struct {
        std::string_view text;
        int implied;
        std::string_view json;
    } cases[] = {
        {"1.5D2", 5, "150"},       {"1.5+2", 5, "150"},        {"1.5e-2", 0, "0.015"},  {".5", 5, "0.5"},
        {"5.", 5, "5"},            {"+1", 0, "1"},             {"125", 5, "0.00125"},   {"125", 2, "1.25"},
        {"-007.50", 5, "-7.5"},    {"295718E-5", 6, "0.00000295718"}, {"0.295718E-05", 6, "0.00000295718"},
        {"-0", 5, "-0"},           {"0.000", 3, "0"},          {"1E20", 0, "100000000000000000000"},
        {"1E21", 0, "1e+21"},      {"12.5E30", 0, "1.25e+31"}, {"1E-23", 0, "1e-23"},   {"1E-22", 0, "0.0000000000000000000001"},
        {"Infinity", 5, "null"},   {"-inf", 5, "null"},        {"NaN", 5, "null"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.json, json_of(c.text, c.implied)) << c.text;
}

TEST(JsonNumber, TellsTheFormsJsonReads)
{
    for (const std::string_view text : {"0", "-0", "12", "-12.50", "0.5", "1e5", "1E+05", "2.5e-3"}) EXPECT_TRUE(is_json_number(text)) << text;
    for (const std::string_view text : {"", "-", "+1", ".5", "5.", "007", "1.5D2", "1.5+2", "1e", "Infinity", "1 0"}) {
        EXPECT_FALSE(is_json_number(text)) << text;
    }
}

TEST(JsonString, EscapesWhatJsonCannotHoldAndTakesStrayBytesAsLatin1)
{
    const auto json = [](std::string_view bytes) {
        std::string out;
        append_json_string(out, bytes);
        return out;
    };
    EXPECT_EQ(R"("a \"b\" \\ c ")", json("a \"b\" \\ c "));
    EXPECT_EQ(R"("\u0001\u001f\u0000")", json(std::string_view("\x01\x1f\0", 3)));
    EXPECT_EQ("\"Z\xc3\xbcrich \xe2\x82\xac\"", json("Z\xc3\xbcrich \xe2\x82\xac"));  // valid UTF-8 as it is
    EXPECT_EQ("\"Z\xc3\xbcrich\"", json("Z\xfcrich"));                              // Latin-1 u with diaeresis
    EXPECT_EQ("\"\xc3\xad\xc2\xa0\xc2\x80\"", json("\xed\xa0\x80"));                // a surrogate, byte by byte
}

}  // namespace
