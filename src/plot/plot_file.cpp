#include "plot/plot_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Large enough that reading and writing cost a handful of system calls per
// megabyte; every open file has at most one.
constexpr std::size_t kBufferSize = 256 * 1024;

struct OpenFile {
    dev_t device;
    ino_t inode;
    std::string name;
};

// The plot files open in this run; a run is one process with one thread.
std::vector<OpenFile>& open_files()
{
    static std::vector<OpenFile> files;
    return files;
}

// Who already holds the file with this identity, or empty when nobody does.
std::string holder_of(dev_t device, ino_t inode)
{
    static constexpr const char* kStreamNames[] = {"standard input", "standard output", "standard error"};
    for (int stream = 0; stream < 3; ++stream) {
        struct stat status {};
        if (::fstat(stream, &status) == 0 && status.st_dev == device && status.st_ino == inode) {
            return kStreamNames[stream];
        }
    }
    for (const OpenFile& file : open_files()) {
        if (file.device == device && file.inode == inode) {
            std::string holder = "'";
            holder += printable(file.name);
            holder += '\'';
            return holder;
        }
    }
    return {};
}

void refuse_if_open(const std::string& name, dev_t device, ino_t inode)
{
    const std::string holder = holder_of(device, inode);
    if (!holder.empty()) throw RunFailure("opening", name, "the same file is already open in this run as " + holder);
}

