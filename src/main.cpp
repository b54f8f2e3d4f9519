#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "diagnostics.hpp"
#include "dialogue/dialogue.hpp"
#include "dialogue/help_text.hpp"
#include "merge/merge_warnings.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

enum class Request { Dialogue, Help, Version };

// --help or --version, wherever it stands, answers instead of the dialogue
// (--help when both are given). Every other argument is ignored, as it
// always was, so the runs of answer files stay as they were.
Request requested(int argc, char** argv)
{
    Request request = Request::Dialogue;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") return Request::Help;
        if (argument == "--version") request = Request::Version;
    }
    return request;
}

// what: "the help" or "the version", for the diagnostic of a failed write.
void print_text(std::string_view what, std::string_view text)
{
    if (const auto error = write_standard_output(text)) {
        throw RunFailure::from_system("writing " + std::string(what) + " to",
                                      stream_name(platform::StandardStream::Output), *error);
    }
}

// The warnings of the run come first, then a failure's diagnostic, so that
// the diagnostic is the last line on standard error.
int run(Request request)
{
    MergeWarnings warnings;
    std::optional<std::string> failure;
    try {
        switch (request) {
        case Request::Help: print_text("the help", help_text()); break;
        case Request::Version: print_text("the version", "plotmerge " PLOTMERGE_VERSION "\n"); break;
        case Request::Dialogue: run_dialogue(warnings); break;
        }
    } catch (const std::exception& stop) {
        // A RunFailure, or what the standard library throws (out of memory).
        failure = stop.what();
    }
    for (const std::string& text : warnings.texts()) warn(text);
    if (!failure) return 0;
    report(*failure);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    platform::start_process();
    set_program_name("plotmerge");
    const int status = run(requested(argc, argv));
    // Every file is closed by now. A console window that closes with the
    // process (plotmerge.exe started from Explorer) waits until its last
    // lines, a diagnostic among them, have been read.
    platform::keep_own_console_window_open("Press Enter to close this window.");
    return status;
}
