#include "plot/plot_writer.hpp"

#include <cstring>
#include <utility>

#include "run_failure.hpp"

namespace {

// Large enough that writing costs a handful of system calls per megabyte.
constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

PlotWriter::PlotWriter(OpenedPlotFile file) : file_(std::move(file)) {}

PlotWriter::~PlotWriter()
{
    if (!file_.is_open()) return;
    try {
        flush();
    } catch (const RunFailure&) {
        // The run is stopping on an earlier failure, which is the one reported.
    }
}

void PlotWriter::close()
{
    if (!file_.is_open()) return;
    flush();
    if (const auto error = file_.close()) throw RunFailure::from_system("closing", name(), *error);
}

void PlotWriter::write(const char* bytes, std::size_t count)
{
    if (!cut_done_) {
        write_through(bytes, count);
        if (file_.regular()) {
            if (const auto error = truncate_to(bytes_written_)) {
                throw RunFailure("writing", name(),
                                 "cutting off the older content after the first line failed: " +
                                     platform::error_text(*error));
            }
        }
        cut_done_ = true;
        return;
    }
    if (pending_ + count > kBufferSize) flush();
    // Lines that fill the buffer by themselves go out as they are.
    if (count > kBufferSize) return write_through(bytes, count);
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    std::memcpy(buffer_.get() + pending_, bytes, count);
    pending_ += count;
}

void PlotWriter::flush()
{
    if (pending_ == 0) return;
    const std::size_t pending = std::exchange(pending_, 0);  // a failed write is not tried again at closing
    write_through(buffer_.get(), pending);
}

// bytes holds whole lines, and the file ends at a line end before they go out.
// When the write fails after part of them reached the file (a full disk, the
// file size limit), the file is cut back to the end of the last whole line
// that reached it: a line written only in part is not a line, and a program
// reading the file by columns would take a cut field for a smaller number.
void PlotWriter::write_through(const char* bytes, std::size_t count)
{
    const std::uint64_t start = bytes_written_;
    std::size_t done = 0;
    const auto error = platform::write_all(file_.handle(), bytes, count, done);
    bytes_written_ += done;
    if (!error) return;
    // Saying that the open rule fell back to reading only is plainer than the
    // system's "Bad file descriptor" or "Access is denied".
    std::string cause = file_.access() == platform::Access::ReadOnly ? "the file could only be opened for reading"
                                                                     : platform::error_text(*error);
    if (done > 0 && file_.regular()) {
        const std::size_t line_feed = std::string_view(bytes, done).rfind('\n');
        const std::size_t whole = line_feed == std::string_view::npos ? 0 : line_feed + 1;
        if (const auto cut_error = truncate_to(start + whole)) {
            cause += ", and cutting the file back to its last whole line failed: ";
            cause += platform::error_text(*cut_error);
        }
    }
    throw RunFailure("writing", name(), cause);
}

std::optional<platform::SystemError> PlotWriter::truncate_to(std::uint64_t length)
{
    if (const auto error = platform::cut_file(file_.handle(), length)) return error;
    bytes_written_ = length;
    return std::nullopt;
}

PlotWriter open_plot_output(std::string_view name, OpenFiles& open_files)
{
    return PlotWriter(open_by_rule(name, platform::Use::Output, open_files));
}

void write_header_line(PlotWriter& file, const char* line, std::size_t width)
{
    char text[MAX_LAYOUT_WIDTH + 1];
    std::memcpy(text, line, width);
    text[width] = '\n';
    file.write(text, width + 1);
}

void write_data_line(PlotWriter& file, char* text, std::size_t width)
{
    text[width] = '\n';
    file.write(text, width + 1);
}
