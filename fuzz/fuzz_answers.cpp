// Arbitrary bytes as the operator's answers: an integer, a name, a real and a
// word are read in turn, round after round, until the input ends or an answer
// is refused. A refusal is a RunFailure with a one-line printable diagnostic;
// nothing else may escape, and a name or word is always LINE_WIDTH bytes that
// hold no line end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include "dialogue/answer_reader.hpp"
#include "run_failure.hpp"

namespace {

// A memory file holding the answers, read from its start.
int answer_file(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = ::memfd_create("answers", MFD_CLOEXEC);
    if (descriptor < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(descriptor, data + done, size - done);
        if (written <= 0) std::abort();
        done += static_cast<std::size_t>(written);
    }
    if (::lseek(descriptor, 0, SEEK_SET) != 0) std::abort();
    return descriptor;
}

void expect_single_line(const AnswerText& text, const char* what)
{
    for (const char c : text) {
        if (c == '\n') {
            std::fprintf(stderr, "a %s answer holds a line feed\n", what);
            std::abort();
        }
    }
}

void read_answers(AnswerReader& answers)
{
    for (;;) {
        answers.read_integer_answer("the count");
        const AnswerText name = answers.read_name_answer("a name").text;
        expect_single_line(name, "name");
        for (const char c : name) {
            if (c == '\r') {
                std::fprintf(stderr, "a name answer holds a carriage return\n");
                std::abort();
            }
        }
        answers.read_real_answer("a factor", 1.0f);
        expect_single_line(answers.read_word_answer("a word"), "word");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = answer_file(data, size);
    AnswerReader answers(platform::FileHandle::from_native(descriptor));
    try {
        read_answers(answers);
    } catch (const RunFailure& failure) {
        // The end of the answers, or an answer refused: both end a run, with a
        // diagnostic that must stay one line of printable text.
        for (const char* c = failure.what(); *c != '\0'; ++c) {
            if (static_cast<unsigned char>(*c) < 0x20 || static_cast<unsigned char>(*c) >= 0x7f) {
                std::fprintf(stderr, "a diagnostic holds the byte 0x%02x\n", static_cast<unsigned char>(*c));
                std::abort();
            }
        }
    }
    ::close(descriptor);
    return 0;
}
