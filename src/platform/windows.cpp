// The platform layer on Windows: handles of the Win32 API, never the C
// runtime's POSIX emulation (whose inode numbers are all 0 and whose files
// open in text mode). Bytes of files pass unconverted and offsets are 64-bit.
// Names go to the wide-character functions, read as UTF-8 when they are UTF-8
// and in the ANSI code page otherwise; a console is read and written in
// characters, not in its code page's bytes.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <limits>

#include "platform/platform.hpp"
#include "platform/text_encoding.hpp"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "a wide character of Windows is a UTF-16 unit");

namespace platform {

namespace {

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file.native()); }

FileHandle handle_from(HANDLE handle) { return FileHandle::from_native(reinterpret_cast<std::intptr_t>(handle)); }

SystemError last_error() { return SystemError{static_cast<std::uint32_t>(::GetLastError())}; }

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

// Other programs may read (and write) the files while the run goes on.
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool is_refusal_of_permission(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

std::u16string utf16_from_ansi(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
    return std::u16string(text.begin(), text.end());
}

// The characters of a name. A name typed at a console arrives as UTF-8
// (read_console), and one in an answer file is UTF-8 when it was saved so;
// any other is read in the ANSI code page, as older editors wrote it and as
// the ANSI functions read every name.
std::wstring wide_name(const std::string& name)
{
    const std::u16string characters = is_utf8(name) ? utf16_from_utf8(name) : utf16_from_ansi(name);
    return std::wstring(characters.begin(), characters.end());
}

HANDLE create_file(const std::string& name, DWORD access, DWORD disposition)
{
    return ::CreateFileW(wide_name(name).c_str(), access, kShare, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool is_console(HANDLE handle)
{
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

// What a console has given as UTF-8 and a read has not yet taken. A console
// delivers text in lines of characters; one read of it may give more bytes
// than the caller can take, and may end between the halves of a surrogate pair.
struct ConsoleInput {
    HANDLE console = nullptr;
    std::string pending;
    std::size_t taken = 0;
    Utf16ToUtf8 decoder;
    bool ended = false;  // the input ended once the pending bytes are taken
};

// Standard input is the one console a run reads.
ConsoleInput& console_input()
{
    static ConsoleInput input;
    return input;
}

// Reads the characters typed at a console, as UTF-8. A line that starts with
// Ctrl+Z ends the input, as a read of the console's bytes (ReadFile) has it.
std::optional<SystemError> read_console(HANDLE console, char* buffer, std::size_t size, std::size_t& count)
{
    ConsoleInput& input = console_input();
    if (input.console != console) {
        input = ConsoleInput();
        input.console = console;
    }
    while (input.taken == input.pending.size() && !input.ended) {
        input.pending.clear();
        input.taken = 0;
        wchar_t typed[4096];
        DWORD got = 0;
        if (!::ReadConsoleW(console, typed, static_cast<DWORD>(std::size(typed)), &got, nullptr)) return last_error();
        if (got == 0 || typed[0] == L'\x1a') {
            input.decoder.finish(input.pending);
            input.ended = true;
            break;
        }
        input.decoder.append(std::u16string(typed, typed + got), input.pending);
    }
    count = std::min(size, input.pending.size() - input.taken);
    std::copy_n(input.pending.data() + input.taken, count, buffer);
    input.taken += count;
    // The end is given once: a console can be read again after Ctrl+Z.
    if (count == 0) input.ended = false;
    return std::nullopt;
}

// A console, a pipe or a device has no identity; only files on disk do.
std::optional<FileIdentity> identity_of_handle(HANDLE handle)
{
    if (::GetFileType(handle) != FILE_TYPE_DISK) return FileIdentity();
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) return std::nullopt;
    const std::uint64_t index = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return FileIdentity(information.dwVolumeSerialNumber, index);
}

// Fills opened from the open handle; on failure the handle is closed.
std::optional<SystemError> describe_open(HANDLE handle, Access access, OpenedFile& opened)
{
    const std::optional<FileIdentity> identity = identity_of_handle(handle);
    if (!identity) {
        const SystemError error = last_error();
        ::CloseHandle(handle);
        return error;
    }
    opened.handle = handle_from(handle);
    opened.identity = *identity;
    opened.access = access;
    opened.regular = ::GetFileType(handle) == FILE_TYPE_DISK;
    return std::nullopt;
}

}  // namespace

std::string error_text(SystemError error)
{
    char text[512];
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          error.code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    // A diagnostic is one line, even when a message text holds line breaks.
    std::replace_if(message.begin(), message.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    if (message.empty()) message = "system error " + std::to_string(error.code);
    return message;
}

std::optional<SystemError> open_by_rule(const std::string& name, Use, OpenedFile& opened)
{
    Access access = Access::ReadWrite;
    HANDLE handle = create_file(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE && is_refusal_of_permission(::GetLastError())) {
        access = Access::ReadOnly;
        handle = create_file(name, GENERIC_READ, OPEN_EXISTING);
        const DWORD error = ::GetLastError();
        if (handle == INVALID_HANDLE_VALUE && (is_refusal_of_permission(error) || error == ERROR_FILE_NOT_FOUND)) {
            access = Access::WriteOnly;
            handle = create_file(name, GENERIC_WRITE, OPEN_ALWAYS);
        }
    }
    if (handle == INVALID_HANDLE_VALUE) return last_error();
    // OPEN_ALWAYS says ERROR_ALREADY_EXISTS when it found the file; OPEN_EXISTING always finds it.
    const bool created = access != Access::ReadOnly && ::GetLastError() != ERROR_ALREADY_EXISTS;
    const auto error = describe_open(handle, access, opened);
    opened.created = !error && created;
    return error;
}

std::optional<SystemError> open_existing_for_reading(const std::string& name, OpenedFile& opened)
{
    const HANDLE handle = create_file(name, GENERIC_READ, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) return last_error();
    return describe_open(handle, Access::ReadOnly, opened);
}

std::optional<SystemError> read_some(FileHandle file, char* buffer, std::size_t size, std::size_t& count)
{
    count = 0;
    if (is_console(handle_of(file))) return read_console(handle_of(file), buffer, size, count);
    DWORD got = 0;
    if (!::ReadFile(handle_of(file), buffer, static_cast<DWORD>(std::min(size, kLargestTransfer)), &got, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return std::nullopt;
        return SystemError{static_cast<std::uint32_t>(error)};
    }
    count = got;
    return std::nullopt;
}

std::optional<SystemError> write_all(FileHandle file, const char* bytes, std::size_t size, std::size_t& written)
{
    written = 0;
    while (written < size) {
        DWORD done = 0;
        const auto chunk = static_cast<DWORD>(std::min(size - written, kLargestTransfer));
        if (!::WriteFile(handle_of(file), bytes + written, chunk, &done, nullptr)) return last_error();
        // A write that takes nothing would be retried for ever.
        if (done == 0) return SystemError{ERROR_WRITE_FAULT};
        written += done;
    }
    return std::nullopt;
}

std::optional<SystemError> cut_file(FileHandle file, std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
        return SystemError{ERROR_INVALID_PARAMETER};
    }
    const HANDLE handle = handle_of(file);
    LARGE_INTEGER here{};
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, &here, FILE_CURRENT) ||
        !::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle) ||
        !::SetFilePointerEx(handle, here, nullptr, FILE_BEGIN)) {
        return last_error();
    }
    return std::nullopt;
}

