#include "merge/merge.hpp"

#include <array>
#include <cfloat>
#include <utility>

#include "diagnostics.hpp"
#include "plot/blanks.hpp"
#include "plot/header_phase.hpp"
#include "plot/layout_agreement.hpp"
#include "plot/standard_layout.hpp"
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

// One merge: the lines of the current position, one per input, input 1's
// header phase and what the end of the run reports.
class Merge {
public:
    Merge(MergeJob& job, MergeWarnings& warnings) : job_(job), warnings_(warnings), count_(job.input_count)
    {
        for (int i = 0; i < count_; ++i) warnings_.lone_carriage_returns.push_back({input(i).name()});
    }

    // Header lines until input 1's first data line, which settle the layout;
    // then every data line in that layout, until an input has no line left.
    void run()
    {
        merge_positions();
        note_end();
    }

    // What the inputs' readers counted, however the merge ended.
    void take_reader_counts() noexcept
    {
        for (int i = 0; i < count_; ++i) {
            warnings_.lone_carriage_returns[i].lines = input(i).lone_carriage_return_lines();
            warnings_.lone_carriage_returns[i].first_line = input(i).first_lone_carriage_return_line();
        }
    }

private:
    void merge_positions()
    {
        for (;;) {
            if (!read_position(header_.next_line_width(input(0)))) return;
            if (!header_.take_line(input(0), line(0), width_)) break;
            write_header_position();
        }
        answer(agreement_.settle(header_.declared_layout()));
        if (const auto& column = header_.cut_column()) warnings_.colon_column = *column + 1;
        header_.with_data_line_code([&](auto parser, auto writer) { merge_from_first_data_line(parser, writer); });
    }

    // The merge ended at an input that had no line left: the other inputs
    // that still had one, and a merge that wrote no data line.
    void note_end()
    {
        LinesLeft left{input(ended_).name(), input(ended_).lines_read(), {}};
        for (int i = 0; i < count_; ++i) {
            // The inputs before the one that ended have had their line read at this position.
            if (i < ended_ || (i > ended_ && input(i).has_line_ahead())) {
                left.others.count([&] { return FilePlace{input(i).name(), 0}; });
            }
        }
        if (left.others.count() != 0) warnings_.lines_left = std::move(left);
        if (data_lines_written_ == 0) warnings_.no_data_line = job_.output_file->name();
    }

    PlotReader& input(int i) const { return *job_.inputs[i].file; }
    const char* line(int i) const { return lines_[i].data(); }

    // One line of each input, in input order; false when one has none left,
    // the lines read before it at this position being dropped.
    bool read_position(std::size_t width)
    {
        width_ = width;
        for (int i = 0; i < count_; ++i) {
            if (!input(i).read_line(lines_[i].data(), width)) {
                ended_ = i;
                return false;
            }
        }
        return true;
    }

    void write_header_position()
    {
        check_other_layouts();
        const std::size_t width = header_.header_width(line(0), width_);
        write_header_line(*job_.output_file, line(0), width);
        if (job_.risk_requested) write_header_line(*job_.risk_file, line(0), width);
        ++lines_written_;
    }

    template <class Parser, class Writer>
    void merge_from_first_data_line(Parser& parser, const Writer& writer)
    {
        do {
            if (is_header_line(line(0))) {
                write_header_position();
                warnings_.header_lines_among_data.count([&] { return here(0); });
            } else {
                merge_data_position(parser, writer);
            }
        } while (read_position(header_.next_line_width(input(0))));
    }

    template <class Parser, class Writer>
    [[gnu::noinline]] void merge_data_position(Parser& parser, const Writer& writer);
    template <class Parser>
    void note_position(const Parser& parser);

    // How many values not zero are written as zero, and how many as asterisks, in a line written.
    template <class Writer>
    static std::pair<std::size_t, std::size_t> lost_values(const Writer& writer, const float* values, const char* text)
    {
        std::size_t zeros = 0;
        std::size_t asterisks = 0;
        for (std::size_t k = 0; k < writer.layout().value_fields().size(); ++k) {
            zeros += writer.writes_as_zero(k, values[k]);
            asterisks += writer.written_as_asterisks(k, text);
        }
        return {zeros, asterisks};
    }

    FilePlace here(int i) const { return {input(i).name(), input(i).lines_read()}; }
    FilePlace written(const std::optional<PlotWriter>& output) const { return {output->name(), lines_written_}; }

    // At a header position of input 1: the other inputs' FORMAT lines there,
    // against input 1's layout once it is known.
    void check_other_layouts()
    {
        if (header_.layout_known()) answer(agreement_.settle(header_.declared_layout()));
        for (int i = 1; i < count_; ++i) {
            if (!is_header_line(line(i))) continue;
            if (const auto text = format_text_of(line(i), width_)) {
                answer(agreement_.compare(i, input(i).lines_read(), *text, width_));
            }
        }
    }

    void answer(const std::optional<LayoutAgreement::Disagreement>& disagreement);

