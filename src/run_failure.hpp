#pragma once

#include <stdexcept>
#include <string_view>

#include "platform/platform.hpp"

// The one way a failure ends the run: it travels unhandled to main, which
// reports it under the program's name and exits with status 2. Its text,
// what(), is "<step>: <cause>" or "<step> '<file>': <cause>", the file's
// name made printable.
class RunFailure : public std::runtime_error {
public:
    // step: what was being done ("opening", "reading", ...); cause: what went
    // wrong, in plain words.
    RunFailure(std::string_view step, std::string_view cause);
    RunFailure(std::string_view step, std::string_view file, std::string_view cause);

    // A refusal by the operating system: the cause is the system's own text.
    static RunFailure from_system(std::string_view step, std::string_view file, platform::SystemError error);
};
