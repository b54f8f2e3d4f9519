#pragma once

#include <cstddef>
#include <cstdint>
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

// The pieces that diagnostics and warnings are made of, each worded once.

// "'<name>'", the name made printable.
std::string quoted(std::string_view name);

// "line 7 of 'a.plt'".
std::string line_of(std::uint64_t line, std::string_view file);

// "F13.5 in columns 2-14": what stands in columns first to last.
std::string in_columns(std::string_view what, std::size_t first, std::size_t last);

// one or many, as count asks.
std::string_view for_count(std::uint64_t count, std::string_view one, std::string_view many);

// "1 data line" or "3 data lines"; with verbs, "1 data line holds" or "3 data lines hold".
std::string counted(std::uint64_t count, std::string_view thing);
std::string counted(std::uint64_t count, std::string_view thing, std::string_view verb_one, std::string_view verb_many);

// ": <what> starts with a UTF-8 byte-order mark (bytes EF BB BF); <remedy>",
// to end the diagnostic of a first line or answer that fails for the mark.
std::string byte_order_mark_note(std::string_view what, std::string_view remedy);

// "standard input", "standard output" or "standard error".
std::string_view stream_name(platform::StandardStream stream);
