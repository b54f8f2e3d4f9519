#include "map/top_table.hpp"

#include <algorithm>
#include <array>

#include "diagnostics.hpp"
#include "plot/data_line.hpp"
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

// The heading of the text column at index (from 0): tag_a to tag_z, then
// tag_aa, tag_ab, ... as the columns of a spreadsheet are named.
std::string text_column_heading(std::size_t index)
{
    std::string letters;
    for (std::size_t rest = index + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('a' + (rest - 1) % 26));
    }
    return "tag_" + letters;
}

}  // namespace

std::string format_top_table(const std::vector<RankedLine>& ranked, const MappedFields& fields, std::size_t count)
{
    std::string out;
    if (count == 0) return out;
    const std::array<const LayoutField*, 3> numbers = {&fields.x, &fields.y, &fields.value};
    std::vector<std::size_t> text_widths;
    right_aligned(out, "rank", kRankWidth);
    out += ' ';
    right_aligned(out, "line", kLineWidth);
    const std::array<std::string_view, 3> names = {"x", "y", "value"};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out += ' ';
        right_aligned(out, names[i], number_width(*numbers[i]));
    }
    for (std::size_t i = 0; i < fields.texts.size(); ++i) {
        const std::string heading = text_column_heading(i);
        text_widths.push_back(std::max<std::size_t>(heading.size(), fields.texts[i].width));
        text_column(out, heading, text_widths.back());
    }
    end_line(out, 0);
    const std::size_t shown = std::min(count, ranked.size());
    for (std::size_t rank = 1; rank <= shown; ++rank) {
        const RankedLine& line = ranked[rank - 1];
        const std::size_t start = out.size();
        right_aligned(out, std::to_string(rank), kRankWidth);
        out += ' ';
        right_aligned(out, std::to_string(line.line_number), kLineWidth);
        const std::array<float, 3> values = {line.x, line.y, line.value};
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            out += ' ';
            right_aligned(out, written_number(*numbers[i], values[i]), number_width(*numbers[i]));
        }
        std::string_view texts = line.texts;
        for (std::size_t i = 0; i < fields.texts.size(); ++i) {
            // Quoted as diagnostics quote text, so that no control byte reaches the terminal.
            text_column(out, printable(texts.substr(0, fields.texts[i].width)), text_widths[i]);
            texts.remove_prefix(std::min<std::size_t>(fields.texts[i].width, texts.size()));
        }
        end_line(out, start);
    }
    return out;
}
