#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/input_buffer.hpp"
#include "platform/platform.hpp"
#include "plot/plot_line.hpp"

// A word or name answer: LINE_WIDTH characters, blank-padded.
using AnswerText = std::array<char, LINE_WIDTH>;

// A name answer: the first LINE_WIDTH bytes of its line, blank-padded, and
// whether the line held more than that before its trailing blanks.
struct NameAnswer {
    AnswerText text;
    bool too_long = false;
};

// Reads the operator's answers, one per line, from an open file (standard
// input in a run). Each read starts at the beginning of the next line and
// discards what its line holds after the value. Every method takes a short
// description of the question for its diagnostics; the end of the input while
// an answer is awaited, and a number that is not of the required form, are
// failures.
class AnswerReader {
public:
    explicit AnswerReader(platform::FileHandle source);

    // An optionally signed decimal integer in the 32-bit range; empty when the
    // answer is a lone comma or slash. Blank lines before it are skipped.
    std::optional<std::int32_t> read_integer_answer(std::string_view question);

    // A real (see read_real_text), or current when the answer is empty.
    float read_real_answer(std::string_view question, float current);

    // A word, or a quoted text that may hold blanks, commas and slashes;
    // all blanks when the answer is empty.
    AnswerText read_word_answer(std::string_view question);

    // The whole next line as typed, cut to LINE_WIDTH; a blank line is an empty name.
    NameAnswer read_name_answer(std::string_view question);

private:
    static constexpr int kEnd = -1;

    int next_byte();
    int peek_byte();
    void skip_rest_of_line(int last);
    int first_value_byte(std::string_view question);
    int collect_token(int first, std::string& token);
    int collect_quoted(int mark, AnswerText& word, std::size_t& length);
    std::string byte_order_mark_note(std::string_view token) const;

    platform::InputBuffer input_;
    std::uint64_t offset_ = 0;        // bytes taken from the input so far
    std::uint64_t answers_begun_ = 0;  // the answer being read is the first when 1
    bool value_at_line_start_ = false;
    bool value_at_input_start_ = false;
};
