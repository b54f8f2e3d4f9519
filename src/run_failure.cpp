#include "run_failure.hpp"

namespace {

std::string quoted(std::string_view file)
{
    return " '" + printable(file) + "'";
}

std::string detail_of(std::string_view step, std::string_view file_part, std::string_view cause)
{
    std::string text(step);
    text += file_part;
    text += ": ";
    text += cause;
    return text;
}

}  // namespace

RunFailure::RunFailure(std::string_view step, std::string_view cause)
    : std::runtime_error("plotmerge: " + detail_of(step, "", cause)), detail_(detail_of(step, "", cause))
{
}

RunFailure::RunFailure(std::string_view step, std::string_view file, std::string_view cause)
    : std::runtime_error("plotmerge: " + detail_of(step, quoted(file), cause)), detail_(detail_of(step, quoted(file), cause))
{
}

RunFailure RunFailure::from_system(std::string_view step, std::string_view file, platform::SystemError error)
{
    return RunFailure(step, file, platform::error_text(error));
}

std::string printable(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const auto byte = static_cast<unsigned char>(c);
        // A backslash stays as it is (Windows names are full of them), unless
        // an x follows it, which would read as an escape.
        const bool looks_like_escape = c == '\\' && i + 1 < bytes.size() && bytes[i + 1] == 'x';
        if (byte >= 0x20 && byte < 0x7f && !looks_like_escape) {
            text += c;
        } else {
            text += "\\x";
            text += hex[byte >> 4];
            text += hex[byte & 0xf];
        }
    }
    return text;
}

void write_diagnostic(std::string_view line)
{
    std::string text(line);
    text += '\n';
    platform::write_to_standard_error(text);
}

void warn(std::string_view text)
{
    std::string line = "plotmerge: warning: ";
    line += text;
    write_diagnostic(line);
}
