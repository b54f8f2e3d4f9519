#include "map/receptors.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <deque>
#include <optional>

#include "map/command_line.hpp"
#include "plot/blanks.hpp"
#include "plot/header_phase.hpp"
#include "plot/plot_line.hpp"
#include "run_failure.hpp"

void ReceptorStore::push_back(const MapReceptor& receptor)
{
    if ((size_ & kBlockMask) == 0) blocks_.push_back(std::make_unique_for_overwrite<MapReceptor[]>(kBlockSize));
    blocks_.back()[size_ & kBlockMask] = receptor;
    ++size_;
}

namespace {

// The bits of a coordinate, with -0 made 0.
std::uint32_t place_bits(float coordinate) { return std::bit_cast<std::uint32_t>(coordinate + 0.0f); }

bool same_place(const MapReceptor& receptor, float x, float y)
{
    return place_bits(receptor.x) == place_bits(x) && place_bits(receptor.y) == place_bits(y);
}

// The final mix of splitmix64: every bit of x and y moves the slot.
std::uint64_t place_hash(float x, float y)
{
    std::uint64_t h = (std::uint64_t{place_bits(x)} << 32) | place_bits(y);
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ULL;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebULL;
    return h ^ (h >> 31);
}

constexpr std::size_t kFirstSlots = 1024;

// How many header lines before the first data line are looked at for column titles.
constexpr std::size_t kTitleCandidates = 16;

}  // namespace

std::size_t ReceptorIndex::slot_of(const ReceptorStore& store, float x, float y) const
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = place_hash(x, y) & mask;
    while (slots_[slot] != kNone && !same_place(store[slots_[slot]], x, y)) slot = (slot + 1) & mask;
    return slot;
}

void ReceptorIndex::grow(const ReceptorStore& store)
{
    slots_.assign(std::max(kFirstSlots, 2 * slots_.size()), kNone);
    for (std::size_t i = 0; i < store.size(); ++i) slots_[slot_of(store, store[i].x, store[i].y)] = static_cast<std::uint32_t>(i);
}

std::uint32_t ReceptorIndex::find_or_add(ReceptorStore& store, const MapReceptor& receptor, bool& added)
{
    if (2 * (store.size() + 1) > slots_.size()) grow(store);
    const std::size_t slot = slot_of(store, receptor.x, receptor.y);
    added = slots_[slot] == kNone;
    if (added) {
        slots_[slot] = static_cast<std::uint32_t>(store.size());
        store.push_back(receptor);
    }
    return slots_[slot];
}

bool ranks_above(float a, float b)
{
    if (std::isnan(b)) return !std::isnan(a);
    if (std::isnan(a)) return false;
    return a > b;
}

MappedFields mapped_fields(const PlotLayout& layout, std::size_t value_number)
{
    const auto fields = layout.fields();
    const std::size_t value_index = layout.value_fields()[value_number - 1];
    MappedFields mapped{fields[0], fields[1], fields[value_index], value_index, value_number, {}};
    for (const LayoutField& field : fields) {
        if (field.kind == FieldKind::Text || field.kind == FieldKind::Integer) mapped.others.push_back(field);
    }
    return mapped;
}

bool TopReceptors::ComesBefore::operator()(const RankedLine& a, const RankedLine& b) const
{
    if (ranks_above(a.value, b.value)) return true;
    if (ranks_above(b.value, a.value)) return false;
    return a.line_number < b.line_number;
}

void TopReceptors::keep(const LineOffer& line, Lines::node_type node)
{
    RankedLine fresh;
    RankedLine& kept = node.empty() ? fresh : node.value();
    kept.line_number = line.line_number;
    kept.receptor = line.receptor;
    kept.x = line.x;
    kept.y = line.y;
    kept.value = line.value;
    kept.bytes.assign(line.bytes);  // reuses the room of the line it replaces
    kept_[line.receptor] = node.empty() ? lines_.insert(std::move(fresh)).first : lines_.insert(std::move(node)).position;
}

