#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plot/format_list.hpp"
#include "plot/standard_layout.hpp"

// Reproducible random numbers (splitmix64): the same sequence from the same
// seed on every platform and standard library.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [0, bound).
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t state_;
};

// The layout of ranked values that a FORMAT line declares, beside the
// standard layout; both begin with x, y, the value and three elevations.
inline constexpr std::string_view RANKED_LAYOUT_LIST = "(3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)";
inline constexpr const char* RANKED_FORMAT_LINE =
    "*         FORMAT: (3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)";
inline constexpr PlotLayout RANKED_LAYOUT = [] {
    PlotLayout layout;
    if (ListLayout(RANKED_LAYOUT_LIST, layout).read().fault != ListFault::None) throw "the ranked list must read";
    return layout;
}();

// Length of a generated data line, without its LF.
inline constexpr std::size_t DATA_LINE_COLUMNS = STANDARD_LAYOUT.width();
inline constexpr std::size_t RANKED_LINE_COLUMNS = RANKED_LAYOUT.width();

// Realistic plot file text. Receptor coordinates depend on the line number
// only, so files made with different seeds describe the same grid and can be
// merged; concentrations, heights, tags and stamps, and the written forms of
// the numbers (fixed point, implied decimals, E, D and sign exponents), vary
// with the seed. Every field is valid for the data line rules.
class PlotTextGenerator {
public:
    // ranked: files of ranked values, laid out as RANKED_FORMAT_LINE declares.
    explicit PlotTextGenerator(std::uint64_t seed, bool ranked = false);

    std::size_t line_columns() const { return ranked_ ? RANKED_LINE_COLUMNS : DATA_LINE_COLUMNS; }

    // Always the same number of lines, whatever the seed, so that the header
    // positions of files made with different seeds coincide.
    std::vector<std::string> header_lines(std::uint64_t data_lines) const;

    // The line_columns() columns of data line number index (from 0).
    void data_line(std::uint64_t index, char* out);

    // A concentration from one millionth to a few thousand, log-uniform.
    double concentration();
    // A terrain or hill height in metres.
    double height();

    // value right-aligned in 13 columns, 5 implied decimals, in a varied form.
    void concentration_field(double value, char* out);
    // value right-aligned in 8 columns, 2 implied decimals, in a varied form.
    void height_field(double value, char* out);

private:
    void standard_tail(char* out);
    void ranked_tail(char* out);

    std::uint64_t seed_;
    bool ranked_;
    SeededRandom random_;
};

// Plot text whose fields take every shape the reader accepts and whose values
// reach every edge the writer has: plain fixed point, implied decimals, every
// exponent form, blanks inside fields, negative zero, exact ties of the
// written decimals, values beside the limits where a field turns to
// asterisks, values beyond single precision and tiny ones; header lines,
// short and long lines mixed in. For comparing the outputs of builds for
// different machines byte for byte.
class FieldShapeGenerator {
public:
    explicit FieldShapeGenerator(unsigned seed);
    ~FieldShapeGenerator();

    // Line number index (from 0), without its line end. Header lines stand
    // at the same positions in every file, since a later input's line at a
    // header position of the first is not read as data.
    std::string line(unsigned long index);
    // Whether the next line ends with CR LF rather than LF.
    bool crlf();

private:
    class Shapes;
    std::unique_ptr<Shapes> shapes_;
};
