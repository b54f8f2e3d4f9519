#include "map/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "diagnostics.hpp"
#include "map/json_text.hpp"
#include "number/real_text.hpp"

namespace {

[[noreturn]] void refuse(std::string detail) { throw UsageError{"reading the command line: " + std::move(detail)}; }

std::size_t count_from(std::string_view option, std::string_view text, std::size_t least, std::string_view noun)
{
    std::size_t count = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || count < least) {
        refuse(std::string(option) + " needs a " + std::string(noun) + " of " + std::to_string(least) + " or more, not '" + std::string(text) + "'");
    }
    return count;
}

// "10,20,50": finite numbers of the real form plot files use, in any order;
// they are sorted, and a value given twice is kept once.
std::vector<ContourLevel> levels_from(std::string_view text)
{
    std::vector<ContourLevel> levels;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const std::optional<DecimalText> decimal = read_decimal_text(item, 0);
        if (!decimal || decimal->kind != DecimalText::Kind::Number) {
            refuse("--levels needs numbers separated by commas, such as 10,20,50, and '" + std::string(item) +
                   "' is not a number");
        }
        const float value = nearest_float(*decimal);
        if (!std::isfinite(value)) refuse("--levels needs finite numbers, and '" + std::string(item) + "' is too large");
        levels.push_back({value, json_number(*decimal)});
        start = comma + 1;
    }
    std::stable_sort(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a.value < b.value; });
    levels.erase(std::unique(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a.value == b.value; }),
                 levels.end());
    return levels;
}

char separator_from(std::string_view text)
{
    if (text == "," || text == ";") return text.front();
    refuse("--csv-separator takes ',' or ';', not '" + std::string(text) + "'");
}

// "EPSG:" and the digits of a code; the prefix in either case.
std::string crs_from(std::string_view text)
{
    const bool digits = text.size() > 5 && text.size() <= 14 &&
                        std::all_of(text.begin() + 5, text.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::string prefix(text.substr(0, std::min<std::size_t>(5, text.size())));
    std::transform(prefix.begin(), prefix.end(), prefix.begin(), [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    if (prefix != "EPSG:" || !digits) refuse("--crs needs a code such as EPSG:32633, not '" + std::string(text) + "'");
    return "EPSG:" + std::string(text.substr(5));
}

// Takes the value of an option, given as "--name=value", or as the next argument.
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string_view>& arguments) : arguments_(arguments) {}
    bool done() const { return next_ == arguments_.size(); }
    std::string_view take() { return arguments_[next_++]; }
    std::string_view value_of(std::string_view option, std::optional<std::string_view> attached)
    {
        if (attached) return *attached;
        if (done()) refuse(std::string(option) + " needs a value");
        return take();
    }

private:
    const std::vector<std::string_view>& arguments_;
    std::size_t next_ = 0;
};

void choose_scale(MapOptions& options, ScaleChoice choice)
{
    if (options.scale != ScaleChoice::Automatic && options.scale != choice) refuse("--log and --linear exclude each other");
    options.scale = choice;
}

std::string file_name_of(std::string_view option, std::string_view value)
{
    if (value.empty()) refuse(std::string(option) + " needs a file name");
    return std::string(value);
}

bool takes_value(std::string_view name)
{
    for (const std::string_view option : {"-o", "--output", "--top", "--title", "--field", "--levels", "--csv",
                                          "--csv-separator", "--geojson", "--crs"}) {
        if (name == option) return true;
    }
    return false;
}

// Options that only make sense with another, and outputs that would share standard output.
void check_together(const MapOptions& options, bool separator_given)
{
    if (separator_given && !options.csv) refuse("--csv-separator sets the separator of --csv, which is not given");
    if (options.crs && !options.geojson) refuse("--crs names the coordinates of --geojson, which is not given");
    if (!options.levels.empty() && options.scale != ScaleChoice::Automatic) {
        refuse("--levels colours the map by the classes between the levels; --log and --linear do not go with it");
    }
    const int on_standard_output = (options.output == "-") + (options.csv == "-") + (options.geojson == "-");
    if (on_standard_output > 1) refuse("only one of -o, --csv and --geojson can write to standard output (-)");
}

}  // namespace

