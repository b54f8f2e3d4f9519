#include "map/json_text.hpp"

#include <charconv>
#include <cstdint>

#include "platform/text_encoding.hpp"

namespace {

// Beyond this many places between the point and the first digit a number
// is written in exponent form.
constexpr std::int64_t kPlainPlaces = 21;

void append_code_point(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void append_unicode_escape(std::string& out, unsigned code)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\u00";
    out += kDigits[(code >> 4) & 0xF];
    out += kDigits[code & 0xF];
}

}  // namespace

std::string json_number(const DecimalText& number)
{
    if (number.kind != DecimalText::Kind::Number) return "null";
    std::string digits;
    number.each_digit([&](char c) {
        if (!digits.empty() || c != '0') digits += c;
    });
    std::string text = number.negative ? "-" : "";
    if (digits.empty()) return text + '0';
    // value = digits x 10^exponent; the zeros that end the digits go into the exponent.
    std::int64_t exponent = number.exponent;
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const auto count = static_cast<std::int64_t>(digits.size());
    const std::int64_t integer_digits = count + exponent;  // places before the point
    if (integer_digits > kPlainPlaces || integer_digits < -kPlainPlaces) {
        text += digits.front();
        if (count > 1) text += '.' + digits.substr(1);
        text += 'e';
        text += integer_digits - 1 >= 0 ? '+' : '-';
        text += std::to_string(integer_digits - 1 >= 0 ? integer_digits - 1 : 1 - integer_digits);
    } else if (exponent >= 0) {
        text += digits;
        text.append(static_cast<std::size_t>(exponent), '0');
    } else if (integer_digits > 0) {
        text += digits.substr(0, static_cast<std::size_t>(integer_digits));
        text += '.';
        text += digits.substr(static_cast<std::size_t>(integer_digits));
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-integer_digits), '0');
        text += digits;
    }
    return text;
}

bool is_json_number(std::string_view text)
{
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at - start;
    };
    if (at < text.size() && text[at] == '-') ++at;
    const std::size_t integer_start = at;
    const std::size_t integer_digits = digits();
    if (integer_digits == 0 || (integer_digits > 1 && text[integer_start] == '0')) return false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (digits() == 0) return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (digits() == 0) return false;
    }
    return at == text.size();
}

void append_json_double(std::string& out, double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void append_json_string(std::string& out, std::string_view bytes)
{
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80) {
            const std::size_t length = platform::utf8_character_length(bytes.substr(i));
            if (length > 0) {
                out.append(bytes.substr(i, length));
                i += length;
            } else {
                append_code_point(out, byte);
                ++i;
            }
            continue;
        }
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20) {
            append_unicode_escape(out, byte);
        } else {
            out += static_cast<char>(byte);
        }
        ++i;
    }
    out += '"';
}
