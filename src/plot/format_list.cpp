#include "plot/format_list.hpp"

#include <algorithm>
#include <iterator>

#include "diagnostics.hpp"

namespace {

bool is_blank(char c) { return c == ' '; }

std::string does_not_read(std::string_view why) { return "the list does not read: " + std::string(why); }

std::string field_named(const LayoutField& field)
{
    return in_columns(descriptor_text(field), field.offset + 1u, field.offset + field.width);
}

std::string fault_text(const ListReading& reading, std::string_view list, const PlotLayout& layout)
{
    switch (reading.fault) {
    case ListFault::None: break;
    case ListFault::NotOneList: return does_not_read("it is not one parenthesised list");
    case ListFault::MissingParenthesis: return does_not_read("a closing parenthesis is missing");
    case ListFault::EmptyItem: return does_not_read("it has an empty item");
    case ListFault::UnreadableItem:
        return does_not_read(quoted(list.substr(reading.item_begin, reading.item_end - reading.item_begin)) +
                             " is not an edit descriptor that can be read");
    case ListFault::TooWide: return "it describes more than " + std::to_string(MAX_LAYOUT_WIDTH) + " columns";
    case ListFault::FirstNotReal:
        if (layout.field_count() == 0) return "it declares no field";
        return "its first field, " + field_named(layout.field(0)) +
               ", is not a real: the file looks like a list of ranked or threshold values, one line per rank rather "
               "than per receptor, which cannot be merged line by line";
    case ListFault::SecondNotReal:
        if (layout.field_count() < 2) return "it declares one field only, no receptor's x and y";
        return "its second field, " + field_named(layout.field(1)) + ", is not a real, so its lines name no receptor";
    case ListFault::NoValueField:
        return "it has no value field: no real field of " + std::to_string(VALUE_FIELD_MIN_WIDTH) +
               " columns or more follows x and y";
    }
    return {};
}

}  // namespace

// Fortran ignores blanks in a list: they are left out before it is read.
LayoutReading read_layout(std::string_view list)
{
    std::string packed;
    std::copy_if(list.begin(), list.end(), std::back_inserter(packed), [](char c) { return !is_blank(c); });
    PlotLayout layout;
    const ListReading reading = ListLayout(packed, layout).read();
    if (reading.fault != ListFault::None) return {std::nullopt, fault_text(reading, packed, layout)};
    return {layout, {}};
}

std::optional<std::string_view> format_line_text(std::string_view header_line)
{
    constexpr std::string_view kKeyword = "FORMAT:";
    std::size_t at = 1;
    while (at < header_line.size() && is_blank(header_line[at])) ++at;
    if (header_line.substr(at, kKeyword.size()) != kKeyword) return std::nullopt;
    return header_line.substr(at + kKeyword.size());
}

LayoutReading read_format_text(std::string_view text, std::size_t last_column)
{
    const std::size_t open = text.find_first_not_of(' ');
    if (open == std::string_view::npos || text[open] != '(') {
        return {std::nullopt, does_not_read("no parenthesised list follows FORMAT:")};
    }
    int depth = 0;
    std::size_t close = open;
    for (; close < text.size(); ++close) {
        if (text[close] == '(') ++depth;
        if (text[close] == ')' && --depth == 0) break;
    }
    if (close == text.size()) {
        // A line longer than what was read of it is cut in its list.
        if (text.back() != ' ') {
            return {std::nullopt, does_not_read("it runs past column " + std::to_string(last_column) + ", the last read")};
        }
        return {std::nullopt, does_not_read("a closing parenthesis is missing")};
    }
    if (text.find_first_not_of(' ', close + 1) != std::string_view::npos) {
        return {std::nullopt, does_not_read("text follows the closing parenthesis of the list")};
    }
    return read_layout(text.substr(open, close + 1 - open));
}

