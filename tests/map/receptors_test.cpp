#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "map/receptors.hpp"
#include "plot_test_support.hpp"

namespace {

RankedLine line_with(std::uint64_t line_number, float value)
{
    RankedLine line;
    line.line_number = line_number;
    line.value = value;
    return line;
}

std::vector<std::uint64_t> ranked_line_numbers(const TopLines& top)
{
    std::vector<std::uint64_t> numbers;
    for (const RankedLine& line : top.ranked()) numbers.push_back(line.line_number);
    return numbers;
}

using Numbers = std::vector<std::uint64_t>;

TEST(TopLines, KeepTheHighestValuesWithTiesInFileOrder)
{
    TopLines top(4);
    const float values[] = {3, 7, 5, 7, 1, 5, 7};  // lines 1 to 7
    for (std::uint64_t line = 1; line <= 7; ++line) top.offer(line_with(line, values[line - 1]));
    EXPECT_EQ((Numbers{2, 4, 7, 3}), ranked_line_numbers(top));  // three 7s in file order, then the first 5
}

TEST(TopLines, RankInfinityFirstAndNotANumberLast)
{
    const float inf = std::numeric_limits<float>::infinity();
    TopLines top(10);
    const float values[] = {std::nanf(""), -inf, 0.0f, -0.0f, inf, -1.0f, std::nanf("")};
    for (std::uint64_t line = 1; line <= 7; ++line) top.offer(line_with(line, values[line - 1]));
    // infinity, then 0 and -0 as equals in file order, -1, minus infinity, the two NaN in file order.
    EXPECT_EQ((Numbers{5, 3, 4, 6, 2, 1, 7}), ranked_line_numbers(top));
}

TEST(TopLines, KeepEveryLineWhenThereAreFewerAndNoneForACountOfZero)
{
    TopLines top(10);
    top.offer(line_with(4, 2));
    top.offer(line_with(9, 8));
    EXPECT_EQ((Numbers{9, 4}), ranked_line_numbers(top));
    TopLines none(0);
    none.offer(line_with(1, 1));
    EXPECT_TRUE(none.ranked().empty());
}

TEST(ReceptorStore, HoldsReceptorsInFileOrderAcrossItsBlocks)
{
    ReceptorStore store;
    constexpr std::size_t kCount = 200000;  // three blocks and a part
    for (std::size_t i = 0; i < kCount; ++i) store.push_back({static_cast<float>(i), -static_cast<float>(i), 0.5f});
    ASSERT_EQ(kCount, store.size());
    for (const std::size_t i : {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, std::size_t{131073}, kCount - 1}) {
        EXPECT_EQ(static_cast<float>(i), store[i].x);
        EXPECT_EQ(-static_cast<float>(i), store[i].y);
    }
}

class ReadingPlotContents : public ::testing::Test {
protected:
    PlotContents read(const std::string& bytes, std::size_t top_count = 10)
    {
        write_file(path_, bytes);
        OpenFiles open_files;
        PlotReader file = open_existing_plot_file(path_, open_files);
        return read_plot_contents(file, top_count);
    }
    ScratchFolder folder_;
    std::string path_ = folder_.file("in.plt");
};

// A data line with x, y and value right-aligned in their 13 columns, and tag_b.
std::string data_line(std::string_view x, std::string_view y, std::string_view value, std::string_view tag_b = "")
{
    const auto at = [](std::size_t column, std::string_view text) { return column + 13 - text.size(); };
    return line_at({{at(2, x), x}, {at(16, y), y}, {at(30, value), value}, {80, tag_b}}) + "\n";
}

TEST_F(ReadingPlotContents, SkipsHeaderLinesAnywhereAndKeepsTheFirstAsTitle)
{
    // A FORMAT line after the first data line is an ordinary header line: this
    // one, declaring no value field, would stop the run.
    const PlotContents contents = read("*   FIRST  HEADER   \n" + data_line("1.5", "2.5", "3") +
                                       "* second header\n" + data_line("10", "20", "300", "HIGH") + "*\n" +
                                       "* FORMAT: (2(1X,F13.5),1X,F8.2)\n");
    ASSERT_EQ(2u, contents.receptors.size());
    EXPECT_EQ("FIRST  HEADER", contents.first_header);
    EXPECT_EQ(1.5f, contents.receptors[0].x);
    EXPECT_EQ(2.5f, contents.receptors[0].y);
    EXPECT_EQ(3e-5f, contents.receptors[0].value);  // 5 implied decimals
    EXPECT_EQ(0.003f, contents.receptors[1].value);
    ASSERT_EQ(2u, contents.highest.size());
    EXPECT_EQ(4u, contents.highest[0].line_number);  // header lines count as lines
    EXPECT_EQ("HIGH    ", contents.highest[0].texts.substr(6, 8));  // tag_b, after the six bytes of tag_a
}

TEST_F(ReadingPlotContents, KeepsTheHighestLineEvenForATableOfNone)
{
    const PlotContents contents = read(data_line("0", "0", "1.0") + data_line("1", "0", "2.0"), 0);
    ASSERT_EQ(1u, contents.highest.size());
    EXPECT_EQ(2u, contents.highest[0].line_number);
}

TEST_F(ReadingPlotContents, StopsAtAFieldThatIsNotANumberWithPlotmergesDiagnostic)
{
    try {
        read("* h\n" + data_line("1", "2", "3") + data_line("1", "2", "12x4567"));
        FAIL() << "no failure";
    } catch (const RunFailure& failure) {
        EXPECT_EQ("converting a field of '" + path_ + "': line 3: field value holds '      12x4567', which is not a number",
                  std::string(failure.what()));
    }
}

TEST_F(ReadingPlotContents, GivesNoTitleAndNoReceptorForAnEmptyFile)
{
    const PlotContents contents = read("");
    EXPECT_EQ(0u, contents.receptors.size());
    EXPECT_TRUE(contents.highest.empty());
    EXPECT_EQ("", contents.first_header);
}

}  // namespace
