#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plot/layout.hpp"

// Whether the other inputs' FORMAT lines declare the layout that input 1's
// data lines are read in, compared as laid out, not as text. Fed the FORMAT
// lines of other inputs at input 1's header positions, one at a time; until
// input 1's layout is known (its FORMAT line, or without one its first data
// line) they are kept, and answered once it is. The last few distinct
// FORMAT texts of each input are read once, so that a list of many nested
// groups costs little however many lines repeat it.
class LayoutAgreement {
public:
    // A FORMAT line of another input that does not declare input 1's layout:
    // the run stops on it.
    struct Disagreement {
        int input = 0;
        std::uint64_t line = 0;
        std::string list;     // as written, made printable
        std::string problem;  // why the list cannot be read, when it cannot
    };

    // Input 1's layout is known, as it declares it (the standard one when it
    // declares none): the first kept line that declares another, by line and
    // then input. Later calls give nothing more.
    std::optional<Disagreement> settle(const PlotLayout& layout);

    // A FORMAT line of input `input` (counted from 0), numbered line: its text
    // after "FORMAT:", which ends at last_column of its line. Nothing when it
    // agrees or waits for input 1's layout.
    std::optional<Disagreement> compare(int input, std::uint64_t line, std::string_view text, std::size_t last_column);

private:
    static constexpr int kMostInputs = 4;

    // A FORMAT line of another input, read.
    struct Declaration {
        std::uint64_t line = 0;
        std::string list;
        std::optional<PlotLayout> layout;  // nothing when the list cannot be read
        std::string problem;
    };
    // The last FORMAT text of an input and what it reads as.
    struct LastText {
        std::string text;
        std::optional<Declaration> declaration;
    };

    Declaration read(int input, std::uint64_t line, std::string_view text, std::size_t last_column);
    void keep(int input, Declaration declaration);
    bool agrees(const Declaration& declaration) const { return declaration.layout && *declaration.layout == *settled_; }
    static Disagreement disagreement(int input, const Declaration& declaration);

    std::optional<PlotLayout> settled_;
    // Until settled: each input's first FORMAT line, and the first after it
    // that declares another layout; if any kept line disagrees with input 1,
    // one of these does, and the earlier.
    std::array<std::array<std::optional<Declaration>, 2>, kMostInputs> kept_;
    // Per input, the last kRemembered distinct texts, the oldest replaced first.
    static constexpr std::size_t kRemembered = 4;
    std::array<std::array<LastText, kRemembered>, kMostInputs> last_;
    std::array<std::size_t, kMostInputs> oldest_{};
};
