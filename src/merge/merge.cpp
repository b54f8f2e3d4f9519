#include "merge/merge.hpp"

#include <array>
#include <cfloat>
#include <utility>

#include "diagnostics.hpp"
#include "merge/merge_warnings.hpp"
#include "plot/data_lines.hpp"
#include "plot/layout_declaration.hpp"
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

// One merge: the lines of the current position, one per input, and what the
// end of the run reports.
class Merge {
public:
    explicit Merge(MergeJob& job) : job_(job), count_(job.input_count) {}

    // Header lines until input 1's first data line, whose FORMAT line tells
    // the layout; then every data line in that layout.
    void run()
    {
        for (;;) {
            if (!read_position(declaration_.line_width_before_data(input(0)))) return;
            if (!is_header_line(line(0))) break;
            declaration_.look_at_header_line(line(0), input(0).lines_read());
            write_header_position();
        }
        if (declaration_.is_standard()) {
            StandardDataLines data;
            merge_from_first_data_line(data);
        } else {
            DeclaredDataLines data(declaration_.layout());
            merge_from_first_data_line(data);
        }
    }

    // The warnings of the run, also when it stopped on a failure.
    void warn_at_end()
    {
        warnings_.layout = declaration_.warning(input(0).name());
        for (int i = 0; i < count_; ++i) {
            const PlotReader& file = input(i);
            warnings_.lone_carriage_returns.add(file.lone_carriage_return_lines(),
                                                {file.name(), file.first_lone_carriage_return_line()});
        }
        for (const std::string& text : warnings_.texts()) warn(text);
    }

private:
    PlotReader& input(int i) const { return *job_.inputs[i].file; }
    const char* line(int i) const { return lines_[i].data(); }

    // One line of each input, in input order; false when one has none left,
    // the lines read before it at this position being dropped.
    bool read_position(std::size_t width)
    {
        for (int i = 0; i < count_; ++i) {
            if (!input(i).read_line(lines_[i].data(), width)) return false;
        }
        return true;
    }

    void write_header_position()
    {
        check_layouts_agree();
        write_plot_line(*job_.output_file, line(0));
        if (job_.risk_requested) write_plot_line(*job_.risk_file, line(0));
        ++lines_written_;
    }

    template <class DataLines>
    void merge_from_first_data_line(DataLines& data)
    {
        data_reached_ = true;
        compare_earlier_layouts();
        const std::size_t width = declaration_.data_line_width();
        do {
            if (is_header_line(line(0))) {
                write_header_position();
                warnings_.header_lines_among_data.count([&] { return here(0); });
            } else {
                merge_data_position(data, width);
            }
        } while (read_position(width));
    }

    template <class DataLines>
    void merge_data_position(DataLines& data, std::size_t width);
    template <class DataLines>
    void note_warnings_of_position(const DataLines& data, const Receptor* receptors, std::size_t width,
                                   std::size_t zeros, std::size_t risk_zeros);

    FilePlace here(int i) const { return {input(i).name(), input(i).lines_read()}; }
    FilePlace written(const std::optional<PlotWriter>& output) const { return {output->name(), lines_written_}; }

    void check_layouts_agree();
    void compare_earlier_layouts();
    // Input 1's layout is known from its FORMAT line, or without one from its first data line.
    bool layout_known() const { return declaration_.found() || data_reached_; }
    void compare_layout(int i, const FormatLine& other, std::uint64_t line_number);

    struct EarlierFormat {
        FormatLine format;
        std::uint64_t line;
    };

    MergeJob& job_;
    const int count_;
    std::array<std::array<char, MAX_LAYOUT_WIDTH>, MAX_INPUTS> lines_;
    LayoutDeclaration declaration_;
    // Per input after the first: a usable FORMAT line met at a header
    // position of input 1 before input 1's layout is known.
    std::array<std::optional<EarlierFormat>, MAX_INPUTS> earlier_formats_;
    bool data_reached_ = false;
    std::uint64_t lines_written_ = 0;  // to each output, which get the same lines
    MergeWarnings warnings_;
};

static_assert(MAX_LAYOUT_WIDTH >= LINE_WIDTH, "a line buffer holds a line of either width");

