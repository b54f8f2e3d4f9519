#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// Length of a generated data line, without its LF: the standard layout, and
// the layout of ranked values that a FORMAT line declares.
inline constexpr std::size_t DATA_LINE_COLUMNS = 107;
inline constexpr std::size_t RANKED_LINE_COLUMNS = 117;
inline constexpr const char* RANKED_FORMAT_LINE =
    "*         FORMAT: (3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)";

// Where the six real fields of a data line stand: offset from 0, width and
// implied decimals, in line order (x, y, value, aux1, aux2, aux3).
struct RealFieldColumns {
    std::size_t offset;
    int width;
    int decimals;
};
inline constexpr RealFieldColumns REAL_FIELD_COLUMNS[] = {
    {1, 13, 5}, {15, 13, 5}, {29, 13, 5}, {43, 8, 2}, {52, 8, 2}, {61, 8, 2},
};

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
