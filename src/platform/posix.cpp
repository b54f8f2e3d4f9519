// The platform layer on POSIX systems (Linux): plain descriptors and the
// plain C library calls open, read, write, ftruncate, fstat and close.

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.hpp"

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit, so that files beyond 4 GiB work");

namespace platform {

namespace {

int descriptor_of(FileHandle file) { return static_cast<int>(file.native()); }

SystemError last_error() { return SystemError{static_cast<std::uint32_t>(errno)}; }

bool is_refusal_of_permission(int error) { return error == EACCES || error == EPERM || error == EROFS; }

constexpr int kCommon = O_CLOEXEC | O_NOCTTY;
constexpr mode_t kEveryone = 0666;

// An open interrupted by a signal (while waiting on a named pipe) is tried again.
int open_file(const char* name, int flags)
{
    int descriptor = -1;
    do {
        descriptor = ::open(name, flags | kCommon, kEveryone);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

int open_read_write_then_read_then_write(const char* name, Access& access)
{
    access = Access::ReadWrite;
    int descriptor = open_file(name, O_RDWR | O_CREAT);
    if (descriptor >= 0 || !is_refusal_of_permission(errno)) return descriptor;
    access = Access::ReadOnly;
    descriptor = open_file(name, O_RDONLY);
    if (descriptor >= 0 || !(is_refusal_of_permission(errno) || errno == ENOENT)) return descriptor;
    access = Access::WriteOnly;
    return open_file(name, O_WRONLY | O_CREAT);
}

// A file is kept off descriptors 0 to 2, so that a standard stream that was
// closed at start stays closed and no prompt or diagnostic lands in a file.
int above_standard_streams(int descriptor)
{
    if (descriptor < 0 || descriptor > 2) return descriptor;
    const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return moved;
}

FileIdentity identity_from(const struct stat& status)
{
    return FileIdentity(static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino));
}

// Fills opened from the open descriptor; on failure the descriptor is closed.
std::optional<SystemError> describe_open(int descriptor, Access access, OpenedFile& opened)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        const SystemError error = last_error();
        ::close(descriptor);
        return error;
    }
    opened.handle = FileHandle::from_native(descriptor);
    opened.identity = identity_from(status);
    opened.access = access;
    opened.regular = S_ISREG(status.st_mode);
    return std::nullopt;
}

}  // namespace

std::string error_text(SystemError error) { return std::strerror(static_cast<int>(error.code)); }

// A named pipe opened for reading and writing would hold its own write end, so
// an input would never see its end and an output would swallow its lines
// unread; it is opened for the one direction of its use instead.
std::optional<SystemError> open_by_rule(const std::string& name, Use use, OpenedFile& opened)
{
    struct stat status {};
    const bool exists = ::stat(name.c_str(), &status) == 0 || errno != ENOENT;
    const bool is_pipe = exists && S_ISFIFO(status.st_mode);
    Access access = Access::ReadWrite;
    int descriptor = -1;
    if (is_pipe) {
        access = use == Use::Input ? Access::ReadOnly : Access::WriteOnly;
        descriptor = open_file(name.c_str(), use == Use::Input ? O_RDONLY : O_WRONLY);
    } else {
        descriptor = open_read_write_then_read_then_write(name.c_str(), access);
    }
    descriptor = above_standard_streams(descriptor);
    if (descriptor < 0) return last_error();
    const auto error = describe_open(descriptor, access, opened);
    opened.created = !error && !exists;
    return error;
}

std::optional<SystemError> open_existing_for_reading(const std::string& name, OpenedFile& opened)
{
    const int descriptor = above_standard_streams(open_file(name.c_str(), O_RDONLY));
    if (descriptor < 0) return last_error();
    return describe_open(descriptor, Access::ReadOnly, opened);
}

std::optional<SystemError> read_some(FileHandle file, char* buffer, std::size_t size, std::size_t& count)
{
    count = 0;
    for (;;) {
        const ssize_t got = ::read(descriptor_of(file), buffer, size);
        if (got >= 0) {
            count = static_cast<std::size_t>(got);
            return std::nullopt;
        }
        if (errno != EINTR) return last_error();
    }
}

std::optional<SystemError> write_all(FileHandle file, const char* bytes, std::size_t size, std::size_t& written)
{
    written = 0;
    while (written < size) {
        const ssize_t done = ::write(descriptor_of(file), bytes + written, size - written);
        if (done < 0) {
            if (errno == EINTR) continue;
            return last_error();
        }
        written += static_cast<std::size_t>(done);
    }
    return std::nullopt;
}

std::optional<SystemError> cut_file(FileHandle file, std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return SystemError{EFBIG};
    while (::ftruncate(descriptor_of(file), static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) return last_error();
    }
    return std::nullopt;
}

// An interrupted close has still closed the descriptor on Linux: it is not retried.
std::optional<SystemError> close_file(FileHandle file)
{
    if (::close(descriptor_of(file)) != 0 && errno != EINTR) return last_error();
    return std::nullopt;
}

FileHandle standard_stream(StandardStream stream)
{
    switch (stream) {
    case StandardStream::Input: return FileHandle::from_native(STDIN_FILENO);
    case StandardStream::Output: return FileHandle::from_native(STDOUT_FILENO);
    case StandardStream::Error: break;
    }
    return FileHandle::from_native(STDERR_FILENO);
}

FileIdentity identity_of(StandardStream stream)
{
    struct stat status {};
    if (::fstat(descriptor_of(standard_stream(stream)), &status) != 0) return {};
    return identity_from(status);
}

std::optional<SystemError> write_to_standard_error(std::string_view text)
{
    std::size_t written = 0;
    return write_all(FileHandle::from_native(STDERR_FILENO), text.data(), text.size(), written);
}

// A terminal window is the shell's, and stays when the run ends.
void keep_own_console_window_open(std::string_view) {}

void start_process()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace platform
