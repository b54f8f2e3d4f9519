#include <exception>
#include <optional>
#include <string>

#include "diagnostics.hpp"
#include "dialogue/dialogue.hpp"
#include "merge/merge_warnings.hpp"
#include "platform/platform.hpp"

namespace {

// The warnings of the run come first, then a failure's diagnostic, so that
// the diagnostic is the last line on standard error.
int run()
{
    MergeWarnings warnings;
    std::optional<std::string> failure;
    try {
        run_dialogue(warnings);
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

int main()
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    platform::start_process();
    set_program_name("plotmerge");
    const int status = run();
    // Every file is closed by now. A console window that closes with the
    // process (plotmerge.exe started from Explorer) waits until its last
    // lines, a diagnostic among them, have been read.
    platform::keep_own_console_window_open("Press Enter to close this window.");
    return status;
}
