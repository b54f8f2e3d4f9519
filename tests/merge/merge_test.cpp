#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../plot/plot_test_support.hpp"
#include "merge/merge.hpp"
#include "plot/real_field.hpp"

namespace {

float combine(std::vector<float> scaled, CombineMode mode)
{
    return combine_values(scaled.data(), static_cast<int>(scaled.size()), mode);
}

TEST(CombiningValues, SumsLeftToRightInInputOrder)
{
    // Floats near 1e8 are 8 apart, so 1 added to one of them is lost.
    EXPECT_EQ(1.0f, combine({1e8f, -1e8f, 1.0f}, CombineMode::Sum));
    EXPECT_EQ(0.0f, combine({1.0f, 1e8f, -1e8f}, CombineMode::Sum));
    EXPECT_EQ(1.0f, combine({1e8f, -1e8f, 0.5f, 0.5f}, CombineMode::Sum));
    EXPECT_EQ(6.5f, combine({6.5f}, CombineMode::Sum));
}

// 100/3 rounds to 8738133 * 2^-18 = 33.333332061767578125; times the float
// nearest 1/3 it would round to 33.33333587646484375, written ...334.
TEST(CombiningValues, AveragesByATrueDivisionByTheCount)
{
    const float third_of_hundred = combine({30.0f, 30.0f, 40.0f}, CombineMode::Average);
    EXPECT_EQ(33.333332061767578125f, third_of_hundred);
    char text[13];
    format_real_field<WideReal>(third_of_hundred, text);
    EXPECT_EQ("     33.33333", std::string(text, 13));

    EXPECT_EQ(5.0f / 3.0f, combine({1.0f, 2.0f, 2.0f}, CombineMode::Average));
    EXPECT_EQ(1.0f, combine({1.0f, 1.0f, 1.0f}, CombineMode::Average));
    EXPECT_EQ(3.0f, combine({4.0f, 2.0f}, CombineMode::Average));
    EXPECT_EQ(2.5f, combine({1.0f, 2.0f, 3.0f, 4.0f}, CombineMode::Average));
    EXPECT_EQ(2.0f, combine({2.0f}, CombineMode::Average));  // one input is its own average
}

TEST(CombiningValues, GiveNegativeZeroOnlyWhenEveryScaledValueIsNegativeZero)
{
    for (const CombineMode mode : {CombineMode::Sum, CombineMode::Average}) {
        EXPECT_TRUE(std::signbit(combine({-0.0f}, mode)));
        EXPECT_TRUE(std::signbit(combine({-0.0f, -0.0f}, mode)));
        EXPECT_TRUE(std::signbit(combine({-0.0f, -0.0f, -0.0f, -0.0f}, mode)));
        EXPECT_FALSE(std::signbit(combine({-0.0f, 0.0f}, mode)));
        EXPECT_FALSE(std::signbit(combine({0.0f, -0.0f, -0.0f}, mode)));
    }
}

// Two inputs, factors 1 and 0.5, Average, risk output. Input 1 starts with a
// header line; input 2's line there is no number and is never parsed. Input 2
// runs out after two data lines, so input 1's last line is not merged. Both
// inputs have the same receptors, so the run ends without a warning.
TEST(LockstepMerge, CopiesHeadersAndWritesCombinedAndRiskLinesWithTheLastInputsFields)
{
    ScratchFolder folder;
    const auto data = [](const char* x, const char* value, const char* tag_b) {
        return line_at({{2, x}, {30, value}, {44, "1"}, {62, "7."}, {72, "TAGA"}, {80, tag_b}, {90, "1990"},
                        {100, "C2"}});
    };
    write_file(folder.file("one.plt"), "* title\n" + data("1.5", "4.", "first") + "\n" + data("1.5", "10.", "first") +
                                           "\n" + data("1.5", "1.", "first") + "\n");
    write_file(folder.file("two.plt"), "not a number\n" + data("1.5", "4.", "second") + "\r\n" +
                                           data("1.5", "6.", "second"));

    MergeJob job;
    job.input_count = 2;
    job.inputs[0].file.emplace(open_plot_input(folder.file("one.plt"), job.open_files));
    job.inputs[1].file.emplace(open_plot_input(folder.file("two.plt"), job.open_files));
    job.inputs[1].scale = 0.5f;
    job.mode = CombineMode::Average;
    job.risk_requested = true;
    job.risk_file.emplace(open_plot_output(folder.file("risk.plt"), job.open_files));
    job.output_file.emplace(open_plot_output(folder.file("avg.plt"), job.open_files));
    MergeWarnings warnings;
    run_merge(job, warnings);
    // No receptor differs; input 1's last line is left.
    EXPECT_FALSE(warnings.receptors.warning());
    ASSERT_TRUE(warnings.lines_left.has_value());
    EXPECT_EQ(1u, warnings.lines_left->others.count());
    job.output_file->close();
    job.risk_file->close();

    // Carried fields of input 2: x 1.5, y 0, aux1 "1" with two implied decimals, aux3 7.
    const auto expected_line = [](const char* value) {
        return std::string(" ") + "      1.50000" + " " + "      0.00000" + " " + value + " " + "    0.01" + " " +
               "    0.00" + " " + "    7.00" + "  " + "TAGA  " + "  " + "second  " + "  " + "00001990" + "  " +
               "C2      " + "\n";
    };
    const std::string header = as_text(plot_line("* title")) + "\n";
    // (4 + 0.5*4) / 2 = 3, (10 + 0.5*6) / 2 = 6.5; risk 744 times each.
    EXPECT_EQ(header + expected_line("      3.00000") + expected_line("      6.50000"),
              read_file(folder.file("avg.plt")));
    EXPECT_EQ(header + expected_line("   2232.00000") + expected_line("   4836.00000"),
              read_file(folder.file("risk.plt")));
}

}  // namespace
