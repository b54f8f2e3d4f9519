#include <exception>
#include <string>

#include "dialogue/dialogue.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

int run()
{
    try {
        run_dialogue();
        return 0;
    } catch (const RunFailure& failure) {
        write_diagnostic(failure.what());
    } catch (const std::exception& failure) {
        write_diagnostic(std::string("plotmerge: ") + failure.what());
    }
    return 2;
}

}  // namespace

int main()
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    platform::start_process();
    const int status = run();
    // Every file is closed by now. A console window that closes with the
    // process (plotmerge.exe started from Explorer) waits until its last
    // lines, a diagnostic among them, have been read.
    platform::keep_own_console_window_open("Press Enter to close this window.");
    return status;
}
