#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/format_list.hpp"
#include "plot/header_phase.hpp"
#include "plot/integer_field.hpp"
#include "plot/layout.hpp"
#include "plot/standard_layout.hpp"
#include "plot_test_support.hpp"

namespace {

// A layout as "F13.5:2 ... I8.1:110 /117": each field's descriptor and first
// column, a colon as ":" and the column it stands at, then the width of a
// written line; value fields are marked with a "v".
std::string summary(const PlotLayout& layout)
{
    std::string text;
    const auto colons_before = [&](std::size_t field) {
        for (const LayoutColon& colon : layout.colons()) {
            if (colon.field == field) text += ":" + std::to_string(colon.column + 1) + " ";
        }
    };
    for (std::size_t i = 0; i < layout.fields().size(); ++i) {
        const LayoutField& field = layout.fields()[i];
        colons_before(i);
        static constexpr char kLetters[] = {'F', 'E', 'I', 'A'};
        text += kLetters[static_cast<int>(field.kind)] + std::to_string(field.width);
        if (field.kind != FieldKind::Text) text += "." + std::to_string(field.digits);
        text += ":" + std::to_string(field.offset + 1) + (field.is_value ? "v " : " ");
    }
    colons_before(layout.fields().size());
    return text + "/" + std::to_string(layout.width());
}

std::string read(std::string_view list)
{
    const LayoutReading reading = read_layout(list);
    return reading.layout ? summary(*reading.layout) : "problem: " + reading.problem;
}

// Columns worked out by hand: an X column, or a field, takes its width from
// the column after the last; repeat counts multiply what follows them.
TEST(FormatLists, LayOutFieldsByTheirDescriptorsRepeatCountsAndGroups)
{
    EXPECT_EQ("F13.5:2 F13.5:16 F13.5:30v F8.2:44 F8.2:53 F8.2:62 A5:73 A8:80 A5:90 A8:100 I8.1:110 /117",
              read("(3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)"));
    EXPECT_EQ("F13.5:2 F13.5:16 E13.6:30v E13.6:44v E13.6:58v E13.6:72v F8.2:86 F8.2:95 F8.2:104 A6:114 A8:122 "
              "I8.8:132 A8:142 /149",
              read("(2(1X,F13.5),4(1X,E13.6),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)"));
    // Blanks ignored, lower case, groups in groups.
    EXPECT_EQ("F13.5:2 F13.5:16 E13.6:30v F8.2:44 F8.2:53 F8.2:62 F8.2:71 /78",
              read("( 2 ( 1x , f13.5 ) , 1x,e13.6 , 2(2(1X,F8.2)) )"));
    // Every real of 13 columns or more after x and y is a value field, wherever it stands.
    EXPECT_EQ("F13.5:1 F13.5:14 A4:27 F13.5:31v I3.1:44 E20.10:47v F8.2:67 F13.5:75v /87",
              read("(2F13.5,A4,F13.5,I3,E20.10,F8.2,F13.5)"));
    EXPECT_EQ("F13.5:1 F13.5:14 F8.2:27 F13.5:35v /47", read("(2F13.5,F8.2,F13.5)"));
    // Blank columns after the last field are not written.
    EXPECT_EQ("F1.0:1 F1.0:2 F13.0:3v I4.4:16 I4.0:20 /23", read("(2F1.0,F13.0,I4.4,I4.0,1001X)"));
    // Colons, with or without commas, repeated with their group.
    EXPECT_EQ("F13.5:1 F13.5:14 F13.5:27v :42 F13.5:42v :57 /54", read("(2F13.5,2(F13.5,2X:))"));
    EXPECT_EQ("F13.5:1 F13.5:14 F13.5:27v :40 I3.1:40 :43 /42", read("(2F13.5,F13.5:I3,:)"));
}

TEST(FormatLists, GiveTheStandardLayoutWhateverTheirText)
{
    const auto layout_of = [](std::string_view list) { return *read_layout(list).layout; };
    EXPECT_EQ(STANDARD_LAYOUT, layout_of(STANDARD_LAYOUT_LIST));
    EXPECT_EQ(STANDARD_LAYOUT, layout_of("(1X,F13.5,1X,F13.5,1X,F13.5,3(1X,F8.2),1X,1X,A6,2X,A8,2X,I8.8,2(1X),A8)"));
    EXPECT_EQ("F13.5:2 F13.5:16 F13.5:30v F8.2:44 F8.2:53 F8.2:62 A6:72 A8:80 I8.8:90 A8:100 /107", summary(STANDARD_LAYOUT));
    EXPECT_NE(STANDARD_LAYOUT, layout_of("(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8,2X,A8)"));        // I8 is I8.1
    EXPECT_EQ(STANDARD_LAYOUT, layout_of("(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8,13X)"));  // blanks not written
    EXPECT_NE(STANDARD_LAYOUT, layout_of("(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8:)"));    // a colon
    EXPECT_NE(STANDARD_LAYOUT, layout_of("(2(1X,F13.5),1X,E13.6,3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)"));
}

TEST(FormatLists, ThatDeclareNothingUsableSayWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(3(1X,F13.5),T5)", "'T5'"},      {"(3(1X,F13.5),X)", "'X'"},         {"(3F13.5,)", "empty item"},
        {"(3(1X,F13.5)", "parenthesis is missing"}, {"()", "empty item"},                    {"(0F13.5,3F13.5)", "'0F13.5'"},
        {"(3E13.6E2)", "'3E13.6E2'"},     {"(3F13.5,F13)", "'F13'"},          {"(3F13.5,A)", "'A'"},
        {"(3F13.5,E13.0)", "'E13.0'"},    {"(3F13.5,I4.5)", "'I4.5'"},        {"(3F13.5,A6.2)", "'A6.2'"},
        {"(3F13.5,/,A5)", "'/'"},         {"(3F13.5)(A5)", "one parenthesised list"},
        {"(2F13.5,A5)", "no value field"},        {"(2(1X,F13.5),1X,E12.5)", "no value field"},
        {"(A5,3F13.5)", "first field, A5 in columns 1-5, is not a real: the file looks like a list of ranked"},
        {"(1X,I6,1X,F13.5,2(1X,F13.5))", "first field, I6 in columns 2-7"},
        {"(F13.5,A8,2F13.5)", "second field, A8 in columns 14-21"}, {"(5X)", "no field"},
        {"(3F13.5,1000X)", "more than 1024 columns"},
        {"(3F13.5,A1025)", "more than 1024 columns"}, {"(99999(3F13.5))", "more than 1024 columns"},
        {"(3F13.5,99999999999999999999X)", "more than 1024 columns"},
    };
    for (const auto& [list, problem] : cases) {
        const LayoutReading reading = read_layout(list);
        EXPECT_FALSE(reading.layout.has_value()) << list;
        EXPECT_NE(std::string::npos, reading.problem.find(problem)) << list << ": " << reading.problem;
    }
}

