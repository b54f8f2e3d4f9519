#include "map/geojson_export.hpp"

#include <cstdint>

#include "map/json_text.hpp"
#include "number/decimal_text.hpp"
#include "plot/blanks.hpp"
#include "plot/integer_field.hpp"

namespace {

// Pieces of about this size go to the sink.
constexpr std::size_t kPieceSize = 256 * 1024;

// A real field's text as a JSON number: blanks anywhere left out, as the
// field is read; as it stands when JSON reads it as the same value (with a
// point, or in a field without implied decimals).
std::string real_number(const LayoutField& field, const char* text)
{
    return read_without_blanks(text, field.width, [&](std::string_view number) {
        if (number.empty()) return std::string("0");  // a field of blanks reads as 0
        if (is_json_number(number) && (field.digits == 0 || number.find('.') != std::string_view::npos)) {
            return std::string(number);
        }
        const std::optional<DecimalText> decimal = read_decimal_text(number, field.digits);
        return decimal ? json_number(*decimal) : std::string("null");
    });
}

std::string integer_number(const LayoutField& field, const char* text)
{
    std::int32_t value = 0;
    if (read_integer_field(text, field.width, value) != IntegerReading::Number) return "null";
    return std::to_string(value);
}

std::string field_json(const LayoutField& field, std::string_view line)
{
    const char* text = line.data() + field.offset;
    switch (field.kind) {
    case FieldKind::Fixed:
    case FieldKind::Exponent: return real_number(field, text);
    case FieldKind::Integer: return integer_number(field, text);
    case FieldKind::Text: break;
    }
    std::string quoted;
    append_json_string(quoted, std::string_view(text, field.width));
    return quoted;
}

void append_point_feature(std::string& out, const PlotContents& contents, std::string_view line)
{
    const auto fields = contents.layout.fields();
    const std::string x = field_json(fields[0], line);
    const std::string y = field_json(fields[1], line);
    out += "{\"type\":\"Feature\",\"geometry\":";
    if (x == "null" || y == "null") {
        out += "null";
    } else {
        out += "{\"type\":\"Point\",\"coordinates\":[" + x + ',' + y + "]}";
    }
    out += ",\"properties\":{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        append_json_string(out, contents.names.names[i]);
        out += ':';
        out += i < 2 ? (i == 0 ? x : y) : field_json(fields[i], line);
    }
    out += "}}";
}

void append_level_feature(std::string& out, const LevelLines& level, const ContourLevel& given)
{
    out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"MultiLineString\",\"coordinates\":[";
    for (std::size_t n = 0; n < level.lines.size(); ++n) {
        const ContourLine& line = level.lines[n];
        if (n > 0) out += ',';
        out += '[';
        for (std::size_t i = 0; i <= line.points.size(); ++i) {
            if (i == line.points.size() && !line.closed) break;
            const ContourPoint& point = line.points[i % line.points.size()];
            if (i > 0) out += ',';
            out += '[';
            append_json_double(out, point.x);
            out += ',';
            append_json_double(out, point.y);
            out += ']';
        }
        out += ']';
    }
    out += "]},\"properties\":{\"level\":" + given.decimal + "}}";
}

}  // namespace

void write_geojson(const PlotContents& contents, const GeoJsonExtras& extras, const ExportSink& sink)
{
    std::string out = "{\"type\":\"FeatureCollection\",\n";
    if (extras.crs) {
        // The named form of the 2008 GeoJSON format, which GIS programs still read.
        out += "\"crs\":{\"type\":\"name\",\"properties\":{\"name\":\"urn:ogc:def:crs:EPSG::";
        out += extras.crs->substr(extras.crs->find(':') + 1);
        out += "\"}},\n";
    }
    out += "\"features\":[";
    bool first = true;
    const auto next_feature = [&] {
        out += first ? "\n" : ",\n";
        first = false;
        if (out.size() >= kPieceSize) {
            sink(out);
            out.clear();
        }
    };
    for (std::size_t n = 0; n < contents.lines.size(); ++n) {
        next_feature();
        append_point_feature(out, contents, contents.lines[n]);
    }
    for (std::size_t k = 0; k < extras.contours.size() && k < extras.levels.size(); ++k) {
        next_feature();
        append_level_feature(out, extras.contours[k], extras.levels[k]);
    }
    out += "\n]}\n";
    sink(out);
}
