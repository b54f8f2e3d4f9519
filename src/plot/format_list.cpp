#include "plot/format_list.hpp"

#include <algorithm>
#include <iterator>

namespace {

bool is_blank(char c) { return c == ' '; }

std::string fault_text(const ListReading& reading, std::string_view list)
{
    switch (reading.fault) {
    case ListFault::None: break;
    case ListFault::NotOneList: return "the list is not one parenthesised list";
    case ListFault::MissingParenthesis: return "a closing parenthesis is missing";
    case ListFault::EmptyItem: return "the list has an empty item";
    case ListFault::UnreadableItem:
        return "'" + std::string(list.substr(reading.item_begin, reading.item_end - reading.item_begin)) +
               "' is not an edit descriptor that can be read";
    case ListFault::TooWide: return "it describes more than " + std::to_string(MAX_LAYOUT_WIDTH) + " columns";
    case ListFault::FewReals: return "it has fewer than three real fields (F or E)";
    case ListFault::ReceptorNotReal: return "its first two fields, x and y, are not both real fields";
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
    if (reading.fault != ListFault::None) return {std::nullopt, fault_text(reading, packed)};
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

LayoutReading read_format_text(std::string_view text)
{
    const std::size_t open = text.find_first_not_of(' ');
    if (open == std::string_view::npos || text[open] != '(') return {std::nullopt, "no parenthesised list follows FORMAT:"};
    int depth = 0;
    std::size_t close = open;
    for (; close < text.size(); ++close) {
        if (text[close] == '(') ++depth;
        if (text[close] == ')' && --depth == 0) break;
    }
    if (close == text.size()) return {std::nullopt, "a closing parenthesis is missing"};
    if (text.find_first_not_of(' ', close + 1) != std::string_view::npos) {
        return {std::nullopt, "text follows the closing parenthesis of the list"};
    }
    return read_layout(text.substr(open, close + 1 - open));
}

