#include "map/plot_map.hpp"

#include "diagnostics.hpp"
#include "map/svg_map.hpp"
#include "map/top_table.hpp"
#include "run_failure.hpp"
#include "plot/open_files.hpp"
#include "plot/plot_reader.hpp"
#include "plot/plot_writer.hpp"

namespace {

constexpr std::string_view kStandardOutput = "-";

// Writes text to standard output, unbuffered and byte for byte.
void print(const std::string& text)
{
    if (const auto error = write_standard_output(text)) throw RunFailure::from_system("writing", stream_name(platform::StandardStream::Output), *error);
}

std::string chosen_title(const MapOptions& options, const PlotContents& contents)
{
    if (options.title) return *options.title;
    if (!contents.first_header.empty()) return contents.first_header;
    return options.input;
}

}  // namespace

void run_plotmap(const MapOptions& options)
{
    const std::string map_name = options.output ? *options.output : default_map_name(options.input);
    if (map_name.empty()) {
        throw RunFailure("naming the map of", options.input, "FILE names no file; give the map a name with -o OUT");
    }
    OpenFiles open_files;
    PlotReader input = open_existing_plot_file(options.input, open_files);
    const PlotContents contents = read_plot_contents(input, options.top_count);
    const std::string title = chosen_title(options, contents);
    const std::string svg = draw_map({title, options.input, contents, options.scale});

    if (map_name == kStandardOutput) {
        print(svg);
    } else {
        // Opened only now, so that a file that cannot be read leaves nothing
        // behind; the input is still open, so the map cannot overwrite it.
        PlotWriter map = open_plot_output(map_name, open_files);
        map.write(svg.data(), svg.size());
        map.close();
        print(format_top_table(contents.highest, contents.fields, options.top_count));
    }
    input.close();
}
