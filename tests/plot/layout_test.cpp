#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/integer_field.hpp"
#include "plot/layout.hpp"
#include "plot/layout_declaration.hpp"
#include "plot/layout_record.hpp"
#include "plot/plot_record.hpp"
#include "plot_test_support.hpp"

namespace {

// A layout as "F13.5:2 ... I8.1:110 /117": each field's descriptor and first
// column, then the width; value fields are marked with a "v".
std::string summary(const PlotLayout& layout)
{
    std::string text;
    std::size_t next_value = 0;
    for (std::size_t i = 0; i < layout.fields().size(); ++i) {
        const LayoutField& field = layout.fields()[i];
        static constexpr char kLetters[] = {'F', 'E', 'I', 'A'};
        text += kLetters[static_cast<int>(field.kind)] + std::to_string(field.width);
        if (field.kind != FieldKind::Text) text += "." + std::to_string(field.digits);
        text += ":" + std::to_string(field.offset + 1);
        const auto& values = layout.value_fields();
        if (next_value < values.size() && values[next_value] == i) {
            text += "v";
            ++next_value;
        }
        text += " ";
    }
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
    // Fields of other kinds do not end the value fields; a real narrower than
    // 13 columns does, and the reals after it are carried.
    EXPECT_EQ("F13.5:1 F13.5:14 A4:27 F13.5:31v I3.1:44 E20.10:47v F8.2:67 F13.5:75 /87",
              read("(2F13.5,A4,F13.5,I3,E20.10,F8.2,F13.5)"));
    EXPECT_EQ("F13.5:1 F13.5:14 F8.2:27 F13.5:35 /47", read("(2F13.5,F8.2,F13.5)"));
    EXPECT_EQ("F1.0:1 F1.0:2 F1.0:3 I4.4:4 I4.0:8 /1024", read("(3F1.0,I4.4,I4.0,1013X)"));
}

TEST(FormatLists, GiveTheStandardLayoutWhateverTheirText)
{
    const auto layout_of = [](std::string_view list) { return read_layout(list).layout; };
    EXPECT_EQ(today_layout(), layout_of(TODAY_LAYOUT_LIST));
    EXPECT_EQ(today_layout(), layout_of("(1X,F13.5,1X,F13.5,1X,F13.5,3(1X,F8.2),1X,1X,A6,2X,A8,2X,I8.8,2(1X),A8)"));
    EXPECT_EQ("F13.5:2 F13.5:16 F13.5:30v F8.2:44 F8.2:53 F8.2:62 A6:72 A8:80 I8.8:90 A8:100 /107", summary(today_layout()));
    EXPECT_NE(today_layout(), layout_of("(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8,2X,A8)"));        // I8 is I8.1
    EXPECT_NE(today_layout(), layout_of("(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8,13X)"));  // 120 wide
    EXPECT_NE(today_layout(), layout_of("(2(1X,F13.5),1X,E13.6,3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)"));
}

TEST(FormatLists, ThatDeclareNothingUsableSayWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(3(1X,F13.5),T5)", "'T5'"},      {"(3(1X,F13.5),X)", "'X'"},         {"(3F13.5,)", "empty item"},
        {"(3(1X,F13.5)", "parenthesis is missing"}, {"()", "empty item"},                    {"(0F13.5,3F13.5)", "'0F13.5'"},
        {"(3E13.6E2)", "'3E13.6E2'"},     {"(3F13.5,F13)", "'F13'"},          {"(3F13.5,A)", "'A'"},
        {"(3F13.5,E13.0)", "'E13.0'"},    {"(3F13.5,I4.5)", "'I4.5'"},        {"(3F13.5,A6.2)", "'A6.2'"},
        {"(3F13.5,/,A5)", "'/'"},         {"(3F13.5)(A5)", "one parenthesised list"},
        {"(2F13.5,A5)", "fewer than three real"}, {"(A5,3F13.5)", "not both real"},
        {"(1X,I5,3F13.5)", "not both real"},      {"(3F13.5,1000X)", "more than 1024 columns"},
        {"(3F13.5,A1025)", "more than 1024 columns"}, {"(99999(3F13.5))", "more than 1024 columns"},
        {"(3F13.5,99999999999999999999X)", "more than 1024 columns"},
    };
    for (const auto& [list, problem] : cases) {
        const LayoutReading reading = read_layout(list);
        EXPECT_FALSE(reading.layout.has_value()) << list;
        EXPECT_NE(std::string::npos, reading.problem.find(problem)) << list << ": " << reading.problem;
    }
}

