#pragma once

#include <concepts>
#include <cstddef>

// The two common shapes of a real field: 13 columns with 5 decimals (x, y and
// the value of the standard layout) and 8 columns with 2 (its elevations).
// Their readers and writers are tuned to them; every other width and number
// of decimals is an OtherShape, read and written by the general rules.
struct WideReal {
    static constexpr std::size_t width = 13;
    static constexpr int decimals = 5;
};
struct NarrowReal {
    static constexpr std::size_t width = 8;
    static constexpr int decimals = 2;
};
struct OtherShape {
    std::size_t width;
    int decimals;
};

template <class Shape>
concept RealFieldShape = std::same_as<Shape, WideReal> || std::same_as<Shape, NarrowReal>;

enum class RealShape { Wide, Narrow, Other };

// The shape of a real field of width columns and decimals (d of Fw.d, digits
// of Ew.d): the one place the shape is chosen. A field whose columns are
// known when compiled has its shape chosen then.
constexpr RealShape real_shape(std::size_t width, int decimals)
{
    if (width == WideReal::width && decimals == WideReal::decimals) return RealShape::Wide;
    if (width == NarrowReal::width && decimals == NarrowReal::decimals) return RealShape::Narrow;
    return RealShape::Other;
}
