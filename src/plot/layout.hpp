#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kinds of field a data line layout holds, after their Fortran edit
// descriptors: F and E reals, I integers, A text. X columns are no field.
enum class FieldKind : std::uint8_t { Fixed, Exponent, Integer, Text };

// One field of a layout: its kind, where it stands and how wide it is; digits
// is d of Fw.d and Ew.d, m of Iw.m (1 for a plain Iw), 0 for Aw.
struct LayoutField {
    FieldKind kind = FieldKind::Text;
    std::uint16_t offset = 0;  // 0-based: column 1 is offset 0
    std::uint16_t width = 0;
    std::uint16_t digits = 0;

    bool is_real() const { return kind == FieldKind::Fixed || kind == FieldKind::Exponent; }
    bool operator==(const LayoutField&) const = default;
};

// The widest data line a declared layout may describe.
inline constexpr std::size_t MAX_LAYOUT_WIDTH = 1024;

// Reals narrower than this end the run of value fields.
inline constexpr std::size_t VALUE_FIELD_MIN_WIDTH = 13;

// The most value fields a layout can have.
inline constexpr std::size_t MAX_VALUE_FIELDS = MAX_LAYOUT_WIDTH / VALUE_FIELD_MIN_WIDTH;

// How the data lines of a plot file are laid out: its fields in column order
// and its width, X columns included. The first two fields are the receptor's
// x and y; the value fields are the reals after them up to the first real
// narrower than VALUE_FIELD_MIN_WIDTH.
class PlotLayout {
public:
    PlotLayout(std::vector<LayoutField> fields, std::size_t width);

    const std::vector<LayoutField>& fields() const { return fields_; }
    std::size_t width() const { return width_; }
    // Indices into fields() of the value fields, in column order.
    const std::vector<std::size_t>& value_fields() const { return value_fields_; }

    // The same fields in the same columns: two texts may give one layout.
    bool operator==(const PlotLayout& other) const { return width_ == other.width_ && fields_ == other.fields_; }

private:
    std::vector<LayoutField> fields_;
    std::size_t width_;
    std::vector<std::size_t> value_fields_;
};

// A FORMAT list read: the layout, or why it declares nothing plotmerge reads.
struct LayoutReading {
    std::optional<PlotLayout> layout;
    std::string problem;
};

// Reads a parenthesised list of edit descriptors (nX, Fw.d, Ew.d, Aw, Iw,
// Iw.m, repeat counts, nested groups, either case, blanks ignored) into a
// layout that plotmerge can merge: at most MAX_LAYOUT_WIDTH columns, at least
// three reals, the first two fields reals.
LayoutReading read_layout(std::string_view list);

// The layout of the fixed ten-field data line, 107 columns.
const PlotLayout& today_layout();
inline constexpr std::string_view TODAY_LAYOUT_LIST = "(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)";

// The text after "FORMAT:" when a header line is a FORMAT line: after its
// asterisk and any blanks it begins with "FORMAT:". Nothing otherwise.
std::optional<std::string_view> format_line_text(std::string_view header_line);

// A FORMAT line's text read as "FORMAT:" text: blanks, one list, blanks.
LayoutReading read_format_text(std::string_view text);

// The descriptor of a field as a FORMAT list writes it: "F13.5", "I8.8", "A6".
std::string descriptor_text(const LayoutField& field);
