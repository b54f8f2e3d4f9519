#include "map/receptors.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "plot/layout_declaration.hpp"
#include "plot/layout_record.hpp"
#include "plot/plot_line.hpp"
#include "plot/plot_record.hpp"

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
    const std::string_view text(line + 1, LINE_WIDTH - 1);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The FORMAT line just met: a warning when it declares nothing readable (the
// standard layout is read then), the end of the run when the layout it
// declares has no value field, as there is nothing to map.
void settle_layout(const LayoutDeclaration& declaration, const PlotReader& file, const WarningSink& warn)
{
    if (const auto warning = declaration.warning(file.name())) warn(*warning);
    const PlotLayout& layout = declaration.layout();
    if (!layout.value_fields().empty()) return;
    // A usable layout has at least three reals, so the one that ends the value fields is there.
    const auto& fields = layout.fields();
    const auto third = std::find_if(fields.begin() + 2, fields.end(), [](const LayoutField& f) { return f.is_real(); });
    throw RunFailure("mapping", file.name(),
                     "line " + std::to_string(declaration.line_number()) +
                         " declares a FORMAT with no value field to map: the first real field after x and y, " +
                         descriptor_text(*third) + " in columns " + std::to_string(third->offset + 1) + '-' +
                         std::to_string(third->offset + third->width) + ", is narrower than " +
                         std::to_string(VALUE_FIELD_MIN_WIDTH) + " columns");
}

// Reads what plotmap shows of a data line in the file's layout: the standard
// layout by its own tuned reader, a declared one field by field.
class DataLineReader {
public:
    DataLineReader(const LayoutDeclaration& declaration, const MappedFields& fields)
        : layout_(declaration.layout()), standard_(declaration.is_standard()), texts_(fields.texts)
    {
        if (!standard_) {
            values_.resize(layout_.fields().size());
            value_index_ = layout_.value_fields().front();
        }
    }

    // Every field is checked; the first that is not a number stops the run.
    void read(const PlotReader& file, const char* line, RankedLine& out)
    {
        if (standard_) {
            if (const auto fault = parse_plot_record(line, record_)) throw field_failure(file, *fault);
            out.x = record_.x;
            out.y = record_.y;
            out.value = record_.value;
        } else {
            if (const auto fault = parse_layout_line(layout_, line, values_.data())) throw field_failure(file, *fault);
            out.x = values_[0].real;
            out.y = values_[1].real;
            out.value = values_[value_index_].real;
        }
        out.texts.clear();
        for (const LayoutField& field : texts_) out.texts += field_bytes(field, line);
    }

private:
    const PlotLayout& layout_;
    bool standard_;
    const std::vector<LayoutField>& texts_;
    PlotRecord record_;
    std::vector<FieldValue> values_;
    std::size_t value_index_ = 0;
};

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
    static_assert(MAX_LAYOUT_WIDTH >= LINE_WIDTH, "a line buffer holds header lines and data lines alike");
    PlotContents contents;
    TopLines top(std::max<std::size_t>(top_count, 1));
    LayoutDeclaration declaration;
    std::optional<DataLineReader> reader;  // from the first data line on, when the layout is settled
    bool header_seen = false;
    std::array<char, MAX_LAYOUT_WIDTH> line;
    RankedLine candidate;
    for (;;) {
        const std::size_t width = reader ? declaration.data_line_width() : declaration.line_width_before_data(file);
        if (!file.read_line(line.data(), width)) break;
        if (is_header_line(line.data())) {
            if (!header_seen) contents.first_header = trimmed_header_text(line.data());
            header_seen = true;
            if (!reader && !declaration.found()) {
                declaration.look_at_header_line(line.data(), file.lines_read());
                if (declaration.found()) {
                    settle_layout(declaration, file, warn);
                    contents.fields = mapped_fields(declaration.layout());
                }
            }
            continue;
        }
        if (!reader) reader.emplace(declaration, contents.fields);
        reader->read(file, line.data(), candidate);
        candidate.line_number = file.lines_read();
        contents.receptors.push_back({candidate.x, candidate.y, candidate.value});
        top.offer(candidate);
    }
    contents.highest = top.ranked();
    return contents;
}
