#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../plot/plot_test_support.hpp"
#include "merge/merge.hpp"
#include "merge/receptor_check.hpp"
#include "run_failure.hpp"

namespace {

std::string receptor(const char* x, const char* y, const char* value = "1.")
{
    return line_at({{2, x}, {16, y}, {30, value}}) + "\n";
}

// A merge of the given inputs (Sum, no risk output) in a scratch folder,
// with its receptor warning, as standard error shows it, and the failure it stopped on.
struct MergeRun {
    std::string standard_error;
    std::string failure;
    std::string output;
};

MergeRun merge_files(const std::vector<std::string>& contents)
{
    ScratchFolder folder;
    MergeJob job;
    job.input_count = static_cast<int>(contents.size());
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const std::string name = folder.file("in" + std::to_string(i + 1) + ".plt");
        write_file(name, contents[i]);
        job.inputs[i].file.emplace(open_plot_input(name, job.open_files));
    }
    job.output_file.emplace(open_plot_output(folder.file("SUM_CONC.PLT"), job.open_files));
    MergeRun run;
    MergeWarnings warnings;
    try {
        run_merge(job, warnings);
    } catch (const RunFailure& failure) {
        run.failure = failure.what();
    }
    // As the program writes it, before a failure's diagnostic.
    if (const auto text = warnings.receptors.warning()) run.standard_error = "plotmerge: warning: " + *text + "\n";
    job.output_file->close();
    run.output = read_file(folder.file("SUM_CONC.PLT"));
    return run;
}

// The names as the scratch folder gives them are long; the warning's text
// is checked from the counts on, and the files it names one by one.
std::string after_scratch_folder(const std::string& text)
{
    std::string result = text;
    for (std::size_t at; (at = result.find("plotmerge-test-")) != std::string::npos;) {
        const std::size_t slash = result.find_first_of("/\\", at + 1);  // Windows names end the folder with a backslash
        result.erase(result.rfind('\'', at) + 1, slash + 1 - (result.rfind('\'', at) + 1));
    }
    return result;
}

TEST(ReceptorWarning, IsAbsentWhenEveryInputNamesTheLastInputsReceptors)
{
    const std::string a = "* header a\n" + receptor("1.", "2.") + receptor("3.", "4.");
    const std::string b = "* header b, other text\n" + receptor("100000", "2.00000") + receptor("3.0E0", "400000");
    const MergeRun run = merge_files({a, b, b});
    EXPECT_EQ("", run.standard_error);
    EXPECT_EQ("", run.failure);
}

TEST(ReceptorWarning, CountsTheDataPositionsMergedAndNamesTheFirstDifference)
{
    // Input 3 of 3 is the reference. Line 1 is a header (not checked); line 2
    // matches; at line 3 inputs 1 and 2 both differ and input 1 is named;
    // at line 4 only input 2 differs. Input 1 has a sixth line that is never
    // reached, since input 3 ends after line 5.
    const std::string one = "* header\n" + receptor("1.", "1.") + receptor("2.", "9.") + receptor("3.", "1.") +
                            receptor("4.", "1.") + receptor("5.", "1.");
    const std::string two = "x\n" + receptor("1.", "1.") + receptor("7.", "1.") + receptor("3.5", "1.") +
                            receptor("4.", "1.");
    const std::string three = "x\n" + receptor("1.", "1.") + receptor("2.", "1.") + receptor("3.", "1.") +
                              receptor("4.", "1.");
    const MergeRun run = merge_files({one, two, three});
    EXPECT_EQ("plotmerge: warning: receptors differ at 2 of 4 data lines; first at line 3 of 'in1.plt' "
              "(2.00000, 9.00000) against line 3 of 'in3.plt' (2.00000, 1.00000)\n",
              after_scratch_folder(run.standard_error));
    EXPECT_EQ("", run.failure);
}

TEST(ReceptorWarning, ComesBeforeTheFailureAndCountsOnlyThePositionsMergedBeforeIt)
{
    // Line 2 differs; line 3 of input 2 has a value that is not a number, so
    // two positions were merged and the failing one is not counted.
    const std::string one = receptor("1.", "1.") + receptor("2.", "2.") + receptor("3.", "3.");
    const std::string two = receptor("1.", "1.") + receptor("2.", "2.5") + receptor("3.", "3.", "1x");
    const MergeRun run = merge_files({one, two});
    EXPECT_EQ("plotmerge: warning: receptors differ at 1 of 2 data lines; first at line 2 of 'in1.plt' "
              "(2.00000, 2.00000) against line 2 of 'in2.plt' (2.00000, 2.50000)\n",
              after_scratch_folder(run.standard_error));
    EXPECT_NE(std::string::npos, run.failure.find("converting a field of")) << run.failure;
    EXPECT_EQ(2, std::count(run.output.begin(), run.output.end(), '\n'));
}

// The last input is read first, for its receptor; a fault of an earlier
// input at the same position is still the one reported, as input order says.
TEST(ReceptorWarning, LeavesTheFieldFaultOfTheFirstInputInInputOrderToBeReported)
{
    const std::string good = receptor("1.", "2.");
    const std::string bad_aux = line_at({{2, "1."}, {16, "2."}, {30, "1."}, {44, "1x"}}) + "\n";
    const std::string bad_value = receptor("1.", "2.", "2y");
    const std::string bad_x = receptor("1z", "2.");
    EXPECT_NE(std::string::npos, merge_files({good, bad_aux, bad_value}).failure.find("in2.plt': line 1: field aux1"));
    EXPECT_NE(std::string::npos, merge_files({bad_x, good, bad_value}).failure.find("in1.plt': line 1: field x"));
    EXPECT_NE(std::string::npos, merge_files({good, good, bad_value}).failure.find("in3.plt': line 1: field value"));
    EXPECT_NE(std::string::npos, merge_files({bad_x, good}).failure.find("in1.plt': line 1: field x holds '1z"));
    // x of another receptor that is no number is a fault, not a difference.
    const MergeRun run = merge_files({receptor("1.", "2.") + bad_x, good + good});
    EXPECT_NE(std::string::npos, run.failure.find("in1.plt': line 2: field x")) << run.failure;
    EXPECT_EQ("", run.standard_error);
}

TEST(ReceptorWarning, IsNeverGivenForOneInputNorForInputsOfDifferentLengths)
{
    EXPECT_EQ("", merge_files({receptor("1.", "2.") + receptor("3.", "4.")}).standard_error);
    // The longer input's extra receptors are never read, so never compared.
    const MergeRun run = merge_files({receptor("1.", "2."), receptor("1.", "2.") + receptor("8.", "8.")});
    EXPECT_EQ("", run.standard_error);
}

TEST(ReceptorWarning, DoesNotChangeWhatIsWritten)
{
    const std::string a = receptor("1.", "2.", "1.") + receptor("3.", "4.", "2.");
    const std::string b = receptor("5.", "6.", "10.") + receptor("7.", "8.", "20.");
    const MergeRun run = merge_files({a, b});
    const auto written = [](const char* x, const char* y, const char* value) {
        return std::string(" ") + x + " " + y + " " + value + " " + "    0.00" + " " + "    0.00" + " " + "    0.00" +
               "  " + std::string(6, ' ') + "  " + std::string(8, ' ') + "  " + "00000000" + "  " +
               std::string(8, ' ') + "\n";
    };
    EXPECT_EQ(written("      5.00000", "      6.00000", "     11.00000") +
                  written("      7.00000", "      8.00000", "     22.00000"),
              run.output);
    EXPECT_NE("", run.standard_error);
}

}  // namespace
