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

std::string quoted(std::string_view name)
{
    std::string text = "'";
    text += printable(name);
    text += '\'';
    return text;
}

std::string line_of(std::uint64_t line, std::string_view file)
{
    std::string text = "line ";
    text += std::to_string(line);
    text += " of ";
    text += quoted(file);
    return text;
}

std::string in_columns(std::string_view what, std::size_t first, std::size_t last)
{
    std::string text(what);
    text += " in columns ";
    text += std::to_string(first);
    text += '-';
    text += std::to_string(last);
    return text;
}

std::string_view for_count(std::uint64_t count, std::string_view one, std::string_view many)
{
    return count == 1 ? one : many;
}

std::string counted(std::uint64_t count, std::string_view thing)
{
    std::string text = std::to_string(count);
    text += ' ';
    text += thing;
    if (count != 1) text += 's';
    return text;
}

std::string counted(std::uint64_t count, std::string_view thing, std::string_view verb_one, std::string_view verb_many)
{
    std::string text = counted(count, thing);
    text += ' ';
    text += for_count(count, verb_one, verb_many);
    return text;
}

std::string byte_order_mark_note(std::string_view what, std::string_view remedy)
{
    std::string text = ": ";
    text += what;
    text += " starts with a UTF-8 byte-order mark (bytes EF BB BF); ";
    text += remedy;
    return text;
}

std::string_view stream_name(platform::StandardStream stream)
{
    switch (stream) {
    case platform::StandardStream::Input: return "standard input";
    case platform::StandardStream::Output: return "standard output";
    case platform::StandardStream::Error: break;
    }
    return "standard error";
}
