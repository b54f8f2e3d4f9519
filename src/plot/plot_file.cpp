#include "plot/plot_file.hpp"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Large enough that reading and writing cost a handful of system calls per
// megabyte; every open file has at most one.
constexpr std::size_t kBufferSize = 256 * 1024;

struct OpenFile {
    platform::FileIdentity identity;
    std::string name;
};

// The plot files open in this run; a run is one process with one thread.
std::vector<OpenFile>& open_files()
{
    static std::vector<OpenFile> files;
    return files;
}

// The plot file of this run that already has this identity open, quoted, or empty.
std::string plot_file_holding(const platform::FileIdentity& identity)
{
    for (const OpenFile& file : open_files()) {
        if (file.identity.same_file_as(identity)) {
            std::string holder = "'";
            holder += printable(file.name);
            holder += '\'';
            return holder;
        }
    }
    return {};
}

// Who already holds the file with this identity, a standard stream or a plot
// file of this run, or empty when nobody does.
std::string holder_of(const platform::FileIdentity& identity)
{
    using platform::StandardStream;
    static constexpr std::pair<StandardStream, const char*> kStreams[] = {
        {StandardStream::Input, "standard input"},
        {StandardStream::Output, "standard output"},
        {StandardStream::Error, "standard error"},
    };
    for (const auto& [stream, stream_name] : kStreams) {
        if (platform::identity_of(stream).same_file_as(identity)) return stream_name;
    }
    return plot_file_holding(identity);
}

// The identity is that of the file actually opened, so a name that is
// replaced while the run looks at it cannot slip past the same-file rule.
PlotFile open_plot_file(std::string_view answered_name, platform::Use use)
{
    const std::size_t kept = answered_name.find_last_not_of(' ');
    const std::string name(answered_name.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
    if (name.find('\0') != std::string::npos) throw RunFailure("opening", name, "a file name cannot hold a NUL byte");

    platform::OpenedFile opened;
    if (const auto error = platform::open_by_rule(name, use, opened)) throw RunFailure::from_system("opening", name, *error);
    const std::string holder = holder_of(opened.identity);
    if (!holder.empty()) {
        platform::close_file(opened.handle);
        throw RunFailure("opening", name, "the same file is already open in this run as " + holder);
    }
    return PlotFile(opened, name);
}

// Read-only, and only a file that exists: nothing is created. Reading a file
// that a standard stream is also connected to harms neither (a pipe given as
// /dev/stdin is read so), so only the plot files of this run are refused.
PlotFile open_existing_file(const std::string& name)
{
    if (name.find('\0') != std::string::npos) throw RunFailure("opening", name, "a file name cannot hold a NUL byte");
    platform::OpenedFile opened;
    if (const auto error = platform::open_existing_for_reading(name, opened)) {
        throw RunFailure::from_system("opening", name, *error);
    }
    const std::string holder = plot_file_holding(opened.identity);
    if (!holder.empty()) {
        platform::close_file(opened.handle);
        throw RunFailure("opening", name, "the same file is already open in this run as " + holder);
    }
    return PlotFile(opened, name);
}

}  // namespace

PlotFile::PlotFile(platform::OpenedFile opened, std::string name) : file_(opened), name_(std::move(name))
{
    open_files().push_back({file_.identity, name_});
}

PlotFile::PlotFile(PlotFile&& other) noexcept
    : file_(std::exchange(other.file_, platform::OpenedFile())),
      name_(std::move(other.name_)),
      buffer_(std::move(other.buffer_)),
      begin_(other.begin_),
      end_(other.end_),
      at_end_of_file_(other.at_end_of_file_),
      cut_done_(other.cut_done_),
      lines_read_(other.lines_read_),
      starts_with_byte_order_mark_(other.starts_with_byte_order_mark_),
      lone_carriage_return_lines_(other.lone_carriage_return_lines_),
      first_lone_carriage_return_line_(other.first_lone_carriage_return_line_),
      bytes_written_(other.bytes_written_)
{
}

PlotFile::~PlotFile()
{
    if (!file_.handle.is_open()) return;
    try {
        flush();
    } catch (const RunFailure&) {
        // The run is stopping on an earlier failure, which is the one reported.
    }
    platform::close_file(file_.handle);
    forget();
}

