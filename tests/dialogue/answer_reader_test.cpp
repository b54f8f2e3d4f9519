#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "../plot/plot_test_support.hpp"
#include "dialogue/answer_reader.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

// Answers written whole into a file, read from its start.
class Answers {
public:
    explicit Answers(const std::string& text) : source_(file_holding(text)), reader_(source_) {}
    ~Answers() { platform::close_file(source_); }
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    AnswerReader& reader() { return reader_; }

private:
    platform::FileHandle file_holding(const std::string& text)
    {
        const std::string path = folder_.file("answers");
        write_file(path, text);
        platform::OpenedFile opened;
        if (platform::open_existing_for_reading(path, opened)) throw std::runtime_error("cannot open " + path);
        return opened.handle;
    }

    ScratchFolder folder_;
    platform::FileHandle source_;
    AnswerReader reader_;
};

constexpr const char* kQuestion = "the test question";

std::string text(const AnswerText& answer) { return std::string(answer.data(), answer.size()); }
std::string text(const NameAnswer& answer) { return text(answer.text); }

std::string padded(const std::string& value) { return value + std::string(LINE_WIDTH - value.size(), ' '); }

TEST(IntegerAnswers, ReadTheFirstValueOfTheFirstNonBlankLine)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"7\n", 7},           {"\n \t\n  3\n", 3},    {"2 3\n", 2},        {"2,3\n", 2},
        {"4/\n", 4},          {"+5", 5},              {"-12\n", -12},      {"\t9\t\n", 9},
        {"2147483647\n", 2147483647}, {"-2147483648\n", std::numeric_limits<std::int32_t>::min()},
        {"5\r\n", 5},         {"\r5\r\n", 5},         {"5\rjunk\n", 5},    {"00042\n", 42},
        {",\n", std::nullopt}, {"/\n", std::nullopt}, {"\n\n,\n", std::nullopt}, {"  /5\n", std::nullopt},
    };
    for (const auto& [input, expected] : cases) {
        Answers answers(input);
        EXPECT_EQ(expected, answers.reader().read_integer_answer(kQuestion)) << input;
    }
}

TEST(IntegerAnswers, FailOnAnythingButAWholeNumberInRangeAndOnEndOfInput)
{
    const std::string refused[] = {
        "2147483648\n", "-2147483649\n", "99999999999999999999\n", "+\n", "-\n", "1.0\n", "2*3\n",
        "3;\n",         "12a\n",         "",                       "\n \t\n", "\r\n",
        std::string(4097, '1') + "\n",   std::string(5000, '0') + "1\n",
    };
    for (const std::string& input : refused) {
        Answers answers(input);
        EXPECT_THROW(answers.reader().read_integer_answer(kQuestion), RunFailure) << input.substr(0, 40);
    }
}

TEST(RealAnswers, ReadEveryRealFormOrKeepTheCurrentValueWhenEmpty)
{
    const std::pair<const char*, float> cases[] = {
        {"1.0\n", 1.0f},     {"1\n", 1.0f},        {".5\n", 0.5f},       {"2.5E-1\n", 0.25f},
        {"1D0\n", 1.0f},     {"1.5+2\n", 150.0f},  {"1.5d2\n", 150.0f},  {"-2.5e-1\n", -0.25f},
        {"  0.1 9\n", 0.1f}, {"\n\n2.0\r\n", 2.0f}, {"3\rjunk\n", 3.0f}, {"4.0", 4.0f},
        {"123\n", 123.0f},   {"inf\n", std::numeric_limits<float>::infinity()},
        {",\n", 3.5f},       {"/\n", 3.5f},        {"\n \n,2\n", 3.5f},
    };
    for (const auto& [input, expected] : cases) {
        Answers answers(input);
        EXPECT_EQ(expected, answers.reader().read_real_answer(kQuestion, 3.5f)) << input;
    }
}

TEST(RealAnswers, FailOnForeignFormsAndOnEndOfInput)
{
    const std::string refused[] = {
        "2*1.0\n", "1.0;\n", "1;2\n", "1Q2\n", "E1\n", ".\n",  "+\n",  "1E\n",
        "1.5+\n",  "1..5\n", "abc\n", "",      "\n\n", std::string(4097, '1') + "\n",
    };
    for (const std::string& input : refused) {
        Answers answers(input);
        EXPECT_THROW(answers.reader().read_real_answer(kQuestion, 1.0f), RunFailure) << input.substr(0, 40);
    }
}

TEST(WordAnswers, ReadAPlainOrQuotedWordBlankPadded)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A\n", "A"},
        {"Average sum\n", "Average"},
        {"\n\n  Y,N\n", "Y"},
        {"  'a b,c/d' rest\n", "a b,c/d"},
        {"\"x\"\"y\"\n", "x\"y"},
        {"'it''s'\n", "it's"},
        {"'open word\n", "open word"},
        {"'crlf'\r\n", "crlf"},
        {"A\rB\n", "A"},
        {"Y", "Y"},
        {",\n", ""},
        {"\n/\n", ""},
    };
    for (const auto& [input, expected] : cases) {
        Answers answers(input);
        EXPECT_EQ(padded(expected), text(answers.reader().read_word_answer(kQuestion))) << input;
    }
}

