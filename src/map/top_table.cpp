#include "map/top_table.hpp"

#include <algorithm>
#include <array>

#include "diagnostics.hpp"
#include "plot/blanks.hpp"
#include "plot/data_line.hpp"
#include "plot/integer_field.hpp"
#include "plot/standard_layout.hpp"

namespace {

constexpr std::size_t kRankWidth = 4;
constexpr std::size_t kLineWidth = 10;

void right_aligned(std::string& out, std::string_view text, std::size_t width)
{
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

// Two blanks, then text left-aligned in width columns.
void text_column(std::string& out, std::string_view text, std::size_t width)
{
    out += "  ";
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

void end_line(std::string& out, std::size_t line_start)
{
    const std::size_t last = out.find_last_not_of(' ');
    out.resize(last == std::string::npos || last < line_start ? line_start : last + 1);
    out += '\n';
}

// The column of x, y or value: as wide as the field, and at least as wide as
// these fields are in the standard layout.
std::size_t number_width(const LayoutField& field)
{
    return std::max<std::size_t>(STANDARD_LAYOUT.field(0).width, field.width);
}

// The heading of the text or integer column at index (from 0): tag_a to
// tag_z, then tag_aa, tag_ab, ... as the columns of a spreadsheet are named.
std::string column_heading(std::string_view prefix, std::size_t index)
{
    std::string letters;
    for (std::size_t rest = index + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('a' + (rest - 1) % 26));
    }
    return std::string(prefix) + letters;
}

bool holds_field(const RankedLine& line, const LayoutField& field)
{
    return line.bytes.size() >= static_cast<std::size_t>(field.offset) + field.width;
}

// An integer field of the line as a data line writes it; a field that does
// not read (which the reader already refused) as its bytes, made printable.
std::string integer_text(const LayoutField& field, const RankedLine& line)
{
    const char* text = line.bytes.data() + field.offset;
    std::int32_t value = 0;
    if (read_integer_field(text, field.width, value) != IntegerReading::Number) {
        return printable(trimmed(std::string_view(text, field.width)));
    }
    std::string written(field.width, ' ');
    format_integer_field(value, field.width, field.digits, written.data());
    return std::string(trimmed(written));
}

// The fields after the numbers that the table shows.
std::vector<LayoutField> shown_fields(const MappedFields& fields, bool with_integers)
{
    std::vector<LayoutField> shown;
    for (const LayoutField& field : fields.others) {
        if (field.kind == FieldKind::Text || with_integers) shown.push_back(field);
    }
    return shown;
}

}  // namespace

std::string shown_coordinate(const LayoutField& field, const RankedLine& line, float value)
{
    if (!holds_field(line, field)) return written_number(field, value);
    const char* text = line.bytes.data() + field.offset;
    std::string written(field.width, ' ');
    DataLineWriter<DeclaredFields>::write_carried(field, text, written.data());
    return std::string(trimmed(written));
}

std::string format_top_table(const std::vector<RankedLine>& ranked, const MappedFields& fields, std::size_t count,
                             bool with_integers)
{
    std::string out;
    if (count == 0) return out;
    const std::array<const LayoutField*, 3> numbers = {&fields.x, &fields.y, &fields.value};
    const std::vector<LayoutField> shown = shown_fields(fields, with_integers);
    std::vector<std::size_t> widths;
    right_aligned(out, "rank", kRankWidth);
    out += ' ';
    right_aligned(out, "line", kLineWidth);
    const std::string value_heading = fields.value_number == 1 ? "value" : "value_" + std::to_string(fields.value_number);
    const std::array<std::string_view, 3> names = {"x", "y", value_heading};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out += ' ';
        right_aligned(out, names[i], number_width(*numbers[i]));
    }
    std::size_t texts = 0;
    std::size_t integers = 0;
    for (const LayoutField& field : shown) {
        const std::string heading = field.kind == FieldKind::Text ? column_heading("tag_", texts++) : column_heading("int_", integers++);
        widths.push_back(std::max<std::size_t>(heading.size(), field.width));
        text_column(out, heading, widths.back());
    }
    end_line(out, 0);
    const std::size_t listed = std::min(count, ranked.size());
    for (std::size_t rank = 1; rank <= listed; ++rank) {
        const RankedLine& line = ranked[rank - 1];
        const std::size_t start = out.size();
        right_aligned(out, std::to_string(rank), kRankWidth);
        out += ' ';
        right_aligned(out, std::to_string(line.line_number), kLineWidth);
        const std::array<std::string, 3> values = {shown_coordinate(fields.x, line, line.x), shown_coordinate(fields.y, line, line.y),
                                                   written_number(fields.value, line.value)};
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            out += ' ';
            right_aligned(out, values[i], number_width(*numbers[i]));
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const LayoutField& field = shown[i];
            std::string cell;
            if (holds_field(line, field)) {
                // Quoted as diagnostics quote text, so that no control byte reaches the terminal.
                cell = field.kind == FieldKind::Text ? printable(std::string_view(line.bytes).substr(field.offset, field.width))
                                                     : integer_text(field, line);
            }
            text_column(out, cell, widths[i]);
        }
        end_line(out, start);
    }
    return out;
}
