#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A colour of the map, 8 bits a channel.
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb&) const = default;
};

// Zero, negative and non-finite values all take this colour, which the
// legend names; it is none of the colours of the scale.
inline constexpr Rgb NEUTRAL_COLOUR{0xc0, 0xc0, 0xc0};
inline constexpr std::string_view NEUTRAL_COLOUR_NAME = "grey";

// Colours of the scale are taken from this many evenly spaced levels.
inline constexpr int COLOUR_LEVELS = 256;

// Viridis, a perceptually uniform scale that readers with the common forms
// of colour blindness can read: dark purple at 0, yellow at 1.
Rgb viridis(double position);

// The anchor colours of viridis at 0, 0.1, ..., 1, for a colour bar gradient.
inline constexpr int VIRIDIS_ANCHORS = 11;
Rgb viridis_anchor(int index);

enum class ScaleChoice { Automatic, Linear, Logarithmic };

// The finite positive values of a file: the values the scale colours.
struct PositiveRange {
    float smallest = 0.0f;
    float largest = 0.0f;
    bool empty() const { return !(largest > 0.0f); }
    void include(float value);
};

// Maps a value to its place on the colour bar, 0 to 1: linear from 0 to the
// largest value, or logarithmic from the smallest to the largest positive one.
class ColourScale {
public:
    // Logarithmic when chosen, or, left automatic, when the positive values
    // span more than two decades; linear otherwise.
    static ColourScale choose(const PositiveRange& range, ScaleChoice choice);

    bool logarithmic() const { return logarithmic_; }
    // The ends of the bar: values for a linear scale, decimal logarithms for a logarithmic one.
    double low() const { return low_; }
    double high() const { return high_; }

    // The place of value on the bar; nothing for a zero, negative or non-finite value.
    std::optional<double> position(float value) const;
    // The colour level, 0 to COLOUR_LEVELS - 1; nothing for the neutral colour.
    std::optional<int> level(float value) const;

private:
    ColourScale(bool logarithmic, double low, double high) : logarithmic_(logarithmic), low_(low), high_(high) {}
    bool logarithmic_;
    double low_;
    double high_;
};

// The colour of a level of the scale.
Rgb level_colour(int level);
