#include "map/plot_map.hpp"

#include <deque>
#include <optional>

#include "diagnostics.hpp"
#include "map/contours.hpp"
#include "map/csv_export.hpp"
#include "map/geojson_export.hpp"
#include "map/receptor_layout.hpp"
#include "map/svg_map.hpp"
#include "map/top_table.hpp"
#include "run_failure.hpp"
#include "plot/open_files.hpp"
#include "plot/plot_reader.hpp"
#include "plot/plot_writer.hpp"

namespace {

constexpr std::string_view kStandardOutput = "-";

// Writes text to standard output, unbuffered and byte for byte.
void print(std::string_view text)
{
    if (const auto error = write_standard_output(text)) throw RunFailure::from_system("writing", stream_name(platform::StandardStream::Output), *error);
}

std::string chosen_title(const MapOptions& options, const PlotContents& contents)
{
    if (options.title) return *options.title;
    if (!contents.first_header.empty()) return contents.first_header;
    return options.input;
}

// The outputs of a run, each open until all are written, so that no two can
// be one file under two names, nor any be the input.
class Outputs {
public:
    explicit Outputs(OpenFiles& open_files) : open_files_(open_files) {}

    // Writes what write gives to the sink, into the file name, or to standard output for "-".
    template <class Write>
    void write(const std::string& name, Write&& write)
    {
        if (name == kStandardOutput) return write([](std::string_view piece) { print(piece); });
        PlotWriter& file = files_.emplace_back(open_plot_output(name, open_files_));
        write([&file](std::string_view piece) {
            if (!piece.empty()) file.write(piece.data(), piece.size());
        });
    }

    void close()
    {
        for (PlotWriter& file : files_) file.close();
    }

private:
    OpenFiles& open_files_;
    std::deque<PlotWriter> files_;
};

std::vector<LevelLines> contours_of(const MapOptions& options, const PlotContents& contents,
                                    const std::vector<float>& levels, std::optional<ReceptorMesh>& mesh)
{
    if (levels.empty()) return {};
    mesh = find_mesh(contents.receptors);
    if (mesh) return trace_contours(*mesh, contents.receptors, levels);
    warn(quoted(options.input) + ": the receptors form no grid of rows and columns, nor of rings and directions: no contour lines are drawn");
    return {};
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
    const PlotContents contents =
        read_plot_contents(input, {options.top_count, options.value_field, options.csv || options.geojson});
    std::vector<float> levels;
    for (const ContourLevel& level : options.levels) levels.push_back(level.value);
    std::optional<ReceptorMesh> mesh;
    const std::vector<LevelLines> contours = contours_of(options, contents, levels, mesh);
    const std::string title = chosen_title(options, contents);
    const std::string svg = draw_map({title, options.input, contents, options.scale, levels, contours, mesh ? &*mesh : nullptr});

    // Opened only now, so that a file that cannot be read leaves nothing
    // behind; the input is still open, so no output can overwrite it.
    Outputs outputs(open_files);
    outputs.write(map_name, [&](const ExportSink& sink) { sink(svg); });
    if (options.csv) outputs.write(*options.csv, [&](const ExportSink& sink) { write_csv(contents, options.csv_separator, sink); });
    if (options.geojson) {
        const GeoJsonExtras extras{contours, options.levels, options.crs};
        outputs.write(*options.geojson, [&](const ExportSink& sink) { write_geojson(contents, extras, sink); });
    }
    outputs.close();
    if (!options.writes_standard_output()) {
        print(format_top_table(contents.highest, contents.fields, options.top_count, contents.receptors_repeat()));
    }
    input.close();
}
