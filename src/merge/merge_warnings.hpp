#pragma once

#include <cstddef>
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
// Inputs that another input still had lines after, when one ran out.
struct LinesLeft {
    std::string ended;       // the input that had no line left
    std::uint64_t lines = 0;  // that it had
    Tally others;            // the inputs that still had one, the first in input order
};

struct MergeWarnings {
    Tally inputs_created;  // names under which no file existed
    bool lower_case_mode = false;  // the mode answer began with 'a'
    bool lower_case_risk = false;  // the risk answer began with 'y'
    Tally blank_data_lines;  // nothing but blanks and control bytes
    std::vector<LoneCarriageReturns> lone_carriage_returns;  // one per input
    Tally zeros_in_output;  // values not zero written as zero, by output
    Tally zeros_in_risk;
    Tally asterisks_in_output;  // values too large for their fields, by output
    Tally asterisks_in_risk;
    Tally text_past_colon;  // data lines with text after the column where a colon ended the layout
    std::size_t colon_column = 0;  // 1-based
    Tally header_lines_among_data;  // of input 1, after its first data line
    ReceptorCheck receptors;
    std::optional<LinesLeft> lines_left;
    std::optional<std::string> no_data_line;  // the combined output, when a merge that ended wrote none

    // Each warning's text after "plotmerge: warning: ", in this order: inputs
    // created, the lower-case mode and risk answers, blank data lines, lone
    // CRs, values written as zero, values written as asterisks, text past a
    // colon, header lines among the data, receptors, lines left, no data line.
    std::vector<std::string> texts() const;
};