void PlotFile::close()
{
    if (!file_.handle.is_open()) return;
    flush();
    const platform::FileHandle handle = std::exchange(file_.handle, platform::FileHandle());
    forget();
    if (const auto error = platform::close_file(handle)) throw RunFailure::from_system("closing", name_, *error);
}

void PlotFile::forget() noexcept
{
    auto& files = open_files();
    const auto entry = std::find_if(files.begin(), files.end(), [this](const OpenFile& file) {
        return file.identity == file_.identity && file.name == name_;
    });
    if (entry != files.end()) files.erase(entry);
}

bool PlotFile::fill()
{
    if (at_end_of_file_) return false;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    std::size_t count = 0;
    if (const auto error = platform::read_some(file_.handle, buffer_.get() + end_, kBufferSize - end_, count)) {
        throw RunFailure("reading", name_,
                         access_cause(platform::Access::WriteOnly, "the file could only be opened for writing", *error));
    }
    if (count == 0) {
        at_end_of_file_ = true;
        return false;
    }
    end_ += count;
    return true;
}

bool PlotFile::ensure_available(std::size_t count)
{
    while (end_ - begin_ < count && fill()) {
    }
    return end_ - begin_ >= count;
}

// Skips the rest of a line past its width, up to and including its LF, and
// notes whether the bytes skipped hold a CR that no LF directly follows: a
// file whose lines end with CR alone reads as one long line.
void PlotFile::skip_past_line_end()
{
    bool lone_carriage_return = false;
    bool ends_with_carriage_return = false;  // the last byte skipped so far
    do {
        const char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        if (ends_with_carriage_return && *start != '\n') lone_carriage_return = true;
        const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t skipped = line_feed != nullptr ? static_cast<std::size_t>(line_feed - start) : available;
        // A CR before the last byte skipped has another byte than LF after it.
        if (skipped > 1 && std::memchr(start, '\r', skipped - 1) != nullptr) lone_carriage_return = true;
        ends_with_carriage_return = skipped > 0 && start[skipped - 1] == '\r';
        if (line_feed != nullptr) {
            begin_ += skipped + 1;
            ends_with_carriage_return = false;
            break;
        }
        begin_ = end_;
    } while (fill());
    if (lone_carriage_return || ends_with_carriage_return) {
        if (lone_carriage_return_lines_++ == 0) first_lone_carriage_return_line_ = lines_read_;
    }
}

// A line ends at LF, or at a CR within its first width bytes (taking an LF
// right after it along). Bytes past width are skipped up to the LF.
bool PlotFile::read_line(char* line, std::size_t width)
{
    // One byte more than a line, so that an LF after a CR in its last column is seen.
    ensure_available(width + 1);
    const std::size_t available = end_ - begin_;
    if (available == 0) return false;
    ++lines_read_;

    const char* start = buffer_.get() + begin_;
    const std::size_t window = std::min(available, width);
    const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', window));
    const std::size_t before_line_feed = line_feed != nullptr ? static_cast<std::size_t>(line_feed - start) : window;
    const auto* carriage_return = static_cast<const char*>(std::memchr(start, '\r', before_line_feed));
    const char* line_end = carriage_return != nullptr ? carriage_return : start + before_line_feed;
    const auto length = static_cast<std::size_t>(line_end - start);

    std::memcpy(line, start, length);
    std::memset(line + length, ' ', width - length);
    if (lines_read_ == 1) {
        starts_with_byte_order_mark_ = std::string_view(line, width).starts_with(UTF8_BYTE_ORDER_MARK);
    }

    if (carriage_return != nullptr) {
        begin_ += length + 1;
        if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
    } else if (line_feed != nullptr) {
        begin_ += length + 1;
    } else {
        begin_ += length;
        if (length == width) skip_past_line_end();
    }
    return true;
}

bool PlotFile::next_line_is_header()
{
    return ensure_available(1) && buffer_[begin_] == '*';
}

