#include "map/csv_export.hpp"

#include <algorithm>
#include <string>

#include "plot/blanks.hpp"

namespace {

// Pieces of about this size go to the sink.
constexpr std::size_t kPieceSize = 256 * 1024;

void append_cell(std::string& out, std::string_view cell, char separator)
{
    if (cell.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void append_number(std::string& out, std::string_view text, char separator)
{
    const std::size_t start = out.size();
    out += trimmed(text);
    if (separator == ';') std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', ',');
}

}  // namespace

void write_csv(const PlotContents& contents, char separator, const ExportSink& sink)
{
    const auto fields = contents.layout.fields();
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        append_cell(out, contents.names.names[i], separator);
    }
    out += "\r\n";
    for (std::size_t n = 0; n < contents.lines.size(); ++n) {
        const std::string_view line = contents.lines[n];
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) out += separator;
            const std::string_view bytes = line.substr(fields[i].offset, fields[i].width);
            if (fields[i].kind == FieldKind::Text) {
                append_cell(out, bytes, separator);
            } else {
                append_number(out, bytes, separator);
            }
        }
        out += "\r\n";
        if (out.size() >= kPieceSize) {
            sink(out);
            out.clear();
        }
    }
    sink(out);
}
