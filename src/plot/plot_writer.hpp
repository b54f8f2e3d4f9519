#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "plot/open_files.hpp"
#include "plot/plot_line.hpp"

// Writes whole lines to an opened plot file through a buffer. The first line
// written goes out at once and cuts the file just after it, so nothing the
// file held before remains; a file that gets no line keeps what it held. A
// refused write leaves the file holding only the whole lines that reached it.
class PlotWriter {
public:
    explicit PlotWriter(OpenedPlotFile file);
    PlotWriter(PlotWriter&&) noexcept = default;
    PlotWriter& operator=(PlotWriter&&) = delete;

    // Writes out what is buffered, ignoring a refusal: only when the run is
    // already stopping on an earlier failure, which is the one reported.
    ~PlotWriter();

    // Appends bytes, one or more whole lines. A refused write is a failure.
    void write(const char* bytes, std::size_t count);

    // Writes out what is buffered and closes; a refused write or close is a failure.
    void close();

    const std::string& name() const { return file_.name(); }

private:
    void flush();
    void write_through(const char* bytes, std::size_t count);
    std::optional<platform::SystemError> truncate_to(std::uint64_t length);

    OpenedPlotFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pending_ = 0;  // bytes in the buffer
    bool cut_done_ = false;
    std::uint64_t bytes_written_ = 0;
};

// An output of a merge, opened by the plot-file rule (see open_by_rule).
PlotWriter open_plot_output(std::string_view name, OpenFiles& open_files);

// A header line: its first width bytes and LF.
void write_header_line(PlotWriter& file, const char* line, std::size_t width);

// A data line of width columns at text, and LF, which is put at text[width]:
// the buffer has room for one byte more than the line.
void write_data_line(PlotWriter& file, char* text, std::size_t width);
