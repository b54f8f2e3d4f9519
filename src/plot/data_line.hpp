#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    explicit DeclaredFields(const PlotLayout& layout) : layout_(&layout)
    {
        for (std::size_t i = 2; i < layout.field_count(); ++i) {
            if (layout.field(i).kind != FieldKind::Text) numbers_.push_back(static_cast<std::uint16_t>(i));
        }
    }

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

    // The same for the number fields after x and y only.
    template <class Visit>
    bool each_number(Visit&& visit) const
    {
        for (const std::uint16_t i : numbers_) {
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
    std::vector<std::uint16_t> numbers_;  // the fields after x and y that are not text
};

class StandardFields {
public:
    static constexpr const PlotLayout& layout() { return STANDARD_LAYOUT; }
    static constexpr std::string_view name(std::size_t i) { return STANDARD_FIELD_NAMES[i]; }

private:
    template <std::size_t I, class Visit>
    static bool visit_number(Visit& visit)
    {
        if constexpr (I < 2 || STANDARD_LAYOUT.field(I).kind == FieldKind::Text) {
            return true;
        } else {
            return visit(I, ConstantField<STANDARD_LAYOUT.field(I)>{});
        }
    }

public:

    template <class Visit>
    static bool each(Visit&& visit)
    {
        return [&]<std::size_t... I>(std::index_sequence<I...>) {
            return (visit(I, ConstantField<STANDARD_LAYOUT.field(I)>{}) && ...);
        }(std::make_index_sequence<STANDARD_LAYOUT.field_count()>{});
    }

    template <class Visit>
    static bool each_number(Visit&& visit)
    {
        return [&]<std::size_t... I>(std::index_sequence<I...>) {
            return (visit_number<I>(visit) && ...);
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
    bool written = false;  // a carried real already as the writer writes it
};

// Whether the real fields of width columns at a and b, which read, hold the
// same exact decimal value: 1000.0, 1000.00000 and 100000000 (five implied
// decimals) alike, 0 and -0 alike, two NaN alike.
bool same_real_value(const char* a, const char* b, std::size_t width, int decimals);

template <class Fields>
class DataLineParser {
public:
    explicit DataLineParser(Fields fields) : fields_(fields) {}

    const PlotLayout& layout() const { return fields_.layout(); }
    std::size_t value_count() const { return layout().value_fields().size(); }

    // Checks every field of line, left to right, and gives its value fields'
    // values, values[k] for value field k, and when fields is given what the
    // writer needs besides the line, one per field of the layout: the value
    // of each integer field, and of each carried real whether it is already
    // written as the writer writes it. The first field that is not a number
    // is returned; the outputs are then partly filled.
    std::optional<FieldFault> read_values(const char* line, float* values, FieldValue* fields = nullptr)
    {
        return read(line, [&](std::size_t i, const LayoutField& field, std::size_t k) {
            const char* text = line + field.offset;
            if (field.is_value) return read_real_field(text, field.width, field.digits, values[k]);
            if (fields == nullptr) return is_real_field(text, field.width, field.digits);
            const CarriedReal carried = check_carried_field(text, field.width, field.digits, field.kind == FieldKind::Exponent);
            fields[i].written = carried == CarriedReal::Written;
            return carried != CarriedReal::NotANumber;
        }, [&](std::size_t i, std::int32_t value) {
            if (fields != nullptr) fields[i].integer = value;
        }, fields);
    }

    // The nearest float of every real field and the value of every integer
    // field, one per field of the layout: to show a line.
    std::optional<FieldFault> read_fields(const char* line, FieldValue* fields)
    {
        auto fault = read(line, [&](std::size_t i, const LayoutField& field, std::size_t) {
            return read_real_field(line + field.offset, field.width, field.digits, fields[i].real);
        }, [&](std::size_t i, std::int32_t value) { fields[i].integer = value; });
        if (!fault) {
            read_real_field(line + layout().field(0).offset, layout().field(0).width, layout().field(0).digits, fields[0].real);
            read_real_field(line + layout().field(1).offset, layout().field(1).width, layout().field(1).digits, fields[1].real);
        }
        return fault;
    }

    // Whether two lines that read name one receptor: x and y of the same
    // exact decimal values, whatever their texts.
    bool same_receptor(const char* line, const char* other) const
    {
        const std::size_t begin = layout().field(0).offset;
        const std::size_t end = layout().field(1).offset + layout().field(1).width;
        if (std::memcmp(line + begin, other + begin, end - begin) == 0) return true;
        for (std::size_t i = 0; i < 2; ++i) {
            const LayoutField field = layout().field(i);
            if (!same_real_value(line + field.offset, other + field.offset, field.width, field.digits)) return false;
        }
        return true;
    }

private:
    // x and y are checked, and not again while their columns hold the bytes
    // of the last line whose x and y were, as the lines of the inputs at one
    // position do; for a line to be written again (fields given), each is
    // told whether it is already in written form.
    std::optional<FieldFault> read_receptor(const char* line, FieldValue* fields)
    {
        const LayoutField x = layout().field(0);
        const LayoutField y = layout().field(1);
        if (fields != nullptr) {
            const auto check = [&](std::size_t i, const LayoutField& field) {
                const CarriedReal carried = check_carried_field(line + field.offset, field.width, field.digits,
                                                                field.kind == FieldKind::Exponent);
                fields[i].written = carried == CarriedReal::Written;
                return carried != CarriedReal::NotANumber;
            };
            if (!check(0, x)) return fault_in(0, x, line);
            if (!check(1, y)) return fault_in(1, y, line);
            return std::nullopt;
        }
        const std::string_view bytes(line + x.offset, y.offset + y.width - x.offset);
        if (memo_.holds(bytes)) return std::nullopt;
        if (!is_real_field(line + x.offset, x.width, x.digits)) return fault_in(0, x, line);
        if (!is_real_field(line + y.offset, y.width, y.digits)) return fault_in(1, y, line);
        memo_.remember(bytes);
        return std::nullopt;
    }

    // The receptor, then every other field left to right: reals through
    // real(i, field, k), k counting value fields, integers handed to integer(i, value).
    template <class Real, class Integer>
    std::optional<FieldFault> read(const char* line, Real&& real, Integer&& integer, FieldValue* carried = nullptr)
    {
        std::optional<FieldFault> fault = read_receptor(line, carried);
        if (fault) return fault;
        std::size_t next_value = 0;
        fields_.each_number([&](std::size_t i, const auto& field_of_layout) {
            const LayoutField& field = field_of_layout;
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
    // values[k], every other real field its text in line (the line read)
    // as a carried field is written, every integer field its value in fields
    // (as DataLineParser::read_values gives them), each text field its bytes
    // in line; blanks between.
    void write(const FieldValue* fields, const float* values, const char* line, char* out) const
    {
        std::memset(out, ' ', width());
        std::size_t next_value = 0;
        fields_.each([&](std::size_t i, const auto& field_of_layout) {
            const LayoutField& field = field_of_layout;
            char* at = out + field.offset;
            switch (field.kind) {
            case FieldKind::Fixed:
            case FieldKind::Exponent:
                if (field.is_value) {
                    write_real(field, values[next_value++], at);
                } else if (fields[i].written) {
                    std::memcpy(at, line + field.offset, field.width);
                } else {
                    write_carried(field, line + field.offset, at);
                }
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
            const LayoutField& field = field_of_layout;
            write_real(field, values[k], out + field.offset);
        });
    }

    // Whether value field k of a line that write gave is asterisks: a value
    // too large for its field (a number never begins with one).
    bool written_as_asterisks(std::size_t k, const char* out) const
    {
        return out[layout().field(layout().value_fields()[k]).offset] == '*';
    }

    // Whether value, not zero, is written as zero in value field k.
    bool writes_as_zero(std::size_t k, float value) const
    {
        const LayoutField& field = layout().field(layout().value_fields()[k]);
        // An E field writes every value but zero with a digit other than 0.
        return field.kind == FieldKind::Fixed && ::writes_as_zero(value, field.width, field.digits);
    }

    // A carried real field, written from its text at field.
    static void write_carried(const LayoutField& field, const char* text, char* out)
    {
        if (field.kind == FieldKind::Fixed) {
            format_carried_fixed_field(text, field.width, field.digits, out);
        } else {
            format_carried_exponent_field(text, field.width, field.digits, out);
        }
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

// The receptor of a data line as a data line carries it, without leading
// blanks: "(1000.00000, 0.200000E+04)"; a field that is not a number as its
// bytes stand, made printable.
std::string receptor_text(const PlotLayout& layout, const char* line);
