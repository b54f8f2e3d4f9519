#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A colour of the map, 8 bits a channel.
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb&) const = default;
};

// Values the scale does not colour (not-a-number and infinities always, zero
// unless levels class it) take this colour, which the legend names; it is
// none of the colours of the scales.
inline constexpr Rgb NEUTRAL_COLOUR{0xc0, 0xc0, 0xc0};
inline constexpr std::string_view NEUTRAL_COLOUR_NAME = "grey";

// Colours of a continuous scale are taken from this many evenly spaced levels.
inline constexpr int COLOUR_LEVELS = 256;

// Both palettes are given by this many anchor colours at 0, 0.1, ..., 1.
inline constexpr int PALETTE_ANCHORS = 11;

// Viridis, a perceptually uniform scale that readers with the common forms
// of colour blindness can read: dark purple at 0, yellow at 1.
Rgb viridis(double position);

// Blue through near-white to red (ColorBrewer's RdBu, reversed), equally
// readable with the common forms of colour blindness: blue at 0 for the
// most negative value, red at 1 for the most positive, zero at 0.5.
Rgb blue_to_red(double position);

enum class ScaleChoice { Automatic, Linear, Logarithmic };

// The finite values above zero, or the magnitudes of those below.
struct PositiveRange {
    float smallest = 0.0f;
    float largest = 0.0f;
    bool empty() const { return !(largest > 0.0f); }
    void include(float value);
    void include(const PositiveRange& other);
};

// The finite values of the mapped field, by sign: what the scale colours.
struct ValueRange {
    PositiveRange positive;
    PositiveRange negative;  // magnitudes
    void include(float value);
};

// Sequential: viridis over the positive values. Diverging: blue to red,
// centred on zero, when some value is negative. Classes: one colour for each
// class between contour levels.
enum class ScaleKind { Sequential, Diverging, Classes };

// Maps a value to its place on the colour bar, 0 to 1, and to its colour.
class ColourScale {
public:
    // Classes when levels are given (ascending). Otherwise diverging when a
    // value is negative, else sequential; either logarithmic when chosen, or,
    // left automatic, when the magnitudes coloured span more than two
    // decades; linear otherwise.
    static ColourScale choose(const ValueRange& range, ScaleChoice choice, std::span<const float> levels = {});

    ScaleKind kind() const { return kind_; }
    bool logarithmic() const { return logarithmic_; }
    // Sequential: the ends of the bar, values for a linear scale, decimal
    // logarithms for a logarithmic one, from zero when linear. Diverging: the
    // same of the magnitudes, on each side of zero.
    double low() const { return low_; }
    double high() const { return high_; }
    // The levels that bound the classes.
    std::span<const float> levels() const { return levels_; }

    // The place of value on the bar; nothing for a value the scale does not colour.
    std::optional<double> position(float value) const;
    // The colour level, 0 to level_count() - 1; nothing for the neutral colour.
    std::optional<int> level(float value) const;
    int level_count() const;
    Rgb level_colour(int level) const;
    // The colour at a place of the bar, for its gradient.
    Rgb colour_at(double position) const;

private:
    ColourScale(ScaleKind kind, bool logarithmic, double low, double high)
        : kind_(kind), logarithmic_(logarithmic), low_(low), high_(high)
    {
    }
    // The place of a magnitude between the ends, 0 to 1.
    double fraction(double magnitude) const;

    ScaleKind kind_;
    bool logarithmic_;
    double low_;
    double high_;
    std::vector<float> levels_;
};
