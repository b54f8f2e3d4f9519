#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plot/layout.hpp"
#include "plot/plot_reader.hpp"

// A FORMAT header line that declares a layout plotmerge reads, and its list as written.
struct FormatLine {
    PlotLayout layout;
    std::string list;
};

// The FORMAT line a header line is, when it declares a usable layout.
std::optional<FormatLine> usable_format_line(const char* header_line);

// The layout a plot file declares: the first FORMAT line among the header
// lines before its first data line. Without one, or when its list declares
// nothing plotmerge reads, the data lines are in the standard layout.
class LayoutDeclaration {
public:
    // A header line of the file read before its first data line, its line
    // number counted from 1; only the first FORMAT line counts.
    void look_at_header_line(const char* line, std::uint64_t line_number);

    // Whether the FORMAT line has been met, usable or not.
    bool found() const { return line_number_ != 0; }

    // The layout of the data lines.
    const PlotLayout& layout() const { return declared_ ? declared_->layout : today_layout(); }

    // The standard layout, declared as such or by default.
    bool is_standard() const { return !declared_ || declared_->layout == today_layout(); }

    // The declared FORMAT line, when it is usable.
    const std::optional<FormatLine>& declared() const { return declared_; }
    std::uint64_t line_number() const { return line_number_; }

    // How many bytes of a line are read from the first data line on.
    std::size_t data_line_width() const;

    // How many bytes of the file's next line to read while its first data
    // line has not been read: LINE_WIDTH for a header line, data_line_width()
    // for the first data line, told by the first byte of the line ahead.
    std::size_t line_width_before_data(PlotReader& file) const;

    // The warning about a FORMAT line that declares nothing plotmerge reads,
    // after "<program>: warning: "; file_name is the file's name.
    std::optional<std::string> warning(std::string_view file_name) const;

private:
    std::uint64_t line_number_ = 0;
    std::optional<FormatLine> declared_;
    std::string problem_;
};
