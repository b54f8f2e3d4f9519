// make_plot_files <seed> <data-lines> <output-path> [ranked]
// Writes a realistic plot file: a few header lines, then <data-lines> data
// lines, in the standard layout or, with "ranked", in the 117-column layout
// of ranked values that its FORMAT line declares. Files made with different
// seeds and the same line count can be merged.

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "plot_text_generator.hpp"

namespace {

bool parse_count(std::string_view text, std::uint64_t& number)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "make_plot_files: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint64_t seed = 0;
    std::uint64_t data_lines = 0;
    const bool ranked = argc == 5 && std::string_view(argv[4]) == "ranked";
    if ((argc != 4 && !ranked) || !parse_count(argv[1], seed) || !parse_count(argv[2], data_lines)) {
        return fail("usage: make_plot_files <seed> <data-lines> <output-path> [ranked]");
    }
    const std::string path = argv[3];
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return fail("cannot create '" + path + "': " + std::strerror(errno));
    constexpr std::size_t kBufferSize = 1 << 20;
    const auto buffer = std::make_unique<char[]>(kBufferSize);
    std::setvbuf(file, buffer.get(), _IOFBF, kBufferSize);

    PlotTextGenerator generator(seed, ranked);
    for (const std::string& header : generator.header_lines(data_lines)) {
        std::fputs(header.c_str(), file);
        std::fputc('\n', file);
    }
    char line[RANKED_LINE_COLUMNS + 1];
    const std::size_t columns = generator.line_columns();
    line[columns] = '\n';
    for (std::uint64_t index = 0; index < data_lines; ++index) {
        generator.data_line(index, line);
        std::fwrite(line, 1, columns + 1, file);
    }
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) return fail("cannot write '" + path + "': " + std::strerror(errno));
    return 0;
}
