#include <cerrno>
#include <csignal>
#include <exception>
#include <string>
#include <unistd.h>

#include "dialogue/dialogue.hpp"
#include "run_failure.hpp"

namespace {

// One line on standard error; nothing more can be done when that fails.
void report(std::string line)
{
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

}  // namespace

int main()
{
    // A closed pipe on standard output, or an output beyond the file size
    // limit, is a write failure with status 2, not death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
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
