#include "map/svg_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// Length of the valid UTF-8 sequence at the start of bytes, or 0.
std::size_t utf8_sequence_length(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fu;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0u) != 0x80u) return 0;
        code = (code << 6) | (byte(i) & 0x3fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    const bool not_a_character = code == 0xfffe || code == 0xffff || code > 0x10ffff;
    return overlong || surrogate || not_a_character ? 0 : length;
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
            const std::size_t length = utf8_sequence_length(bytes.substr(i));
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
