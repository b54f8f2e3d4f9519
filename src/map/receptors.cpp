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

std::string trimmed_header_text(const char* line)
{
    return std::string(trimmed(std::string_view(line + 1, LINE_WIDTH - 1)));
}

// The FORMAT line just met: a warning when it declares nothing readable (the
// standard layout is read then), the end of the run when the layout it
// declares has no value field, as there is nothing to map.
void settle_layout(const HeaderPhase& header, const PlotReader& file, const WarningSink& warn)
{
    if (const auto& unusable = header.unusable()) {
        warn(line_of(unusable->line, file.name()) + " is a FORMAT line whose list cannot be used (" + unusable->problem +
             "); the data lines are read in the standard layout, " + std::string(STANDARD_LAYOUT_LIST));
    }
    const PlotLayout& layout = header.layout();
    if (!layout.value_fields().empty()) return;
    // A usable layout has at least three reals, so the one that ends the value fields is there.
    const auto fields = layout.fields();
    const auto third = std::find_if(fields.begin() + 2, fields.end(), [](const LayoutField& f) { return f.is_real(); });
    throw RunFailure("mapping", file.name(),
                     "line " + std::to_string(header.declared()->line) +
                         " declares a FORMAT with no value field to map: the first real field after x and y, " +
                         in_columns(descriptor_text(*third), third->offset + 1u, third->offset + third->width) +
                         ", is narrower than " + std::to_string(VALUE_FIELD_MIN_WIDTH) + " columns");
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

PlotContents read_plot_contents(PlotReader& file, std::size_t top_count, const WarningSink& warn)
{
    PlotContents contents;
    TopLines top(std::max<std::size_t>(top_count, 1));
    HeaderPhase header;
    bool layout_settled = false;
    std::array<char, MAX_LAYOUT_WIDTH> line;
    bool header_seen = false;
    for (;;) {
        if (!file.read_line(line.data(), header.next_line_width(file))) return contents;
        if (!header.take_line(line.data(), file.lines_read())) break;
        if (!header_seen) contents.first_header = trimmed_header_text(line.data());
        header_seen = true;
        if (!layout_settled && header.layout_known()) {
            layout_settled = true;
            settle_layout(header, file, warn);
            contents.fields = mapped_fields(header.layout());
        }
    }
    header.with_data_line_code([&](auto parser, auto) {
        std::vector<FieldValue> fields(parser.layout().field_count());
        const std::size_t value_index = parser.layout().value_fields().front();
        const std::size_t width = header.data_line_width();
        RankedLine candidate;
        do {
            if (is_header_line(line.data())) {
                if (!header_seen) contents.first_header = trimmed_header_text(line.data());
                header_seen = true;
                continue;
            }
            Receptor receptor;
            if (const auto fault = parser.read_fields(line.data(), receptor, fields.data())) throw field_failure(file, *fault);
            candidate.line_number = file.lines_read();
            candidate.x = receptor.x;
            candidate.y = receptor.y;
            candidate.value = fields[value_index].real;
            candidate.texts.clear();
            for (const LayoutField& field : contents.fields.texts) candidate.texts.append(line.data() + field.offset, field.width);
            contents.receptors.push_back({candidate.x, candidate.y, candidate.value});
            top.offer(candidate);
        } while (file.read_line(line.data(), width));
    });
    contents.highest = top.ranked();
    return contents;
}
