#include "field_reference.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "plot/real_field.hpp"

namespace {

std::string right_aligned(const std::string& text, FieldShape shape)
{
    const auto width = static_cast<std::size_t>(shape.width);
    if (text.size() > width) return std::string(width, '*');
    return std::string(width - text.size(), ' ') + text;
}

std::string special_text(float value, FieldShape shape)
{
    if (std::isnan(value)) return right_aligned("NaN", shape);
    const bool negative = value < 0;
    const std::string word = negative ? "-Infinity" : "Infinity";
    if (word.size() <= static_cast<std::size_t>(shape.width)) return right_aligned(word, shape);
    return right_aligned(negative ? "-Inf" : "Inf", shape);
}

std::string describe(float value, FieldShape shape, const std::string& expected, const std::string& written)
{
    char head[96];
    std::snprintf(head, sizeof head, "%a (bits %08x) in (%d, %d): ", static_cast<double>(value), bits_of(value),
                  shape.width, shape.decimals);
    return head + std::string("expected [") + expected + "], written [" + written + "]";
}

}  // namespace

std::string reference_field(float value, FieldShape shape)
{
    if (!std::isfinite(value)) return special_text(value, shape);
    // Nine or more integer digits overflow both fields; printing them is slow.
    if (std::fabs(value) >= 1e8f) return std::string(static_cast<std::size_t>(shape.width), '*');
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", shape.decimals, static_cast<double>(value));
    return right_aligned(text, shape);
}

std::string field_disagreement(float value)
{
    for (const FieldShape shape : {kWideField, kNarrowField}) {
        char written[16];
        if (shape.width == kWideField.width) {
            format_real_field<WideReal>(value, written);
        } else {
            format_real_field<NarrowReal>(value, written);
        }
        const std::string written_text(written, static_cast<std::size_t>(shape.width));
        const std::string expected = reference_field(value, shape);
        if (written_text != expected) return describe(value, shape, expected, written_text);
    }
    return {};
}

float float_from_bits(std::uint32_t bits)
{
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t bits_of(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