bool MapOptions::writes_standard_output() const { return output == "-" || csv == "-" || geojson == "-"; }

std::string help_text()
{
    std::string text(USAGE);
    text += R"(

Draws a plot file as a map in a self-contained SVG file, and lists its
highest receptors on standard output.

  -o OUT        write the map to OUT (- for standard output); default:
                FILE's name without its folder, with the extension .svg,
                in the current folder
  --top N       list the N highest receptors (default 10; 0 for none)
  --field N     map value field N (default 1, the first)
  --levels L1,L2,...
                draw contour lines at these values, and colour the map by
                the classes between them
  --log         colour by value on a logarithmic scale
  --linear      colour by value on a linear scale (default: logarithmic
                when the values span more than two decades)
  --title TEXT  the map's title (default: the file's first header line)
  --csv FILE    write every data line as a CSV row to FILE (- for
                standard output)
  --csv-separator ';'
                separate CSV columns by semicolons and write numbers with
                a decimal comma
  --geojson FILE
                write the receptors, and the contour lines of --levels, as
                GeoJSON to FILE (- for standard output)
  --crs EPSG:NNNN
                name the coordinate system of x and y in the GeoJSON
  --help        show this help and exit
  --version     show the version and exit

The table is printed when no output goes to standard output.
Exit status: 0 when every output was written, 2 after a failure.
)";
    return text;
}

MapOptions parse_command_line(const std::vector<std::string_view>& arguments)
{
    MapOptions options;
    bool input_seen = false;
    bool options_end = false;
    bool separator_given = false;
    ArgumentReader reader(arguments);
    while (!reader.done()) {
        const std::string_view argument = reader.take();
        if (options_end || argument == "-" || argument.empty() || argument.front() != '-') {
            if (input_seen) refuse("only one FILE can be mapped, but '" + std::string(argument) + "' is a second");
            options.input = argument;
            input_seen = true;
            continue;
        }
        std::string_view name = argument;
        std::optional<std::string_view> attached;
        if (const std::size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        } else if (argument.starts_with("-o") && argument.size() > 2) {
            name = "-o";
            attached = argument.substr(2);
        }
        if (attached && !takes_value(name)) refuse(std::string(name) + " takes no value");
        if (name == "--") {
            options_end = true;
        } else if (name == "-o" || name == "--output") {
            options.output = std::string(reader.value_of(name, attached));
            if (options.output->empty()) refuse("-o needs a file name");
        } else if (name == "--top") {
            options.top_count = count_from(name, reader.value_of(name, attached), 0, "count");
        } else if (name == "--field") {
            options.value_field = count_from(name, reader.value_of(name, attached), 1, "number");
        } else if (name == "--levels") {
            options.levels = levels_from(reader.value_of(name, attached));
        } else if (name == "--title") {
            options.title = std::string(reader.value_of(name, attached));
        } else if (name == "--csv") {
            options.csv = file_name_of(name, reader.value_of(name, attached));
        } else if (name == "--csv-separator") {
            options.csv_separator = separator_from(reader.value_of(name, attached));
            separator_given = true;
        } else if (name == "--geojson") {
            options.geojson = file_name_of(name, reader.value_of(name, attached));
        } else if (name == "--crs") {
            options.crs = crs_from(reader.value_of(name, attached));
        } else if (name == "--log") {
            choose_scale(options, ScaleChoice::Logarithmic);
        } else if (name == "--linear") {
            choose_scale(options, ScaleChoice::Linear);
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else {
            refuse("unknown option '" + std::string(argument) + "'");
        }
    }
    if (!input_seen && !options.help && !options.version) refuse("no FILE to map");
    check_together(options, separator_given);
    return options;
}

std::string default_map_name(std::string_view input)
{
    std::string_view name = input;
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    if (name.empty() || name == "." || name == "..") return {};
    return std::string(name) + ".svg";
}

UsageError no_such_value_field(std::size_t asked, std::size_t count, std::string_view file)
{
    return UsageError{"reading the command line: --field " + std::to_string(asked) + " asks for value field " +
                      std::to_string(asked) + ", but the data lines of " + quoted(file) + " have " +
                      std::to_string(count) + (count == 1 ? " value field" : " value fields")};
}
