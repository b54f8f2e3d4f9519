#include "merge/merge_warnings.hpp"

#include "diagnostics.hpp"

namespace {

// "1 data line holds" or "3 data lines hold".
std::string counted(std::uint64_t count, std::string_view thing, std::string_view verb_one, std::string_view verb_many)
{
    std::string text = std::to_string(count) + ' ' + std::string(thing);
    if (count != 1) text += 's';
    text += ' ';
    text += count == 1 ? verb_one : verb_many;
    return text;
}

std::string place(const FilePlace& first) { return "line " + std::to_string(first.line) + " of '" + printable(first.file) + "'"; }

std::string zeros_in(const Tally& zeros)
{
    return std::to_string(zeros.count()) + " in '" + printable(zeros.first().file) + "', first at line " +
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
    if (layout) texts.push_back(*layout);
    if (other_layouts.count() != 0) {
        texts.push_back(counted(other_layouts.count(), "FORMAT line", "of another input declares",
                                "of other inputs declare") +
                        " a layout other than the standard one, in which every input's data lines are read; first at " +
                        place(other_layouts.first()) + ": check that the inputs hold data of one layout");
    }
    if (blank_data_lines.count() != 0) {
        texts.push_back(counted(blank_data_lines.count(), "data line", "holds", "hold") +
                        " nothing but blanks or control bytes, merged as zeros at receptor (0, 0); first at " +
                        place(blank_data_lines.first()));
    }
    if (lone_carriage_returns.count() != 0) {
        texts.push_back(counted(lone_carriage_returns.count(), "line", "has", "have") +
                        " a CR that no LF follows in the part skipped after the columns read; first at " +
                        place(lone_carriage_returns.first()) +
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
        const bool one = header_lines_among_data.count() == 1;
        texts.push_back(std::to_string(header_lines_among_data.count()) + (one ? " header line of '" : " header lines of '") +
                        printable(first.file) + (one ? "' comes" : "' come") + " after its first data line; first at line " +
                        std::to_string(first.line) + ": the file may hold more than one run");
    }
    if (const auto receptor_warning = receptors.warning()) texts.push_back(*receptor_warning);
    return texts;
}
