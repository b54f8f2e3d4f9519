#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

// The one way a failure ends the run: it travels unhandled to main, which
// prints its diagnostic and exits with status 2.
class RunFailure : public std::runtime_error {
public:
    // step: what was being done ("opening", "reading", ...); cause: what went
    // wrong, in plain words. The diagnostic reads "plotmerge: <step>: <cause>".
    RunFailure(std::string_view step, std::string_view cause);

    // The same with the file involved: "plotmerge: <step> '<file>': <cause>".
    RunFailure(std::string_view step, std::string_view file, std::string_view cause);

    // A refusal by the operating system: the cause is the system's own text.
    static RunFailure from_system(std::string_view step, std::string_view file, platform::SystemError error);

    // The diagnostic without its program prefix: "<step> '<file>': <cause>",
    // for a program of the package that reports under its own name.
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

// Renders bytes for a one-line diagnostic: printable ASCII as it stands,
// everything else as \xNN (and a backslash before an x too), so a name or
// field with control bytes cannot break the line. Since a backslash before an
// x is escaped, every \xNN written is an escape: a Windows console shows those
// of non-ASCII bytes as the characters they stand for
// (platform::write_to_standard_error).
std::string printable(std::string_view bytes);

// The bytes some editors put at the start of a file saved as UTF-8. No rule
// skips them, so such a file fails on its first line; the diagnostic then
// names the mark, which its bytes alone do not make plain.
inline constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Writes one line, LF added, to standard error; nothing more can be done when that fails.
void write_diagnostic(std::string_view line);

// "plotmerge: warning: <text>" on standard error; the run goes on and its
// exit status stays as it is.
void warn(std::string_view text);
