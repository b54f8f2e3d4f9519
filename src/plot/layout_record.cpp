#include "plot/layout_record.hpp"

#include <cstring>
#include <string_view>

#include "diagnostics.hpp"
#include "plot/integer_field.hpp"
#include "plot/real_field.hpp"

namespace {

FieldFault fault_in(const LayoutField& field, const char* line, bool out_of_range = false)
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on literals plus std::string.
    std::string name = descriptor_text(field);
    name += " in columns ";
    name += std::to_string(field.offset + 1);
    name += '-';
    name += std::to_string(field.offset + field.width);
    return {name, field_bytes(field, line), out_of_range};
}

bool read_real(const LayoutField& field, const char* line, float& value)
{
    return read_real_field(line + field.offset, field.width, field.digits, value);
}

std::optional<FieldFault> read_integer(const LayoutField& field, const char* line, std::int32_t& value)
{
    const IntegerReading reading = read_integer_field(line + field.offset, field.width, value);
    if (reading == IntegerReading::Number) return std::nullopt;
    return fault_in(field, line, reading == IntegerReading::OutOfRange);
}

// Writes value into the field's width() bytes at out.
void format_real(const LayoutField& field, float value, char* out)
{
    if (field.kind == FieldKind::Fixed) {
        format_fixed_field(value, field.width, field.digits, out);
    } else {
        format_exponent_field(value, field.width, field.digits, out);
    }
}

// A coordinate as the data line writes it, blanks around it dropped; a field
// that is not a number as its bytes stand.
std::string coordinate_text(const LayoutField& field, const char* line)
{
    float value = 0.0f;
    const std::string text = read_real(field, line, value) ? real_field_text(field, value) : printable(field_bytes(field, line));
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

}  // namespace

std::optional<FieldFault> parse_layout_line(const PlotLayout& layout, const char* line, FieldValue* values)
{
    return LayoutLineReader(layout).read_fields(line, values);
}

LayoutLineReader::LayoutLineReader(const PlotLayout& layout)
    : layout_(layout),
      receptor_begin_(layout.fields()[0].offset),
      receptor_length_(layout.fields()[1].offset + layout.fields()[1].width - receptor_begin_)
{
}

std::optional<FieldFault> LayoutLineReader::read_receptor(const char* line, Receptor& receptor)
{
    const std::string_view bytes(line + receptor_begin_, receptor_length_);
    if (memo_.recall(bytes, receptor)) return std::nullopt;
    const LayoutField& x = layout_.fields()[0];
    const LayoutField& y = layout_.fields()[1];
    if (!read_real(x, line, receptor.x)) return fault_in(x, line);
    if (!read_real(y, line, receptor.y)) return fault_in(y, line);
    memo_.remember(bytes, receptor);
    return std::nullopt;
}

std::optional<FieldFault> LayoutLineReader::read_fields(const char* line, FieldValue* values)
{
    Receptor receptor;
    if (auto fault = read_receptor(line, receptor)) return fault;
    values[0].real = receptor.x;
    values[1].real = receptor.y;
    const auto& fields = layout_.fields();
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const LayoutField& field = fields[i];
        if (field.is_real()) {
            if (!read_real(field, line, values[i].real)) return fault_in(field, line);
        } else if (field.kind == FieldKind::Integer) {
            if (auto fault = read_integer(field, line, values[i].integer)) return fault;
        }
    }
    return std::nullopt;
}

std::optional<FieldFault> LayoutLineReader::read_values(const char* line, Receptor& receptor, float* values)
{
    if (auto fault = read_receptor(line, receptor)) return fault;
    const auto& fields = layout_.fields();
    const auto& value_fields = layout_.value_fields();
    std::size_t next_value = 0;
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const LayoutField& field = fields[i];
        if (field.is_real()) {
            const bool is_value = next_value < value_fields.size() && value_fields[next_value] == i;
            const bool good = is_value ? read_real(field, line, values[next_value++])
                                       : is_real_field(line + field.offset, field.width, field.digits);
            if (!good) return fault_in(field, line);
        } else if (field.kind == FieldKind::Integer) {
            std::int32_t unused = 0;
            if (auto fault = read_integer(field, line, unused)) return fault;
        }
    }
    return std::nullopt;
}

void format_layout_line(const PlotLayout& layout, const FieldValue* values, const char* line, char* out)
{
    std::memset(out, ' ', layout.width());
    const auto& fields = layout.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const LayoutField& field = fields[i];
        switch (field.kind) {
        case FieldKind::Fixed:
        case FieldKind::Exponent: format_real(field, values[i].real, out + field.offset); break;
        case FieldKind::Integer: format_integer_field(values[i].integer, field.width, field.digits, out + field.offset); break;
        case FieldKind::Text: std::memcpy(out + field.offset, line + field.offset, field.width); break;
        }
    }
}

void format_layout_values(const PlotLayout& layout, const float* values, char* out)
{
    const auto& value_fields = layout.value_fields();
    for (std::size_t k = 0; k < value_fields.size(); ++k) {
        const LayoutField& field = layout.fields()[value_fields[k]];
        format_real(field, values[k], out + field.offset);
    }
}

std::size_t values_written_as_zero(const PlotLayout& layout, const float* values)
{
    std::size_t zeros = 0;
    for (std::size_t k = 0; k < layout.value_fields().size(); ++k) {
        const LayoutField& field = layout.fields()[layout.value_fields()[k]];
        // An E field writes every value but zero with a digit other than 0.
        if (field.kind == FieldKind::Fixed && writes_as_zero(values[k], field.width, field.digits)) ++zeros;
    }
    return zeros;
}

std::string real_field_text(const LayoutField& field, float value)
{
    std::string text(field.width, ' ');
    format_real(field, value, text.data());
    return text;
}

std::string_view field_bytes(const LayoutField& field, const char* line) { return {line + field.offset, field.width}; }

std::string layout_receptor_text(const PlotLayout& layout, const char* line)
{
    std::string text = "(";
    text += coordinate_text(layout.fields()[0], line);
    text += ", ";
    text += coordinate_text(layout.fields()[1], line);
    text += ')';
    return text;
}
