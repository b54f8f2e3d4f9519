#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "map/column_names.hpp"
#include "plot/layout.hpp"
#include "plot/plot_reader.hpp"
#include "plot/standard_layout.hpp"

// A receptor as the map needs it: where it is and the highest value of the
// mapped field on its lines. Twelve bytes, so a million receptors take
// twelve megabytes.
struct MapReceptor {
    float x;
    float y;
    float value;
};

// Receptors in the order of their first line, kept in fixed blocks: growing
// never copies what is already held, so memory stays close to twelve bytes a
// receptor.
class ReceptorStore {
public:
    void push_back(const MapReceptor& receptor);
    std::size_t size() const { return size_; }
    const MapReceptor& operator[](std::size_t index) const { return blocks_[index >> kBlockBits][index & kBlockMask]; }
    MapReceptor& operator[](std::size_t index) { return blocks_[index >> kBlockBits][index & kBlockMask]; }

private:
    static constexpr std::size_t kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kBlockMask = kBlockSize - 1;
    std::vector<std::unique_ptr<MapReceptor[]>> blocks_;
    std::size_t size_ = 0;
};

// Finds the receptor of a store at a place: an open-addressed table of
// indices into the store, at most half full, four bytes a slot, so eight to
// sixteen bytes a receptor. Places are the same when x and y read as the
// same single-precision values (0 and -0 alike).
class ReceptorIndex {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    // The index of the receptor of store at x and y; a new receptor is added
    // to store when none is there, and then added is set.
    std::uint32_t find_or_add(ReceptorStore& store, const MapReceptor& receptor, bool& added);

private:
    void grow(const ReceptorStore& store);
    std::size_t slot_of(const ReceptorStore& store, float x, float y) const;

    std::vector<std::uint32_t> slots_;
};

// True when value a ranks above value b: the higher number first, not-a-number
// below every number. Equal values (0 and -0 alike) rank neither way.
bool ranks_above(float a, float b);

// The fields of a data line that plotmap shows: x and y (the first two
// fields), the mapped value field, and the text and integer fields in column
// order.
struct MappedFields {
    LayoutField x;
    LayoutField y;
    LayoutField value;
    std::size_t value_index = 2;   // of the value field among the layout's fields
    std::size_t value_number = 1;  // k of value field k, counted from 1
    std::vector<LayoutField> others;
};

// The mapped fields of a layout that has value field k (from 1).
MappedFields mapped_fields(const PlotLayout& layout, std::size_t value_number = 1);

// A data line kept for the table of highest receptors: its receptor, its
// numbers as read and its bytes up to the end of the layout.
struct RankedLine {
    std::uint64_t line_number = 0;
    std::uint32_t receptor = 0;
    float x = 0.0f;
    float y = 0.0f;
    float value = 0.0f;
    std::string bytes;
};

// A data line as read, offered to TopReceptors.
struct LineOffer {
    std::uint64_t line_number;
    std::uint32_t receptor;
    float x;
    float y;
    float value;
    std::string_view bytes;
};

// The count receptors of the highest values seen, each with the line that
// holds its highest value; ties between lines and between receptors in file
// order.
class TopReceptors {
public:
    explicit TopReceptors(std::size_t count) : count_(count) {}
    // Offers a line; the caller passes lines in file order. Only a line that
    // is kept is copied.
    void offer(const LineOffer& line);
    // The lines kept, highest first.
    std::vector<RankedLine> ranked() const;

private:
    // Strict order of the table: higher value first, then earlier line.
    struct ComesBefore {
        bool operator()(const RankedLine& a, const RankedLine& b) const;
    };
    using Lines = std::set<RankedLine, ComesBefore>;
    void keep(const LineOffer& line, Lines::node_type node);

    std::size_t count_;
    Lines lines_;
    std::unordered_map<std::uint32_t, Lines::iterator> kept_;  // by receptor
};

// Data lines as read, each up to the end of the layout, in fixed blocks.
class LineStore {
public:
    void set_width(std::size_t width) { width_ = width; }
    std::size_t width() const { return width_; }
    void push_back(const char* line);
    std::size_t size() const { return size_; }
    std::string_view operator[](std::size_t index) const
    {
        return {blocks_[index / lines_per_block_].get() + (index % lines_per_block_) * width_, width_};
    }

private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t width_ = 0;
    std::size_t lines_per_block_ = 1;
    std::size_t size_ = 0;
};

// What to take from a plot file.
struct ReadRequest {
    std::size_t top_count = 10;
    std::size_t value_number = 1;  // --field
    bool keep_lines = false;       // for CSV and GeoJSON
};

// Everything the map, the table and the exports take from a plot file.
struct PlotContents {
    ReceptorStore receptors;
    std::uint64_t data_lines = 0;
    std::vector<RankedLine> highest;  // highest first, at least one when there is a data line
    std::string first_header;         // the first header line after its asterisk, blanks trimmed
    PlotLayout layout = STANDARD_LAYOUT;
    MappedFields fields = mapped_fields(STANDARD_LAYOUT);
    ColumnNames names;
    LineStore lines;  // every data line, when asked for

    // Whether a receptor has several data lines (hourly or daily values of one run).
    bool receptors_repeat() const { return data_lines > receptors.size(); }
};

// Reads every line of file: header lines are skipped (the first is kept as
// text; those before the first data line may declare the data lines' layout
// in a FORMAT line, and name its columns), each data line counts for the
// receptor at its x and y, which holds the highest value of the chosen value
// field. Keeps the receptors of the top_count highest values, and always the
// highest. A FORMAT line that declares no layout that can be merged, and a
// field that is not a number, stop the run (RunFailure); a value field that
// the layout does not have too (UsageError).
PlotContents read_plot_contents(PlotReader& file, const ReadRequest& request);
