#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "plot/field_fault.hpp"
#include "plot/integer_field.hpp"
#include "plot/layout.hpp"
#include "plot/real_field.hpp"
#include "plot/receptor.hpp"
#include "plot/standard_layout.hpp"

// One parser and one writer of data lines, for every layout. A data line is
// the first max(LINE_WIDTH, width) bytes of a line, blank-padded; only the
// layout's columns are looked at.
//
// Both walk the fields of a layout through a field source: DeclaredFields,
// a layout read from a FORMAT line, field by field at run time; or
// StandardFields, the standard layout, walked at compile time, so that each
// field's kind and columns are constants of the code made for it and the
// field rules take their tuned shapes without a choice at run time.

// A field of the standard layout as a constant of the code.
template <LayoutField Field>
struct ConstantField {
    constexpr operator LayoutField() const { return Field; }
};

class DeclaredFields {
public:
    explicit DeclaredFields(const PlotLayout& layout) : layout_(&layout) {}

    const PlotLayout& layout() const { return *layout_; }
    static std::string_view name(std::size_t) { return {}; }

    // Calls visit(i, field) for each field in column order, as long as it
    // returns true; whether every call did.
    template <class Visit>
    bool each(Visit&& visit) const
    {
        for (std::size_t i = 0; i < layout_->field_count(); ++i) {
            if (!visit(i, layout_->field(i))) return false;
        }
        return true;
    }

    // Calls visit(k, field) for value field k, in column order.
    template <class Visit>
    void each_value(Visit&& visit) const
    {
        const auto indices = layout_->value_fields();
        for (std::size_t k = 0; k < indices.size(); ++k) visit(k, layout_->field(indices[k]));
    }

private:
    const PlotLayout* layout_;
};

class StandardFields {
public:
    static constexpr const PlotLayout& layout() { return STANDARD_LAYOUT; }
    static constexpr std::string_view name(std::size_t i) { return STANDARD_FIELD_NAMES[i]; }

    template <class Visit>
    static bool each(Visit&& visit)
    {
        return [&]<std::size_t... I>(std::index_sequence<I...>) {
            return (visit(I, ConstantField<STANDARD_LAYOUT.field(I)>{}) && ...);
        }(std::make_index_sequence<STANDARD_LAYOUT.field_count()>{});
    }

    template <class Visit>
    static void each_value(Visit&& visit)
    {
        [&]<std::size_t... K>(std::index_sequence<K...>) {
            (visit(K, ConstantField<STANDARD_LAYOUT.field(STANDARD_LAYOUT.value_fields()[K])>{}), ...);
        }(std::make_index_sequence<STANDARD_LAYOUT.value_fields().size()>{});
    }
};

// The value of one field of a data line: real for F and E fields, integer for
// I fields; a text field keeps its bytes in the line.
struct FieldValue {
    float real = 0.0f;
    std::int32_t integer = 0;
};

template <class Fields>
class DataLineParser {
public:
    explicit DataLineParser(Fields fields) : fields_(fields) {}

    const PlotLayout& layout() const { return fields_.layout(); }
    std::size_t value_count() const { return layout().value_fields().size(); }

    // Checks every field of line, left to right, and gives its receptor and
    // its value fields' values, values[k] for value field k. The first field
    // that is not a number is returned; the outputs are then partly filled.
    std::optional<FieldFault> read_values(const char* line, Receptor& receptor, float* values)
    {
        return read(line, receptor, [&](std::size_t, const LayoutField& field, std::size_t k) {
            if (field.is_value) return read_real_field(line + field.offset, field.width, field.digits, values[k]);
            return is_real_field(line + field.offset, field.width, field.digits);
        }, [](std::size_t, std::int32_t) {});
    }

    // The same, with the value of every number field into fields, one per
    // field of the layout: to write the line again, or to show it.
    std::optional<FieldFault> read_fields(const char* line, Receptor& receptor, FieldValue* fields)
    {
        auto fault = read(line, receptor, [&](std::size_t i, const LayoutField& field, std::size_t) {
            return read_real_field(line + field.offset, field.width, field.digits, fields[i].real);
        }, [&](std::size_t i, std::int32_t value) { fields[i].integer = value; });
        fields[0].real = receptor.x;
        fields[1].real = receptor.y;
        return fault;
    }

private:
    // x and y, not read again when their columns hold the bytes of the last
    // line whose x and y were read, as the lines of the inputs at one position do.
    std::optional<FieldFault> read_receptor(const char* line, Receptor& receptor)
    {
        const LayoutField x = layout().field(0);
        const LayoutField y = layout().field(1);
        const std::string_view bytes(line + x.offset, y.offset + y.width - x.offset);
        if (memo_.recall(bytes, receptor)) return std::nullopt;
        if (!read_real_field(line + x.offset, x.width, x.digits, receptor.x)) return fault_in(0, x, line);
        if (!read_real_field(line + y.offset, y.width, y.digits, receptor.y)) return fault_in(1, y, line);
        memo_.remember(bytes, receptor);
        return std::nullopt;
    }

