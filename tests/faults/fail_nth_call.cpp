// Preloaded into plotmerge (LD_PRELOAD, Linux only), this library stands
// between the program and the C library for every read, write, open, close and
// ftruncate. It numbers these calls from 1 in the order the program makes them
// and can make one of them fail the way a real system does. The calls are
// carried out with raw system calls, so nothing else in the process sees them.
//
// Environment:
//   PLOTMERGE_FAULT_AT    the number of the call to disturb (none when unset)
//   PLOTMERGE_FAULT_KIND  what happens to it:
//       eio     it fails with EIO, moving nothing (close: the descriptor is
//               released first, as Linux does)
//       enospc  write: half of its bytes go out and the next write to the same
//               descriptor fails with ENOSPC, like a disk filling up; open and
//               close: it fails with ENOSPC
//       eintr   it fails with EINTR, moving nothing (close: after releasing
//               the descriptor, as Linux does)
//       short   read or write: it moves only half of its bytes
//   PLOTMERGE_FAULT_TRACE a file that receives, at exit, one line per call
//       ("<number> <call> <descriptor> <bytes asked or open flags> <path>")
//       and a last line "calls <count>"; "disturbed <number> <kind>" is
//       written before it when the fault took place.

// The calls are defined under their own names: the build's 64-bit file offset
// setting would rename open and ftruncate to their 64-bit twins here.
#undef _FILE_OFFSET_BITS

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

enum class Kind { None, Eio, Enospc, Eintr, Short };

struct Call {
    const char* name = nullptr;
    long descriptor = 0;
    long long size = 0;
    char path[64] = {};
};

constexpr int kTracedCalls = 4096;

struct State {
    long long fault_at = 0;
    Kind kind = Kind::None;
    const char* trace_path = nullptr;
    long long calls = 0;
    bool disturbed = false;
    int no_space_on = -1;  // the descriptor whose next write finds the disk full
    Call trace[kTracedCalls];
};

// Set up before any constructor runs, so that read_settings is not undone.
constinit State state;

Kind kind_named(const char* name)
{
    if (name == nullptr) return Kind::None;
    if (std::strcmp(name, "eio") == 0) return Kind::Eio;
    if (std::strcmp(name, "enospc") == 0) return Kind::Enospc;
    if (std::strcmp(name, "eintr") == 0) return Kind::Eintr;
    if (std::strcmp(name, "short") == 0) return Kind::Short;
    return Kind::None;
}

__attribute__((constructor)) void read_settings()
{
    const char* at = std::getenv("PLOTMERGE_FAULT_AT");
    state.fault_at = at != nullptr ? std::atoll(at) : 0;
    state.kind = kind_named(std::getenv("PLOTMERGE_FAULT_KIND"));
    state.trace_path = std::getenv("PLOTMERGE_FAULT_TRACE");
}

void write_all(int descriptor, const char* text, std::size_t size)
{
    while (size > 0) {
        const long written = syscall(SYS_write, descriptor, text, size);
        if (written <= 0) return;
        text += written;
        size -= static_cast<std::size_t>(written);
    }
}

