#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plot/plot_file.hpp"
#include "plot/plot_record.hpp"

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

// A data line kept whole for the table of highest receptors.
struct RankedLine {
    std::uint64_t line_number;
    PlotRecord record;
};

// The count highest data lines seen, ties kept in file order.
class TopLines {
public:
    explicit TopLines(std::size_t count) : count_(count) {}
    // Offers a line; the caller passes lines in file order.
    void offer(std::uint64_t line_number, const PlotRecord& record);
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
};

// Reads every line of file: header lines are skipped (the first is kept as
// text), each data line becomes a receptor. Keeps the top_count highest lines,
// and always the highest. A field that is not a number stops the run.
PlotContents read_plot_contents(PlotFile& file, std::size_t top_count);
