#include "map/command_line.hpp"

#include <charconv>

namespace {

[[noreturn]] void refuse(std::string detail) { throw UsageError{"reading the command line: " + std::move(detail)}; }

std::size_t count_from(std::string_view text)
{
    std::size_t count = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        refuse("--top needs a count of 0 or more, not '" + std::string(text) + "'");
    }
    return count;
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

}  // namespace

std::string help_text()
{
    std::string text(USAGE);
    text += R"(

Draws a plot file as a map in a self-contained SVG file, and lists its
highest receptors on standard output.

  -o OUT        write the map to OUT (- for standard output, which then
                gets no table); default: FILE's name without its folder,
                with the extension .svg, in the current folder
  --top N       list the N highest receptors (default 10; 0 for none)
  --log         colour by value on a logarithmic scale
  --linear      colour by value on a linear scale (default: logarithmic
                when the positive values span more than two decades)
  --title TEXT  the map's title (default: the file's first header line)
  --help        show this help and exit
  --version     show the version and exit

Exit status: 0 when the map was written, 2 after a failure.
)";
    return text;
}

MapOptions parse_command_line(const std::vector<std::string_view>& arguments)
{
    MapOptions options;
    bool input_seen = false;
    bool options_end = false;
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
        const bool takes_value = name == "-o" || name == "--output" || name == "--top" || name == "--title";
        if (attached && !takes_value) refuse(std::string(name) + " takes no value");
        if (name == "--") {
            options_end = true;
        } else if (name == "-o" || name == "--output") {
            options.output = std::string(reader.value_of(name, attached));
            if (options.output->empty()) refuse("-o needs a file name");
        } else if (name == "--top") {
            options.top_count = count_from(reader.value_of(name, attached));
        } else if (name == "--title") {
            options.title = std::string(reader.value_of(name, attached));
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
