#include "map/colour_scale.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Viridis sampled at eleven evenly spaced points; between them the colour is
// interpolated linearly, which stays within a step of the full table.
constexpr Rgb kViridis[VIRIDIS_ANCHORS] = {
    {0x44, 0x01, 0x54}, {0x48, 0x24, 0x75}, {0x41, 0x44, 0x87}, {0x35, 0x5f, 0x8d},
    {0x2a, 0x78, 0x8e}, {0x21, 0x91, 0x8c}, {0x22, 0xa8, 0x84}, {0x44, 0xbf, 0x70},
    {0x7a, 0xd1, 0x51}, {0xbd, 0xdf, 0x26}, {0xfd, 0xe7, 0x25},
};

// More than two decades between the smallest and the largest positive value.
constexpr double kLogarithmicRatio = 100.0;

std::uint8_t mix(std::uint8_t from, std::uint8_t to, double fraction)
{
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * fraction));
}

}  // namespace

Rgb viridis(double position)
{
    const double scaled = std::clamp(position, 0.0, 1.0) * (VIRIDIS_ANCHORS - 1);
    const int below = std::min(static_cast<int>(scaled), VIRIDIS_ANCHORS - 2);
    const double fraction = scaled - below;
    const Rgb& a = kViridis[below];
    const Rgb& b = kViridis[below + 1];
    return {mix(a.red, b.red, fraction), mix(a.green, b.green, fraction), mix(a.blue, b.blue, fraction)};
}

Rgb viridis_anchor(int index) { return kViridis[index]; }

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

ColourScale ColourScale::choose(const PositiveRange& range, ScaleChoice choice)
{
    const bool logarithmic =
        choice == ScaleChoice::Logarithmic ||
        (choice == ScaleChoice::Automatic && !range.empty() &&
         static_cast<double>(range.largest) > kLogarithmicRatio * static_cast<double>(range.smallest));
    if (range.empty()) return logarithmic ? ColourScale(true, 0.0, 1.0) : ColourScale(false, 0.0, 1.0);
    if (logarithmic) return ColourScale(true, std::log10(range.smallest), std::log10(range.largest));
    return ColourScale(false, 0.0, range.largest);
}

std::optional<double> ColourScale::position(float value) const
{
    if (!(value > 0.0f) || !std::isfinite(value)) return std::nullopt;
    const double along = logarithmic_ ? std::log10(static_cast<double>(value)) : static_cast<double>(value);
    if (high_ <= low_) return 1.0;
    return std::clamp((along - low_) / (high_ - low_), 0.0, 1.0);
}

std::optional<int> ColourScale::level(float value) const
{
    const std::optional<double> place = position(value);
    if (!place) return std::nullopt;
    return static_cast<int>(std::lround(*place * (COLOUR_LEVELS - 1)));
}

Rgb level_colour(int level) { return viridis(static_cast<double>(level) / (COLOUR_LEVELS - 1)); }
