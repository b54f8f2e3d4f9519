#include "run_failure.hpp"

#include <string>

#include "diagnostics.hpp"

namespace {

std::string text_of(std::string_view step, std::string_view file_part, std::string_view cause)
{
    std::string text(step);
    text += file_part;
    text += ": ";
    text += cause;
    return text;
}

}  // namespace

RunFailure::RunFailure(std::string_view step, std::string_view cause) : std::runtime_error(text_of(step, "", cause)) {}

RunFailure::RunFailure(std::string_view step, std::string_view file, std::string_view cause)
    : std::runtime_error(text_of(step, " " + quoted(file), cause))
{
}

RunFailure RunFailure::from_system(std::string_view step, std::string_view file, platform::SystemError error)
{
    return RunFailure(step, file, platform::error_text(error));
}
