#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "plot/plot_record.hpp"
#include "plot_test_support.hpp"

namespace {

std::string text_of(const auto& field) { return {field.data(), field.size()}; }

std::string formatted(const PlotRecord& record)
{
    const auto text = format_plot_record(record);
    return {text.data(), text.size()};
}

// Separator columns and columns 108 to 120 hold junk that must not be read.
const std::string kFullLine = line_at({
    {1, "#"},      {2, " 1 2 3 4 5   "}, {15, "|"}, {16, "       125   "}, {29, "|"},
    {30, "  -2.5E-1    "}, {43, "|"}, {44, " 1 2 3  "}, {52, "|"}, {53, "  12E1  "}, {61, "|"},
    {62, " 1.5+2  "}, {70, "||"}, {72, "ab\tc Z"}, {78, "||"}, {80, " B  b \xff!"}, {88, "||"},
    {90, "   -0042"}, {98, "||"}, {100, "c c c  c"}, {108, "GARBAGE-x.y-z"},
});

TEST(DataLines, ReadEveryFieldFromItsColumnsOnly)
{
    PlotRecord record;
    ASSERT_FALSE(parse_plot_record(plot_line(kFullLine), record).has_value());
    EXPECT_EQ(0.12345f, record.x);   // blanks between digits ignored, five implied decimals
    EXPECT_EQ(0.00125f, record.y);
    EXPECT_EQ(-0.25f, record.value);
    EXPECT_EQ(1.23f, record.aux1);   // two implied decimals
    EXPECT_EQ(1.2f, record.aux2);    // implied decimals before the exponent
    EXPECT_EQ(150.0f, record.aux3);
    EXPECT_EQ("ab\tc Z", text_of(record.tag_a));
    EXPECT_EQ(" B  b \xff!", text_of(record.tag_b));
    EXPECT_EQ(-42, record.stamp);
    EXPECT_EQ("c c c  c", text_of(record.tag_c));
}

TEST(DataLines, AreWrittenAsExactly107ColumnsWithBlankSeparators)
{
    PlotRecord record;
    ASSERT_FALSE(parse_plot_record(plot_line(kFullLine), record).has_value());
    record.stamp = 42;
    const std::string expected = std::string(" ") + "      0.12345" + " " + "      0.00125" + " " + "     -0.25000" +
                                 " " + "    1.23" + " " + "    1.20" + " " + "  150.00" + "  " + "ab\tc Z" + "  " +
                                 " B  b \xff!" + "  " + "00000042" + "  " + "c c c  c";
    ASSERT_EQ(107u, expected.size());
    EXPECT_EQ(expected, formatted(record));
}

TEST(DataLines, BlankLineReadsAsZerosAndIsWrittenWithZerosInEveryNumberField)
{
    for (const std::string& blank : {std::string(), std::string(120, ' ')}) {
        PlotRecord record;
        record.value = 9.0f;
        record.tag_b.fill('x');
        record.stamp = 7;
        ASSERT_FALSE(parse_plot_record(plot_line(blank), record).has_value());
        EXPECT_EQ(0.0f, record.value);
        EXPECT_FALSE(std::signbit(record.value));
        EXPECT_EQ(0, record.stamp);
        EXPECT_EQ("        ", text_of(record.tag_b));
        const std::string zeros5 = "      0.00000";
        const std::string zeros2 = "    0.00";
        const std::string expected = " " + zeros5 + " " + zeros5 + " " + zeros5 + " " + zeros2 + " " + zeros2 + " " +
                                     zeros2 + "  " + std::string(6, ' ') + "  " + std::string(8, ' ') + "  " +
                                     "00000000" + "  " + std::string(8, ' ');
        EXPECT_EQ(expected, formatted(record));
    }
}

TEST(DataLines, ReadBlankOrExtremeFieldsByTheRealFieldRules)
{
    PlotRecord record;
    ASSERT_FALSE(parse_plot_record(plot_line(line_at({{30, "   1.E39     "}, {44, "-Inf"}})), record));
    EXPECT_EQ(std::numeric_limits<float>::infinity(), record.value);
    EXPECT_EQ(-std::numeric_limits<float>::infinity(), record.aux1);
    // A line holding nothing but the header mark is read as a data line of zeros.
    ASSERT_FALSE(parse_plot_record(plot_line("*"), record));
    EXPECT_EQ(0.0f, record.x);
    ASSERT_FALSE(parse_plot_record(plot_line(line_at({{90, "  +  7  "}})), record));
    EXPECT_EQ(7, record.stamp);
}

TEST(DataLines, NameTheFirstFieldThatIsNotANumber)
{
    struct Case {
        std::size_t column;
        const char* text;
        const char* field;
        std::size_t width;
    };
    const Case cases[] = {
        {2, "1x", "x", 13},     {2, "*", "x", 13},      {16, "\t1", "y", 13},     {30, "1E", "value", 13},
        {30, "1Q2", "value", 13}, {44, "+", "aux1", 8}, {53, ".", "aux2", 8},      {62, "-E1", "aux3", 8},
        {90, "-", "stamp", 8},  {90, "12a", "stamp", 8}, {90, "1\t", "stamp", 8}, {90, "1.0", "stamp", 8},
    };
    for (const Case& c : cases) {
        std::string text = line_at({{c.column, c.text}});
        if (c.column < 90) text = line_at({{1, text}, {90, "bad"}});  // a later broken field is not named
        const PlotLine line = plot_line(text);
        PlotRecord record;
        const std::optional<FieldFault> fault = parse_plot_record(line, record);
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(c.field, fault->field) << c.text;
        EXPECT_EQ(std::string_view(line.data() + c.column - 1, c.width), fault->text) << c.text;
    }
}

TEST(DataLines, WriteTheStampWithEightDigitsOrAsterisks)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "00000000"},         {42, "00000042"},         {99999999, "99999999"},
        {100000000, "********"}, {-1, "********"},         {std::numeric_limits<std::int32_t>::min(), "********"},
    };
    for (const auto& [stamp, text] : cases) {
        PlotRecord record;
        record.stamp = stamp;
        EXPECT_EQ(text, formatted(record).substr(89, 8)) << stamp;
    }
}

TEST(DataLines, HeaderLinesAreMarkedInColumnOneOnly)
{
    EXPECT_TRUE(is_header_line(plot_line("*")));
    EXPECT_TRUE(is_header_line(plot_line("* title")));
    EXPECT_FALSE(is_header_line(plot_line(" *")));
    EXPECT_FALSE(is_header_line(plot_line("")));
}

}  // namespace
