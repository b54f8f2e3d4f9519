#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "merge/receptor_check.hpp"

// A line of a file, where something was seen first.
struct FilePlace {
    std::string file;
    std::uint64_t line = 0;
};

// How often something was seen in a merge, and where first.
class Tally {
public:
    // One more; place() gives where, and is asked only the first time.
    template <class MakePlace>
    void count(MakePlace place)
    {
        if (count_++ == 0) first_ = place();
    }

    // count more at once, first seen at first: kept when earlier than the
    // first kept, by line and then by the order of the calls.
    void add(std::uint64_t count, FilePlace first);

    std::uint64_t count() const { return count_; }
    const FilePlace& first() const { return first_; }

private:
    std::uint64_t count_ = 0;
    FilePlace first_;
};

// Lines of one input whose part past the columns read holds a CR that no LF
// directly follows, as its reader counted them: the input's name is known
// when the merge begins, the counts when it ends.
struct LoneCarriageReturns {
    std::string file;
    std::uint64_t lines = 0;
    std::uint64_t first_line = 0;
};

// What a merge saw that leaves its outputs wrong although every rule was
// followed: the outputs and the exit status stay as they are, and each kind
// gives one line at the end of the run, counted and naming the first place.
struct MergeWarnings {
    Tally blank_data_lines;  // nothing but blanks and control bytes
    std::vector<LoneCarriageReturns> lone_carriage_returns;  // one per input
    Tally zeros_in_output;  // values not zero written as zero, by output
    Tally zeros_in_risk;
    Tally header_lines_among_data;  // of input 1, after its first data line
    ReceptorCheck receptors;

    // Each warning's text after "plotmerge: warning: ", in this order: blank
    // data lines, lone CRs, values written as zero, header lines among the
    // data, receptors.
    std::vector<std::string> texts() const;
};
