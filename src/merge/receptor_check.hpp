#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// The merged line carries the receptor of the last input, so every other input
// must name that receptor at the same position. A difference does not stop
// the merge, whose outputs stay as they are: it is counted, and the first one
// is described in a warning at the end of the run.
class ReceptorCheck {
public:
    // Where a receptor was read: the file, its line (header lines counted)
    // and the receptor as a data line writes it.
    struct Place {
        std::string file;
        std::uint64_t line = 0;
        std::string receptor;
    };

    // A data position merged, at which some input's receptor differs from the
    // last input's, or none does.
    void count_position(bool differs)
    {
        ++positions_;
        if (differs) ++differing_;
    }

    // Whether the first difference still waits to be described.
    bool wants_first_difference() const { return !first_; }

    // The first difference: the first input, in input order, whose receptor
    // differs, and the last input, at the same position.
    void note_first_difference(Place input, Place last) { first_ = Difference{std::move(input), std::move(last)}; }

    // The warning's text after "plotmerge: warning: ", or nothing when every
    // position matched.
    std::optional<std::string> warning() const;

private:
    struct Difference {
        Place input;
        Place last;
    };

    std::uint64_t positions_ = 0;
    std::uint64_t differing_ = 0;
    std::optional<Difference> first_;
};
