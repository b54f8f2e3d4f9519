#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "plot/layout.hpp"

// Why a FORMAT list declares no layout that plotmerge reads.
enum class ListFault : std::uint8_t {
    None,
    NotOneList,
    MissingParenthesis,
    EmptyItem,
    UnreadableItem,  // the item is list[item_begin, item_end)
    TooWide,
    FirstNotReal,   // or no field at all
    SecondNotReal,  // or only one field
    NoValueField,
};

struct ListReading {
    ListFault fault = ListFault::None;
    std::size_t item_begin = 0;
    std::size_t item_end = 0;
};

// Lays out a FORMAT list written without blanks into layout, in one pass: a
// recursive descent over the list that puts each field where the columns
// before it end. A group is read once and its fields then copied for each
// further repeat, so no text is read twice and a list of nested repeats
// costs no more than the fields it lays out. Once the line would grow wider
// than MAX_LAYOUT_WIDTH nothing more is laid out, but the rest of the list is
// still read, so that a list that does not read says so first. Usable at
// compile time, which is how the standard layout is made.
class ListLayout {
public:
    constexpr ListLayout(std::string_view list, PlotLayout& layout) : text_(list), layout_(layout) {}

    constexpr ListReading read()
    {
        if (!group() || at_ != text_.size()) {
            if (reading_.fault == ListFault::None) reading_.fault = ListFault::NotOneList;
            return reading_;
        }
        if (too_wide_) return {ListFault::TooWide};
        const std::size_t count = layout_.field_count();
        if (count < 1 || !layout_.field(0).is_real()) return {ListFault::FirstNotReal};
        if (count < 2 || !layout_.field(1).is_real()) return {ListFault::SecondNotReal};
        layout_.finish();
        if (layout_.value_fields().empty()) return {ListFault::NoValueField};
        return {};
    }

private:
    // Larger numbers than this make a layout too wide whatever they count;
    // holding them as this keeps every sum far from overflow.
    static constexpr std::size_t kNumberCap = MAX_LAYOUT_WIDTH + 1;

    static constexpr char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
    static constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

    constexpr char peek() const { return at_ < text_.size() ? upper(text_[at_]) : '\0'; }

    constexpr std::optional<std::size_t> number()
    {
        if (!is_digit(peek())) return std::nullopt;
        std::size_t value = 0;
        while (is_digit(peek())) {
            value = value * 10 + static_cast<std::size_t>(text_[at_++] - '0');
            if (value > kNumberCap) value = kNumberCap;
        }
        return value;
    }

    // Records what went wrong at the item that starts at item_start.
    constexpr bool fail(std::size_t item_start)
    {
        if (reading_.fault != ListFault::None) return false;
        if (item_start >= text_.size()) {
            reading_.fault = ListFault::MissingParenthesis;
        } else if (text_[item_start] == ',' || text_[item_start] == ')') {
            reading_.fault = ListFault::EmptyItem;
        } else {
            const std::size_t end = text_.find_first_of(",()", at_ > item_start + 1 ? at_ : item_start + 1);
            reading_ = {ListFault::UnreadableItem, item_start, end == std::string_view::npos ? text_.size() : end};
        }
        return false;
    }

    // '(' item {',' item} ')', where a colon is an item that needs no comma
    // before or after it: "(A5:I3)", "(I8,2X:)".
    constexpr bool group()
    {
        if (peek() != '(') return fail(at_);
        ++at_;
        for (;;) {
            const std::size_t item_start = at_;
            if (peek() == ':') {
                ++at_;
                if (!too_wide_) layout_.add_colon(column_);
            } else if (!item()) {
                return false;
            }
            if (peek() == ',') {
                ++at_;
            } else if (peek() == ')') {
                ++at_;
                return true;
            } else if (peek() != ':' && text_[at_ - 1] != ':') {
                return fail(at_ == text_.size() ? at_ : item_start);
            }
        }
    }

    constexpr bool item()
    {
        const std::size_t start = at_;
        const std::optional<std::size_t> count = number();
        if (count == 0u) return fail(start);
        const std::size_t repeat = count.value_or(1);
        const char letter = peek();
        if (letter == ',' || letter == ')' || letter == ':' || letter == '\0') return fail(start);
        if (letter == '(') {
            const std::size_t first_field = layout_.field_count();
            const std::size_t first_colon = layout_.colons().size();
            const std::size_t first_column = column_;
            if (!group()) return false;
            repeat_group(first_field, first_colon, first_column, repeat);
            return true;
        }
        ++at_;
        if (letter == 'X') {
            if (!count) return fail(start);
            take_columns(*count);
            return true;
        }
        LayoutField field;
        if (!descriptor(letter, field)) return fail(start);
        for (std::size_t i = 0; i < repeat && !too_wide_; ++i) lay_out(field);
        return true;
    }