// A FORMAT line: after the asterisk and blanks, within the first 120
// columns, "FORMAT:", blanks, one list, blanks; a list cut where its line was
// cut says so.
TEST(FormatLines, AreFoundAfterTheMarkAndReadAsOneList)
{
    const auto text_of = [](const std::string& line) { return format_text_of(line.data(), line.size()); };
    EXPECT_FALSE(text_of("* FORMAT STATEMENTS: (2F13.5,F8.2)"));
    EXPECT_FALSE(text_of("*  format: (3F13.5,A5)"));
    EXPECT_FALSE(text_of("*" + std::string(120, ' ') + "FORMAT: (3F13.5)"));
    EXPECT_EQ("(3(1X,F13.5),3X,A5,3X,A5)   ", text_of("*         FORMAT:(3(1X,F13.5),3X,A5,3X,A5)   "));

    const std::pair<const char*, const char*> unusable[] = {
        {" free", "no parenthesised list"},
        {" (3F13.5   ", "closing parenthesis is missing"},
        {" (3F13.5,3(1X,F8.2", "runs past column 120"},
        {" (3F13.5) and more", "text follows"},
        {" (3F13.5,T5)", "'T5'"},
    };
    for (const auto& [text, problem] : unusable) {
        const LayoutReading reading = read_format_text(text, LINE_WIDTH);
        EXPECT_FALSE(reading.layout.has_value()) << text;
        EXPECT_NE(std::string::npos, reading.problem.find(problem)) << reading.problem;
    }
}

struct IntegerCase {
    const char* text;
    IntegerReading reading;
    std::int32_t value;
};

// Blanks anywhere are ignored; a sign alone, a point, a tab, or a value beyond
// the 32-bit range is no integer of the field.
TEST(IntegerFields, ReadBlanksSignAndDigitsInTheThirtyTwoBitRange)
{
    const IntegerCase cases[] = {
        {"  +42   ", IntegerReading::Number, 42},      {"1 2 3", IntegerReading::Number, 123},
        {"00000042", IntegerReading::Number, 42},      {"  -123  ", IntegerReading::Number, -123},
        {"", IntegerReading::Number, 0},                {"-0", IntegerReading::Number, 0},
        {" 2147483647", IntegerReading::Number, 2147483647},
        {"-2147483648", IntegerReading::Number, std::numeric_limits<std::int32_t>::min()},
        {"2147483648", IntegerReading::OutOfRange, 0}, {"-2147483649", IntegerReading::OutOfRange, 0},
        {"99999999999999999999999", IntegerReading::OutOfRange, 0},
        {"+", IntegerReading::NotANumber, 0},          {"1.0", IntegerReading::NotANumber, 0},
        {"\t1", IntegerReading::NotANumber, 0},        {"1ST", IntegerReading::NotANumber, 0},
    };
    for (const IntegerCase& c : cases) {
        const std::string text = c.text;
        std::int32_t value = -7;
        EXPECT_EQ(c.reading, read_integer_field(text.data(), text.size(), value)) << c.text;
        if (c.reading == IntegerReading::Number) {
            EXPECT_EQ(c.value, value) << c.text;
        }
    }
}

// Iw.m: at least m digits, zeros in front, a minus sign in a column of its
// own; asterisks when that does not fit; Iw.0 writes 0 as blanks.
TEST(IntegerFields, AreWrittenWithAtLeastTheirMinimumDigits)
{
    const struct {
        std::int32_t value;
        std::size_t width;
        int min_digits;
        const char* text;
    } cases[] = {
        {42, 8, 8, "00000042"},  {42, 8, 1, "      42"},   {0, 8, 1, "       0"},  {0, 8, 0, "        "},
        {7, 3, 3, "007"},        {-42, 8, 8, "********"},  {-42, 9, 8, "-00000042"}, {-42, 5, 1, "  -42"},
        {123456, 5, 1, "*****"}, {100000000, 8, 8, "********"},
        {std::numeric_limits<std::int32_t>::min(), 11, 1, "-2147483648"},
        {std::numeric_limits<std::int32_t>::min(), 10, 1, "**********"},
    };
    for (const auto& c : cases) {
        std::string field(c.width + 1, '#');
        format_integer_field(c.value, c.width, c.min_digits, field.data());
        EXPECT_EQ(std::string(c.text) + "#", field) << c.value << " as I" << c.width << "." << c.min_digits;
        if (c.width == 8 && c.min_digits == 8) {
            format_integer_field<8>(c.value, field.data());
            EXPECT_EQ(std::string(c.text) + "#", field) << c.value << " as the stamp";
        }
    }
}

}  // namespace
