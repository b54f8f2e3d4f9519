#include "map/receptors.hpp"

#include <algorithm>
#include <cmath>

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

namespace {

// Strict order of the table: higher value first, then earlier line.
bool comes_before(const RankedLine& a, const RankedLine& b)
{
    if (ranks_above(a.record.value, b.record.value)) return true;
    if (ranks_above(b.record.value, a.record.value)) return false;
    return a.line_number < b.line_number;
}

std::string trimmed_header_text(const PlotLine& line)
{
    const std::string_view text(line.data() + 1, line.size() - 1);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

void TopLines::offer(std::uint64_t line_number, const PlotRecord& record)
{
    if (count_ == 0) return;
    const RankedLine candidate{line_number, record};
    if (heap_.size() < count_) {
        heap_.push_back(candidate);
        std::push_heap(heap_.begin(), heap_.end(), comes_before);
    } else if (comes_before(candidate, heap_.front())) {
        std::pop_heap(heap_.begin(), heap_.end(), comes_before);
        heap_.back() = candidate;
        std::push_heap(heap_.begin(), heap_.end(), comes_before);
    }
}

std::vector<RankedLine> TopLines::ranked() const
{
    std::vector<RankedLine> lines = heap_;
    std::sort(lines.begin(), lines.end(), comes_before);
    return lines;
}

PlotContents read_plot_contents(PlotFile& file, std::size_t top_count)
{
    PlotContents contents;
    TopLines top(std::max<std::size_t>(top_count, 1));
    bool header_seen = false;
    PlotLine line;
    PlotRecord record;
    while (read_plot_line(file, line)) {
        if (is_header_line(line)) {
            if (!header_seen) contents.first_header = trimmed_header_text(line);
            header_seen = true;
            continue;
        }
        if (const auto fault = parse_plot_record(line, record)) throw field_failure(file, *fault);
        contents.receptors.push_back({record.x, record.y, record.value});
        top.offer(file.lines_read(), record);
    }
    contents.highest = top.ranked();
    return contents;
}
