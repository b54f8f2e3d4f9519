#include "map/top_table.hpp"

#include <algorithm>

namespace {

constexpr std::size_t kRankWidth = 4;
constexpr std::size_t kLineWidth = 10;

void right_aligned(std::string& out, std::string_view text, std::size_t width)
{
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

template <std::size_t N>
void text_field(std::string& out, const std::array<char, N>& field)
{
    out += "  ";
    out.append(field.data(), N);
}

void end_line(std::string& out, std::size_t line_start)
{
    const std::size_t last = out.find_last_not_of(' ');
    out.resize(last == std::string::npos || last < line_start ? line_start : last + 1);
    out += '\n';
}

}  // namespace

std::string format_top_table(const std::vector<RankedLine>& ranked, std::size_t count)
{
    std::string out;
    if (count == 0) return out;
    right_aligned(out, "rank", kRankWidth);
    out += ' ';
    right_aligned(out, "line", kLineWidth);
    for (const std::string_view name : {"x", "y", "value"}) {
        out += ' ';
        right_aligned(out, name, WIDE_FIELD_WIDTH);
    }
    out += "  tag_a   tag_b     tag_c";
    end_line(out, 0);
    const std::size_t shown = std::min(count, ranked.size());
    for (std::size_t rank = 1; rank <= shown; ++rank) {
        const RankedLine& line = ranked[rank - 1];
        const std::size_t start = out.size();
        right_aligned(out, std::to_string(rank), kRankWidth);
        out += ' ';
        right_aligned(out, std::to_string(line.line_number), kLineWidth);
        for (const float value : {line.record.x, line.record.y, line.record.value}) {
            const auto field = format_wide_field(value);
            out += ' ';
            out.append(field.data(), field.size());
        }
        text_field(out, line.record.tag_a);
        text_field(out, line.record.tag_b);
        text_field(out, line.record.tag_c);
        end_line(out, start);
    }
    return out;
}
