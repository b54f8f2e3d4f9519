#pragma once

#include <string>
#include <string_view>

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
