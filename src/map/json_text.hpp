#pragma once

#include <string>
#include <string_view>

#include "number/decimal_text.hpp"

// Text for JSON documents: numbers and strings that every JSON parser reads.

// The exact decimal value of a number read, as a JSON number: leading zeros
// and the zeros that end it dropped; plain with up to 21 digits before the
// point or 21 zeros after it (150, 0.00125, -3.5), in exponent form beyond
// (1e-30, 2.5e+40); zero keeps its sign (-0). Infinities and not-a-number,
// which JSON cannot hold, are null.
std::string json_number(const DecimalText& number);

// Whether text is a number as JSON writes one: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool is_json_number(std::string_view text);

// A double as a JSON number, in the shortest form that reads back as it.
void append_json_double(std::string& out, double value);

// Bytes as a JSON string, quotes included, always valid JSON: quote and
// backslash escaped, control bytes as \u00XX, well-formed UTF-8 as it is,
// and any other byte of 128 and above taken as Latin-1, as the map takes it.
void append_json_string(std::string& out, std::string_view bytes);