__attribute__((destructor)) void write_trace()
{
    if (state.trace_path == nullptr) return;
    const int descriptor = static_cast<int>(
        syscall(SYS_openat, AT_FDCWD, state.trace_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (descriptor < 0) return;
    char line[160];
    const long long traced = state.calls < kTracedCalls ? state.calls : kTracedCalls;
    for (long long i = 0; i < traced; ++i) {
        const Call& call = state.trace[i];
        const int size = std::snprintf(line, sizeof line, "%lld %s %ld %lld %s\n", i + 1, call.name, call.descriptor,
                                       call.size, call.path[0] != '\0' ? call.path : "-");
        write_all(descriptor, line, static_cast<std::size_t>(size));
    }
    if (state.disturbed) {
        static constexpr const char* kNames[] = {"none", "eio", "enospc", "eintr", "short"};
        const int size = std::snprintf(line, sizeof line, "disturbed %lld %s\n", state.fault_at,
                                       kNames[static_cast<int>(state.kind)]);
        write_all(descriptor, line, static_cast<std::size_t>(size));
    }
    const int size = std::snprintf(line, sizeof line, "calls %lld\n", state.calls);
    write_all(descriptor, line, static_cast<std::size_t>(size));
    syscall(SYS_close, descriptor);
}

// Counts a call and returns the fault it is to suffer, if any.
Kind count_call(const char* name, long descriptor, long long size, const char* path)
{
    const long long number = ++state.calls;
    if (number <= kTracedCalls) {
        Call& call = state.trace[number - 1];
        call.name = name;
        call.descriptor = descriptor;
        call.size = size;
        call.path[0] = '\0';
        if (path != nullptr) {
            std::strncpy(call.path, path, sizeof call.path - 1);
            call.path[sizeof call.path - 1] = '\0';
        }
    }
    if (number != state.fault_at || state.kind == Kind::None) return Kind::None;
    state.disturbed = true;
    return state.kind;
}

long failed(int error)
{
    errno = error;
    return -1;
}

// The result of a raw system call, with errno set the way the C library does.
long result_of(long value)
{
    if (value < 0 && value > -4096) return failed(static_cast<int>(-value));
    return value;
}

std::size_t half_of(std::size_t count) { return count > 1 ? count / 2 : count; }

ssize_t read_bytes(int descriptor, void* buffer, std::size_t count)
{
    switch (count_call("read", descriptor, static_cast<long long>(count), nullptr)) {
    case Kind::Eio: return failed(EIO);
    case Kind::Eintr: return failed(EINTR);
    case Kind::Short: count = half_of(count); break;
    default: break;
    }
    return result_of(syscall(SYS_read, descriptor, buffer, count));
}

ssize_t write_bytes(int descriptor, const void* buffer, std::size_t count)
{
    Kind kind = count_call("write", descriptor, static_cast<long long>(count), nullptr);
    if (descriptor == state.no_space_on) {
        state.no_space_on = -1;
        return failed(ENOSPC);
    }
    if (kind == Kind::Enospc && count < 2) return failed(ENOSPC);
    switch (kind) {
    case Kind::Eio: return failed(EIO);
    case Kind::Eintr: return failed(EINTR);
    case Kind::Enospc: state.no_space_on = descriptor; [[fallthrough]];
    case Kind::Short: count = half_of(count); break;
    default: break;
    }
    return result_of(syscall(SYS_write, descriptor, buffer, count));
}

int open_at(int directory, const char* path, int flags, mode_t mode)
{
    switch (count_call("open", -1, flags, path)) {
    case Kind::Eio: return static_cast<int>(failed(EIO));
    case Kind::Enospc: return static_cast<int>(failed(ENOSPC));
    case Kind::Eintr: return static_cast<int>(failed(EINTR));
    default: break;
    }
    const long opened = result_of(syscall(SYS_openat, directory, path, flags, mode));
    if (opened >= 0 && state.calls <= kTracedCalls) state.trace[state.calls - 1].descriptor = opened;
    return static_cast<int>(opened);
}

// The mode argument is there only when the flags create a file.
mode_t mode_argument(int flags, va_list arguments)
{
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) return static_cast<mode_t>(va_arg(arguments, int));
    return 0;
}

}  // namespace

extern "C" {

ssize_t read(int descriptor, void* buffer, std::size_t count) { return read_bytes(descriptor, buffer, count); }

ssize_t __read_chk(int descriptor, void* buffer, std::size_t count, std::size_t /*buffer_size*/)
{
    return read_bytes(descriptor, buffer, count);
}

ssize_t write(int descriptor, const void* buffer, std::size_t count) { return write_bytes(descriptor, buffer, count); }

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_at(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_at(AT_FDCWD, path, flags, mode);
}

int openat(int directory, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_at(directory, path, flags, mode);
}

int openat64(int directory, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_at(directory, path, flags, mode);
}

// The checked forms that _FORTIFY_SOURCE calls when no mode is given.
int __open_2(const char* path, int flags) { return open_at(AT_FDCWD, path, flags, 0); }
int __open64_2(const char* path, int flags) { return open_at(AT_FDCWD, path, flags, 0); }
int __openat_2(int directory, const char* path, int flags) { return open_at(directory, path, flags, 0); }
int __openat64_2(int directory, const char* path, int flags) { return open_at(directory, path, flags, 0); }

int creat(const char* path, mode_t mode) { return open_at(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode); }
int creat64(const char* path, mode_t mode) { return open_at(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode); }

// Linux releases the descriptor even when close reports a failure.
int close(int descriptor)
{
    const Kind kind = count_call("close", descriptor, 0, nullptr);
    const long closed = result_of(syscall(SYS_close, descriptor));
    switch (kind) {
    case Kind::Eio: return static_cast<int>(failed(EIO));
    case Kind::Enospc: return static_cast<int>(failed(ENOSPC));
    case Kind::Eintr: return static_cast<int>(failed(EINTR));
    default: return static_cast<int>(closed);
    }
}

int ftruncate(int descriptor, off_t length)
{
    switch (count_call("ftruncate", descriptor, static_cast<long long>(length), nullptr)) {
    case Kind::Eio: return static_cast<int>(failed(EIO));
    case Kind::Eintr: return static_cast<int>(failed(EINTR));
    default: break;
    }
    return static_cast<int>(result_of(syscall(SYS_ftruncate, descriptor, length)));
}

int ftruncate64(int descriptor, off_t length) { return ftruncate(descriptor, length); }

}  // extern "C"
