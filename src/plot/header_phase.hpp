#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "plot/data_line.hpp"
#include "plot/layout.hpp"
#include "plot/plot_reader.hpp"

// A FORMAT header line that declares a layout plotmerge merges: the layout
// as declared, the list as written and the line it stands on.
struct FormatLine {
    PlotLayout layout;
    std::string list;
    std::uint64_t line = 0;
};

// The text after "FORMAT:" of a header line of width bytes read, when it is a
// FORMAT line: after its asterisk and any blanks, within its first LINE_WIDTH
// columns, it begins with "FORMAT:".
std::optional<std::string_view> format_text_of(const char* header_line, std::size_t width);

// Input 1's lines from the first to its first data line, which tell how the
// data lines of every input are laid out. The first FORMAT line among its
// header lines declares the layout, and must declare one that can be merged;
// without one the data lines are in the standard layout. A colon in the list
// ends the layout where input 1's first data line holds nothing more.
//
// It also tells how wide each line is read and each header line written: in
// a run of the standard layout every line 120 columns, as are the lines before
// input 1's FORMAT line; that line (read at up to MAX_LAYOUT_WIDTH columns, so
// that its whole list is seen) and every header line after it, in a run of
// another layout, as wide as their text; data lines as wide as the layout,
// or as the layout declared when a colon cut it.
class HeaderPhase {
public:
    // How many bytes to read of the next line of every input, told by input
    // 1's next line, which it looks at.
    std::size_t next_line_width(PlotReader& input);

    // A line of input 1 just read at width bytes: true when it is a header
    // line; false for a data line, the first of which settles the layout. The
    // run stops (RunFailure) at a FORMAT line that cannot be merged, and at a
    // first data line that cuts the layout to one without a value field.
    bool take_line(const PlotReader& input, const char* line, std::size_t width);

    // How many bytes of a header line of input 1, read at width, are written.
    std::size_t header_width(const char* line, std::size_t width) const;

    // Whether input 1's layout is known: its FORMAT line is met, or its first data line.
    bool layout_known() const { return declared_ || data_reached_; }

    // The layout as declared, before a colon cuts it: what other inputs must declare.
    const PlotLayout& declared_layout() const { return declared_ ? declared_->layout : STANDARD_LAYOUT; }

    // The layout of the data lines: once the first data line is read, as cut at its colon.
    const PlotLayout& layout() const { return settled_ ? *settled_ : declared_layout(); }
    bool is_standard() const { return layout() == STANDARD_LAYOUT; }

    // The column offset where a colon cut fields off the declared layout at
    // input 1's first data line; nothing when none did.
    const std::optional<std::size_t>& cut_column() const { return cut_column_; }

    // The FORMAT line, when input 1 has one.
    const std::optional<FormatLine>& declared() const { return declared_; }

    // Calls act with the parser and the writer of the data lines.
    template <class Act>
    decltype(auto) with_data_line_code(Act&& act) const
    {
        return ::with_data_line_code(layout(), std::forward<Act>(act));
    }

private:
    bool wide_run() const { return declared_ && !(declared_->layout == STANDARD_LAYOUT); }
    // Data lines are read as wide as the layout, or as the declared one when a
    // colon cut fields off it, so that what stands in them can be told.
    std::size_t data_line_width() const
    {
        return std::max(LINE_WIDTH, (cut_column_ ? declared_layout() : layout()).width());
    }
    void take_format_line(const PlotReader& input, std::string_view text, std::size_t width);
    void settle(const PlotReader& input, const char* line, std::size_t width);

    std::optional<FormatLine> declared_;
    std::optional<PlotLayout> settled_;
    std::optional<std::size_t> cut_column_;
    bool data_reached_ = false;
};
