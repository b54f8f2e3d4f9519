#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "map/top_table.hpp"

namespace {

// tags: the bytes of the text fields one after another (6, 8 and 8 in the standard layout).
RankedLine ranked(std::uint64_t line_number, float x, float y, float value, std::string_view tags)
{
    return {line_number, x, y, value, std::string(tags)};
}

std::string standard_table(const std::vector<RankedLine>& lines, std::size_t count)
{
    return format_top_table(lines, mapped_fields(STANDARD_LAYOUT), count);
}

const std::string kHeading = "rank       line             x             y         value  tag_a   tag_b     tag_c\n";

// Text fields as diagnostics quote text: a tab, or an escape sequence of a
// hostile file, does not reach the terminal.
TEST(TopTable, WritesNumbersAsADataLineDoesAndTextFieldsQuoted)
{
    const std::vector<RankedLine> lines = {
        ranked(12, 42500, 61250, 12.345675f, "24-HR STACK1  GRID1   "),
        ranked(7, -0.125f, 1e7f, 0.0f, "      NEG     \t x     "),
        ranked(1234567890, 0.000004f, 3.5f, -0.0f, "                      "),
    };
    // 12.345675 is held as 12.34567546..., so rounds up; -0.125 keeps its five decimals;
    // 1e7 does not fit 13 columns; 0.000004 rounds to 0.00000; -0 keeps its sign.
    const std::string expected = kHeading +
                                 "   1         12   42500.00000   61250.00000      12.34568  24-HR   STACK1    GRID1\n"
                                 "   2          7      -0.12500 *************       0.00000          NEG       \\x09 x\n"
                                 "   3 1234567890       0.00000       3.50000      -0.00000\n";
    EXPECT_EQ(expected, standard_table(lines, 10));
}

TEST(TopTable, ShowsAtMostTheCountAskedForAndNothingForZero)
{
    const std::vector<RankedLine> lines = {ranked(5, 1, 2, 3, "AAAAAABBBBBBBBCCCCCCCC"),
                                           ranked(6, 1, 2, 1, "AAAAAABBBBBBBBCCCCCCCC")};
    EXPECT_EQ(kHeading + "   1          5       1.00000       2.00000       3.00000  AAAAAA  BBBBBBBB  CCCCCCCC\n",
              standard_table(lines, 1));
    EXPECT_EQ("", standard_table(lines, 0));
    EXPECT_EQ(kHeading, standard_table({}, 10));
}

TEST(TopTable, HeadsTheTextColumnsOfADeclaredLayoutPastTagZ)
{
    MappedFields fields = mapped_fields(STANDARD_LAYOUT);
    fields.texts.assign(28, LayoutField{FieldKind::Text, 0, 1, 0});
    const std::string heading = format_top_table({}, fields, 1);
    EXPECT_TRUE(heading.ends_with("  tag_x  tag_y  tag_z  tag_aa  tag_ab\n")) << heading;
}

}  // namespace