void TopReceptors::offer(const LineOffer& line)
{
    if (count_ == 0) return;
    // Lines come in file order, so a line ties with a kept one only by coming after it.
    const auto before = [&line](const RankedLine& kept) { return ranks_above(line.value, kept.value); };
    if (lines_.size() == count_ && !before(*std::prev(lines_.end()))) return;
    if (const auto found = kept_.find(line.receptor); found != kept_.end()) {
        if (before(*found->second)) keep(line, lines_.extract(found->second));
        return;
    }
    if (lines_.size() < count_) return keep(line, {});
    const auto worst = std::prev(lines_.end());
    kept_.erase(worst->receptor);
    keep(line, lines_.extract(worst));
}

std::vector<RankedLine> TopReceptors::ranked() const { return {lines_.begin(), lines_.end()}; }

void LineStore::push_back(const char* line)
{
    if (size_ % lines_per_block_ == 0) {
        lines_per_block_ = std::max<std::size_t>(1, kBlockBytes / std::max<std::size_t>(width_, 1));
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(lines_per_block_ * width_));
    }
    std::memcpy(blocks_.back().get() + (size_ % lines_per_block_) * width_, line, width_);
    ++size_;
}

namespace {

std::string trimmed_header_text(const char* line, std::size_t width)
{
    return std::string(trimmed(std::string_view(line + 1, width - 1)));
}

// The layout's value field that the request maps; a UsageError when it has none of that number.
void choose_value_field(PlotContents& contents, const PlotReader& file, std::size_t value_number)
{
    const std::size_t count = contents.layout.value_fields().size();
    if (value_number > count) throw no_such_value_field(value_number, count, file.name());
    contents.fields = mapped_fields(contents.layout, value_number);
}

}  // namespace

PlotContents read_plot_contents(PlotReader& file, const ReadRequest& request)
{
    PlotContents contents;
    TopReceptors top(std::max<std::size_t>(request.top_count, 1));
    ReceptorIndex index;
    HeaderPhase header;
    std::array<char, MAX_LAYOUT_WIDTH> line;
    std::deque<std::string> header_lines;  // the last ones before the first data line
    bool header_seen = false;
    const auto read_line = [&] {
        const std::size_t width = header.next_line_width(file);
        return file.read_line(line.data(), width) ? width : 0;
    };
    const auto settle_layout = [&] {
        contents.layout = header.layout();
        choose_value_field(contents, file, request.value_number);
        const std::vector<std::string> titles(header_lines.begin(), header_lines.end());
        contents.names = column_names(contents.layout, titles);
        contents.lines.set_width(contents.layout.width());
    };
    std::size_t width = 0;
    for (;;) {
        if ((width = read_line()) == 0) {
            settle_layout();
            return contents;
        }
        if (!header.take_line(file, line.data(), width)) break;
        if (!header_seen) contents.first_header = trimmed_header_text(line.data(), width);
        header_seen = true;
        header_lines.emplace_back(line.data(), width);
        if (header_lines.size() > kTitleCandidates) header_lines.pop_front();
    }
    settle_layout();
    header.with_data_line_code([&](auto parser, auto) {
        std::vector<FieldValue> fields(parser.layout().field_count());
        const std::size_t value_index = contents.fields.value_index;
        const std::size_t line_width = contents.layout.width();
        do {
            if (is_header_line(line.data())) {
                if (!header_seen) contents.first_header = trimmed_header_text(line.data(), width);
                header_seen = true;
                continue;
            }
            if (const auto fault = parser.read_fields(line.data(), fields.data())) throw field_failure(file, *fault);
            const MapReceptor receptor{fields[0].real, fields[1].real, fields[value_index].real};
            bool added = false;
            const std::uint32_t at = index.find_or_add(contents.receptors, receptor, added);
            if (!added && ranks_above(receptor.value, contents.receptors[at].value)) contents.receptors[at].value = receptor.value;
            ++contents.data_lines;
            top.offer({file.lines_read(), at, receptor.x, receptor.y, receptor.value, std::string_view(line.data(), line_width)});
            if (request.keep_lines) contents.lines.push_back(line.data());
        } while ((width = read_line()) != 0);
    });
    contents.highest = top.ranked();
    return contents;
}
