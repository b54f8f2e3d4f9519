#include "plot/plot_record.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "plot/plain_field.hpp"
#include "plot/real_field.hpp"
#include "run_failure.hpp"

namespace {

// The data line layout. Offsets are 0-based (column 2 is offset 1); the
// separators between fields are never read and are written as blanks.
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
constexpr const RealColumns<WideReal>& kValueField = kWideFields[2];


constexpr std::size_t kTagAOffset = 71;
constexpr std::size_t kTagBOffset = 79;
constexpr std::size_t kStampOffset = 89;
constexpr std::size_t kStampWidth = 8;
constexpr std::size_t kTagCOffset = 99;

constexpr std::int32_t kLargestStamp = 99999999;

template <RealFieldShape Shape>
FieldFault fault_in(const PlotLine& line, const RealColumns<Shape>& column)
{
    return {column.name, std::string_view(line.data() + column.offset, Shape::width)};
}

FieldFault stamp_fault(const PlotLine& line) { return {"stamp", std::string_view(line.data() + kStampOffset, kStampWidth)}; }

bool read_integer_field(const char* field, std::int32_t& value)
{
    if (read_plain_integer(field, value)) return true;
    char text[kStampWidth];
    std::size_t length = 0;
    for (std::size_t i = 0; i < kStampWidth; ++i) {
        if (field[i] != ' ') text[length++] = field[i];
    }
    std::size_t at = 0;
    const bool negative = length != 0 && text[0] == '-';
    if (length != 0 && (text[0] == '-' || text[0] == '+')) ++at;
    // Blanks only read as 0; a sign alone is not a number.
    if (at == length && length != 0) return false;
    // Eight columns hold at most eight digits, far inside the 32-bit range.
    std::int32_t magnitude = 0;
    for (; at < length; ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        magnitude = magnitude * 10 + (text[at] - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

template <RealFieldShape Shape, std::size_t N>
std::optional<FieldFault> read_reals(const PlotLine& line, const RealColumns<Shape> (&fields)[N], PlotRecord& record)
{
    for (const RealColumns<Shape>& column : fields) {
        if (!read_real_field<Shape>(line.data() + column.offset, record.*column.member)) return fault_in(line, column);
    }
    return std::nullopt;
}

// Checks the fields as read_reals does; the value field alone is read, into value.
template <RealFieldShape Shape, std::size_t N>
std::optional<FieldFault> check_reals(const PlotLine& line, const RealColumns<Shape> (&fields)[N], float& value)
{
    for (const RealColumns<Shape>& column : fields) {
        const char* field = line.data() + column.offset;
        const bool good = column.member == &PlotRecord::value ? read_real_field<Shape>(field, value)
                                                              : is_real_field<Shape>(field);
        if (!good) return fault_in(line, column);
    }
    return std::nullopt;
}

template <RealFieldShape Shape, std::size_t N>
void format_reals(const PlotRecord& record, const RealColumns<Shape> (&fields)[N], char* text)
{
    for (const RealColumns<Shape>& column : fields) format_real_field<Shape>(record.*column.member, text + column.offset);
}

const RealColumns<WideReal>& kX = kWideFields[0];
const RealColumns<WideReal>& kY = kWideFields[1];

// x, the separator and y: one run of bytes, compared as four words.
constexpr std::size_t kReceptorBegin = kWideFields[0].offset;
constexpr std::size_t kReceptorEnd = kWideFields[1].offset + WideReal::width;
static_assert(kReceptorEnd - kReceptorBegin > 16 && kReceptorEnd - kReceptorBegin <= 32);

std::string_view field_of(const PlotLine& line, const RealColumns<WideReal>& column)
{
    return {line.data() + column.offset, WideReal::width};
}

std::uint64_t word_at(const PlotLine& line, std::size_t offset)
{
    std::uint64_t word = 0;
    std::memcpy(&word, line.data() + offset, sizeof word);
    return word;
}

bool same_receptor_bytes(const PlotLine& line, const PlotLine& other)
{
    std::uint64_t difference = 0;
    for (const std::size_t offset : {kReceptorBegin, kReceptorBegin + 8, kReceptorBegin + 16, kReceptorEnd - 8}) {
        difference |= word_at(line, offset) ^ word_at(other, offset);
    }
    return difference == 0;
}

// Whether a coordinate of line reads as reference_value, read before from the
// same columns of the reference line; is_number tells whether it is a number.
// Two NaN are the same reading, though they compare unequal.
bool same_coordinate(const PlotLine& line, const PlotLine& reference, const RealColumns<WideReal>& column,
                     float reference_value, bool& is_number)
{
    is_number = true;
    const std::string_view field = field_of(line, column);
    if (field == field_of(reference, column)) return true;
    float value = 0.0f;
    is_number = read_real_field<WideReal>(field.data(), value);
    return is_number && (value == reference_value || (std::isnan(value) && std::isnan(reference_value)));
}

// A coordinate as the data line writes it; a field that is not a number as its bytes stand.
std::string coordinate_text(const PlotLine& line, const RealColumns<WideReal>& column)
{
    const std::string_view field = field_of(line, column);
    float value = 0.0f;
    std::string text;
    if (read_real_field<WideReal>(field.data(), value)) {
        char written[WideReal::width];
        format_real_field<WideReal>(value, written);
        text.assign(written, WideReal::width);
    } else {
        text = printable(field);
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

template <std::size_t N>
void copy_text(const PlotLine& line, std::size_t offset, std::array<char, N>& text)
{
    std::memcpy(text.data(), line.data() + offset, N);
}

void format_stamp(std::int32_t stamp, char* out)
{
    if (stamp < 0 || stamp > kLargestStamp) {
        std::memset(out, '*', kStampWidth);
        return;
    }
    for (std::size_t i = kStampWidth; i-- > 0;) {
        out[i] = static_cast<char>('0' + stamp % 10);
        stamp /= 10;
    }
}

}  // namespace

std::optional<FieldFault> parse_plot_record(const PlotLine& line, PlotRecord& record)
{
    if (auto fault = read_reals(line, kWideFields, record)) return fault;
    if (auto fault = read_reals(line, kNarrowFields, record)) return fault;
    copy_text(line, kTagAOffset, record.tag_a);
    copy_text(line, kTagBOffset, record.tag_b);
    if (!read_integer_field(line.data() + kStampOffset, record.stamp)) return stamp_fault(line);
    copy_text(line, kTagCOffset, record.tag_c);
    return std::nullopt;
}

std::optional<FieldFault> parse_plot_value(const PlotLine& line, float& value)
{
    if (auto fault = check_reals(line, kWideFields, value)) return fault;
    if (auto fault = check_reals(line, kNarrowFields, value)) return fault;
    std::int32_t stamp = 0;
    if (!read_integer_field(line.data() + kStampOffset, stamp)) return stamp_fault(line);
    return std::nullopt;
}

std::optional<FieldFault> parse_plot_value(const PlotLine& line, const PlotLine& reference,
                                           const PlotRecord& reference_record, float& value, bool& same_receptor)
{
    same_receptor = true;
    if (!same_receptor_bytes(line, reference)) {
        for (const RealColumns<WideReal>* column : {&kX, &kY}) {
            bool is_number = true;
            const float reference_value = reference_record.*(column->member);
            if (!same_coordinate(line, reference, *column, reference_value, is_number)) same_receptor = false;
            if (!is_number) return fault_in(line, *column);
        }
    }
    // x and y in the same bytes as the reference's are numbers: it was read.
    if (!read_real_field<WideReal>(line.data() + kValueField.offset, value)) return fault_in(line, kValueField);
    float unused = 0.0f;
    if (auto fault = check_reals(line, kNarrowFields, unused)) return fault;
    std::int32_t stamp = 0;
    if (!read_integer_field(line.data() + kStampOffset, stamp)) return stamp_fault(line);
    return std::nullopt;
}

std::array<char, RECORD_WIDTH> format_plot_record(const PlotRecord& record)
{
    std::array<char, RECORD_WIDTH> text;
    text.fill(' ');
    format_reals(record, kWideFields, text.data());
    format_reals(record, kNarrowFields, text.data());
    std::memcpy(text.data() + kTagAOffset, record.tag_a.data(), record.tag_a.size());
    std::memcpy(text.data() + kTagBOffset, record.tag_b.data(), record.tag_b.size());
    format_stamp(record.stamp, text.data() + kStampOffset);
    std::memcpy(text.data() + kTagCOffset, record.tag_c.data(), record.tag_c.size());
    return text;
}

void format_record_value(float value, std::array<char, RECORD_WIDTH>& text)
{
    format_real_field<WideReal>(value, text.data() + kValueField.offset);
}

std::array<char, WIDE_FIELD_WIDTH> format_wide_field(float value)
{
    static_assert(WIDE_FIELD_WIDTH == WideReal::width, "x, y and value are 13 columns wide");
    std::array<char, WIDE_FIELD_WIDTH> text;
    format_real_field<WideReal>(value, text.data());
    return text;
}

std::string receptor_text(const PlotLine& line)
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "(" + std::string.
    std::string text = "(";
    text += coordinate_text(line, kX);
    text += ", ";
    text += coordinate_text(line, kY);
    text += ')';
    return text;
}
