#pragma once

#include <cstddef>
#include <string_view>

#include "plot/plot_line.hpp"

// Blanks in plot text. Only the space character is a blank: a tab in a
// number field is no blank, and fails.

// The text without the blanks at either end.
std::string_view trimmed(std::string_view text);

// The width bytes of a field with its blanks left out, given to read as one
// text, empty for a field of blanks only: the general way to read a number
// field of any shape.
template <class Read>
decltype(auto) read_without_blanks(const char* field, std::size_t width, Read&& read)
{
    char text[MAX_LAYOUT_WIDTH];
    std::size_t length = 0;
    for (std::size_t i = 0; i < width; ++i) {
        if (field[i] != ' ') text[length++] = field[i];
    }
    return read(std::string_view(text, length));
}

// Whether the width bytes of a line hold nothing but blanks and control
// bytes: as a data line, a line of zeros at receptor (0, 0) and blank text.
bool holds_nothing_but_blanks(const char* line, std::size_t width);