    MergeJob& job_;
    MergeWarnings& warnings_;
    const int count_;
    std::array<std::array<char, MAX_LAYOUT_WIDTH>, MAX_INPUTS> lines_;
    HeaderPhase header_;
    LayoutAgreement agreement_;
    std::array<FieldValue, MAX_LAYOUT_FIELDS> carried_;  // the last input's fields at the current position
    std::uint64_t lines_written_ = 0;  // to each output, which get the same lines
    std::uint64_t data_lines_written_ = 0;
    int ended_ = 0;  // the input that had no line left
    std::size_t width_ = 0;            // of the lines of the current position
};

static_assert(MAX_LAYOUT_WIDTH >= LINE_WIDTH, "a line buffer holds a line of either width");

// Every input's line is read in input order, so the first field that does
// not convert, in input order, stops the run; the last input's line gives the
// fields carried into the lines written.
template <class Parser, class Writer>
void Merge::merge_data_position(Parser& parser, const Writer& writer)
{
    const int last = count_ - 1;
    float values[MAX_INPUTS][MAX_VALUE_FIELDS];
    FieldValue* carried = carried_.data();
    for (int i = 0; i < count_; ++i) {
        if (const auto fault = parser.read_values(line(i), values[i], i == last ? carried : nullptr)) {
            throw field_failure(input(i), *fault);
        }
    }
    const auto value_fields = parser.layout().value_fields();

    float combined[MAX_VALUE_FIELDS];
    for (std::size_t k = 0; k < value_fields.size(); ++k) {
        float scaled[MAX_INPUTS]{};
        for (int i = 0; i < count_; ++i) scaled[i] = job_.inputs[i].scale * values[i][k];
        combined[k] = combine_values(scaled, count_, job_.mode);
    }
    char text[MAX_LAYOUT_WIDTH + 1];
    writer.write(carried, combined, line(last), text);
    write_data_line(*job_.output_file, text, writer.width());
    const auto [zeros, asterisks] = lost_values(writer, combined, text);
    std::pair<std::size_t, std::size_t> risk_lost{0, 0};
    if (job_.risk_requested) {
        // The risk line differs from the combined line in its value fields only.
        for (std::size_t k = 0; k < value_fields.size(); ++k) combined[k] = RISK_FACTOR * combined[k];
        writer.write_values(combined, text);
        write_data_line(*job_.risk_file, text, writer.width());
        risk_lost = lost_values(writer, combined, text);
    }
    ++lines_written_;
    ++data_lines_written_;
    const auto output_place = [&] { return written(job_.output_file); };
    const auto risk_place = [&] { return written(job_.risk_file); };
    for (std::size_t k = 0; k < zeros; ++k) warnings_.zeros_in_output.count(output_place);
    for (std::size_t k = 0; k < risk_lost.first; ++k) warnings_.zeros_in_risk.count(risk_place);
    for (std::size_t k = 0; k < asterisks; ++k) warnings_.asterisks_in_output.count(output_place);
    for (std::size_t k = 0; k < risk_lost.second; ++k) warnings_.asterisks_in_risk.count(risk_place);
    note_position(parser);
}

template <class Parser>
void Merge::note_position(const Parser& parser)
{
    const int last = count_ - 1;
    const std::optional<std::size_t>& cut = header_.cut_column();
    for (int i = 0; i < count_; ++i) {
        if (holds_nothing_but_blanks(line(i), width_)) warnings_.blank_data_lines.count([&] { return here(i); });
        if (cut && *cut < width_ &&
            std::string_view(line(i) + *cut, width_ - *cut).find_first_not_of(' ') != std::string_view::npos) {
            warnings_.text_past_colon.count([&] { return here(i); });
        }
    }
    int differing = 0;
    while (differing < last && parser.same_receptor(line(differing), line(last))) ++differing;
    warnings_.receptors.count_position(differing < last);
    if (differing < last && warnings_.receptors.wants_first_difference()) {
        // Inputs are read in step, so each has read as many lines as the other.
        const PlotLayout& layout = header_.layout();
        warnings_.receptors.note_first_difference(
            {input(differing).name(), input(differing).lines_read(), receptor_text(layout, line(differing))},
            {input(last).name(), input(last).lines_read(), receptor_text(layout, line(last))});
    }
}

// Another input whose FORMAT line declares another layout than input 1 is
// read in stops the run: the inputs' fields stand in other columns.
void Merge::answer(const std::optional<LayoutAgreement::Disagreement>& disagreement)
{
    if (!disagreement) return;
    std::string cause = "line " + std::to_string(disagreement->line) + " declares FORMAT: " + disagreement->list;
    if (!disagreement->problem.empty()) cause += " (" + disagreement->problem + ")";
    if (const auto& declared = header_.declared()) {
        cause += ", but " + line_of(declared->line, input(0).name()) + " declares FORMAT: " + declared->list;
    } else {
        cause += ", but " + quoted(input(0).name()) + " declares no layout and is read in the standard one, " +
                 std::string(STANDARD_LAYOUT_LIST);
    }
    throw RunFailure("comparing the layouts of", input(disagreement->input).name(),
                     cause + "; plotmerge merges files of one layout only");
}

}  // namespace

void run_merge(MergeJob& job, MergeWarnings& warnings)
{
    Merge merge(job, warnings);
    // The readers count their lone CRs; taken also when a failure ends the merge.
    struct TakeReaderCounts {
        Merge& merge;
        ~TakeReaderCounts() { merge.take_reader_counts(); }
    } take_reader_counts{merge};
    merge.run();
}
