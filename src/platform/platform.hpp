#pragma once

// The operating system as the tool sees it: files opened by name, their
// identity, reading and writing bytes, cutting a file, the standard streams
// and the system's text for a refusal. One implementation per system
// (posix.cpp, windows.cpp) is chosen by the build; nothing else includes an
// operating-system header.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A refusal by the operating system, in its own code (errno, or GetLastError on Windows).
struct SystemError {
    std::uint32_t code = 0;
};

// The system's own text for a refusal, on one line.
std::string error_text(SystemError error);

// An open file or standard stream. It owns nothing: close_file ends it.
class FileHandle {
public:
    FileHandle() = default;

    // For tools around the program (fuzzers, tests) that make their own
    // descriptors or handles; the program itself never needs it.
    static FileHandle from_native(std::intptr_t native) { return FileHandle(native); }
    std::intptr_t native() const { return native_; }

    bool is_open() const { return native_ != kNone; }

private:
    // -1 is the invalid value of a POSIX descriptor and of a Windows handle alike.
    static constexpr std::intptr_t kNone = -1;
    explicit FileHandle(std::intptr_t native) : native_(native) {}
    std::intptr_t native_ = kNone;
};

// What tells one file from another while it is open: device and inode, or on
// Windows the volume serial number and the file index. Two identities are the
// same file only when both are known.
class FileIdentity {
public:
    FileIdentity() = default;
    FileIdentity(std::uint64_t volume, std::uint64_t index) : volume_(volume), index_(index), known_(true) {}

    bool same_file_as(const FileIdentity& other) const
    {
        return known_ && other.known_ && volume_ == other.volume_ && index_ == other.index_;
    }

    // The very same record, unknown ones included: for bookkeeping, not the same-file rule.
    bool operator==(const FileIdentity&) const = default;

private:
    std::uint64_t volume_ = 0;
    std::uint64_t index_ = 0;
    bool known_ = false;
};

enum class Access { ReadWrite, ReadOnly, WriteOnly };

// How a file will be used; a named pipe is opened for that direction alone.
enum class Use { Input, Output };

struct OpenedFile {
    FileHandle handle;
    FileIdentity identity;  // taken from the open handle, not from the name
    Access access = Access::ReadWrite;
    bool regular = false;  // a plain file on disk, which can be cut
    bool created = false;  // no file had the name: the open made it, empty
};

// Opens a name as the bytes given, by the plot-file rule: read-write, created
// when absent and never truncated; when that is refused for permission (or a
// write-protected file system), read-only; when that is refused for
// permission or because no such file exists, write-only, created when absent.
// Any other refusal, and a refusal of the last attempt, is the error returned.
std::optional<SystemError> open_by_rule(const std::string& name, Use use, OpenedFile& opened);

// Opens an existing file for reading only; a missing file is an error, not created.
std::optional<SystemError> open_existing_for_reading(const std::string& name, OpenedFile& opened);

// Reads up to size bytes; count 0 means the end of the file, and also of a
// pipe whose writer has gone. Interrupted reads are retried.
std::optional<SystemError> read_some(FileHandle file, char* buffer, std::size_t size, std::size_t& count);

// Writes all size bytes, retrying interrupted and partial writes; written
// tells how many went out, also when it fails part-way.
std::optional<SystemError> write_all(FileHandle file, const char* bytes, std::size_t size, std::size_t& written);

// Makes the file exactly length bytes long (64-bit offsets, so beyond 4 GiB
// too); the position of the next read or write does not move.
std::optional<SystemError> cut_file(FileHandle file, std::uint64_t length);

std::optional<SystemError> close_file(FileHandle file);

enum class StandardStream { Input, Output, Error };

FileHandle standard_stream(StandardStream stream);

// The identity of what a standard stream is connected to; unknown for a
// stream that has none (closed, or on Windows a console or a pipe).
FileIdentity identity_of(StandardStream stream);

// Writes text meant for a person to standard error: its bytes as they are,
// except at a Windows console, which is written in characters and shows the
// escaped bytes of names as the characters they stand for (console_text in
// text_encoding.hpp).
std::optional<SystemError> write_to_standard_error(std::string_view text);

// Called last in a run. On Windows, when the process has a console window of
// its own (started from Explorer: no other process shares the console) and
// all three standard streams are that console, writes the note to standard
// error and waits for Enter, or the end of input, so that the window does not
// close before the person at it has read the run's last lines. Otherwise, and
// on POSIX always, returns at once.
void keep_own_console_window_open(std::string_view note);

// Sets up the process at start: on POSIX a write to a closed pipe or beyond
// the file size limit is a refused write, not death by signal; on Windows no
// system dialog box interrupts the run.
void start_process();

}  // namespace platform
