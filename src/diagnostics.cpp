#include "diagnostics.hpp"

namespace {

std::string& program_name()
{
    static std::string name = "plotmerge";
    return name;
}

}  // namespace

void set_program_name(std::string_view name) { program_name() = name; }

std::optional<platform::SystemError> write_standard_output(std::string_view text)
{
    std::size_t written = 0;
    return platform::write_all(platform::standard_stream(platform::StandardStream::Output), text.data(), text.size(),
                               written);
}

void report(std::string_view text, std::string_view more_lines)
{
    std::string lines = program_name();
    lines += ": ";
    lines += text;
    lines += '\n';
    lines += more_lines;
    platform::write_to_standard_error(lines);
}

void warn(std::string_view text)
{
    std::string line = "warning: ";
    line += text;
    report(line);
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
