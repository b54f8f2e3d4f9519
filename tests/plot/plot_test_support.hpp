#pragma once

// Small helpers shared by the plot and merge tests: a scratch folder that
// removes itself, whole-file reads and writes, and lines built by column.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include <array>

#include "plot/plot_line.hpp"
#include "plot/plot_reader.hpp"

class ScratchFolder {
public:
    // A new folder of a random name: create_directory is false when the name is taken.
    ScratchFolder()
    {
        static std::mt19937_64 names{std::random_device{}()};
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = temp / ("plotmerge-test-" + std::to_string(names()));
            if (std::filesystem::create_directory(path_)) return;
        }
        throw std::runtime_error("cannot create a scratch folder");
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A line with each text placed from its 1-based column, blanks elsewhere,
// as long as the last text placed reaches.
inline std::string line_at(std::initializer_list<std::pair<std::size_t, std::string_view>> texts)
{
    std::string line;
    for (const auto& [column, text] : texts) {
        if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
        line.replace(column - 1, text.size(), text);
    }
    return line;
}

// The first LINE_WIDTH bytes of a line of a plot file, blank-padded.
using PlotLine = std::array<char, LINE_WIDTH>;

// The PlotLine a line of a file gives.
inline PlotLine plot_line(std::string_view text)
{
    PlotLine line;
    line.fill(' ');
    text.copy(line.data(), std::min(text.size(), LINE_WIDTH));
    return line;
}

inline std::string as_text(const PlotLine& line) { return {line.data(), line.size()}; }

// The next line of file, LINE_WIDTH bytes, or false at end of file.
inline bool read_plot_line(PlotReader& file, PlotLine& line) { return file.read_line(line.data(), line.size()); }
