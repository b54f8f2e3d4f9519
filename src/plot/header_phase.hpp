#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "plot/data_line.hpp"
#include "plot/layout.hpp"
#include "plot/plot_reader.hpp"

// A FORMAT header line that declares a layout plotmerge reads: the layout,
// the list as written and the line it stands on.
struct FormatLine {
    PlotLayout layout;
    std::string list;
    std::uint64_t line = 0;
};

// The FORMAT line that a header line of LINE_WIDTH bytes is, numbered line,
// when it declares a usable layout.
std::optional<FormatLine> usable_format_line(const char* header_line, std::uint64_t line);

// A FORMAT line whose list declares nothing plotmerge reads, and why.
struct UnusableFormat {
    std::uint64_t line = 0;
    std::string problem;
};

// Input 1's lines from the first to its first data line, which tell how the
// data lines of every input are laid out: the first FORMAT line among its
// header lines declares the layout. Without one, or when its list declares
// nothing plotmerge reads, the data lines are in the standard layout.
class HeaderPhase {
public:
    // How many bytes of input 1's next line to read: LINE_WIDTH for a header
    // line; the first data line as wide as the layout's data lines, told by
    // the first byte of the line ahead.
    std::size_t next_line_width(PlotReader& input) const;

    // A line of input 1 that the phase has read, its line number from 1: true
    // when it is a header line, which is looked at for the FORMAT line; false
    // for the first data line, which ends the phase.
    bool take_line(const char* line, std::uint64_t line_number);

    // Whether the layout is settled: the FORMAT line is met, usable or not, or the first data line.
    bool layout_known() const { return declared_ || unusable_ || data_reached_; }

    const PlotLayout& layout() const { return declared_ ? declared_->layout : STANDARD_LAYOUT; }
    bool is_standard() const { return layout() == STANDARD_LAYOUT; }

    // How many bytes of a line are read from the first data line on.
    std::size_t data_line_width() const;

    // The FORMAT line, when it declares a usable layout.
    const std::optional<FormatLine>& declared() const { return declared_; }
    // The FORMAT line, when it declares nothing plotmerge reads.
    const std::optional<UnusableFormat>& unusable() const { return unusable_; }

    // Calls act with the parser and the writer of the data lines.
    template <class Act>
    decltype(auto) with_data_line_code(Act&& act) const
    {
        return ::with_data_line_code(layout(), std::forward<Act>(act));
    }

private:
    std::optional<FormatLine> declared_;
    std::optional<UnusableFormat> unusable_;
    bool data_reached_ = false;
};
