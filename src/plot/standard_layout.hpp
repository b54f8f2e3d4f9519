#pragma once

#include <array>
#include <string_view>

#include "plot/format_list.hpp"
#include "plot/layout.hpp"

// The layout of plot files that declare none: ten fields, 107 columns.
inline constexpr std::string_view STANDARD_LAYOUT_LIST = "(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)";

// Laid out from its list when compiled, as every declared list is when read.
inline constexpr PlotLayout STANDARD_LAYOUT = [] {
    PlotLayout layout;
    if (ListLayout(STANDARD_LAYOUT_LIST, layout).read().fault != ListFault::None) throw "the standard list must read";
    return layout;
}();

// What diagnostics call the fields of the standard layout, in column order.
inline constexpr std::array<std::string_view, 10> STANDARD_FIELD_NAMES = {
    "x", "y", "value", "aux1", "aux2", "aux3", "tag_a", "tag_b", "stamp", "tag_c",
};
static_assert(STANDARD_LAYOUT.field_count() == STANDARD_FIELD_NAMES.size());
static_assert(STANDARD_LAYOUT.width() == 107);
