#include "field_reference.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>

namespace {

std::string right_aligned(const std::string& text, int width)
{
    const auto columns = static_cast<std::size_t>(width);
    if (text.size() > columns) return std::string(columns, '*');
    return std::string(columns - text.size(), ' ') + text;
}

std::string special_text(float value, int width)
{
    if (std::isnan(value)) return right_aligned("NaN", width);
    const bool negative = value < 0;
    const std::string word = negative ? "-Infinity" : "Infinity";
    if (word.size() <= static_cast<std::size_t>(width)) return right_aligned(word, width);
    return right_aligned(negative ? "-Inf" : "Inf", width);
}

}  // namespace

std::string reference_field(float value, int width, int decimals)
{
    if (!std::isfinite(value)) return special_text(value, width);
    // More integer digits than the field has columns never fit; printing them is slow.
    if (std::fabs(static_cast<double>(value)) >= std::pow(10.0, width)) return std::string(static_cast<std::size_t>(width), '*');
    char text[512];
    std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
    std::string written = text;
    // A field without decimals still ends its integer digits with the point.
    if (decimals == 0) written += '.';
    return right_aligned(written, width);
}

std::string reference_exponent_field(float value, int width, int digits)
{
    if (!std::isfinite(value)) return special_text(value, width);
    char text[512];
    std::snprintf(text, sizeof text, "%.*e", digits - 1, std::fabs(static_cast<double>(value)));
    const std::string printed = text;
    const std::size_t e = printed.find('e');
    std::string mantissa = printed.substr(0, e);
    mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
    int exponent = std::stoi(printed.substr(e + 1));
    if (value != 0.0f) ++exponent;
    char exponent_text[16];
    std::snprintf(exponent_text, sizeof exponent_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return right_aligned((std::signbit(value) ? "-0." : "0.") + mantissa + exponent_text, width);
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
