#include <exception>
#include <string>

#include "dialogue/dialogue.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

int main()
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    platform::start_process();
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
