#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.hpp"
#include "plot/plot_line.hpp"
#include "plot/plot_record.hpp"
#include "run_failure.hpp"

// An open plot file, read line by line or written through a large buffer.
// Inputs and outputs are the same kind of object; they differ only in use.
// While open, its identity (device and inode, or their Windows counterparts)
// keeps the same file from being opened a second time in this run.
class PlotFile {
public:
    PlotFile(platform::OpenedFile opened, std::string name);
    PlotFile(PlotFile&& other) noexcept;
    PlotFile& operator=(PlotFile&&) = delete;
    PlotFile(const PlotFile&) = delete;
    PlotFile& operator=(const PlotFile&) = delete;

    // Writes out what is buffered and closes, ignoring failures: used only
    // when the run is already stopping.
    ~PlotFile();

    // Writes out what is buffered and closes; a refused write or close is a failure.
    void close();

    const std::string& name() const { return name_; }
    std::uint64_t lines_read() const { return lines_read_; }
    bool starts_with_byte_order_mark() const { return starts_with_byte_order_mark_; }

    // Lines whose part past the width read holds a CR that no LF directly
    // follows, and the first of them: the file may end its lines with CR alone.
    std::uint64_t lone_carriage_return_lines() const { return lone_carriage_return_lines_; }
    std::uint64_t first_lone_carriage_return_line() const { return first_lone_carriage_return_line_; }

    // Reads the first width bytes of the next line into line, blank-padded;
    // false at end of file. A CR within those bytes ends the line.
    bool read_line(char* line, std::size_t width);

    // Whether the next line is a header line, without reading it; false at end of file.
    bool next_line_is_header();

    // Appends bytes, one or more whole lines, to the output. The first line
    // written goes out at once and cuts the file just after it, so nothing the
    // file held before remains. A refused write leaves the file holding only
    // the whole lines that reached it.
    void write(const char* bytes, std::size_t count);

private:
    bool fill();
    bool ensure_available(std::size_t count);
    void skip_past_line_end();
    void flush();
    void write_through(const char* bytes, std::size_t count);
    std::optional<platform::SystemError> truncate_to(std::uint64_t length);
    void forget() noexcept;
    std::string access_cause(platform::Access other_way, std::string_view plain_cause, platform::SystemError error) const;

    platform::OpenedFile file_;
    std::string name_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;  // reading: first unread byte
    std::size_t end_ = 0;    // reading: end of the bytes read; writing: end of the pending bytes
    bool at_end_of_file_ = false;
    bool cut_done_ = false;
    std::uint64_t lines_read_ = 0;
    bool starts_with_byte_order_mark_ = false;
    std::uint64_t lone_carriage_return_lines_ = 0;
    std::uint64_t first_lone_carriage_return_line_ = 0;
    std::uint64_t bytes_written_ = 0;
};

// Open a plot file by name (trailing blanks removed, leading blanks kept):
// read-write without truncation, created when absent; else read-only; else
// write-only, created when absent. The same file is never open twice in a run,
// the files behind standard input, output and error included.
PlotFile open_plot_input(std::string_view name);
PlotFile open_plot_output(std::string_view name);

// Open an existing file for reading only, under its name exactly as given.
// Nothing is created: a missing file is a failure. The same-file rule holds.
PlotFile open_existing_plot_file(std::string_view name);

// The next line of file, or false at end of file.
bool read_plot_line(PlotFile& file, PlotLine& line);

// A header line: the first LINE_WIDTH bytes of line and LF.
void write_plot_line(PlotFile& file, const char* line);
inline void write_plot_line(PlotFile& file, const PlotLine& line) { write_plot_line(file, line.data()); }

// A data line: the RECORD_WIDTH characters of format_plot_record and LF.
void write_plot_record(PlotFile& file, const PlotRecord& record);
// A data line already formatted, and LF.
void write_record_text(PlotFile& file, const std::array<char, RECORD_WIDTH>& text);
// A data line of width columns at text, and LF, which is put at text[width]:
// the buffer has room for one byte more than the line.
void write_data_line(PlotFile& file, char* text, std::size_t width);

// The failure for a data field of the line last read from file that is not a number.
RunFailure field_failure(const PlotFile& file, const FieldFault& fault);
