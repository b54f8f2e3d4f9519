#include "map/colour_scale.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Viridis sampled at eleven evenly spaced points; between them the colour is
// interpolated linearly, which stays within a step of the full table.
constexpr Rgb kViridis[PALETTE_ANCHORS] = {
    {0x44, 0x01, 0x54}, {0x48, 0x24, 0x75}, {0x41, 0x44, 0x87}, {0x35, 0x5f, 0x8d},
    {0x2a, 0x78, 0x8e}, {0x21, 0x91, 0x8c}, {0x22, 0xa8, 0x84}, {0x44, 0xbf, 0x70},
    {0x7a, 0xd1, 0x51}, {0xbd, 0xdf, 0x26}, {0xfd, 0xe7, 0x25},
};

// ColorBrewer's eleven-class RdBu, from its blue end.
constexpr Rgb kBlueToRed[PALETTE_ANCHORS] = {
    {0x05, 0x30, 0x61}, {0x21, 0x66, 0xac}, {0x43, 0x93, 0xc3}, {0x92, 0xc5, 0xde},
    {0xd1, 0xe5, 0xf0}, {0xf7, 0xf7, 0xf7}, {0xfd, 0xdb, 0xc7}, {0xf4, 0xa5, 0x82},
    {0xd6, 0x60, 0x4d}, {0xb2, 0x18, 0x2b}, {0x67, 0x00, 0x1f},
};

// More than two decades between the smallest and the largest magnitude.
constexpr double kLogarithmicRatio = 100.0;

std::uint8_t mix(std::uint8_t from, std::uint8_t to, double fraction)
{
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * fraction));
}

Rgb interpolated(const Rgb (&anchors)[PALETTE_ANCHORS], double position)
{
    const double scaled = std::clamp(position, 0.0, 1.0) * (PALETTE_ANCHORS - 1);
    const int below = std::min(static_cast<int>(scaled), PALETTE_ANCHORS - 2);
    const double fraction = scaled - below;
    const Rgb& a = anchors[below];
    const Rgb& b = anchors[below + 1];
    return {mix(a.red, b.red, fraction), mix(a.green, b.green, fraction), mix(a.blue, b.blue, fraction)};
}

bool spans_decades(const PositiveRange& range)
{
    return !range.empty() && static_cast<double>(range.largest) > kLogarithmicRatio * static_cast<double>(range.smallest);
}

}  // namespace

Rgb viridis(double position) { return interpolated(kViridis, position); }

Rgb blue_to_red(double position) { return interpolated(kBlueToRed, position); }

void PositiveRange::include(float value)
{
    if (!(value > 0.0f) || !std::isfinite(value)) return;
    if (empty()) {
        smallest = largest = value;
        return;
    }
    smallest = std::min(smallest, value);
    largest = std::max(largest, value);
}

void PositiveRange::include(const PositiveRange& other)
{
    if (other.empty()) return;
    include(other.smallest);
    include(other.largest);
}

void ValueRange::include(float value)
{
    if (value < 0.0f) {
        negative.include(-value);
    } else {
        positive.include(value);
    }
}

ColourScale ColourScale::choose(const ValueRange& range, ScaleChoice choice, std::span<const float> levels)
{
    if (!levels.empty()) {
        ColourScale scale(ScaleKind::Classes, false, levels.front(), levels.back());
        scale.levels_.assign(levels.begin(), levels.end());
        return scale;
    }
    const ScaleKind kind = range.negative.empty() ? ScaleKind::Sequential : ScaleKind::Diverging;
    PositiveRange magnitudes = range.positive;
    magnitudes.include(range.negative);
    const bool logarithmic =
        choice == ScaleChoice::Logarithmic || (choice == ScaleChoice::Automatic && spans_decades(magnitudes));
    if (magnitudes.empty()) return ColourScale(kind, logarithmic, 0.0, 1.0);
    if (logarithmic) return ColourScale(kind, true, std::log10(magnitudes.smallest), std::log10(magnitudes.largest));
    return ColourScale(kind, false, 0.0, magnitudes.largest);
}

double ColourScale::fraction(double magnitude) const
{
    const double along = logarithmic_ ? std::log10(magnitude) : magnitude;
    if (high_ <= low_) return 1.0;
    return std::clamp((along - low_) / (high_ - low_), 0.0, 1.0);
}

std::optional<double> ColourScale::position(float value) const
{
    if (!std::isfinite(value)) return std::nullopt;
    switch (kind_) {
    case ScaleKind::Sequential:
        if (!(value > 0.0f)) return std::nullopt;
        return fraction(value);
    case ScaleKind::Diverging:
        if (value == 0.0f) return std::nullopt;
        return value > 0.0f ? 0.5 + 0.5 * fraction(value) : 0.5 - 0.5 * fraction(-static_cast<double>(value));
    case ScaleKind::Classes: break;
    }
    return (*level(value) + 0.5) / level_count();
}

std::optional<int> ColourScale::level(float value) const
{
    if (kind_ == ScaleKind::Classes) {
        if (!std::isfinite(value)) return std::nullopt;
        return static_cast<int>(std::upper_bound(levels_.begin(), levels_.end(), value) - levels_.begin());
    }
    const std::optional<double> place = position(value);
    if (!place) return std::nullopt;
    return static_cast<int>(std::lround(*place * (COLOUR_LEVELS - 1)));
}

int ColourScale::level_count() const
{
    return kind_ == ScaleKind::Classes ? static_cast<int>(levels_.size()) + 1 : COLOUR_LEVELS;
}

Rgb ColourScale::level_colour(int level) const { return colour_at(static_cast<double>(level) / (level_count() - 1)); }

Rgb ColourScale::colour_at(double position) const
{
    return kind_ == ScaleKind::Diverging ? blue_to_red(position) : viridis(position);
}
