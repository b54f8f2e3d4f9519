#include "plot/header_phase.hpp"

#include <algorithm>
#include <utility>

#include "diagnostics.hpp"
#include "plot/blanks.hpp"
#include "plot/format_list.hpp"
#include "run_failure.hpp"

namespace {

constexpr const char* kStep = "reading the layout of";

}  // namespace

std::optional<std::string_view> format_text_of(const char* header_line, std::size_t width)
{
    const std::optional<std::string_view> text = format_line_text(std::string_view(header_line, std::min(width, LINE_WIDTH)));
    if (!text) return std::nullopt;
    const auto begin = static_cast<std::size_t>(text->data() - header_line);
    return std::string_view(header_line + begin, width - begin);
}

std::size_t HeaderPhase::next_line_width(PlotReader& input)
{
    if (layout_known()) {
        if (!wide_run()) return LINE_WIDTH;
        return input.next_line_is_header() ? MAX_LAYOUT_WIDTH : data_line_width();
    }
    // Before the FORMAT line: its own line is read whole.
    const std::string_view ahead = input.peek_line(LINE_WIDTH);
    if (ahead.empty() || !is_header_line(ahead.data())) return LINE_WIDTH;
    return format_line_text(ahead) ? MAX_LAYOUT_WIDTH : LINE_WIDTH;
}

bool HeaderPhase::take_line(const PlotReader& input, const char* line, std::size_t width)
{
    if (!is_header_line(line)) {
        if (!data_reached_) settle(input, line, width);
        data_reached_ = true;
        return false;
    }
    if (!layout_known()) {
        if (const auto text = format_text_of(line, width)) take_format_line(input, *text, width);
    }
    return true;
}

// Input 1's first FORMAT line: a layout that can be merged, or the end of the run.
void HeaderPhase::take_format_line(const PlotReader& input, std::string_view text, std::size_t width)
{
    LayoutReading reading = read_format_text(text, width);
    if (!reading.layout) {
        throw RunFailure(kStep, input.name(),
                         "line " + std::to_string(input.lines_read()) + " is a FORMAT line that cannot be merged: " +
                             reading.problem);
    }
    declared_ = FormatLine{*reading.layout, printable(trimmed(text)), input.lines_read()};
}

// The first data line: the layout cut at its colon, which must still hold a value field.
void HeaderPhase::settle(const PlotReader& input, const char* line, std::size_t width)
{
    if (!declared_ || declared_->layout.colons().empty()) return;
    std::size_t column = 0;
    PlotLayout cut = declared_->layout.cut_at_colon(line, width, &column);
    if (cut.field_count() < declared_->layout.field_count()) cut_column_ = column;
    if (cut.field_count() < 2 || cut.value_fields().empty()) {
        throw RunFailure(kStep, input.name(),
                         "line " + std::to_string(input.lines_read()) +
                             ", the first data line, ends at a colon of the FORMAT list of line " +
                             std::to_string(declared_->line) + " before any value field");
    }
    settled_ = std::move(cut);
}

std::size_t HeaderPhase::header_width(const char* line, std::size_t width) const
{
    if (!wide_run()) return LINE_WIDTH;
    const std::string_view text(line, width);
    return std::max(LINE_WIDTH, text.find_last_not_of(' ') + 1);
}
