#include <exception>

#include "diagnostics.hpp"
#include "dialogue/dialogue.hpp"
#include "platform/platform.hpp"

namespace {

int run()
{
    try {
        run_dialogue();
        return 0;
    } catch (const std::exception& failure) {
        // A RunFailure, or what the standard library throws (out of memory).
        report(failure.what());
    }
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