    // The receptor, then every other field left to right: reals through
    // real(i, field, k), k counting value fields, integers handed to integer(i, value).
    template <class Real, class Integer>
    std::optional<FieldFault> read(const char* line, Receptor& receptor, Real&& real, Integer&& integer)
    {
        std::optional<FieldFault> fault = read_receptor(line, receptor);
        if (fault) return fault;
        std::size_t next_value = 0;
        fields_.each([&](std::size_t i, const auto& field_of_layout) {
            const LayoutField field = field_of_layout;
            if (i < 2 || field.kind == FieldKind::Text) return true;
            if (field.is_real()) {
                const std::size_t k = field.is_value ? next_value++ : 0;
                if (real(i, field, k)) return true;
                fault = fault_in(i, field, line);
                return false;
            }
            std::int32_t value = 0;
            const IntegerReading reading = read_integer_field(line + field.offset, field.width, value);
            if (reading == IntegerReading::Number) {
                integer(i, value);
                return true;
            }
            fault = fault_in(i, field, line, reading == IntegerReading::OutOfRange);
            return false;
        });
        return fault;
    }

    FieldFault fault_in(std::size_t i, const LayoutField& field, const char* line, bool out_of_range = false) const
    {
        return {field, fields_.name(i), std::string_view(line + field.offset, field.width), out_of_range};
    }

    Fields fields_;
    ReceptorMemo memo_;
};

template <class Fields>
class DataLineWriter {
public:
    explicit DataLineWriter(Fields fields) : fields_(fields) {}

    const PlotLayout& layout() const { return fields_.layout(); }
    // Columns of a written data line.
    std::size_t width() const { return layout().width(); }

    // The width() columns of a data line at out: value field k holds
    // values[k], every other number field its value in fields (as
    // DataLineParser::read_fields gives them), each text field its bytes in
    // line, the line they were read from; blanks between.
    void write(const FieldValue* fields, const float* values, const char* line, char* out) const
    {
        std::memset(out, ' ', width());
        std::size_t next_value = 0;
        fields_.each([&](std::size_t i, const auto& field_of_layout) {
            const LayoutField field = field_of_layout;
            char* at = out + field.offset;
            switch (field.kind) {
            case FieldKind::Fixed:
            case FieldKind::Exponent:
                write_real(field, field.is_value ? values[next_value++] : fields[i].real, at);
                break;
            case FieldKind::Integer: format_integer_field(fields[i].integer, field.width, field.digits, at); break;
            case FieldKind::Text: std::memcpy(at, line + field.offset, field.width); break;
            }
            return true;
        });
    }

    // Rewrites the value fields of a line that write gave with values, in order.
    void write_values(const float* values, char* out) const
    {
        fields_.each_value([&](std::size_t k, const auto& field_of_layout) {
            const LayoutField field = field_of_layout;
            write_real(field, values[k], out + field.offset);
        });
    }

    // Whether value, not zero, is written as zero in value field k.
    bool writes_as_zero(std::size_t k, float value) const
    {
        const LayoutField& field = layout().field(layout().value_fields()[k]);
        // An E field writes every value but zero with a digit other than 0.
        return field.kind == FieldKind::Fixed && ::writes_as_zero(value, field.width, field.digits);
    }

private:
    static void write_real(const LayoutField& field, float value, char* out)
    {
        if (field.kind == FieldKind::Fixed) {
            format_fixed_field(value, field.width, field.digits, out);
        } else {
            format_exponent_field(value, field.width, field.digits, out);
        }
    }

    Fields fields_;
};

// Calls act with the parser and the writer of the data lines of layout: the
// standard layout's own code when layout is the standard one, however its
// FORMAT list was written. The one place the choice is made.
template <class Act>
decltype(auto) with_data_line_code(const PlotLayout& layout, Act&& act)
{
    if (layout == STANDARD_LAYOUT) return act(DataLineParser(StandardFields{}), DataLineWriter(StandardFields{}));
    return act(DataLineParser(DeclaredFields(layout)), DataLineWriter(DeclaredFields(layout)));
}

// A real field's text as a data line writes value in it, without the blanks
// before it: "64.60030", "0.295718E-05".
std::string written_number(const LayoutField& field, float value);

// The receptor of a data line as a data line writes it, without leading
// blanks: "(1000.00000, 0.200000E+04)"; a field that is not a number as its
// bytes stand, made printable.
std::string receptor_text(const PlotLayout& layout, const char* line);
