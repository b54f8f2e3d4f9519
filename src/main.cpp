#include <exception>
#include <string>

#include "dialogue/dialogue.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

// One line on standard error; nothing more can be done when that fails.
void report(std::string line)
{
    line += '\n';
    std::size_t written = 0;
    platform::write_all(platform::standard_stream(platform::StandardStream::Error), line.data(), line.size(), written);
}

}  // namespace

int main()
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    platform::start_process();
    try {
        run_dialogue();
        return 0;
    } catch (const RunFailure& failure) {
        report(failure.what());
    } catch (const std::exception& failure) {
        report(std::string("plotmerge: ") + failure.what());
    }
    return 2;
}
