#include "platform/text_encoding.hpp"

#include <algorithm>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The start of a UTF-8 character: how many bytes it needs, and how many of
// them are there and well-formed (0 when the first byte cannot begin one).
struct Utf8Start {
    std::size_t needed = 1;
    std::size_t valid = 0;
};

Utf8Start examine_utf8(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    if (lead < 0x80) return {1, 1};
    // The second byte's range also rules out overlong forms (after E0 and F0),
    // surrogates (after ED) and code points beyond U+10FFFF (after F4).
    std::size_t needed = 0;
    unsigned char second_low = 0x80;
    unsigned char second_high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 3;
        if (lead == 0xE0) second_low = 0xA0;
        if (lead == 0xED) second_high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 4;
        if (lead == 0xF0) second_low = 0x90;
        if (lead == 0xF4) second_high = 0x8F;
    } else {
        return {1, 0};
    }
    std::size_t valid = 1;
    while (valid < needed && valid < bytes.size()) {
        const auto next = static_cast<unsigned char>(bytes[valid]);
        const unsigned char low = valid == 1 ? second_low : 0x80;
        const unsigned char high = valid == 1 ? second_high : 0xBF;
        if (next < low || next > high) break;
        ++valid;
    }
    return {needed, valid};
}

void append_utf8(char32_t code, std::string& utf8)
{
    const auto put = [&utf8](char32_t bits) { utf8 += static_cast<char>(bits); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | (code >> 6));
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | (code >> 12));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | (code >> 18));
        put(0x80 | ((code >> 12) & 0x3F));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

void append_utf16(char32_t code, std::u16string& utf16)
{
    if (code < 0x10000) {
        utf16 += static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        utf16 += static_cast<char16_t>(0xD800 + (code >> 10));
        utf16 += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool is_control(char32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

void append_escape(unsigned char byte, std::u16string& shown)
{
    static constexpr char16_t hex[] = u"0123456789abcdef";
    shown += u"\\x";
    shown += hex[byte >> 4];
    shown += hex[byte & 0xF];
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte that an escape \xNN at this point of the line stands for, or -1.
int escaped_byte_at(std::string_view line, std::size_t at)
{
    if (line.size() - at < 4 || line[at] != '\\' || line[at + 1] != 'x') return -1;
    const int high = hex_value(line[at + 2]);
    const int low = hex_value(line[at + 3]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// A run of escaped bytes, all 0x80 or above, as the console shows it.
void show_escaped_run(std::string_view run, AnsiReader read_ansi, std::u16string& shown)
{
    bool holds_utf8 = false;
    for (std::size_t at = 0; at < run.size() && !holds_utf8; ++at) holds_utf8 = utf8_character_length(run.substr(at)) > 0;
    if (holds_utf8) {
        for (std::size_t at = 0; at < run.size();) {
            const std::size_t length = utf8_character_length(run.substr(at));
            const char32_t code = length > 0 ? utf8_character(run.substr(at), length) : 0;
            if (length > 0 && !is_control(code)) {
                append_utf16(code, shown);
            } else {
                for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                    append_escape(static_cast<unsigned char>(run[at + i]), shown);
                }
            }
            at += std::max<std::size_t>(length, 1);
        }
        return;
    }
    // A byte the code page leaves undefined reads as a control or as U+FFFD: the run stays escaped then.
    const std::u16string characters = read_ansi(run);
    const bool readable = std::none_of(characters.begin(), characters.end(),
                                       [](char16_t unit) { return is_control(unit) || unit == kReplacement; });
    if (readable && !characters.empty()) {
        shown += characters;
    } else {
        for (const char byte : run) append_escape(static_cast<unsigned char>(byte), shown);
    }
}

}  // namespace

std::size_t utf8_character_length(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    const Utf8Start start = examine_utf8(bytes);
    return start.valid == start.needed ? start.needed : 0;
}

char32_t utf8_character(std::string_view bytes, std::size_t length)
{
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(bytes[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    return code;
}

std::u16string utf16_from_utf8(std::string_view utf8)
{
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8_character_length(utf8.substr(at));
        if (length == 0) {
            append_utf16(kReplacement, utf16);
            ++at;
            continue;
        }
        append_utf16(utf8_character(utf8.substr(at), length), utf16);
        at += length;
    }
    return utf16;
}

bool is_utf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8_character_length(bytes.substr(at));
        if (length == 0) return false;
        at += length;
    }
    return true;
}

void Utf16ToUtf8::append(std::u16string_view units, std::string& utf8)
{
    for (const char16_t unit : units) {
        if (waiting_ != 0) {
            const char16_t high = waiting_;
            waiting_ = 0;
            if (is_low_surrogate(unit)) {
                append_utf8(0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{unit} - 0xDC00), utf8);
                continue;
            }
            append_utf8(kReplacement, utf8);
        }
        if (is_high_surrogate(unit)) {
            waiting_ = unit;
        } else {
            append_utf8(is_low_surrogate(unit) ? kReplacement : char32_t{unit}, utf8);
        }
    }
}

void Utf16ToUtf8::finish(std::string& utf8)
{
    if (waiting_ == 0) return;
    waiting_ = 0;
    append_utf8(kReplacement, utf8);
}

std::u16string console_text(std::string_view line, AnsiReader read_ansi)
{
    std::u16string shown;
    std::string standing;  // bytes that stand as they are
    std::string run;       // escaped bytes of 0x80 and above
    const auto show_standing = [&] {
        if (standing.empty()) return;
        shown += read_ansi(standing);
        standing.clear();
    };
    const auto show_run = [&] {
        if (run.empty()) return;
        show_escaped_run(run, read_ansi, shown);
        run.clear();
    };
    for (std::size_t at = 0; at < line.size();) {
        const int byte = escaped_byte_at(line, at);
        if (byte >= 0x80) {
            show_standing();
            run += static_cast<char>(byte);
            at += 4;
            continue;
        }
        show_run();
        // An escaped control byte or backslash stays an escape: its four characters stand.
        const std::size_t length = byte >= 0 ? 4 : 1;
        standing.append(line.substr(at, length));
        at += length;
    }
    show_standing();
    show_run();
    return shown;
}

}  // namespace platform
