#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "map/column_names.hpp"
#include "plot/format_list.hpp"
#include "plot/standard_layout.hpp"

namespace {

using Names = std::vector<std::string>;

PlotLayout layout_of(std::string_view list)
{
    PlotLayout layout;
    EXPECT_EQ(ListFault::None, ListLayout(list, layout).read().fault) << list;
    return layout;
}

// The standard layout's fields stand in columns 2-14, 16-28, 30-42, 44-51,
// 53-60, 62-69, 72-77, 80-87, 90-97 and 100-107.
const std::string kTitles =
    "*            X             Y    24-HR CONC    ZELEV    ZHILL    ZFLAG  AVE     GRP       DATE      NET ID";
const std::string kRule =
    "*_____________ _____________ _____________ ________ ________ ________  ______  ________  ________  ________";
const Names kFallback = {"x", "y", "value_1", "real_4", "real_5", "real_6", "text_7", "text_8", "integer_9", "text_10"};

TEST(ColumnNames, TakeTheWordsOverEachFieldFromTheLastTitleLine)
{
    struct Case {
        const char* rule;
        std::vector<std::string> header_lines;
        Names names;
    };
    const Names titled = {"X", "Y", "24-HR CONC", "ZELEV", "ZHILL", "ZFLAG", "AVE", "GRP", "DATE", "NET ID"};
    const Case cases[] = {
        {"the titles, under a rule of underscores", {"* PLOT FILE OF RUN 1", kTitles, kRule}, titled},
        {"no header line", {}, kFallback},
        // "ZELEV1" reaches column 52, a blank column, and overlaps ZELEV's field alone.
        {"words over only some fields, one past a field's end",
         {"*            X             Y                  ZELEV1"},
         {"X", "Y", "value_1", "ZELEV1", "real_5", "real_6", "text_7", "text_8", "integer_9", "text_10"}},
        // Every word over x; "AVERAGES" overlaps x and y; "LINES" over x and "OF" over y are one blank apart.
        {"prose", {"* RUNS OF 2019", "* 24-HR AVERAGES FOR ALL SOURCES", "* NOTE: LINES OF ONE RUN"}, kFallback},
        {"words over one field only", {"* ANNUAL AVG"}, kFallback},
        // The last line that is one is taken, not the last line.
        {"a title line before prose", {kTitles, "* NOTE: LINES OF ONE RUN"}, titled},
        {"a FORMAT line is no title line", {"*     FORMAT: (3(1X,F13.5))"}, kFallback},
        {"the same title twice",
         {"*         CONC          CONC          CONC"},
         {"CONC", "CONC_2", "CONC_3", "real_4", "real_5", "real_6", "text_7", "text_8", "integer_9", "text_10"}},
        {"a title that is a fallback name", {"*       real_4             Y"},
         {"real_4", "Y", "value_1", "real_4_2", "real_5", "real_6", "text_7", "text_8", "integer_9", "text_10"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.names, column_names(STANDARD_LAYOUT, c.header_lines).names) << c.rule;
    }
}

TEST(ColumnNames, NameValueFieldsByTheirNumberWhereverTheyStand)
{
    const PlotLayout layout = layout_of("(2(1X,F13.5),1X,I4,1X,E13.6,1X,F8.2,1X,F13.5,1X,A4)");
    const ColumnNames names = column_names(layout, {});
    EXPECT_EQ((Names{"x", "y", "integer_3", "value_1", "real_5", "value_2", "text_7"}), names.names);
    EXPECT_EQ("value", value_field_name(names, 3, 1));
    EXPECT_EQ("value_2", value_field_name(names, 5, 2));
    const ColumnNames titled = column_names(layout, std::vector<std::string>{"*           XR            YR        DRY DEP"});
    EXPECT_EQ("DRY DEP", value_field_name(titled, 3, 1));
    EXPECT_EQ((std::vector<std::uint8_t>{1, 1, 0, 1, 0, 0, 0}), titled.titled);
}

}  // namespace
