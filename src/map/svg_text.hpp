#pragma once

#include <string>
#include <string_view>
#include <vector>

// Bytes as XML character data or attribute text, always well-formed whatever
// the bytes: markup characters become entities, valid UTF-8 stays as it is,
// any other byte of 128 and above is taken as Latin-1, a tab becomes a
// blank, and other control bytes (which XML cannot hold) become U+FFFD.
void append_xml_text(std::string& out, std::string_view bytes);
std::string xml_text(std::string_view bytes);

// value rounded to decimals, correctly and whatever the locale; never "-0".
std::string decimal_text(double value, int decimals);

// A coordinate or length for the SVG: decimal_text with two decimals,
// trailing zeros dropped.
void append_svg_number(std::string& out, double value);
std::string svg_number(double value);

// The characters of bytes as a line shows them: UTF-8 characters count once,
// each other byte once.
std::size_t shown_length(std::string_view bytes);

// text broken into lines of at most width characters, at blanks where it
// can (the blanks at a break dropped), inside a word longer than a line
// where it must; no line for text of blanks only.
std::vector<std::string> wrapped_lines(std::string_view text, std::size_t width);
