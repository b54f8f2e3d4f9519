#include "dialogue/answer_reader.hpp"

#include <limits>

#include "diagnostics.hpp"
#include "number/integer_text.hpp"
#include "number/real_text.hpp"
#include "platform/text_encoding.hpp"
#include "run_failure.hpp"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

// Longer than any number a person types; the bytes beyond are still consumed,
// and a longer number answer is refused rather than stored without bound.
constexpr std::size_t kLongestNumber = 4096;

constexpr const char* kStep = "reading an answer";

std::string standard_input() { return std::string(stream_name(platform::StandardStream::Input)); }

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }

bool ends_value(int c) { return is_blank(c) || c == ',' || c == '/' || c == '\n' || c < 0; }

RunFailure end_of_input(std::string_view question)
{
    return RunFailure(kStep, standard_input() + " ended before the answer to " + std::string(question));
}

RunFailure not_a_number(std::string_view question, std::string_view token, std::string_view what,
                        std::string_view note)
{
    if (token.size() > kLongestNumber) {
        return RunFailure(kStep, "the answer to " + std::string(question) + " is too long to be " + std::string(what) +
                                     std::string(note));
    }
    return RunFailure(kStep, "the answer to " + std::string(question) + ", '" + printable(token) + "', is not " +
                                 std::string(what) + std::string(note));
}

AnswerText blank_text()
{
    AnswerText text;
    text.fill(' ');
    return text;
}

}  // namespace

AnswerReader::AnswerReader(platform::FileHandle source) : input_(source, kBufferSize) {}

int AnswerReader::peek_byte()
{
    if (input_.size() == 0) {
        std::optional<platform::SystemError> error;
        if (!input_.read_more(error)) {
            if (error) throw RunFailure(kStep, standard_input() + ": " + platform::error_text(*error));
            return kEnd;
        }
    }
    return static_cast<unsigned char>(*input_.data());
}

int AnswerReader::next_byte()
{
    const int c = peek_byte();
    if (c != kEnd) {
        input_.take(1);
        ++offset_;
    }
    return c;
}

void AnswerReader::skip_rest_of_line(int last)
{
    while (last != '\n' && last != kEnd) last = next_byte();
}

// The first byte of the answer: blank lines are skipped, blanks and tabs
// before the value too. A comma or slash here means an empty answer.
int AnswerReader::first_value_byte(std::string_view question)
{
    ++answers_begun_;
    for (;;) {
        const std::uint64_t line_start = offset_;
        int c = next_byte();
        while (is_blank(c)) c = next_byte();
        if (c == kEnd) throw end_of_input(question);
        if (c != '\n') {
            value_at_line_start_ = offset_ - 1 == line_start;
            value_at_input_start_ = offset_ == 1;
            return c;
        }
    }
}

// A first answer that fails because its line starts with a UTF-8 byte-order
// mark: usually an answer file saved by an editor that writes one. A mark
// after blank lines was put there otherwise, and is named as a line's.
std::string AnswerReader::byte_order_mark_note(std::string_view token) const
{
    if (answers_begun_ != 1 || !value_at_line_start_ || !token.starts_with(platform::UTF8_BYTE_ORDER_MARK)) return {};
    if (value_at_input_start_) return ::byte_order_mark_note("the answer file", "save it without one");
    return ::byte_order_mark_note("the line of this first answer", "remove it");
}

// Appends first and the bytes after it up to the byte that ends the value,
// which it returns; stores no more than one byte past kLongestNumber.
int AnswerReader::collect_token(int first, std::string& token)
{
    int c = first;
    while (!ends_value(c)) {
        if (token.size() <= kLongestNumber) token += static_cast<char>(c);
        c = next_byte();
    }
    return c;
}

std::optional<std::int32_t> AnswerReader::read_integer_answer(std::string_view question)
{
    const int first = first_value_byte(question);
    if (first == ',' || first == '/') {
        skip_rest_of_line(first);
        return std::nullopt;
    }
    std::string token;
    skip_rest_of_line(collect_token(first, token));

    const std::optional<std::int64_t> value = token.size() > kLongestNumber ? std::nullopt : read_integer_text(token);
    if (!value) throw not_a_number(question, token, "a whole number", byte_order_mark_note(token));
    if (!fits_32_bits(*value)) {
        throw RunFailure(kStep, "the answer to " + std::string(question) + ", '" + printable(token) +
                                    "', is outside the range of a 32-bit integer");
    }
    return static_cast<std::int32_t>(*value);
}

float AnswerReader::read_real_answer(std::string_view question, float current)
{
    const int first = first_value_byte(question);
    if (first == ',' || first == '/') {
        skip_rest_of_line(first);
        return current;
    }
    std::string token;
    skip_rest_of_line(collect_token(first, token));
    const std::optional<float> value =
        token.size() > kLongestNumber ? std::nullopt : read_real_text(token, 0);
    if (!value) throw not_a_number(question, token, "a number", byte_order_mark_note(token));
    return *value;
}

// Reads a quoted word after its opening mark, up to the closing mark or the
// end of the line; a doubled mark stands for one. Returns the byte that ended it.
int AnswerReader::collect_quoted(int mark, AnswerText& word, std::size_t& length)
{
    for (;;) {
        int c = next_byte();
        if (c == '\r' && peek_byte() == '\n') c = next_byte();
        if (c == '\n' || c == kEnd) return c;
        if (c == mark) {
            if (peek_byte() != mark) return c;
            next_byte();
        }
        if (length < word.size()) word[length++] = static_cast<char>(c);
    }
}

AnswerText AnswerReader::read_word_answer(std::string_view question)
{
    AnswerText word = blank_text();
    const int first = first_value_byte(question);
    if (first == ',' || first == '/') {
        skip_rest_of_line(first);
        return word;
    }
    std::size_t length = 0;
    int last = first;
    if (first == '\'' || first == '"') {
        last = collect_quoted(first, word, length);
    } else {
        while (!ends_value(last)) {
            if (length < word.size()) word[length++] = static_cast<char>(last);
            last = next_byte();
        }
    }
    skip_rest_of_line(last);
    return word;
}

NameAnswer AnswerReader::read_name_answer(std::string_view question)
{
    ++answers_begun_;
    NameAnswer name{blank_text()};
    int c = next_byte();
    if (c == kEnd) throw end_of_input(question);
    std::size_t length = 0;
    while (c != '\n' && c != '\r' && c != kEnd) {
        if (length < name.text.size()) {
            name.text[length++] = static_cast<char>(c);
        } else if (c != ' ') {
            name.too_long = true;
        }
        c = next_byte();
    }
    // A CR ends the name; an LF right after it belongs to the same line end.
    if (c == '\r' && peek_byte() == '\n') next_byte();
    return name;
}
