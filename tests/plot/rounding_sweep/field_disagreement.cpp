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

// The exponent field of the layouts that declare one, E13.6.
std::string exponent_disagreement(float value)
{
    constexpr int kWidth = 13;
    constexpr int kDigits = 6;
    char written[kWidth];
    format_exponent_field(value, kWidth, kDigits, written);
    const std::string written_text(written, kWidth);
    const std::string expected = reference_exponent_field(value, kWidth, kDigits);
    if (written_text == expected) return {};
    return describe(value, kWidth, kDigits, expected, written_text);
}

}  // namespace

std::string field_disagreement(float value)
{
    std::string disagreement = shape_disagreement<WideReal>(value);
    if (disagreement.empty()) disagreement = shape_disagreement<NarrowReal>(value);
    if (disagreement.empty()) disagreement = exponent_disagreement(value);
    return disagreement;
}
