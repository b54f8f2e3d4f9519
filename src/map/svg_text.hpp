#pragma once

#include <string>
#include <string_view>

// Bytes as XML character data or attribute text, always well-formed whatever
// the bytes: markup characters become entities, valid UTF-8 stays as it is,
// any other byte of 128 and above is taken as Latin-1, a tab becomes a
// blank, and other control bytes (which XML cannot hold) become U+FFFD.
void append_xml_text(std::string& out, std::string_view bytes);
std::string xml_text(std::string_view bytes);

// A coordinate or length for the SVG: at most two decimals, correctly rounded
// whatever the locale, trailing zeros dropped, never "-0".
void append_svg_number(std::string& out, double value);
std::string svg_number(double value);
