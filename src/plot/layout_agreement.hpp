#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/header_phase.hpp"
#include "plot/layout.hpp"

// Whether the other inputs' FORMAT lines declare the layout that input 1's
// data lines are read in. Fed one FORMAT line at a time, each of another
// input at a header position of input 1; until input 1's layout is known
// (its FORMAT line, or without one its first data line), each input's first
// is kept and answered once it is.
class LayoutAgreement {
public:
    enum class Answer {
        Warn,  // input 1 is read in the standard layout, and so is every input
        Stop,  // input 1 declares its layout: the inputs' fields stand in other columns
    };
    // A FORMAT line of another input that declares another layout than input 1's.
    struct Disagreement {
        Answer answer;
        int input;
        std::uint64_t line;
        std::string list;
    };

    // Input 1's layout is known; the lines kept until now that declare
    // another, in input order. Later calls give nothing more.
    std::vector<Disagreement> settle(const PlotLayout& layout);

    // A usable FORMAT line of input `input` (counted from 0) at a header
    // position of input 1: nothing when it agrees or waits.
    std::optional<Disagreement> compare(int input, FormatLine format);

private:
    static constexpr int kMostInputs = 4;

    Disagreement disagreement(int input, const FormatLine& format) const;

    std::optional<PlotLayout> settled_;
    std::array<std::optional<FormatLine>, kMostInputs> kept_;
};
