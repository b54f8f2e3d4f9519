#include "plot/plot_record.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "plot/integer_field.hpp"
#include "plot/layout_record.hpp"
#include "plot/real_field.hpp"

namespace {

// The standard data line layout. Offsets are 0-based (column 2 is offset 1);
// the separators between fields are never read and are written as blanks.
template <RealFieldShape Shape>
struct RealColumns {
    const char* name;
    float PlotRecord::*member;
    std::size_t offset;
};

constexpr RealColumns<WideReal> kWideFields[] = {
    {"x", &PlotRecord::x, 1},
    {"y", &PlotRecord::y, 15},
    {"value", &PlotRecord::value, 29},
};
constexpr RealColumns<NarrowReal> kNarrowFields[] = {
    {"aux1", &PlotRecord::aux1, 43},
    {"aux2", &PlotRecord::aux2, 52},
    {"aux3", &PlotRecord::aux3, 61},
};
constexpr const RealColumns<WideReal>& kX = kWideFields[0];
constexpr const RealColumns<WideReal>& kY = kWideFields[1];
constexpr const RealColumns<WideReal>& kValueField = kWideFields[2];

static_assert(WIDE_FIELD_WIDTH == WideReal::width, "x, y and value are 13 columns wide");

constexpr std::size_t kTagAOffset = 71;
constexpr std::size_t kTagBOffset = 79;
constexpr std::size_t kStampOffset = 89;
constexpr std::size_t kStampWidth = 8;
constexpr std::size_t kTagCOffset = 99;

template <RealFieldShape Shape>
FieldFault fault_in(const char* line, const RealColumns<Shape>& column)
{
    return {column.name, std::string_view(line + column.offset, Shape::width)};
}

std::optional<FieldFault> read_stamp(const char* line, std::int32_t& stamp)
{
    if (read_integer_field(line + kStampOffset, kStampWidth, stamp) == IntegerReading::Number) return std::nullopt;
    return FieldFault{"stamp", std::string_view(line + kStampOffset, kStampWidth)};
}

template <RealFieldShape Shape, std::size_t N>
std::optional<FieldFault> read_reals(const char* line, const RealColumns<Shape> (&fields)[N], PlotRecord& record)
{
    for (const RealColumns<Shape>& column : fields) {
        if (!read_real_field<Shape>(line + column.offset, record.*column.member)) return fault_in(line, column);
    }
    return std::nullopt;
}

template <RealFieldShape Shape, std::size_t N>
void format_reals(const PlotRecord& record, const RealColumns<Shape> (&fields)[N], char* text)
{
    for (const RealColumns<Shape>& column : fields) format_real_field<Shape>(record.*column.member, text + column.offset);
}

// x, the separator and y: one run of bytes.
constexpr std::size_t kReceptorBegin = kX.offset;
constexpr std::size_t kReceptorEnd = kY.offset + WideReal::width;

template <std::size_t N>
void copy_text(const char* line, std::size_t offset, std::array<char, N>& text)
{
    std::memcpy(text.data(), line + offset, N);
}

}  // namespace

std::optional<FieldFault> parse_plot_record(const char* line, PlotRecord& record)
{
    return PlotLineReader().read_record(line, record);
}

std::optional<FieldFault> PlotLineReader::read_receptor(const char* line, Receptor& receptor)
{
    const std::string_view bytes(line + kReceptorBegin, kReceptorEnd - kReceptorBegin);
    if (memo_.recall(bytes, receptor)) return std::nullopt;
    if (!read_real_field<WideReal>(line + kX.offset, receptor.x)) return fault_in(line, kX);
    if (!read_real_field<WideReal>(line + kY.offset, receptor.y)) return fault_in(line, kY);
    memo_.remember(bytes, receptor);
    return std::nullopt;
}

std::optional<FieldFault> PlotLineReader::read_record(const char* line, PlotRecord& record)
{
    Receptor receptor;
    if (auto fault = read_receptor(line, receptor)) return fault;
    record.x = receptor.x;
    record.y = receptor.y;
    if (!read_real_field<WideReal>(line + kValueField.offset, record.value)) return fault_in(line, kValueField);
    if (auto fault = read_reals(line, kNarrowFields, record)) return fault;
    copy_text(line, kTagAOffset, record.tag_a);
    copy_text(line, kTagBOffset, record.tag_b);
    if (auto fault = read_stamp(line, record.stamp)) return fault;
    copy_text(line, kTagCOffset, record.tag_c);
    return std::nullopt;
}

std::optional<FieldFault> PlotLineReader::read_value(const char* line, Receptor& receptor, float& value)
{
    if (auto fault = read_receptor(line, receptor)) return fault;
    if (!read_real_field<WideReal>(line + kValueField.offset, value)) return fault_in(line, kValueField);
    for (const RealColumns<NarrowReal>& column : kNarrowFields) {
        if (!is_real_field<NarrowReal>(line + column.offset)) return fault_in(line, column);
    }
    std::int32_t stamp = 0;
    return read_stamp(line, stamp);
}

void format_plot_record(const PlotRecord& record, char* text)
{
    std::memset(text, ' ', RECORD_WIDTH);
    format_reals(record, kWideFields, text);
    format_reals(record, kNarrowFields, text);
    std::memcpy(text + kTagAOffset, record.tag_a.data(), record.tag_a.size());
    std::memcpy(text + kTagBOffset, record.tag_b.data(), record.tag_b.size());
    format_integer_field<kStampWidth>(record.stamp, text + kStampOffset);
    std::memcpy(text + kTagCOffset, record.tag_c.data(), record.tag_c.size());
}

std::array<char, RECORD_WIDTH> format_plot_record(const PlotRecord& record)
{
    std::array<char, RECORD_WIDTH> text;
    format_plot_record(record, text.data());
    return text;
}

void format_record_value(float value, char* text) { format_real_field<WideReal>(value, text + kValueField.offset); }

bool value_writes_as_zero(float value) { return writes_as_zero(value, WideReal::width, WideReal::decimals); }

std::string receptor_text(const char* line) { return layout_receptor_text(today_layout(), line); }
