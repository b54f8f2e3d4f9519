#pragma once

// Names and console text as Windows' wide-character functions take and give
// them: whether bytes are UTF-8, UTF-8 to UTF-16 and back, which bytes of a
// name are read as UTF-8, and how a diagnostic line shows at a console. Plain
// computation without a system call, used by windows.cpp and built everywhere
// so that it is tested on every platform.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The bytes some editors put at the start of a file saved as UTF-8. No rule
// skips them, so such a file fails on its first line or answer; the
// diagnostic then names the mark, which its bytes alone do not make plain.
inline constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// The length of the well-formed UTF-8 character the bytes start with (1 for
// ASCII), or 0 when they do not start with one. Well-formed: no overlong
// form, no surrogate, nothing beyond U+10FFFF.
std::size_t utf8_character_length(std::string_view bytes);

// The code point of the well-formed character of utf8_character_length
// bytes that the bytes start with.
char32_t utf8_character(std::string_view bytes, std::size_t length);

// UTF-8 as UTF-16; a byte that begins no well-formed character becomes U+FFFD.
std::u16string utf16_from_utf8(std::string_view utf8);

// Whether bytes are well-formed UTF-8 throughout: a name that is is read as
// UTF-8, any other in the ANSI code page.
bool is_utf8(std::string_view bytes);

// UTF-16 that arrives in pieces (a console's reads), as UTF-8. A surrogate
// pair split between two pieces is joined; a surrogate without its partner,
// which no character typed gives, becomes U+FFFD.
class Utf16ToUtf8 {
public:
    void append(std::u16string_view units, std::string& utf8);

    // The end of the text: a high surrogate still waiting becomes U+FFFD.
    void finish(std::string& utf8);

private:
    char16_t waiting_ = 0;  // a high surrogate whose partner may begin the next piece
};

// Reads bytes in the ANSI code page (MultiByteToWideChar on Windows).
using AnsiReader = std::u16string (*)(std::string_view bytes);

// A diagnostic line as a console shows it. The line escapes every byte of a
// name or field outside printable ASCII as \xNN (see printable); at a console
// a run of escaped bytes of 0x80 and above shows as the characters it stands
// for: as UTF-8 when it holds a UTF-8 character, and then stray bytes stay
// escaped; in the ANSI code page otherwise. A control character stays escaped
// in any case, so the line still cannot break. The bytes that stand as they are
// (the system's own text of a cause) are in the ANSI code page.
std::u16string console_text(std::string_view line, AnsiReader read_ansi);

}  // namespace platform
