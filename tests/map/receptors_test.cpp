#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "map/command_line.hpp"
#include "map/receptors.hpp"
#include "plot_test_support.hpp"

namespace {

using Numbers = std::vector<std::uint64_t>;

// Offers lines 1, 2, ... with these receptors and values; the line numbers of the table, highest first.
Numbers ranked_lines(std::size_t count, const std::vector<std::uint32_t>& receptors, const std::vector<float>& values)
{
    TopReceptors top(count);
    for (std::size_t i = 0; i < values.size(); ++i) top.offer({i + 1, receptors[i], 0, 0, values[i], "bytes"});
    Numbers numbers;
    for (const RankedLine& line : top.ranked()) numbers.push_back(line.line_number);
    return numbers;
}

std::vector<std::uint32_t> each_its_own(std::size_t count)
{
    std::vector<std::uint32_t> receptors;
    for (std::uint32_t i = 0; i < count; ++i) receptors.push_back(i);
    return receptors;
}

TEST(TopReceptors, KeepTheHighestValuesWithTiesInFileOrder)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::nanf("");
    // three 7s in file order, then the first 5.
    EXPECT_EQ((Numbers{2, 4, 7, 3}), ranked_lines(4, each_its_own(7), {3, 7, 5, 7, 1, 5, 7}));
    // infinity, then 0 and -0 as equals in file order, -1, minus infinity, the two NaN in file order.
    EXPECT_EQ((Numbers{5, 3, 4, 6, 2, 1, 7}), ranked_lines(10, each_its_own(7), {nan, -inf, 0.0f, -0.0f, inf, -1.0f, nan}));
    EXPECT_EQ((Numbers{2, 1}), ranked_lines(10, each_its_own(2), {2, 8}));
    EXPECT_TRUE(ranked_lines(0, each_its_own(1), {1}).empty());
}

TEST(TopReceptors, ListEachReceptorOnceWithTheLineOfItsHighestValue)
{
    // Receptor 0 on lines 1, 3 and 6; receptor 1 on 2 and 5; receptor 2 on line 4.
    const std::vector<std::uint32_t> receptors = {0, 1, 0, 2, 1, 0};
    EXPECT_EQ((Numbers{3, 5, 4}), ranked_lines(10, receptors, {1, 2, 9, 4, 6, 9}));  // line 6 ties with 3, later
    EXPECT_EQ((Numbers{3, 5}), ranked_lines(2, receptors, {1, 2, 9, 4, 6, 9}));
    // Receptor 1 falls out of a table of two (at line 3) and comes back above both (line 5).
    EXPECT_EQ((Numbers{5, 1}), ranked_lines(2, {0, 1, 2, 0, 1}, {5, 1, 4, 2, 8}));
}

TEST(ReceptorIndex, FindsAReceptorByItsPlaceAcrossGrowth)
{
    ReceptorStore store;
    ReceptorIndex index;
    bool added = false;
    constexpr std::uint32_t kCount = 70000;  // beyond the first table and the first block of the store
    for (std::uint32_t i = 0; i < kCount; ++i) {
        EXPECT_EQ(i, index.find_or_add(store, {static_cast<float>(i % 300), static_cast<float>(i / 300), 1.0f}, added));
        EXPECT_TRUE(added);
    }
    EXPECT_EQ(301u, index.find_or_add(store, {1.0f, 1.0f, 5.0f}, added));
    EXPECT_FALSE(added);
    EXPECT_EQ(0u, index.find_or_add(store, {-0.0f, -0.0f, 5.0f}, added));  // -0 is the place of 0
    EXPECT_FALSE(added);
    EXPECT_EQ(kCount, index.find_or_add(store, {0.5f, 0.0f, 5.0f}, added));
    EXPECT_TRUE(added);
    EXPECT_EQ(kCount + 1, store.size());
    EXPECT_EQ(1.0f, store[301].value);  // the value is the caller's to keep
}

class ReadingPlotContents : public ::testing::Test {
protected:
    PlotContents read(const std::string& bytes, std::size_t top_count = 10, std::size_t value_number = 1)
    {
        write_file(path_, bytes);
        OpenFiles open_files;
        PlotReader file = open_existing_plot_file(path_, open_files);
        return read_plot_contents(file, {top_count, value_number, true});
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
    EXPECT_EQ("HIGH    ", contents.highest[0].bytes.substr(79, 8));
    ASSERT_EQ(2u, contents.lines.size());
    EXPECT_EQ(STANDARD_LAYOUT.width(), contents.lines[1].size());
    EXPECT_EQ(data_line("10", "20", "300", "HIGH").substr(0, 83), std::string(contents.lines[1]).substr(0, 83));
}

TEST_F(ReadingPlotContents, GivesEachReceptorTheHighestValueOfItsLines)
{
    const PlotContents contents = read(data_line("0", "0", "1.0") + data_line("100", "0", "2.0") + data_line("0", "0", "5.0") +
                                       data_line("0.0", "-0.0", "NaN") + data_line("100", "0", "0.5"));
    EXPECT_EQ(5u, contents.data_lines);
    ASSERT_EQ(2u, contents.receptors.size());
    EXPECT_TRUE(contents.receptors_repeat());
    EXPECT_EQ(5.0f, contents.receptors[0].value);
    EXPECT_EQ(2.0f, contents.receptors[1].value);
    ASSERT_EQ(2u, contents.highest.size());
    EXPECT_EQ(3u, contents.highest[0].line_number);
    EXPECT_EQ(2u, contents.highest[1].line_number);
}

TEST_F(ReadingPlotContents, MapsTheValueFieldAskedForAndRefusesOneTheLayoutLacks)
{
    const std::string file = "* FORMAT: (2(1X,F13.5),1X,E13.6,1X,F8.2,2(1X,F13.5))\n"
                             "       0.00000       0.00000 0.100000E+01     1.00       2.00000       3.00000\n"
                             "     100.00000       0.00000 0.900000E+01     1.00       1.00000       7.00000\n";
    const PlotContents third = read(file, 10, 3);
    EXPECT_EQ(5u, third.fields.value_index);  // the F8.2 after the first value field is no value field
    EXPECT_EQ(3.0f, third.receptors[0].value);
    EXPECT_EQ(3u, third.highest[0].line_number);
    EXPECT_EQ(2.0f, read(file, 10, 2).receptors[0].value);
    try {
        read(file, 10, 4);
        FAIL() << "no failure";
    } catch (const UsageError& error) {
        EXPECT_EQ("reading the command line: --field 4 asks for value field 4, but the data lines of '" + path_ +
                      "' have 3 value fields",
                  error.detail);
    }
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
    EXPECT_EQ("value_1", contents.names.names[2]);
}

}  // namespace
