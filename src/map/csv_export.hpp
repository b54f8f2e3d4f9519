#pragma once

#include <functional>
#include <string_view>

#include "map/receptors.hpp"

// Takes the bytes of an export piece by piece, in order.
using ExportSink = std::function<void(std::string_view)>;

// Every data line of contents (kept in contents.lines) as a CSV row, after a
// heading row of the column names (RFC 4180: rows end with CR LF, a cell
// holding the separator or a double quote is quoted, its quotes doubled).
// Numbers stand as the file writes them, without the blanks at either end;
// text fields as read. With the separator ';' the decimal point of every
// number becomes a comma.
void write_csv(const PlotContents& contents, char separator, const ExportSink& sink);