void PlotFile::write(const char* bytes, std::size_t count)
{
    if (!cut_done_) {
        write_through(bytes, count);
        if (file_.regular) {
            if (const auto error = truncate_to(bytes_written_)) {
                throw RunFailure("writing", name_,
                                 "cutting off the older content after the first line failed: " +
                                     platform::error_text(*error));
            }
        }
        cut_done_ = true;
        return;
    }
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    if (end_ + count > kBufferSize) flush();
    std::memcpy(buffer_.get() + end_, bytes, count);
    end_ += count;
}

void PlotFile::flush()
{
    if (!cut_done_ || end_ == 0) return;
    const std::size_t pending = end_;
    end_ = 0;  // a failed write is not tried again when the file is closed
    write_through(buffer_.get(), pending);
}

// bytes holds whole lines, and the file ends at a line end before they go out.
// When the write fails after part of them reached the file (a full disk, the
// file size limit), the file is cut back to the end of the last whole line
// that reached it: a line written only in part is not a line, and a program
// reading the file by columns would take a cut field for a smaller number.
void PlotFile::write_through(const char* bytes, std::size_t count)
{
    const std::uint64_t start = bytes_written_;
    std::size_t done = 0;
    const auto error = platform::write_all(file_.handle, bytes, count, done);
    bytes_written_ += done;
    if (!error) return;
    std::string cause = access_cause(platform::Access::ReadOnly, "the file could only be opened for reading", *error);
    if (done > 0 && file_.regular) {
        const std::size_t line_feed = std::string_view(bytes, done).rfind('\n');
        const std::size_t whole = line_feed == std::string_view::npos ? 0 : line_feed + 1;
        if (const auto cut_error = truncate_to(start + whole)) {
            cause += ", and cutting the file back to its last whole line failed: ";
            cause += platform::error_text(*cut_error);
        }
    }
    throw RunFailure("writing", name_, cause);
}

std::optional<platform::SystemError> PlotFile::truncate_to(std::uint64_t length)
{
    if (const auto error = platform::cut_file(file_.handle, length)) return error;
    bytes_written_ = length;
    return std::nullopt;
}

// The cause of a refused read or write. When the file was opened only the
// other way round (the open rule falls back to that), saying so is plainer
// than the system's "Bad file descriptor" or "Access is denied".
std::string PlotFile::access_cause(platform::Access other_way, std::string_view plain_cause,
                                   platform::SystemError error) const
{
    if (file_.access == other_way) return std::string(plain_cause);
    return platform::error_text(error);
}

PlotFile open_plot_input(std::string_view name) { return open_plot_file(name, platform::Use::Input); }

PlotFile open_plot_output(std::string_view name) { return open_plot_file(name, platform::Use::Output); }

PlotFile open_existing_plot_file(std::string_view name) { return open_existing_file(std::string(name)); }

bool read_plot_line(PlotFile& file, PlotLine& line) { return file.read_line(line.data(), line.size()); }

void write_plot_line(PlotFile& file, const char* line)
{
    char text[LINE_WIDTH + 1];
    std::memcpy(text, line, LINE_WIDTH);
    text[LINE_WIDTH] = '\n';
    file.write(text, sizeof text);
}

void write_plot_record(PlotFile& file, const PlotRecord& record) { write_record_text(file, format_plot_record(record)); }

void write_record_text(PlotFile& file, const std::array<char, RECORD_WIDTH>& text)
{
    char line[RECORD_WIDTH + 1];
    std::memcpy(line, text.data(), RECORD_WIDTH);
    line[RECORD_WIDTH] = '\n';
    file.write(line, sizeof line);
}

void write_data_line(PlotFile& file, char* text, std::size_t width)
{
    text[width] = '\n';
    file.write(text, width + 1);
}

RunFailure field_failure(const PlotFile& file, const FieldFault& fault)
{
    std::string cause = "line " + std::to_string(file.lines_read()) + ": field " + fault.field + " holds '" +
                        printable(fault.text) + "', which is " +
                        (fault.out_of_range ? "outside the range of a 32-bit integer" : "not a number");
    if (file.lines_read() == 1 && file.starts_with_byte_order_mark()) {
        cause += ": the file starts with a UTF-8 byte-order mark (bytes EF BB BF); save it without one";
    }
    return RunFailure("converting a field of", file.name(), cause);
}
