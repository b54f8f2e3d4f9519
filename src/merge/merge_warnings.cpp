#include "merge/merge_warnings.hpp"

#include "diagnostics.hpp"

namespace {

std::string first_at(const FilePlace& first) { return "; first at " + line_of(first.line, first.file); }

std::string zeros_in(const Tally& zeros)
{
    return std::to_string(zeros.count()) + " in " + quoted(zeros.first().file) + ", first at line " +
           std::to_string(zeros.first().line);
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
        std::string text = "values that are not zero were written as zero: ";
        if (zeros_in_output.count() != 0) text += zeros_in(zeros_in_output);
        if (zeros_in_output.count() != 0 && zeros_in_risk.count() != 0) text += ", and ";
        if (zeros_in_risk.count() != 0) text += zeros_in(zeros_in_risk);
        texts.push_back(text + "; a factor such as 1E6, or a layout with the value in exponent form, keeps them");
    }
    if (header_lines_among_data.count() != 0) {
        const FilePlace& first = header_lines_among_data.first();
        const std::uint64_t count = header_lines_among_data.count();
        texts.push_back(counted(count, "header line") + " of " + quoted(first.file) + " " +
                        std::string(for_count(count, "comes", "come")) + " after its first data line; first at line " +
                        std::to_string(first.line) + ": the file may hold more than one run");
    }
    if (const auto receptor_warning = receptors.warning()) texts.push_back(*receptor_warning);
    return texts;
}