// Every input's line is read in input order, so the first field that does
// not convert, in input order, stops the run; the last input's line gives the
// fields carried into the lines written.
template <class DataLines>
void Merge::merge_data_position(DataLines& data, std::size_t width)
{
    const int last = count_ - 1;
    float values[MAX_INPUTS][MAX_VALUE_FIELDS];
    Receptor receptors[MAX_INPUTS];
    for (int i = 0; i < last; ++i) {
        if (const auto fault = data.read_values(line(i), receptors[i], values[i])) throw field_failure(input(i), *fault);
    }
    if (const auto fault = data.read_carried(line(last), receptors[last], values[last])) {
        throw field_failure(input(last), *fault);
    }

    float combined[MAX_VALUE_FIELDS];
    for (std::size_t k = 0; k < data.value_count(); ++k) {
        float scaled[MAX_INPUTS]{};
        for (int i = 0; i < count_; ++i) scaled[i] = job_.inputs[i].scale * values[i][k];
        combined[k] = combine_values(scaled, count_, job_.mode);
    }
    char text[MAX_LAYOUT_WIDTH + 1];
    const std::size_t zeros = data.format(combined, text);
    write_data_line(*job_.output_file, text, data.width());
    std::size_t risk_zeros = 0;
    if (job_.risk_requested) {
        // The risk line differs from the combined line in its value fields only.
        for (std::size_t k = 0; k < data.value_count(); ++k) combined[k] = RISK_FACTOR * combined[k];
        risk_zeros = data.format_values(combined, text);
        write_data_line(*job_.risk_file, text, data.width());
    }
    ++lines_written_;
    note_warnings_of_position(data, receptors, width, zeros, risk_zeros);
}

template <class DataLines>
void Merge::note_warnings_of_position(const DataLines& data, const Receptor* receptors, std::size_t width,
                                      std::size_t zeros, std::size_t risk_zeros)
{
    const int last = count_ - 1;
    // A blank line reads as receptor (0, 0): only such lines are looked at again.
    for (int i = 0; i < count_; ++i) {
        if (receptors[i].x != 0.0f || receptors[i].y != 0.0f) continue;
        if (holds_nothing_but_blanks(line(i), width)) warnings_.blank_data_lines.count([&] { return here(i); });
    }
    for (std::size_t k = 0; k < zeros; ++k) warnings_.zeros_in_output.count([&] { return written(job_.output_file); });
    for (std::size_t k = 0; k < risk_zeros; ++k) warnings_.zeros_in_risk.count([&] { return written(job_.risk_file); });

    int differing = 0;
    while (differing < last && same_receptor(receptors[differing], receptors[last])) ++differing;
    warnings_.receptors.count_position(differing < last);
    if (differing < last && warnings_.receptors.wants_first_difference()) {
        // Inputs are read in step, so each has read as many lines as the other.
        warnings_.receptors.note_first_difference(
            {input(differing).name(), input(differing).lines_read(), data.receptor_text(line(differing))},
            {input(last).name(), input(last).lines_read(), data.receptor_text(line(last))});
    }
}

// At a header position of input 1: other inputs must not declare another
// layout than the one input 1's data lines are read in. Until that is known
// (input 1's FORMAT line, or its first data line) each other input's first
// usable FORMAT line is kept, to be compared then.
void Merge::check_layouts_agree()
{
    if (layout_known()) compare_earlier_layouts();
    for (int i = 1; i < count_; ++i) {
        std::optional<FormatLine> here = is_header_line(line(i)) ? usable_format_line(line(i)) : std::nullopt;
        if (!here) continue;
        if (layout_known()) {
            compare_layout(i, *here, input(i).lines_read());
        } else if (!earlier_formats_[i]) {
            earlier_formats_[i] = EarlierFormat{std::move(*here), input(i).lines_read()};
        }
    }
}

void Merge::compare_earlier_layouts()
{
    for (int i = 1; i < count_; ++i) {
        const std::optional<EarlierFormat> earlier = std::exchange(earlier_formats_[i], std::nullopt);
        if (earlier) compare_layout(i, earlier->format, earlier->line);
    }
}

// Another layout than a declared one stops the run: the inputs' fields stand
// in other columns. Against the standard layout, the other input's data lines
// are read in the standard layout all the same, which draws a warning.
void Merge::compare_layout(int i, const FormatLine& other, std::uint64_t line_number)
{
    if (other.layout == declaration_.layout()) return;
    if (declaration_.is_standard()) {
        warnings_.other_layouts.count([&] { return FilePlace{input(i).name(), line_number}; });
        return;
    }
    throw RunFailure("comparing the layouts of", input(i).name(),
                     "line " + std::to_string(line_number) + " declares FORMAT: " + other.list + ", but line " +
                         std::to_string(declaration_.line_number()) + " of '" + printable(input(0).name()) +
                         "' declares FORMAT: " + declaration_.declared()->list +
                         "; plotmerge merges files of one layout only");
}

}  // namespace

// A failure's diagnostic stays the last line on standard error, after the
// warnings for the positions merged before it.
void run_merge(MergeJob& job)
{
    Merge merge(job);
    try {
        merge.run();
    } catch (...) {
        merge.warn_at_end();
        throw;
    }
    merge.warn_at_end();
}
