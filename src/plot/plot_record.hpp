#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "plot/plot_line.hpp"

// Length of a written data line of the standard layout, without its LF.
inline constexpr std::size_t RECORD_WIDTH = 107;

// The ten fields of a data line of the standard layout.
struct PlotRecord {
    float x = 0.0f;
    float y = 0.0f;
    float value = 0.0f;
    float aux1 = 0.0f;
    float aux2 = 0.0f;
    float aux3 = 0.0f;
    std::array<char, 6> tag_a{};
    std::array<char, 8> tag_b{};
    std::int32_t stamp = 0;
    std::array<char, 8> tag_c{};
};

// A field of a data line that is not a number: what field it is ("value",
// or "F13.5 in columns 2-14" in a declared layout) and the bytes of its columns.
struct FieldFault {
    std::string field;
    std::string_view text;
    bool out_of_range = false;  // an integer field beyond the 32-bit range
};

// Where a data line puts its receptor: its x and y as read.
struct Receptor {
    float x = 0.0f;
    float y = 0.0f;
};

// Two receptors are one place when x and y read as the same values: 1000.0,
// 1000.00000 and 100000000 (five implied decimals) alike, 0 and -0 alike,
// and two NaN alike.
inline bool same_receptor(const Receptor& a, const Receptor& b)
{
    const auto same = [](float u, float v) { return u == v || (u != u && v != v); };
    return same(a.x, b.x) && same(a.y, b.y);
}

// The receptor last read, by the bytes of its x and y, to be given again
// without reading when a line repeats those bytes, as the lines of the
// inputs at one position do.
class ReceptorMemo {
public:
    bool recall(std::string_view bytes, Receptor& receptor) const
    {
        if (bytes.size() != length_ || std::memcmp(bytes.data(), bytes_.data(), length_) != 0) return false;
        receptor = receptor_;
        return true;
    }
    void remember(std::string_view bytes, const Receptor& receptor)
    {
        if (bytes.size() > bytes_.size()) return;
        std::memcpy(bytes_.data(), bytes.data(), bytes.size());
        length_ = bytes.size();
        receptor_ = receptor;
    }

private:
    std::array<char, 64> bytes_{};
    std::size_t length_ = 0;  // nothing remembered
    Receptor receptor_;
};

// A data line of the standard layout is the first LINE_WIDTH bytes of a line
// at `line`, blank-padded.

// Reads the ten fields of a data line into record, overwriting all of them.
// Returns the first field, left to right, that does not convert; record is
// then partly filled.
std::optional<FieldFault> parse_plot_record(const char* line, PlotRecord& record);

// Reads data lines of the standard layout one after another, as
// parse_plot_record does. x and y are not read again when their bytes are
// those of the last line whose x and y were read, as among the lines of the
// inputs at one position.
class PlotLineReader {
public:
    std::optional<FieldFault> read_record(const char* line, PlotRecord& record);

    // Checks every field as read_record does, with the same result, but
    // works out only the receptor and the value.
    std::optional<FieldFault> read_value(const char* line, Receptor& receptor, float& value);

private:
    std::optional<FieldFault> read_receptor(const char* line, Receptor& receptor);

    ReceptorMemo memo_;
};

// The RECORD_WIDTH characters of a data line for record.
void format_plot_record(const PlotRecord& record, char* out);
std::array<char, RECORD_WIDTH> format_plot_record(const PlotRecord& record);

// Whether a value that is not zero is written as zero in the value field.
bool value_writes_as_zero(float value);

// Width of the x, y and value fields of a data line of the standard layout.
inline constexpr std::size_t WIDE_FIELD_WIDTH = 13;


// Rewrites the value field of a formatted data line, the other nine unchanged:
// the same text as format_plot_record of the record with that value.
void format_record_value(float value, char* text);
inline void format_record_value(float value, std::array<char, RECORD_WIDTH>& text) { format_record_value(value, text.data()); }

// The receptor of a data line as a data line writes it, without leading
// blanks: "(1000.00000, 2000.00000)".
std::string receptor_text(const char* line);

inline std::optional<FieldFault> parse_plot_record(const PlotLine& line, PlotRecord& record)
{
    return parse_plot_record(line.data(), record);
}
