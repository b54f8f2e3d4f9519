#pragma once

#include <string_view>

#include "plot/layout.hpp"

// A field of a data line that is not a number: the field, its name where the
// layout names its fields (the standard layout's "value"; empty elsewhere,
// where a field is told by its descriptor and columns) and the bytes of its
// columns in the line.
struct FieldFault {
    LayoutField field;
    std::string_view name;
    std::string_view text;
    bool out_of_range = false;  // an integer field beyond the 32-bit range
};
