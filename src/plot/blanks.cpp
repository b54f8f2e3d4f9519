#include "plot/blanks.hpp"

#include "plot/text_words.hpp"

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// Eight bytes at a time: a byte above the blank (bytes above 127 too) other
// than DEL is text; lines of data have some in their first word.
bool holds_nothing_but_blanks(const char* line, std::size_t width)
{
    std::size_t at = 0;
    for (; at + 8 <= width; at += 8) {
        const std::uint64_t word = load_text_word(line + at);
        const std::uint64_t above_blank = (((word & TEXT_LOW_BITS) + TEXT_ONES * (0x80 - 0x21)) | word) & TEXT_HIGH_BITS;
        if ((above_blank & ~bytes_equal(word, 0x7F)) != 0) return false;
    }
    for (; at < width; ++at) {
        const auto byte = static_cast<unsigned char>(line[at]);
        if (byte > ' ' && byte != 0x7F) return false;
    }
    return true;
}
