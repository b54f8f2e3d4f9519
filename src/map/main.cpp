// plotmap: draws a plot file as an SVG map and lists its highest receptors.

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.hpp"
#include "map/command_line.hpp"
#include "map/plot_map.hpp"
#include "platform/platform.hpp"

int main(int argc, char** argv)
{
    // A closed pipe on standard output is a write failure with status 2, not death by signal.
    platform::start_process();
    set_program_name("plotmap");
    try {
        const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        const MapOptions options = parse_command_line(arguments);
        if (options.help || options.version) {
            const std::string text = options.help ? help_text() : std::string("plotmap ") + PLOTMAP_VERSION + '\n';
            if (!write_standard_output(text)) return 0;
            report("writing 'standard output': the text could not be written");
            return 2;
        }
        run_plotmap(options);
        return 0;
    } catch (const UsageError& error) {
        report(error.detail, std::string(USAGE) + '\n');
    } catch (const std::exception& failure) {
        // A RunFailure, or what the standard library throws (out of memory).
        report(failure.what());
    }
    return 2;
}
