#include "field_disagreement.hpp"

#include <cstdio>

#include "plot/real_field.hpp"

namespace {

std::string describe(float value, int width, int decimals, const std::string& expected, const std::string& written)
{
    char head[96];
    std::snprintf(head, sizeof head, "%a (bits %08x) in (%d, %d): ", static_cast<double>(value), bits_of(value), width,
                  decimals);
    return head + std::string("expected [") + expected + "], written [" + written + "]";
}

template <class Shape>
std::string shape_disagreement(float value)
{
    char written[Shape::width];
    format_real_field<Shape>(value, written);
    const std::string written_text(written, Shape::width);
    const std::string expected = reference_field(value, Shape::width, Shape::decimals);
    if (written_text == expected) return {};
    return describe(value, Shape::width, Shape::decimals, expected, written_text);
}

}  // namespace

std::string field_disagreement(float value)
{
    const std::string wide = shape_disagreement<WideReal>(value);
    return wide.empty() ? shape_disagreement<NarrowReal>(value) : wide;
}
