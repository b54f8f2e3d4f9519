#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "map/top_table.hpp"

namespace {

RankedLine ranked(std::uint64_t line_number, float x, float y, float value, std::string_view tags)
{
    RankedLine line{line_number, {}};
    line.record.x = x;
    line.record.y = y;
    line.record.value = value;
    std::copy_n(tags.begin(), 6, line.record.tag_a.begin());
    std::copy_n(tags.begin() + 6, 8, line.record.tag_b.begin());
    std::copy_n(tags.begin() + 14, 8, line.record.tag_c.begin());
    return line;
}

const std::string kHeading = "rank       line             x             y         value  tag_a   tag_b     tag_c\n";

TEST(TopTable, WritesNumbersAsADataLineDoesAndTextFieldsAsTheyStand)
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
                                 "   2          7      -0.12500 *************       0.00000          NEG       \t x\n"
                                 "   3 1234567890       0.00000       3.50000      -0.00000\n";
    EXPECT_EQ(expected, format_top_table(lines, 10));
}

TEST(TopTable, ShowsAtMostTheCountAskedForAndNothingForZero)
{
    const std::vector<RankedLine> lines = {ranked(5, 1, 2, 3, "AAAAAABBBBBBBBCCCCCCCC"),
                                           ranked(6, 1, 2, 1, "AAAAAABBBBBBBBCCCCCCCC")};
    EXPECT_EQ(kHeading + "   1          5       1.00000       2.00000       3.00000  AAAAAA  BBBBBBBB  CCCCCCCC\n",
              format_top_table(lines, 1));
    EXPECT_EQ("", format_top_table(lines, 0));
    EXPECT_EQ(kHeading, format_top_table({}, 10));
}

}  // namespace
