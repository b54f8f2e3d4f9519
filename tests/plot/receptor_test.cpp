#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "plot/plot_record.hpp"
#include "plot_test_support.hpp"

namespace {

PlotLine receptor_line(std::string_view x, std::string_view y)
{
    return plot_line(line_at({{2, x}, {16, y}, {30, "1.0"}}));
}

const char* receptor_data(std::string_view x, std::string_view y)
{
    static PlotLine line;
    line = receptor_line(x, y);
    return line.data();
}

// Asks as the merge does: one reader reads the reference line and then the
// other, which may repeat the reference's receptor bytes; a line that does
// not parse names no receptor.
bool same(const PlotLine& line, const PlotLine& reference)
{
    PlotLineReader reader;
    PlotRecord record;
    if (reader.read_record(reference.data(), record)) throw std::invalid_argument("the reference line does not parse");
    Receptor receptor;
    float value = 0.0f;
    if (reader.read_value(line.data(), receptor, value)) return false;
    EXPECT_EQ(1.0f, value);
    return same_receptor(receptor, Receptor{record.x, record.y});
}

struct ReceptorPair {
    const char* x;
    const char* y;
    const char* other_x;
    const char* other_y;
    bool same;
};

// Expected by the reading rules: five implied decimals without a point, blanks
// ignored, every value held as the nearest float (1000 and its neighbours are
// 2^-14, about 0.000061, apart).
TEST(Receptors, MatchWhenXAndYReadAsTheSameValues)
{
    const ReceptorPair pairs[] = {
        {"   1000.00000", "   2000.00000", "   1000.00000", "   2000.00000", true},
        {"1000.0", "2000.0", "   1000.00000", "2000.00000   ", true},
        {"100000000", "200000000", "1000.", "2000.", true},  // implied decimals
        {"1.0E3", "2.0D3", "1000", "2000", false},             // 1000 without a point is 0.01
        {"1.0E3", "2.0D3", "1.+3", "20.E2", true},
        {" 1 000.0", "2 000", "1000.", "0.02", true},
        {"-0.0", "0", "0.0", "-0", true},
        {"1000.00001", "5", "1000.", "5", true},   // the same float
        {"1000.0001", "5", "1000.", "5", false},   // two floats above
        {"1000.", "2000.", "1000.", "2000.5", false},
        {"1000.", "2000.", "1001.", "2000.", false},
        {"-1000.", "2000.", "1000.", "2000.", false},
        {"1000.", "-2000.", "1000.", "2000.", false},
        {"NaN", "1.", "nan", "1.", true},
        {"Inf", "1.", "1.E39", "1.", true},
        {"1E39", "1.", "1.E34", "1.", true},  // implied decimals first: 1E39 is 1E34
        {"inf", "1.", "-inf", "1.", false},
        {"1x", "1.", "1.", "1.", false},
        {"1", "1.", "", "1.", false},
        {"", "", "0.", "-0.0E5", true},
    };
    for (const ReceptorPair& pair : pairs) {
        const PlotLine line = receptor_line(pair.x, pair.y);
        const PlotLine other = receptor_line(pair.other_x, pair.other_y);
        EXPECT_EQ(pair.same, same(line, other)) << pair.x << ", " << pair.y << " / " << pair.other_x << ", "
                                                         << pair.other_y;
        if (std::string_view(pair.x) != "1x") {  // a reference line is always a number
            EXPECT_EQ(pair.same, same(other, line)) << "the other way round: " << pair.x;
        }
    }
}

TEST(Receptors, LookOnlyAtTheColumnsOfXAndY)
{
    const std::string base = line_at({{2, "      1.25000"}, {16, "      2.50000"}, {30, "1.0"}, {72, "TAG"}});
    std::string marked = base;
    marked[0] = '*';   // column 1
    marked[14] = '|';  // the separator between x and y
    marked[28] = '|';  // the separator after y
    marked.replace(29, 3, "7.5");
    marked.replace(71, 3, "OTH");
    EXPECT_TRUE(same(plot_line(base), plot_line(marked)));

    // A change in the last column of x, and in the last column of y.
    std::string last_of_x = base;
    last_of_x[13] = '1';
    EXPECT_FALSE(same(plot_line(base), plot_line(last_of_x)));
    std::string last_of_y = base;
    last_of_y[27] = '1';
    EXPECT_FALSE(same(plot_line(base), plot_line(last_of_y)));
    std::string first_of_y = base;
    first_of_y[15] = '1';
    EXPECT_FALSE(same(plot_line(base), plot_line(first_of_y)));
}

// Each coordinate as the data line writes it (13 columns, five decimals),
// leading blanks dropped.
TEST(Receptors, AreDescribedAsTheDataLineWritesThem)
{
    EXPECT_EQ("(1000.00000, 2000.00000)", receptor_text(receptor_data("1000.0", "200000000")));
    EXPECT_EQ("(1000.00000, 0.02000)", receptor_text(receptor_data("1.0E3", "2000")));
    EXPECT_EQ("(-250.50000, -0.00000)", receptor_text(receptor_data(" -2 50.5", "-0")));
    EXPECT_EQ("(0.00000, 0.00000)", receptor_text(plot_line("").data()));
    EXPECT_EQ("(*************, 4108000.00000)", receptor_text(receptor_data("1.0E8", "4108000.")));
    EXPECT_EQ("(Infinity, NaN)", receptor_text(receptor_data("1.E39", "nan")));
    // Not numbers (never reported by the merge, which stops on them first): the bytes as they stand.
    EXPECT_EQ("(1x, \\x01)", receptor_text(receptor_data("1x", "\x01")));
}

}  // namespace
