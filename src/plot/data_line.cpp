#include "plot/data_line.hpp"

#include <cstdint>
#include <cstring>

#include "diagnostics.hpp"
#include "number/decimal_text.hpp"
#include "plot/blanks.hpp"
#include "plot/plain_field.hpp"

namespace {

std::string written_field(const LayoutField& field, float value)
{
    std::string text(field.width, ' ');
    if (field.kind == FieldKind::Fixed) {
        format_fixed_field(value, field.width, field.digits, text.data());
    } else {
        format_exponent_field(value, field.width, field.digits, text.data());
    }
    return text;
}

std::string coordinate_text(const LayoutField& field, const char* line)
{
    const char* text = line + field.offset;
    if (!is_real_field(text, field.width, field.digits)) return std::string(trimmed(printable(std::string_view(text, field.width))));
    std::string written(field.width, ' ');
    DataLineWriter<DeclaredFields>::write_carried(field, text, written.data());
    return std::string(trimmed(written));
}

std::optional<DecimalText> decimal_of(std::string_view text, int decimals)
{
    return text.empty() ? DecimalText{} : read_decimal_text(text, decimals);
}

}  // namespace

std::string written_number(const LayoutField& field, float value) { return std::string(trimmed(written_field(field, value))); }

namespace {

// Two numbers of digits as integers with decimals, compared as decimal values.
bool same_plain_value(const PlainDigits& a, const PlainDigits& b)
{
    if (a.integer == 0 || b.integer == 0) return a.integer == b.integer;  // zero, whatever its sign
    if (a.negative != b.negative) return false;
    // The one with fewer decimals scaled to the other's; one beyond 64 bits is beyond the other.
    const PlainDigits& fewer = a.decimals <= b.decimals ? a : b;
    const PlainDigits& more = a.decimals <= b.decimals ? b : a;
    std::uint64_t scaled = fewer.integer;
    for (int i = fewer.decimals; i < more.decimals; ++i) {
        if (__builtin_mul_overflow(scaled, std::uint64_t{10}, &scaled)) return false;
    }
    return scaled == more.integer;
}

template <RealFieldShape Shape>
std::optional<bool> same_if_plain(const char* a, const char* b)
{
    PlainDigits a_digits;
    PlainDigits b_digits;
    if (!read_plain_digits<Shape>(a, a_digits) || !read_plain_digits<Shape>(b, b_digits)) return std::nullopt;
    return same_plain_value(a_digits, b_digits);
}

}  // namespace

bool same_real_value(const char* a, const char* b, std::size_t width, int decimals)
{
    if (std::memcmp(a, b, width) == 0) return true;
    std::optional<bool> same;
    if (real_shape(width, decimals) == RealShape::Wide) same = same_if_plain<WideReal>(a, b);
    if (real_shape(width, decimals) == RealShape::Narrow) same = same_if_plain<NarrowReal>(a, b);
    if (same) return *same;
    return read_without_blanks(a, width, [&](std::string_view a_text) {
        return read_without_blanks(b, width, [&](std::string_view b_text) {
            const std::optional<DecimalText> a_value = decimal_of(a_text, decimals);
            const std::optional<DecimalText> b_value = decimal_of(b_text, decimals);
            return a_value && b_value && same_decimal_value(*a_value, *b_value);
        });
    });
}

std::string receptor_text(const PlotLayout& layout, const char* line)
{
    std::string text = "(";
    text += coordinate_text(layout.field(0), line);
    text += ", ";
    text += coordinate_text(layout.field(1), line);
    text += ')';
    return text;
}
