#include "plot/layout_declaration.hpp"

#include <algorithm>

#include "diagnostics.hpp"
#include "plot/plot_line.hpp"

namespace {

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

}  // namespace

std::optional<FormatLine> usable_format_line(const char* header_line)
{
    const std::optional<std::string_view> text = format_line_text(std::string_view(header_line, LINE_WIDTH));
    if (!text) return std::nullopt;
    LayoutReading reading = read_format_text(*text);
    if (!reading.layout) return std::nullopt;
    return FormatLine{std::move(*reading.layout), std::string(trimmed(*text))};
}

void LayoutDeclaration::look_at_header_line(const char* line, std::uint64_t line_number)
{
    if (found()) return;
    const std::optional<std::string_view> text = format_line_text(std::string_view(line, LINE_WIDTH));
    if (!text) return;
    line_number_ = line_number;
    LayoutReading reading = read_format_text(*text);
    if (reading.layout) {
        declared_ = FormatLine{std::move(*reading.layout), std::string(trimmed(*text))};
    } else {
        problem_ = reading.problem;
    }
}

std::size_t LayoutDeclaration::data_line_width() const { return std::max(LINE_WIDTH, layout().width()); }

std::size_t LayoutDeclaration::line_width_before_data(PlotReader& file) const
{
    const std::size_t wide = data_line_width();
    return wide > LINE_WIDTH && !file.next_line_is_header() ? wide : LINE_WIDTH;
}

std::optional<std::string> LayoutDeclaration::warning(std::string_view file_name) const
{
    if (problem_.empty()) return std::nullopt;
    return "line " + std::to_string(line_number_) + " of '" + printable(file_name) +
           "' is a FORMAT line whose list cannot be used (" + problem_ +
           "); the data lines are read in the standard layout, " + std::string(TODAY_LAYOUT_LIST);
}
