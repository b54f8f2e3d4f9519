#include "plot/header_phase.hpp"

#include <algorithm>
#include <utility>

#include "plot/blanks.hpp"
#include "plot/format_list.hpp"

namespace {

// The list of the FORMAT line that a header line of LINE_WIDTH bytes is, read,
// and the list as written; nothing when it is no FORMAT line.
std::optional<std::pair<LayoutReading, std::string>> read_format_line(const char* header_line)
{
    const std::optional<std::string_view> text = format_line_text(std::string_view(header_line, LINE_WIDTH));
    if (!text) return std::nullopt;
    return std::pair{read_format_text(*text), std::string(trimmed(*text))};
}

}  // namespace

std::optional<FormatLine> usable_format_line(const char* header_line, std::uint64_t line)
{
    auto format = read_format_line(header_line);
    if (!format || !format->first.layout) return std::nullopt;
    return FormatLine{std::move(*format->first.layout), std::move(format->second), line};
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
    auto format = read_format_line(line);
    if (!format) return true;
    LayoutReading& reading = format->first;
    if (reading.layout) {
        declared_ = FormatLine{std::move(*reading.layout), std::move(format->second), line_number};
    } else {
        unusable_ = UnusableFormat{line_number, std::move(reading.problem)};
    }
    return true;
}

std::size_t HeaderPhase::data_line_width() const { return std::max(LINE_WIDTH, layout().width()); }
