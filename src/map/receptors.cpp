#include "map/receptors.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "diagnostics.hpp"
#include "plot/blanks.hpp"
#include "plot/header_phase.hpp"
#include "plot/plot_line.hpp"
#include "plot/standard_layout.hpp"
#include "run_failure.hpp"

void ReceptorStore::push_back(const MapReceptor& receptor)
{
    if ((size_ & kBlockMask) == 0) blocks_.push_back(std::make_unique_for_overwrite<MapReceptor[]>(kBlockSize));
    blocks_.back()[size_ & kBlockMask] = receptor;
    ++size_;
}

bool ranks_above(float a, float b)
{
    if (std::isnan(b)) return !std::isnan(a);
    if (std::isnan(a)) return false;
    return a > b;
}

MappedFields mapped_fields(const PlotLayout& layout)
{
    const auto& fields = layout.fields();
    MappedFields mapped{fields[0], fields[1], fields[layout.value_fields().front()], {}};
    for (const LayoutField& field : fields) {
        if (field.kind == FieldKind::Text) mapped.texts.push_back(field);
    }
    return mapped;
}

namespace {

// Strict order of the table: higher value first, then earlier line.
bool comes_before(const RankedLine& a, const RankedLine& b)
{
    if (ranks_above(a.value, b.value)) return true;
    if (ranks_above(b.value, a.value)) return false;
    return a.line_number < b.line_number;
}

std::string trimmed_header_text(const char* line, std::size_t width)
{
    return std::string(trimmed(std::string_view(line + 1, width - 1)));
}

}  // namespace

void TopLines::offer(const RankedLine& line)
{
    if (count_ == 0) return;
    if (heap_.size() < count_) {
        heap_.push_back(line);
        std::push_heap(heap_.begin(), heap_.end(), comes_before);
    } else if (comes_before(line, heap_.front())) {
        std::pop_heap(heap_.begin(), heap_.end(), comes_before);
        heap_.back() = line;  // reuses the room of the line it replaces
        std::push_heap(heap_.begin(), heap_.end(), comes_before);
    }
}

std::vector<RankedLine> TopLines::ranked() const
{
    std::vector<RankedLine> lines = heap_;
    std::sort(lines.begin(), lines.end(), comes_before);
    return lines;
}

PlotContents read_plot_contents(PlotReader& file, std::size_t top_count)
{
    PlotContents contents;
    TopLines top(std::max<std::size_t>(top_count, 1));
    HeaderPhase header;
    std::array<char, MAX_LAYOUT_WIDTH> line;
    bool header_seen = false;
    const auto read_line = [&] {
        const std::size_t width = header.next_line_width(file);
        return file.read_line(line.data(), width) ? width : 0;
    };
    std::size_t width = 0;
    for (;;) {
        if ((width = read_line()) == 0) {
            contents.fields = mapped_fields(header.layout());
            return contents;
        }
        if (!header.take_line(file, line.data(), width)) break;
        if (!header_seen) contents.first_header = trimmed_header_text(line.data(), width);
        header_seen = true;
    }
    contents.fields = mapped_fields(header.layout());
    header.with_data_line_code([&](auto parser, auto) {
        std::vector<FieldValue> fields(parser.layout().field_count());
        const std::size_t value_index = parser.layout().value_fields().front();
        RankedLine candidate;
        do {
            if (is_header_line(line.data())) {
                if (!header_seen) contents.first_header = trimmed_header_text(line.data(), width);
                header_seen = true;
                continue;
            }
            if (const auto fault = parser.read_fields(line.data(), fields.data())) throw field_failure(file, *fault);
            candidate.line_number = file.lines_read();
            candidate.x = fields[0].real;
            candidate.y = fields[1].real;
            candidate.value = fields[value_index].real;
            candidate.texts.clear();
            for (const LayoutField& field : contents.fields.texts) candidate.texts.append(line.data() + field.offset, field.width);
            contents.receptors.push_back({candidate.x, candidate.y, candidate.value});
            top.offer(candidate);
        } while ((width = read_line()) != 0);
    });
    contents.highest = top.ranked();
    return contents;
}
