#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

// The lines a program of the package writes on its standard streams, under
// its own name: prompts and tables on standard output, warnings and the
// diagnostic of a failure on standard error.

// Names the program that the lines on standard error begin with; each main
// names its own first ("plotmerge" until then).
void set_program_name(std::string_view name);

// text on standard output, byte for byte; the system's refusal, if any.
std::optional<platform::SystemError> write_standard_output(std::string_view text);

// "<program>: <text>" and LF on standard error, then the further lines of
// more_lines as they stand; nothing more can be done when that fails.
void report(std::string_view text, std::string_view more_lines = {});

// "<program>: warning: <text>" on standard error; the run goes on and its
// exit status stays as it is.
void warn(std::string_view text);

// Renders bytes for a one-line diagnostic: printable ASCII as it stands,
// everything else as \xNN (and a backslash before an x too), so a name or
// field with control bytes cannot break the line. Since a backslash before an
// x is escaped, every \xNN written is an escape: a Windows console shows those
// of non-ASCII bytes as the characters they stand for
// (platform::write_to_standard_error).
std::string printable(std::string_view bytes);

// The bytes some editors put at the start of a file saved as UTF-8. No rule
// skips them, so such a file fails on its first line or answer; the
// diagnostic then names the mark, which its bytes alone do not make plain.
inline constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";
