// plotmap: draws a plot file as an SVG map and lists its highest receptors.

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "map/command_line.hpp"
#include "map/plot_map.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

constexpr std::string_view kProgram = "plotmap";

// Lines on standard error; nothing more can be done when that fails.
void report(const std::string& lines)
{
    std::size_t written = 0;
    platform::write_all(platform::standard_stream(platform::StandardStream::Error), lines.data(), lines.size(), written);
}

// Help or version text on standard output; false when it could not be written.
bool show(const std::string& text)
{
    std::size_t written = 0;
    return !platform::write_all(platform::standard_stream(platform::StandardStream::Output), text.data(), text.size(),
                                written);
}

void report_failure(std::string_view detail) { report(std::string(kProgram) + ": " + std::string(detail) + '\n'); }

}  // namespace

int main(int argc, char** argv)
{
    // A closed pipe on standard output is a write failure with status 2, not death by signal.
    platform::start_process();
    try {
        const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        const MapOptions options = parse_command_line(arguments);
        if (options.help || options.version) {
            const std::string text = options.help ? help_text() : std::string(kProgram) + ' ' + PLOTMAP_VERSION + '\n';
            if (show(text)) return 0;
            report_failure("writing 'standard output': the text could not be written");
            return 2;
        }
        run_plotmap(options);
        return 0;
    } catch (const UsageError& error) {
        report(std::string(kProgram) + ": " + error.detail + '\n' + std::string(USAGE) + '\n');
    } catch (const RunFailure& failure) {
        report_failure(failure.detail());
    } catch (const std::exception& failure) {
        report_failure(failure.what());
    }
    return 2;
}
