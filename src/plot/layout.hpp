#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "plot/plot_line.hpp"

// The kinds of field a data line layout holds, after their Fortran edit
// descriptors: F and E reals, I integers, A text. X columns are no field.
enum class FieldKind : std::uint8_t { Fixed, Exponent, Integer, Text };

// One field of a layout: its kind, where it stands and how wide it is; digits
// is d of Fw.d and Ew.d, m of Iw.m (1 for a plain Iw), 0 for Aw. A value
// field is a real that the merge scales and combines.
struct LayoutField {
    FieldKind kind = FieldKind::Text;
    std::uint16_t offset = 0;  // 0-based: column 1 is offset 0
    std::uint16_t width = 0;
    std::uint16_t digits = 0;
    bool is_value = false;

    constexpr bool is_real() const { return kind == FieldKind::Fixed || kind == FieldKind::Exponent; }
    constexpr bool operator==(const LayoutField&) const = default;
};

// The reals after x and y at least this wide are the value fields.
inline constexpr std::size_t VALUE_FIELD_MIN_WIDTH = 13;

// Every field takes one column at least.
inline constexpr std::size_t MAX_LAYOUT_FIELDS = MAX_LAYOUT_WIDTH;

// The most value fields a layout can have.
inline constexpr std::size_t MAX_VALUE_FIELDS = MAX_LAYOUT_WIDTH / VALUE_FIELD_MIN_WIDTH;

// A colon of a FORMAT list: the fields after it are there only while items
// remain. It stands before field `field`, at column offset `column`.
struct LayoutColon {
    std::uint16_t field = 0;
    std::uint16_t column = 0;
    constexpr bool operator==(const LayoutColon&) const = default;
};

// How the data lines of a plot file are laid out: its fields in column order,
// and the colons of its list. The first two fields are the receptor's x and
// y; the value fields are the reals after them at least
// VALUE_FIELD_MIN_WIDTH columns wide. A written data line ends with its last
// field. Of fixed size and made at compile time as well as at run time, so
// that the standard layout is a constant.
class PlotLayout {
public:
    constexpr PlotLayout() = default;

    // Appends a field that begins at or after the end of the last one.
    constexpr void add_field(const LayoutField& field)
    {
        fields_[count_++] = field;
        width_ = field.offset + field.width;
    }
    // Appends a colon at column offset `column`, before the next field; one at
    // the same place as the last adds nothing.
    constexpr void add_colon(std::size_t column)
    {
        const LayoutColon colon{static_cast<std::uint16_t>(count_), static_cast<std::uint16_t>(column)};
        if (colon_count_ > 0 && colons_[colon_count_ - 1] == colon) return;
        colons_[colon_count_++] = colon;
    }
    // Marks the value fields, once every field is there.
    constexpr void finish()
    {
        value_count_ = 0;
        for (std::size_t i = 2; i < count_; ++i) {
            fields_[i].is_value = fields_[i].is_real() && fields_[i].width >= VALUE_FIELD_MIN_WIDTH;
            if (fields_[i].is_value) value_fields_[value_count_++] = static_cast<std::uint16_t>(i);
        }
    }

    constexpr std::span<const LayoutField> fields() const { return {fields_.data(), count_}; }
    constexpr const LayoutField& field(std::size_t i) const { return fields_[i]; }
    constexpr std::size_t field_count() const { return count_; }
    constexpr std::span<const LayoutColon> colons() const { return {colons_.data(), colon_count_}; }
    // Columns of a written data line: up to the end of the last field.
    constexpr std::size_t width() const { return width_; }
    // Indices into fields() of the value fields, in column order.
    constexpr std::span<const std::uint16_t> value_fields() const { return {value_fields_.data(), value_count_}; }

    // The layout that a line read in it holds: cut at the first colon from
    // whose column on the width bytes of line hold nothing but blanks, and
    // without its colons; column, when given, is set to that colon's column
    // offset, or to the width when no colon cuts.
    PlotLayout cut_at_colon(const char* line, std::size_t width, std::size_t* column = nullptr) const;

    // The same fields in the same columns and the same colons: two texts may give one layout.
    constexpr bool operator==(const PlotLayout& other) const
    {
        if (count_ != other.count_ || colon_count_ != other.colon_count_) return false;
        for (std::size_t i = 0; i < count_; ++i) {
            if (!(fields_[i] == other.fields_[i])) return false;
        }
        for (std::size_t i = 0; i < colon_count_; ++i) {
            if (!(colons_[i] == other.colons_[i])) return false;
        }
        return true;
    }

private:
    std::array<LayoutField, MAX_LAYOUT_FIELDS> fields_{};
    std::size_t count_ = 0;
    std::size_t width_ = 0;
    std::array<LayoutColon, MAX_LAYOUT_FIELDS + 1> colons_{};
    std::size_t colon_count_ = 0;
    std::array<std::uint16_t, MAX_VALUE_FIELDS> value_fields_{};
    std::size_t value_count_ = 0;
};

// The descriptor of a field as a FORMAT list writes it: "F13.5", "I8.8", "A6".
std::string descriptor_text(const LayoutField& field);