bool is_refusal_of_permission(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Read-write and created when absent; else read-only; else write-only and
// created when absent. Only a refusal of permission (or of writing to the file
// system) leads on to the next attempt.
constexpr int kCommon = O_CLOEXEC | O_NOCTTY;

// An open interrupted by a signal (while waiting on a named pipe) is tried again.
int open_file(const std::string& name, int flags)
{
    constexpr mode_t kEveryone = 0666;
    int descriptor = -1;
    do {
        descriptor = ::open(name.c_str(), flags | kCommon, kEveryone);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

int open_by_rule(const std::string& name)
{
    int descriptor = open_file(name, O_RDWR | O_CREAT);
    if (descriptor >= 0 || !is_refusal_of_permission(errno)) return descriptor;
    descriptor = open_file(name, O_RDONLY);
    if (descriptor >= 0 || !(is_refusal_of_permission(errno) || errno == ENOENT)) return descriptor;
    return open_file(name, O_WRONLY | O_CREAT);
}

// Keeps plot files off descriptors 0 to 2, so that a standard stream that was
// closed at start stays closed and no prompt or diagnostic lands in a plot file.
int above_standard_streams(int descriptor, const std::string& name)
{
    if (descriptor > 2) return descriptor;
    const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(descriptor);
    if (moved < 0) throw RunFailure::from_errno("opening", name, error);
    return moved;
}

// A named pipe opened for reading and writing would hold its own write end, so
// an input would never see its end and an output would swallow its lines
// unread; it is opened for the one direction of its use instead.
PlotFile open_plot_file(std::string_view answered_name, int pipe_access)
{
    const std::size_t kept = answered_name.find_last_not_of(' ');
    const std::string name(answered_name.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
    if (name.find('\0') != std::string::npos) throw RunFailure("opening", name, "a file name cannot hold a NUL byte");

    struct stat status {};
    const bool exists = ::stat(name.c_str(), &status) == 0;
    if (exists) refuse_if_open(name, status.st_dev, status.st_ino);

    const int opened = exists && S_ISFIFO(status.st_mode) ? open_file(name, pipe_access) : open_by_rule(name);
    if (opened < 0) throw RunFailure::from_errno("opening", name, errno);
    const int descriptor = above_standard_streams(opened, name);
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw RunFailure::from_errno("opening", name, error);
    }
    return PlotFile(descriptor, name, status.st_dev, status.st_ino, S_ISREG(status.st_mode));
}

}  // namespace

PlotFile::PlotFile(int descriptor, std::string name, dev_t device, ino_t inode, bool regular)
    : descriptor_(descriptor), name_(std::move(name)), device_(device), inode_(inode), regular_(regular)
{
    open_files().push_back({device_, inode_, name_});
}

PlotFile::PlotFile(PlotFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      name_(std::move(other.name_)),
      device_(other.device_),
      inode_(other.inode_),
      regular_(other.regular_),
      buffer_(std::move(other.buffer_)),
      begin_(other.begin_),
      end_(other.end_),
      at_end_of_file_(other.at_end_of_file_),
      cut_done_(other.cut_done_),
      lines_read_(other.lines_read_),
      bytes_written_(other.bytes_written_)
{
}

PlotFile::~PlotFile()
{
    if (descriptor_ < 0) return;
    try {
        flush();
    } catch (const RunFailure&) {
        // The run is stopping on an earlier failure, which is the one reported.
    }
    ::close(descriptor_);
    forget();
}

void PlotFile::close()
{
    if (descriptor_ < 0) return;
    flush();
    const int descriptor = std::exchange(descriptor_, -1);
    forget();
    // On Linux the descriptor is gone even when close is interrupted: it is
    // not closed again, and an interruption loses nothing.
    if (::close(descriptor) != 0 && errno != EINTR) throw RunFailure::from_errno("closing", name_, errno);
}

void PlotFile::forget() noexcept
{
    auto& files = open_files();
    const auto entry = std::find_if(files.begin(), files.end(), [this](const OpenFile& file) {
        return file.device == device_ && file.inode == inode_;
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
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer_.get() + end_, kBufferSize - end_);
        if (count > 0) {
            end_ += static_cast<std::size_t>(count);
            return true;
        }
        if (count == 0) {
            at_end_of_file_ = true;
            return false;
        }
        if (errno != EINTR) {
            throw RunFailure("reading", name_, access_cause(errno, O_WRONLY, "the file could only be opened for writing"));
        }
    }
}

bool PlotFile::ensure_available(std::size_t count)
{
    while (end_ - begin_ < count && fill()) {
    }
    return end_ - begin_ >= count;
}

void PlotFile::skip_past_line_end()
{
    do {
        const char* start = buffer_.get() + begin_;
        const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (line_feed != nullptr) {
            begin_ += static_cast<std::size_t>(line_feed - start) + 1;
            return;
        }
        begin_ = end_;
    } while (fill());
}

// A line ends at LF, or at a CR within its first LINE_WIDTH bytes (taking an
// LF right after it along). Bytes past LINE_WIDTH are skipped up to the LF.
bool PlotFile::read_line(PlotLine& line)
{
    // One byte more than a line, so that an LF after a CR in column 120 is seen.
    ensure_available(LINE_WIDTH + 1);
    const std::size_t available = end_ - begin_;
    if (available == 0) return false;
    ++lines_read_;

    const char* start = buffer_.get() + begin_;
    const std::size_t window = std::min(available, LINE_WIDTH);
    const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', window));
    const std::size_t before_line_feed = line_feed != nullptr ? static_cast<std::size_t>(line_feed - start) : window;
    const auto* carriage_return = static_cast<const char*>(std::memchr(start, '\r', before_line_feed));
    const char* line_end = carriage_return != nullptr ? carriage_return : start + before_line_feed;
    const auto length = static_cast<std::size_t>(line_end - start);

    std::memcpy(line.data(), start, length);
    std::memset(line.data() + length, ' ', LINE_WIDTH - length);

    if (carriage_return != nullptr) {
        begin_ += length + 1;
        if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
    } else if (line_feed != nullptr) {
        begin_ += length + 1;
    } else {
        begin_ += length;
        if (length == LINE_WIDTH) skip_past_line_end();
    }
    return true;
}

void PlotFile::write(const char* bytes, std::size_t count)
{
    if (!cut_done_) {
        write_through(bytes, count);
        if (regular_) {
            if (const int error = truncate_to(bytes_written_)) {
                throw RunFailure("writing", name_,
                                 std::string("cutting off the older content after the first line failed: ") +
                                     std::strerror(error));
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
    while (done < count) {
        const ssize_t written = ::write(descriptor_, bytes + done, count - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
            bytes_written_ += static_cast<std::uint64_t>(written);
            continue;
        }
        if (errno == EINTR) continue;
        std::string cause = access_cause(errno, O_RDONLY, "the file could only be opened for reading");
        if (done > 0 && regular_) {
            const std::size_t line_feed = std::string_view(bytes, done).rfind('\n');
            const std::size_t whole = line_feed == std::string_view::npos ? 0 : line_feed + 1;
            if (const int error = truncate_to(start + whole)) {
                cause += ", and cutting the file back to its last whole line failed: ";
                cause += std::strerror(error);
            }
        }
        throw RunFailure("writing", name_, cause);
    }
}

// Sets the file's length; returns 0, or the errno of the refusal.
int PlotFile::truncate_to(std::uint64_t length)
{
    while (::ftruncate(descriptor_, static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) return errno;
    }
    bytes_written_ = length;
    return 0;
}

// The cause of a refused read or write. When the file was opened only the
// other way round (the open rule falls back to that), saying so is plainer than
// "Bad file descriptor".
std::string PlotFile::access_cause(int error, int other_way, std::string_view plain_cause) const
{
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (error == EBADF && flags >= 0 && (flags & O_ACCMODE) == other_way) return std::string(plain_cause);
    return std::strerror(error);
}

PlotFile open_plot_input(std::string_view name) { return open_plot_file(name, O_RDONLY); }

PlotFile open_plot_output(std::string_view name) { return open_plot_file(name, O_WRONLY); }

bool read_plot_line(PlotFile& file, PlotLine& line) { return file.read_line(line); }

void write_plot_line(PlotFile& file, const PlotLine& line)
{
    char text[LINE_WIDTH + 1];
    std::memcpy(text, line.data(), LINE_WIDTH);
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

RunFailure field_failure(const PlotFile& file, const FieldFault& fault)
{
    return RunFailure("converting a field of", file.name(),
                      "line " + std::to_string(file.lines_read()) + ": field " + std::string(fault.field) + " holds '" +
                          printable(fault.text) + "', which is not a number");
}
