#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "merge/merge_job.hpp"
#include "plot/plot_line.hpp"

// The merged line carries the receptor of the last input, so every other input
// must name that receptor at the same position. A difference does not stop
// the merge, whose outputs stay as they are: it is counted, and the first one
// is described in a warning at the end of the run.
class ReceptorCheck {
public:
    // A data position merged; lines holds each input's line there, in input
    // order, and first_differing is the first input whose receptor differs
    // from the last input's, or -1 when none does.
    void count_position(const MergeJob& job, const PlotLine* lines, int first_differing)
    {
        ++positions_;
        if (first_differing >= 0) note_difference(job, lines, first_differing);
    }

    std::uint64_t positions() const { return positions_; }
    std::uint64_t differing_positions() const { return differing_; }

    // The warning's text after "plotmerge: warning: ", or nothing when every
    // position matched.
    std::optional<std::string> warning() const;

private:
    struct Side {
        std::string file;
        std::uint64_t line;
        std::string receptor;
    };
    struct Difference {
        Side input;
        Side last;
    };

    void note_difference(const MergeJob& job, const PlotLine* lines, int input);

    std::uint64_t positions_ = 0;
    std::uint64_t differing_ = 0;
    std::optional<Difference> first_;
};