std::optional<SystemError> close_file(FileHandle file)
{
    if (!::CloseHandle(handle_of(file))) return last_error();
    return std::nullopt;
}

FileHandle standard_stream(StandardStream stream)
{
    switch (stream) {
    case StandardStream::Input: return handle_from(::GetStdHandle(STD_INPUT_HANDLE));
    case StandardStream::Output: return handle_from(::GetStdHandle(STD_OUTPUT_HANDLE));
    case StandardStream::Error: break;
    }
    return handle_from(::GetStdHandle(STD_ERROR_HANDLE));
}

FileIdentity identity_of(StandardStream stream)
{
    const HANDLE handle = handle_of(standard_stream(stream));
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
    return identity_of_handle(handle).value_or(FileIdentity());
}

std::optional<SystemError> write_to_standard_error(std::string_view text)
{
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!is_console(error)) {
        std::size_t written = 0;
        return write_all(handle_from(error), text.data(), text.size(), written);
    }
    const std::u16string shown = console_text(text, utf16_from_ansi);
    for (std::size_t done = 0; done < shown.size();) {
        DWORD count = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(shown.size() - done, 8192));
        if (!::WriteConsoleW(error, shown.data() + done, chunk, &count, nullptr)) return last_error();
        if (count == 0) return SystemError{ERROR_WRITE_FAULT};
        done += count;
    }
    return std::nullopt;
}

// Started from Explorer, the process has a console window of its own, which
// closes when the process ends. Started from cmd, PowerShell or a script, the
// console is shared with them; with a standard stream redirected, someone
// other than a person at the window takes the run's text.
void keep_own_console_window_open(std::string_view note)
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!is_console(input) || !is_console(::GetStdHandle(STD_OUTPUT_HANDLE)) ||
        !is_console(::GetStdHandle(STD_ERROR_HANDLE))) {
        return;
    }
    DWORD processes[2];
    if (::GetConsoleProcessList(processes, static_cast<DWORD>(std::size(processes))) != 1) return;
    // Only an Enter pressed after the note counts, not lines typed ahead of it.
    ::FlushConsoleInputBuffer(input);
    if (write_to_standard_error(std::string(note) + '\n')) return;
    for (;;) {
        wchar_t typed[256];
        DWORD got = 0;
        if (!::ReadConsoleW(input, typed, static_cast<DWORD>(std::size(typed)), &got, nullptr) || got == 0) return;
        if (typed[0] == L'\x1a' || std::find(typed, typed + got, L'\n') != typed + got) return;
    }
}

void start_process() { ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

}  // namespace platform
