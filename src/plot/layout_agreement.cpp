#include "plot/layout_agreement.hpp"

#include <utility>

#include "diagnostics.hpp"
#include "plot/blanks.hpp"
#include "plot/format_list.hpp"

std::optional<LayoutAgreement::Disagreement> LayoutAgreement::settle(const PlotLayout& layout)
{
    if (settled_) return std::nullopt;
    settled_ = layout;
    std::optional<Disagreement> first;
    for (int i = 0; i < kMostInputs; ++i) {
        for (std::optional<Declaration>& kept : kept_[i]) {
            if (!kept || agrees(*kept)) continue;
            if (!first || kept->line < first->line) first = disagreement(i, *kept);
            break;
        }
        kept_[i] = {};
    }
    return first;
}

std::optional<LayoutAgreement::Disagreement> LayoutAgreement::compare(int input, std::uint64_t line, std::string_view text,
                                                                      std::size_t last_column)
{
    Declaration declaration = read(input, line, text, last_column);
    if (!settled_) {
        keep(input, std::move(declaration));
        return std::nullopt;
    }
    if (agrees(declaration)) return std::nullopt;
    return disagreement(input, declaration);
}

LayoutAgreement::Declaration LayoutAgreement::read(int input, std::uint64_t line, std::string_view text,
                                                   std::size_t last_column)
{
    auto& remembered = last_[input];
    LastText* last = nullptr;
    for (LastText& known : remembered) {
        if (known.declaration && known.text == text) last = &known;
    }
    if (last == nullptr) {
        last = &remembered[oldest_[input]];
        oldest_[input] = (oldest_[input] + 1) % kRemembered;
        LayoutReading reading = read_format_text(text, last_column);
        last->text = std::string(text);
        last->declaration = Declaration{0, printable(trimmed(text)), std::move(reading.layout), std::move(reading.problem)};
    }
    Declaration declaration = *last->declaration;
    declaration.line = line;
    return declaration;
}

void LayoutAgreement::keep(int input, Declaration declaration)
{
    auto& [first, other] = kept_[input];
    if (!first) {
        first = std::move(declaration);
    } else if (!other && first->layout && !(declaration.layout && *declaration.layout == *first->layout)) {
        other = std::move(declaration);
    }
}

LayoutAgreement::Disagreement LayoutAgreement::disagreement(int input, const Declaration& declaration)
{
    return {input, declaration.line, declaration.list, declaration.problem};
}