TEST(WordAnswers, FailOnEndOfInputAlsoAfterBlankLines)
{
    for (const char* input : {"", "\n", " \t\r\n\n"}) {
        Answers answers(input);
        EXPECT_THROW(answers.reader().read_word_answer(kQuestion), RunFailure) << input;
    }
}

// A name longer than 120 bytes, trailing blanks aside, is told so.
TEST(NameAnswers, TakeTheWholeLineCutTo120)
{
    const std::string long_name(130, 'n');
    const std::string name_and_blanks = std::string(120, 'm') + "    ";
    Answers answers("  lead, /x  \n\n" + long_name + "\n" + name_and_blanks + "\na.plt\r\nb.plt\rc.plt\n2\nlast");
    AnswerReader& reader = answers.reader();
    EXPECT_EQ(padded("  lead, /x  "), text(reader.read_name_answer(kQuestion)));
    EXPECT_EQ(padded(""), text(reader.read_name_answer(kQuestion)));  // a blank line is an empty name
    const NameAnswer cut = reader.read_name_answer(kQuestion);
    EXPECT_EQ(long_name.substr(0, 120), text(cut));
    EXPECT_TRUE(cut.too_long);
    EXPECT_FALSE(reader.read_name_answer(kQuestion).too_long);
    EXPECT_EQ(padded("a.plt"), text(reader.read_name_answer(kQuestion)));
    EXPECT_EQ(padded("b.plt"), text(reader.read_name_answer(kQuestion)));  // a lone CR ends the name
    EXPECT_EQ(padded("c.plt"), text(reader.read_name_answer(kQuestion)));
    EXPECT_EQ(2, reader.read_integer_answer(kQuestion));
    EXPECT_EQ(padded("last"), text(reader.read_name_answer(kQuestion)));
    EXPECT_THROW(reader.read_name_answer(kQuestion), RunFailure);
}

// Each answer starts on the line after the previous one, whatever that line held after its value.
TEST(AnswerSequences, DiscardTheRestOfEachAnswerLine)
{
    Answers answers("2 junk\n first.plt\n1.0 2.0\n,\n'a b' c\n5\rrest\n'unclosed, word\nY\n");
    AnswerReader& reader = answers.reader();
    EXPECT_EQ(2, reader.read_integer_answer(kQuestion));
    EXPECT_EQ(padded(" first.plt"), text(reader.read_name_answer(kQuestion)));
    EXPECT_EQ(1.0f, reader.read_real_answer(kQuestion, 9.0f));
    EXPECT_EQ(9.0f, reader.read_real_answer(kQuestion, 9.0f));
    EXPECT_EQ(padded("a b"), text(reader.read_word_answer(kQuestion)));
    EXPECT_EQ(5.0f, reader.read_real_answer(kQuestion, 9.0f));
    EXPECT_EQ(padded("unclosed, word"), text(reader.read_word_answer(kQuestion)));
    EXPECT_EQ(padded("Y"), text(reader.read_word_answer(kQuestion)));
    EXPECT_THROW(reader.read_word_answer(kQuestion), RunFailure);
}

// The diagnostic of a failing read of the count, after the reads that
// first_reads makes (1: one name answer; 0: none).
std::string count_failure(const std::string& input, int first_reads)
{
    Answers answers(input);
    AnswerReader& reader = answers.reader();
    try {
        if (first_reads == 1) reader.read_name_answer(kQuestion);
        reader.read_integer_answer(kQuestion);
    } catch (const RunFailure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(ByteOrderMark, IsNamedWhenTheFirstAnswerFailsAndItsLineStartsWithTheMark)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string at_start = "the answer file starts with a UTF-8 byte-order mark (bytes EF BB BF); save it without one";
    const std::string after_blank_lines =
        "the line of this first answer starts with a UTF-8 byte-order mark (bytes EF BB BF); remove it";
    const struct {
        std::string input;
        int first_reads;
        std::string note;  // empty: the diagnostic says nothing about a mark
    } cases[] = {
        {mark + "2\n", 0, at_start},
        {mark + "\n2\n", 0, at_start},            // the mark alone on the first line
        {mark + std::string(5000, '1') + "\n", 0, at_start},  // too long, and still the mark
        {"\n \t\n" + mark + "2\n", 0, after_blank_lines},
        {"  " + mark + "2\n", 0, ""},             // the line starts with blanks
        {"2" + mark + "\n", 0, ""},               // the mark inside the answer
        {"\xEF\xBB" "2\n", 0, ""},                  // two bytes of the mark only
        {"a.plt\n" + mark + "2\n", 1, ""},         // not the first answer
    };
    for (const auto& c : cases) {
        const std::string diagnostic = count_failure(c.input, c.first_reads);
        if (c.note.empty()) {
            EXPECT_EQ(std::string::npos, diagnostic.find("byte-order mark")) << diagnostic;
            EXPECT_NE("no failure", diagnostic);
        } else {
            const std::string ending = ": " + c.note;
            EXPECT_TRUE(diagnostic.ends_with(ending)) << diagnostic;
        }
    }
}

}  // namespace
