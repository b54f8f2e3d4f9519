#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plot/layout.hpp"
#include "plot/standard_layout.hpp"
#include "plot/plot_reader.hpp"

// A receptor as the map needs it: where it is and what it holds. Twelve bytes,
// so a million receptors take twelve megabytes.
struct MapReceptor {
    float x;
    float y;
    float value;
};

// Receptors in file order, kept in fixed blocks: growing never copies what is
// already held, so memory stays close to twelve bytes a receptor.
class ReceptorStore {
public:
    void push_back(const MapReceptor& receptor);
    std::size_t size() const { return size_; }
    const MapReceptor& operator[](std::size_t index) const { return blocks_[index >> kBlockBits][index & kBlockMask]; }

private:
    static constexpr std::size_t kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kBlockMask = kBlockSize - 1;
    std::vector<std::unique_ptr<MapReceptor[]>> blocks_;
    std::size_t size_ = 0;
};

// True when value a ranks above value b: the higher number first, not-a-number
// below every number. Equal values (0 and -0 alike) rank neither way.
bool ranks_above(float a, float b);

// The fields of a data line that plotmap shows: x and y (the first two
// fields), the mapped value (the first value field), and the text fields in
// column order.
struct MappedFields {
    LayoutField x;
    LayoutField y;
    LayoutField value;
    std::vector<LayoutField> texts;
};

// The mapped fields of a layout that has a value field.
MappedFields mapped_fields(const PlotLayout& layout);

// A data line kept for the table of highest receptors: its numbers as read
// and the bytes of its text fields, one after another in column order.
struct RankedLine {
    std::uint64_t line_number = 0;
    float x = 0.0f;
    float y = 0.0f;
    float value = 0.0f;
    std::string texts;
};

// The count highest data lines seen, ties kept in file order.
class TopLines {
public:
    explicit TopLines(std::size_t count) : count_(count) {}
    // Offers a line; the caller passes lines in file order. Only a line that
    // is kept is copied.
    void offer(const RankedLine& line);
    // The lines kept, highest first.
    std::vector<RankedLine> ranked() const;

private:
    std::size_t count_;
    std::vector<RankedLine> heap_;  // the lowest-ranked kept line on top
};

// Everything the map and the table take from a plot file.
struct PlotContents {
    ReceptorStore receptors;
    std::vector<RankedLine> highest;  // highest first, at least one when there is a data line
    std::string first_header;         // the first header line after its asterisk, blanks trimmed
    MappedFields fields = mapped_fields(STANDARD_LAYOUT);
};

// Reads every line of file: header lines are skipped (the first is kept as
// text; those before the first data line may declare the data lines' layout
// in a FORMAT line), each data line becomes a receptor at its x and y holding
// its first value field. Keeps the top_count highest lines, and always the
// highest. A FORMAT line that declares no layout that can be merged, and a
// field that is not a number, stop the run.
PlotContents read_plot_contents(PlotReader& file, std::size_t top_count);
