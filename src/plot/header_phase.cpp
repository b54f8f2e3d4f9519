#include "plot/header_phase.hpp"

#include <algorithm>

#include "plot/blanks.hpp"

std::optional<FormatLine> usable_format_line(const char* header_line, std::uint64_t line)
{
    const std::optional<std::string_view> text = format_line_text(std::string_view(header_line, LINE_WIDTH));
    if (!text) return std::nullopt;
    LayoutReading reading = read_format_text(*text);
    if (!reading.layout) return std::nullopt;
    return FormatLine{std::move(*reading.layout), std::string(trimmed(*text)), line};
}

std::size_t HeaderPhase::next_line_width(PlotReader& input) const
{
    const std::size_t wide = data_line_width();
    return wide > LINE_WIDTH && !input.next_line_is_header() ? wide : LINE_WIDTH;
}

bool HeaderPhase::take_line(const char* line, std::uint64_t line_number)
{
    if (!is_header_line(line)) {
        data_reached_ = true;
        return false;
    }
    if (declared_ || unusable_) return true;
    const std::optional<std::string_view> text = format_line_text(std::string_view(line, LINE_WIDTH));
    if (!text) return true;
    LayoutReading reading = read_format_text(*text);
    if (reading.layout) {
        declared_ = FormatLine{std::move(*reading.layout), std::string(trimmed(*text)), line_number};
    } else {
        unusable_ = UnusableFormat{line_number, std::move(reading.problem)};
    }
    return true;
}

std::size_t HeaderPhase::data_line_width() const { return std::max(LINE_WIDTH, layout().width()); }
