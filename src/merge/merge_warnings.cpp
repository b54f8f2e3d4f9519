#include "merge/merge_warnings.hpp"

#include "diagnostics.hpp"

namespace {

std::string first_at(const FilePlace& first) { return "; first at " + line_of(first.line, first.file); }

std::string counted_in(const Tally& values)
{
    return std::to_string(values.count()) + " in " + quoted(values.first().file) + ", first at line " +
           std::to_string(values.first().line);
}

// "<what>: 3 in 'AVG_CONC.PLT', first at line 2[, and 1 in 'RISK.PLT', first at line 5]".
std::string in_outputs(std::string what, const Tally& output, const Tally& risk)
{
    what += ": ";
    if (output.count() != 0) what += counted_in(output);
    if (output.count() != 0 && risk.count() != 0) what += ", and ";
    if (risk.count() != 0) what += counted_in(risk);
    return what;
}

}  // namespace

void Tally::add(std::uint64_t count, FilePlace first)
{
    if (count == 0) return;
    if (count_ == 0 || first.line < first_.line) first_ = std::move(first);
    count_ += count;
}

std::vector<std::string> MergeWarnings::texts() const
{
    std::vector<std::string> texts;
    if (inputs_created.count() != 0) {
        texts.push_back(counted(inputs_created.count(), "input", "did not exist and was", "did not exist and were") +
                        " created empty; first " + quoted(inputs_created.first().file) + ": check the name as typed");
    }
    if (lower_case_mode) {
        texts.push_back("the answer to average or sum begins with a lower-case 'a', which selects the sum "
                        "(SUM_CONC.PLT): only an upper-case A selects averaging");
    }
    if (lower_case_risk) {
        texts.push_back("the answer to the risk question begins with a lower-case 'y', which asks for no RISK.PLT: "
                        "only an upper-case Y asks for it");
    }
    if (blank_data_lines.count() != 0) {
        texts.push_back(counted(blank_data_lines.count(), "data line", "holds", "hold") +
                        " nothing but blanks or control bytes, merged as zeros at receptor (0, 0)" +
                        first_at(blank_data_lines.first()));
    }
    Tally lone_carriage_return_lines;
    for (const LoneCarriageReturns& input : lone_carriage_returns) {
        lone_carriage_return_lines.add(input.lines, {input.file, input.first_line});
    }
    if (lone_carriage_return_lines.count() != 0) {
        texts.push_back(counted(lone_carriage_return_lines.count(), "line", "has", "have") +
                        " a CR that no LF follows in the part skipped after the columns read" +
                        first_at(lone_carriage_return_lines.first()) +
                        ": the file may end its lines with CR alone, which reads them as one long line");
    }
    if (zeros_in_output.count() != 0 || zeros_in_risk.count() != 0) {
        texts.push_back(in_outputs("values that are not zero were written as zero", zeros_in_output, zeros_in_risk) +
                        "; a factor such as 1E6, or a layout with the value in exponent form, keeps them");
    }
    if (asterisks_in_output.count() != 0 || asterisks_in_risk.count() != 0) {
        texts.push_back(in_outputs("values too large for their fields were written as asterisks", asterisks_in_output,
                                   asterisks_in_risk));
    }
    if (text_past_colon.count() != 0) {
        texts.push_back(counted(text_past_colon.count(), "data line", "holds", "hold") + " text from column " +
                        std::to_string(colon_column) +
                        " on, where a colon of the FORMAT list ends the layout that the first data line set" +
                        first_at(text_past_colon.first()) + ": those columns are not merged");
    }
    if (header_lines_among_data.count() != 0) {
        const FilePlace& first = header_lines_among_data.first();
        const std::uint64_t count = header_lines_among_data.count();
        texts.push_back(counted(count, "header line") + " of " + quoted(first.file) + " " +
                        std::string(for_count(count, "comes", "come")) + " after its first data line; first at line " +
                        std::to_string(first.line) + ": the file may hold more than one run");
    }
    if (const auto receptor_warning = receptors.warning()) texts.push_back(*receptor_warning);
    if (lines_left) {
        const std::uint64_t others = lines_left->others.count();
        texts.push_back(quoted(lines_left->ended) + " had no line left after line " + std::to_string(lines_left->lines) +
                        ", while " + counted(others, "other input", "still had", "still had") + " lines, first " +
                        quoted(lines_left->others.first().file) + ": their later lines were not merged");
    }
    if (no_data_line) texts.push_back("no data line was written to " + quoted(*no_data_line));
    return texts;
}
