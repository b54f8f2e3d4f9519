#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "map/top_table.hpp"
#include "plot_test_support.hpp"

namespace {

// A ranked line of the standard layout: x and y as texts in their columns,
// the value as read, the three tags and the stamp.
RankedLine ranked(std::uint64_t line_number, std::string_view x, std::string_view y, float value, std::string_view tag_a,
                  std::string_view tag_b, std::string_view stamp, std::string_view tag_c)
{
    RankedLine line;
    line.line_number = line_number;
    line.value = value;
    line.bytes = line_at({{2, x}, {16, y}, {72, tag_a}, {80, tag_b}, {90, stamp}, {100, tag_c}});
    line.bytes.resize(STANDARD_LAYOUT.width(), ' ');
    return line;
}

std::string standard_table(const std::vector<RankedLine>& lines, std::size_t count, bool with_integers = false)
{
    return format_top_table(lines, mapped_fields(STANDARD_LAYOUT), count, with_integers);
}

const std::string kHeading = "rank       line             x             y         value  tag_a   tag_b     tag_c\n";

// x and y carried from the decimal of their text, the value as a data line
// writes the float read; text fields as diagnostics quote text: a tab, or an
// escape sequence of a hostile file, does not reach the terminal.
TEST(TopTable, WritesNumbersAsADataLineDoesAndTextFieldsQuoted)
{
    const std::vector<RankedLine> lines = {
        ranked(12, "588348.27", "4425586.20194", 12.345675f, "24-HR", "STACK1", "23011524", "GRID1"),
        ranked(7, "     -.125", "1.0E7", 0.0f, "", "NEG", "", "\t x"),
        ranked(1234567890, "0.000004", "350000", -0.0f, "", "", "", ""),
    };
    // 12.345675 is held as 12.34567546..., so rounds up; 588348.27 is no float but is carried;
    // 1e7 does not fit 13 columns; 0.000004 rounds to 0.00000; 350000 has 5 implied decimals; -0 keeps its sign.
    const std::string expected = kHeading +
                                 "   1         12  588348.27000 4425586.20194      12.34568  24-HR   STACK1    GRID1\n"
                                 "   2          7      -0.12500 *************       0.00000          NEG       \\x09 x\n"
                                 "   3 1234567890       0.00000       3.50000      -0.00000\n";
    EXPECT_EQ(expected, standard_table(lines, 10));
}

TEST(TopTable, ShowsAtMostTheCountAskedForAndNothingForZero)
{
    const std::vector<RankedLine> lines = {ranked(5, "1", "2", 3, "AAAAAA", "BBBBBBBB", "", "CCCCCCCC"),
                                           ranked(6, "1", "2", 1, "AAAAAA", "BBBBBBBB", "", "CCCCCCCC")};
    EXPECT_EQ(kHeading + "   1          5       0.00001       0.00002       3.00000  AAAAAA  BBBBBBBB  CCCCCCCC\n",
              standard_table(lines, 1));
    EXPECT_EQ("", standard_table(lines, 0));
    EXPECT_EQ(kHeading, standard_table({}, 10));
}

// For receptors on several lines the table tells the lines apart by their integer fields (the date).
TEST(TopTable, ShowsTheIntegerFieldsWhenAskedAndNamesTheValueFieldMapped)
{
    const std::vector<RankedLine> lines = {ranked(9, "1.0", "2.0", 3, "1-HR", "ALL", "23011524", "NET")};
    EXPECT_EQ("rank       line             x             y         value  tag_a   tag_b     int_a     tag_c\n"
              "   1          9       1.00000       2.00000       3.00000  1-HR    ALL       23011524  NET\n",
              standard_table(lines, 1, true));
    MappedFields fields = mapped_fields(STANDARD_LAYOUT);
    fields.value_number = 2;
    EXPECT_TRUE(format_top_table({}, fields, 1).starts_with("rank       line             x             y       value_2"));
}

TEST(TopTable, HeadsTheTextColumnsOfADeclaredLayoutPastTagZ)
{
    MappedFields fields = mapped_fields(STANDARD_LAYOUT);
    fields.others.assign(28, LayoutField{FieldKind::Text, 0, 1, 0});
    const std::string heading = format_top_table({}, fields, 1);
    EXPECT_TRUE(heading.ends_with("  tag_x  tag_y  tag_z  tag_aa  tag_ab\n")) << heading;
}

}  // namespace