    // The letter is taken; w, and .d or .m where the descriptor has them.
    constexpr bool descriptor(char letter, LayoutField& field)
    {
        const std::optional<std::size_t> width = number();
        if (!width || *width == 0) return false;
        field.width = static_cast<std::uint16_t>(*width);
        std::optional<std::size_t> digits;
        if (peek() == '.') {
            ++at_;
            digits = number();
            if (!digits) return false;
        }
        switch (letter) {
        case 'F':
        case 'E':
            if (!digits || (letter == 'E' && *digits == 0)) return false;
            field.kind = letter == 'F' ? FieldKind::Fixed : FieldKind::Exponent;
            break;
        case 'I':
            if (digits && *digits > *width) return false;
            field.kind = FieldKind::Integer;
            digits = digits.value_or(1);
            break;
        case 'A':
            if (digits) return false;
            field.kind = FieldKind::Text;
            break;
        default: return false;
        }
        if (digits.value_or(0) >= kNumberCap) return false;
        field.digits = static_cast<std::uint16_t>(digits.value_or(0));
        return true;
    }

    // Whether width more columns still fit the line; when not, nothing more is laid out.
    constexpr bool fits(std::size_t width)
    {
        if (!too_wide_ && column_ + width > MAX_LAYOUT_WIDTH) too_wide_ = true;
        return !too_wide_;
    }

    constexpr void take_columns(std::size_t width)
    {
        if (fits(width)) column_ += width;
    }

    constexpr void lay_out(LayoutField field)
    {
        if (!fits(field.width)) return;
        field.offset = static_cast<std::uint16_t>(column_);
        layout_.add_field(field);
        column_ += field.width;
    }

    // The group just laid out from first_field, first_colon and first_column
    // on, repeat times in all: its fields and colons copied, each further
    // copy where the last ends.
    constexpr void repeat_group(std::size_t first_field, std::size_t first_colon, std::size_t first_column,
                                std::size_t repeat)
    {
        const std::size_t end_field = layout_.field_count();
        const std::size_t end_colon = layout_.colons().size();
        const std::size_t width = column_ - first_column;
        for (std::size_t copy = 1; copy < repeat && fits(width); ++copy) {
            // Fields and colons in their order: a colon before field k goes before it.
            std::size_t colon = first_colon;
            for (std::size_t i = first_field; i <= end_field; ++i) {
                for (; colon < end_colon && layout_.colons()[colon].field == i; ++colon) {
                    layout_.add_colon(layout_.colons()[colon].column - first_column + column_);
                }
                if (i == end_field) break;
                LayoutField field = layout_.field(i);
                field.offset = static_cast<std::uint16_t>(field.offset - first_column + column_);
                layout_.add_field(field);
            }
            column_ += width;
        }
    }

    std::string_view text_;
    PlotLayout& layout_;
    std::size_t at_ = 0;
    std::size_t column_ = 0;
    bool too_wide_ = false;
    ListReading reading_;
};

// A FORMAT list read: the layout, or why it declares nothing plotmerge reads.
struct LayoutReading {
    std::optional<PlotLayout> layout;
    std::string problem;
};

// Reads a parenthesised list of edit descriptors (nX, Fw.d, Ew.d, Aw, Iw,
// Iw.m, the colon, repeat counts, nested groups, either case, blanks ignored)
// into a layout that plotmerge can merge: at most MAX_LAYOUT_WIDTH columns,
// the first two fields reals, a value field after them. Otherwise why not,
// its texts made printable.
LayoutReading read_layout(std::string_view list);

// The text after "FORMAT:" when a header line is a FORMAT line: after its
// asterisk and any blanks it begins with "FORMAT:". Nothing otherwise.
std::optional<std::string_view> format_line_text(std::string_view header_line);

// A FORMAT line's text read as "FORMAT:" text: blanks, one list, blanks.
// The text ends at last_column of its line, where the line was cut when it
// was longer.
LayoutReading read_format_text(std::string_view text, std::size_t last_column);
