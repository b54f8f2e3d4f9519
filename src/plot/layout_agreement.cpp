#include "plot/layout_agreement.hpp"

#include <utility>

#include "plot/standard_layout.hpp"

std::vector<LayoutAgreement::Disagreement> LayoutAgreement::settle(const PlotLayout& layout)
{
    std::vector<Disagreement> found;
    if (settled_) return found;
    settled_ = layout;
    for (int i = 0; i < kMostInputs; ++i) {
        const std::optional<FormatLine> kept = std::exchange(kept_[i], std::nullopt);
        if (kept && !(kept->layout == layout)) found.push_back(disagreement(i, *kept));
    }
    return found;
}

std::optional<LayoutAgreement::Disagreement> LayoutAgreement::compare(int input, FormatLine format)
{
    if (!settled_) {
        if (!kept_[input]) kept_[input] = std::move(format);
        return std::nullopt;
    }
    if (format.layout == *settled_) return std::nullopt;
    return disagreement(input, format);
}

LayoutAgreement::Disagreement LayoutAgreement::disagreement(int input, const FormatLine& format) const
{
    const Answer answer = *settled_ == STANDARD_LAYOUT ? Answer::Warn : Answer::Stop;
    return {answer, input, format.line, format.list};
}
