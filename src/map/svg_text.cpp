#include "map/svg_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <algorithm>

#include "platform/text_encoding.hpp"

namespace {

// Length of the character at the start of bytes that XML text may hold as
// UTF-8, or 0: well-formed UTF-8, and not U+FFFE or U+FFFF, which XML excludes.
std::size_t xml_character_length(std::string_view bytes)
{
    const std::size_t length = platform::utf8_character_length(bytes);
    if (length == 0) return 0;
    const char32_t code = platform::utf8_character(bytes, length);
    return code == 0xFFFE || code == 0xFFFF ? 0 : length;
}

void append_character_reference(std::string& out, unsigned code)
{
    char digits[8];
    const auto result = std::to_chars(digits, digits + sizeof digits, code, 16);
    out += "&#x";
    out.append(digits, result.ptr);
    out += ';';
}

}  // namespace

void append_xml_text(std::string& out, std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80) {
            const std::size_t length = xml_character_length(bytes.substr(i));
            if (length > 0) {
                out.append(bytes.substr(i, length));
                i += length;
            } else {
                append_character_reference(out, byte);
                ++i;
            }
            continue;
        }
        switch (byte) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if (byte == '\t') {
                out += ' ';
            } else if (byte < 0x20 || byte == 0x7f) {
                append_character_reference(out, 0xfffd);
            } else {
                out += static_cast<char>(byte);
            }
        }
        ++i;
    }
}

std::string xml_text(std::string_view bytes)
{
    std::string out;
    append_xml_text(out, bytes);
    return out;
}

std::string decimal_text(double value, int decimals)
{
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string written(text, result.ptr);
    if (written.front() == '-' && written.find_first_not_of("-0.") == std::string::npos) written.erase(0, 1);
    return written;
}

void append_svg_number(std::string& out, double value)
{
    const std::string text = decimal_text(value, 2);
    std::string_view written(text);
    while (written.back() == '0') written.remove_suffix(1);
    if (written.back() == '.') written.remove_suffix(1);
    out.append(written);
}

std::string svg_number(double value)
{
    std::string out;
    append_svg_number(out, value);
    return out;
}

namespace {

// Bytes of the character at the start of bytes: a whole UTF-8 character, or one byte.
std::size_t character_bytes(std::string_view bytes)
{
    const auto byte = static_cast<unsigned char>(bytes.front());
    if (byte < 0x80) return 1;
    return std::max<std::size_t>(1, platform::utf8_character_length(bytes));
}

// The bytes of the first count characters of text.
std::size_t bytes_of_characters(std::string_view text, std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t shown = 0; shown < count && at < text.size(); ++shown) at += character_bytes(text.substr(at));
    return at;
}

}  // namespace

std::size_t shown_length(std::string_view bytes)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < bytes.size(); at += character_bytes(bytes.substr(at))) ++count;
    return count;
}

std::vector<std::string> wrapped_lines(std::string_view text, std::size_t width)
{
    std::vector<std::string> lines;
    width = std::max<std::size_t>(width, 1);
    for (;;) {
        const std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) return lines;
        text.remove_prefix(start);
        std::size_t end = bytes_of_characters(text, width);
        if (end < text.size()) {
            // The last blank within the line, or the blank that directly follows it.
            const std::size_t blank = text.substr(0, end + 1).rfind(' ');
            if (blank != std::string_view::npos) end = blank;
        }
        const std::string_view line = text.substr(0, end);
        lines.emplace_back(line.substr(0, line.find_last_not_of(' ') + 1));
        text.remove_prefix(end);
    }
}