// A FORMAT line: after the asterisk and blanks, "FORMAT:", blanks, one list,
// blanks; only the first such header line before the first data line counts.
TEST(FormatLines, DeclareTheLayoutOfTheDataLines)
{
    const auto line = [](std::string_view text) { return plot_line(text); };
    LayoutDeclaration declaration;
    declaration.look_at_header_line(line("* FORMAT STATEMENTS: (2F13.5,F8.2)").data(), 1);
    declaration.look_at_header_line(line("*  format: (3F13.5,A5)").data(), 2);
    EXPECT_FALSE(declaration.found());
    declaration.look_at_header_line(line("*         FORMAT:(3(1X,F13.5),3X,A5,3X,A5)   ").data(), 3);
    declaration.look_at_header_line(line("* FORMAT: (4F13.5)").data(), 4);
    ASSERT_TRUE(declaration.declared().has_value());
    EXPECT_EQ("(3(1X,F13.5),3X,A5,3X,A5)", declaration.declared()->list);
    EXPECT_EQ(3u, declaration.line_number());
    EXPECT_FALSE(declaration.is_standard());
    EXPECT_EQ(LINE_WIDTH, declaration.data_line_width());  // 58 columns are read as 120
    EXPECT_FALSE(declaration.warning("a.plt").has_value());

    const std::pair<const char*, const char*> unusable[] = {
        {"* FORMAT: free", "no parenthesised list"},
        {"* FORMAT: (3F13.5", "closing parenthesis is missing"},
        {"*FORMAT: (3F13.5) and more", "text follows"},
        {"* FORMAT: (3F13.5,T5)", "'T5'"},
    };
    for (const auto& [text, problem] : unusable) {
        LayoutDeclaration bad;
        bad.look_at_header_line(line(text).data(), 7);
        EXPECT_TRUE(bad.found()) << text;
        EXPECT_TRUE(bad.is_standard()) << text;
        const std::optional<std::string> warning = bad.warning("b.plt");
        ASSERT_TRUE(warning.has_value()) << text;
        EXPECT_NE(std::string::npos, warning->find("line 7 of 'b.plt'")) << *warning;
        EXPECT_NE(std::string::npos, warning->find(problem)) << *warning;
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

const PlotLayout& ranked_layout()
{
    static const PlotLayout layout = *read_layout("(3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)").layout;
    return layout;
}

// A ranked line: value 1.5 written with an exponent, a date of 0 written
// with a sign, text fields with blanks; everything else is read and written
// back by its field's rule.
TEST(DeclaredDataLines, AreReadByTheirFieldsAndWrittenInTheirLayout)
{
    const std::string line = line_at({{2, "  279585.0"}, {16, "4783039."}, {30, "0.15E+01"}, {44, "  12221"},
                                      {53, "130."}, {62, ""}, {73, "24-HR"}, {80, "STACK  1"}, {90, "1ST"},
                                      {100, "POL1"}, {110, "     +0 "}});
    const PlotLayout& layout = ranked_layout();
    std::vector<FieldValue> values(layout.fields().size());
    ASSERT_FALSE(parse_layout_line(layout, line.data(), values.data()).has_value());
    char written[117];
    format_layout_line(layout, values.data(), line.data(), written);
    EXPECT_EQ("  279585.00000 4783039.00000       1.50000   122.21   130.00     0.00   24-HR  STACK  1  1ST       "
              "POL1             0",
              std::string(written, sizeof written));

    const float risk = 1116.0f;
    format_layout_values(layout, &risk, written);
    EXPECT_EQ("    1116.00000", std::string(written + 28, 14));

    Receptor receptor;
    float value = 0.0f;
    ASSERT_FALSE(LayoutLineReader(layout).read_values(line.data(), receptor, &value).has_value());
    EXPECT_EQ(279585.0f, receptor.x);
    EXPECT_EQ(4783039.0f, receptor.y);
    EXPECT_EQ(1.5f, value);
}

// The first field that does not convert, left to right, is named by its
// descriptor and columns, whichever way the line is read.
TEST(DeclaredDataLines, NameTheFirstFieldThatIsNotANumberByItsColumns)
{
    const PlotLayout wide_integer = *read_layout("(3F13.5,2X,I12)").layout;
    const struct {
        const PlotLayout& layout;
        std::size_t column;
        const char* text;
        const char* field;
        bool out_of_range;
    } cases[] = {
        {ranked_layout(), 2, "1x", "F13.5 in columns 2-14", false},
        {ranked_layout(), 53, "1,5", "F8.2 in columns 53-60", false},
        {ranked_layout(), 110, "1ST", "I8 in columns 110-117", false},
        {wide_integer, 42, "-9999999999", "I12 in columns 42-53", true},
    };
    for (const auto& c : cases) {
        const std::string line = line_at({{c.column, c.text}, {120, ""}});
        std::vector<FieldValue> values(c.layout.fields().size());
        const auto fault = parse_layout_line(c.layout, line.data(), values.data());
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(c.field, fault->field);
        EXPECT_EQ(c.out_of_range, fault->out_of_range) << c.text;
        EXPECT_EQ(c.text, fault->text.substr(0, std::string_view(c.text).size()));
        Receptor receptor;
        float value = 0.0f;
        const auto value_fault = LayoutLineReader(c.layout).read_values(line.data(), receptor, &value);
        ASSERT_TRUE(value_fault.has_value()) << c.text;
        EXPECT_EQ(fault->field, value_fault->field);
    }
}

// A random text for a field of the standard line: the forms the field rules
// read, now and then one they refuse.
std::string random_field(std::mt19937& random, std::size_t width)
{
    static const char* const kForms[] = {"1.25",   "-0.5",    "125",     "1.5E2",  "-2.5e-1", "12D1",  "1.5+2",
                                         " 1 2 3", "",        "0",       "-0",     "Inf",     "nan",   "1E39",
                                         "9999999.999999", "-999999.99", "99999.995", "1x",  "+",    ".",
                                         "1\t2",   "4108000", "0.000004", "-1E-45", "7",      "42",    "-42"};
    std::string text = kForms[random() % std::size(kForms)];
    if (text.size() > width) text.resize(width);
    const std::size_t left = random() % (width - text.size() + 1);
    return std::string(left, ' ') + text + std::string(width - text.size() - left, ' ');
}

// The standard layout has reading and writing code of its own; the general
// code of declared layouts, given the same layout, must read and write every
// line alike, faults included.
TEST(DeclaredDataLines, OfTheStandardLayoutReadAndWriteAsTheStandardCode)
{
    std::mt19937 random(20261209);
    const PlotLayout& layout = today_layout();
    const std::size_t widths[] = {13, 13, 13, 8, 8, 8};
    for (int i = 0; i < 20'000; ++i) {
        std::string line = " ";
        for (const std::size_t width : widths) line += random_field(random, width) + " ";
        line += " ABC \xff\x01  tag b   " + random_field(random, 8) + "  \"tag c\"" + std::string(13, '#');
        PlotRecord record;
        std::vector<FieldValue> values(layout.fields().size());
        const auto standard_fault = parse_plot_record(line.data(), record);
        const auto general_fault = parse_layout_line(layout, line.data(), values.data());
        ASSERT_EQ(standard_fault.has_value(), general_fault.has_value()) << line;
        if (standard_fault) {
            EXPECT_EQ(standard_fault->text, general_fault->text) << line;
            continue;
        }
        char general[RECORD_WIDTH];
        format_layout_line(layout, values.data(), line.data(), general);
        const auto standard = format_plot_record(record);
        ASSERT_EQ(std::string(standard.data(), RECORD_WIDTH), std::string(general, RECORD_WIDTH)) << line;
    }
}

}  // namespace
