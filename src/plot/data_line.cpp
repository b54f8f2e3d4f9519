#include "plot/data_line.hpp"

#include "diagnostics.hpp"
#include "plot/blanks.hpp"

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
    float value = 0.0f;
    if (read_real_field(line + field.offset, field.width, field.digits, value)) return written_number(field, value);
    return std::string(trimmed(printable(std::string_view(line + field.offset, field.width))));
}

}  // namespace

std::string written_number(const LayoutField& field, float value) { return std::string(trimmed(written_field(field, value))); }

std::string receptor_text(const PlotLayout& layout, const char* line)
{
    std::string text = "(";
    text += coordinate_text(layout.field(0), line);
    text += ", ";
    text += coordinate_text(layout.field(1), line);
    text += ')';
    return text;
}
