#include "merge/receptor_check.hpp"

#include "run_failure.hpp"

namespace {

std::string describe(const std::string& file, std::uint64_t line, const std::string& receptor)
{
    return "line " + std::to_string(line) + " of '" + printable(file) + "' " + receptor;
}

}  // namespace

// Inputs are read in step, so every input has read as many lines, header lines
// included, as the one whose position is described.
void ReceptorCheck::note_difference(const MergeJob& job, const PlotLine* lines, int input)
{
    ++differing_;
    if (first_) return;
    const int last = job.input_count - 1;
    const PlotFile& input_file = *job.inputs[input].file;
    const PlotFile& last_file = *job.inputs[last].file;
    first_ = Difference{{input_file.name(), input_file.lines_read(), receptor_text(lines[input])},
                        {last_file.name(), last_file.lines_read(), receptor_text(lines[last])}};
}

std::optional<std::string> ReceptorCheck::warning() const
{
    if (!first_) return std::nullopt;
    return "receptors differ at " + std::to_string(differing_) + " of " + std::to_string(positions_) +
           " data lines; first at " + describe(first_->input.file, first_->input.line, first_->input.receptor) +
           " against " + describe(first_->last.file, first_->last.line, first_->last.receptor);
}
