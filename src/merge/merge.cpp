#include "merge/merge.hpp"

#include <cfloat>

#include "merge/receptor_check.hpp"
#include "plot/plot_file.hpp"
#include "plot/plot_record.hpp"
#include "run_failure.hpp"

// Every step is rounded to single precision before the next; arithmetic
// carried out in a wider format (x87) would round twice and change results.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in single precision");

float combine_values(const float* scaled, int count, CombineMode mode)
{
    float sum = scaled[0];
    for (int i = 1; i < count; ++i) sum = sum + scaled[i];
    // A true division: multiplying by a rounded reciprocal of 3 changes last digits.
    if (mode == CombineMode::Average && count > 1) return sum / static_cast<float>(count);
    return sum;
}

namespace {

// The last input's line does not parse; an earlier input's fault, in input
// order, is the one to report.
[[noreturn]] void throw_first_failure(MergeJob& job, const std::array<PlotLine, MAX_INPUTS>& lines,
                                      const FieldFault& last_fault)
{
    const int count = job.input_count;
    for (int i = 0; i + 1 < count; ++i) {
        float value = 0.0f;
        if (const auto fault = parse_plot_value(lines[i], value)) throw field_failure(*job.inputs[i].file, *fault);
    }
    throw field_failure(*job.inputs[count - 1].file, last_fault);
}

void merge_positions(MergeJob& job, ReceptorCheck& receptors)
{
    const int count = job.input_count;
    PlotFile& output = *job.output_file;
    PlotFile* risk = job.risk_requested ? &*job.risk_file : nullptr;
    std::array<PlotLine, MAX_INPUTS> lines;
    PlotRecord record;
    float scaled[MAX_INPUTS];

    for (;;) {
        for (int i = 0; i < count; ++i) {
            if (!read_plot_line(*job.inputs[i].file, lines[i])) return;
        }
        if (is_header_line(lines[0])) {
            write_plot_line(output, lines[0]);
            if (risk != nullptr) write_plot_line(*risk, lines[0]);
            continue;
        }
        // The carried fields come from the last input, read first; the others
        // are only checked, and their receptors compared with its receptor.
        InputSlot& last = job.inputs[count - 1];
        if (const auto fault = parse_plot_record(lines[count - 1], record)) throw_first_failure(job, lines, *fault);
        scaled[count - 1] = last.scale * record.value;
        int first_differing = -1;
        for (int i = 0; i + 1 < count; ++i) {
            InputSlot& input = job.inputs[i];
            float value = 0.0f;
            bool same_receptor = true;
            if (const auto fault = parse_plot_value(lines[i], lines[count - 1], record, value, same_receptor)) {
                throw field_failure(*input.file, *fault);
            }
            if (!same_receptor && first_differing < 0) first_differing = i;
            scaled[i] = input.scale * value;
        }
        const float combined = combine_values(scaled, count, job.mode);
        record.value = combined;
        // The risk line differs from the combined line in its value field only.
        std::array<char, RECORD_WIDTH> text = format_plot_record(record);
        write_record_text(output, text);
        if (risk != nullptr) {
            format_record_value(RISK_FACTOR * combined, text);
            write_record_text(*risk, text);
        }
        receptors.count_position(job, lines.data(), first_differing);
    }
}

void warn_about(const ReceptorCheck& receptors)
{
    if (const auto warning = receptors.warning()) warn(*warning);
}

}  // namespace

// A failure's diagnostic stays the last line on standard error, after the
// warning for the positions merged before it.
void run_merge(MergeJob& job)
{
    ReceptorCheck receptors;
    try {
        merge_positions(job, receptors);
    } catch (...) {
        warn_about(receptors);
        throw;
    }
    warn_about(receptors);
}
