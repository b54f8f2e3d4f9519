#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/input_buffer.hpp"
#include "plot/field_fault.hpp"
#include "plot/open_files.hpp"
#include "plot/plot_line.hpp"
#include "run_failure.hpp"

// Reads the lines of an opened plot file, one after another, through a
// buffer. A line ends at LF, or at a CR within the bytes read of it (taking
// an LF right after it along); bytes past those are skipped up to the LF.
class PlotReader {
public:
    explicit PlotReader(OpenedPlotFile file);

    // Reads the first width bytes of the next line into line, blank-padded;
    // false at end of file. A refused read is a failure.
    bool read_line(char* line, std::size_t width);

    // Whether the next line is a header line, without reading it; false at end of file.
    bool next_line_is_header();

    // The next line's first bytes, up to its line end (LF or CR) and at most
    // width of them, without reading it; valid until the next read.
    std::string_view peek_line(std::size_t width);

    // Whether another line follows, looked at without reading it: only in a
    // regular file, so that a pipe or a terminal is not waited for; false
    // for any other.
    bool has_line_ahead();

    // Whether no file had the name, so that opening it made it, empty.
    bool created() const { return file_.created(); }

    // Closes the file; a refused close is a failure.
    void close();

    const std::string& name() const { return file_.name(); }
    std::uint64_t lines_read() const { return lines_read_; }
    bool starts_with_byte_order_mark() const { return starts_with_byte_order_mark_; }

    // Lines whose part past the width read holds a CR that no LF directly
    // follows, and the first of them: the file may end its lines with CR alone.
    std::uint64_t lone_carriage_return_lines() const { return lone_carriage_return_lines_; }
    std::uint64_t first_lone_carriage_return_line() const { return first_lone_carriage_return_line_; }

private:
    bool read_more();
    bool ensure_available(std::size_t count);
    void skip_past_line_end();

    OpenedPlotFile file_;
    platform::InputBuffer input_;
    std::uint64_t lines_read_ = 0;
    bool starts_with_byte_order_mark_ = false;
    std::uint64_t lone_carriage_return_lines_ = 0;
    std::uint64_t first_lone_carriage_return_line_ = 0;
};

// An input of a merge, opened by the plot-file rule (see open_by_rule).
PlotReader open_plot_input(std::string_view name, OpenFiles& open_files);

// A file that must exist, opened for reading only under its name exactly as
// given; nothing is created.
PlotReader open_existing_plot_file(std::string_view name, OpenFiles& open_files);

// The failure for a data field of the line last read from file that is not a number.
RunFailure field_failure(const PlotReader& file, const FieldFault& fault);
