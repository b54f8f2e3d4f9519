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
struct RealColumns {
    const char* name;
    float PlotRecord::*member;
    std::size_t offset;
    int width;
    int decimals;
};

constexpr RealColumns kRealFields[] = {
    {"x", &PlotRecord::x, 1, 13, 5},
    {"y", &PlotRecord::y, 15, 13, 5},
    {"value", &PlotRecord::value, 29, 13, 5},
    {"aux1", &PlotRecord::aux1, 43, 8, 2},
    {"aux2", &PlotRecord::aux2, 52, 8, 2},
    {"aux3", &PlotRecord::aux3, 61, 8, 2},
};

const RealColumns& kX = kRealFields[0];
const RealColumns& kY = kRealFields[1];

// x, the separator and y: one run of bytes, compared as four words.
constexpr std::size_t kReceptorBegin = kRealFields[0].offset;
constexpr std::size_t kReceptorEnd = kRealFields[1].offset + static_cast<std::size_t>(kRealFields[1].width);
static_assert(kReceptorEnd - kReceptorBegin > 16 && kReceptorEnd - kReceptorBegin <= 32);

constexpr std::size_t kTagAOffset = 71;
constexpr std::size_t kTagBOffset = 79;
constexpr std::size_t kStampOffset = 89;
constexpr std::size_t kStampWidth = 8;
constexpr std::size_t kTagCOffset = 99;

constexpr std::int32_t kLargestStamp = 99999999;

// The field's bytes with every blank removed; a tab or any other byte stays.
std::string_view without_blanks(std::string_view field, char* scratch)
{
    std::size_t length = 0;
    for (const char c : field) {
        if (c != ' ') scratch[length++] = c;
    }
    return {scratch, length};
}

std::optional<std::int32_t> read_integer_field(std::string_view field)
{
    std::int32_t plain = 0;
    if (read_plain_integer(field, plain)) return plain;
    char scratch[16];
    const std::string_view text = without_blanks(field, scratch);
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++at;
    if (at == text.size()) return text.empty() ? std::optional<std::int32_t>(0) : std::nullopt;
    // Eight columns hold at most eight digits, far inside the 32-bit range.
    std::int32_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return std::nullopt;
        magnitude = magnitude * 10 + (text[at] - '0');
    }
    return negative ? -magnitude : magnitude;
}

std::string_view field_of(const PlotLine& line, const RealColumns& column)
{
    return {line.data() + column.offset, static_cast<std::size_t>(column.width)};
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

// Two NaN read from a coordinate are the same reading, though they compare unequal.
bool same_coordinate(const PlotLine& line, const PlotLine& other, const RealColumns& column)
{
    const std::string_view field = field_of(line, column);
    const std::string_view other_field = field_of(other, column);
    if (field == other_field) return true;
    float value = 0.0f;
    float other_value = 0.0f;
    if (!read_real_field(field, column.decimals, value) || !read_real_field(other_field, column.decimals, other_value)) {
        return false;
    }
    return value == other_value || (std::isnan(value) && std::isnan(other_value));
}

// A coordinate as the data line writes it; a field that is not a number as its bytes stand.
std::string coordinate_text(const PlotLine& line, const RealColumns& column)
{
    const std::string_view field = field_of(line, column);
    float value = 0.0f;
    std::string text;
    if (read_real_field(field, column.decimals, value)) {
        char written[16];
        format_real_field(value, column.width, column.decimals, written);
        text.assign(written, static_cast<std::size_t>(column.width));
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
    for (const RealColumns& column : kRealFields) {
        const std::string_view field(line.data() + column.offset, static_cast<std::size_t>(column.width));
        if (!read_real_field(field, column.decimals, record.*column.member)) return FieldFault{column.name, field};
    }
    copy_text(line, kTagAOffset, record.tag_a);
    copy_text(line, kTagBOffset, record.tag_b);
    const std::string_view stamp_field(line.data() + kStampOffset, kStampWidth);
    const std::optional<std::int32_t> stamp = read_integer_field(stamp_field);
    if (!stamp) return FieldFault{"stamp", stamp_field};
    record.stamp = *stamp;
    copy_text(line, kTagCOffset, record.tag_c);
    return std::nullopt;
}

std::optional<FieldFault> parse_plot_value(const PlotLine& line, float& value)
{
    for (const RealColumns& column : kRealFields) {
        const std::string_view field(line.data() + column.offset, static_cast<std::size_t>(column.width));
        const bool good = column.member == &PlotRecord::value ? read_real_field(field, column.decimals, value)
                                                              : is_real_field(field, column.decimals);
        if (!good) return FieldFault{column.name, field};
    }
    const std::string_view stamp_field(line.data() + kStampOffset, kStampWidth);
    if (!read_integer_field(stamp_field)) return FieldFault{"stamp", stamp_field};
    return std::nullopt;
}

std::array<char, RECORD_WIDTH> format_plot_record(const PlotRecord& record)
{
    std::array<char, RECORD_WIDTH> text;
    text.fill(' ');
    for (const RealColumns& column : kRealFields) {
        format_real_field(record.*column.member, column.width, column.decimals, text.data() + column.offset);
    }
    std::memcpy(text.data() + kTagAOffset, record.tag_a.data(), record.tag_a.size());
    std::memcpy(text.data() + kTagBOffset, record.tag_b.data(), record.tag_b.size());
    format_stamp(record.stamp, text.data() + kStampOffset);
    std::memcpy(text.data() + kTagCOffset, record.tag_c.data(), record.tag_c.size());
    return text;
}

void format_record_value(float value, std::array<char, RECORD_WIDTH>& text)
{
    const RealColumns& column = kRealFields[2];
    format_real_field(value, column.width, column.decimals, text.data() + column.offset);
}

std::array<char, WIDE_FIELD_WIDTH> format_wide_field(float value)
{
    const RealColumns& column = kRealFields[2];
    static_assert(WIDE_FIELD_WIDTH == 13, "x, y and value are 13 columns wide");
    std::array<char, WIDE_FIELD_WIDTH> text;
    format_real_field(value, column.width, column.decimals, text.data());
    return text;
}

bool same_receptor(const PlotLine& line, const PlotLine& other)
{
    if (same_receptor_bytes(line, other)) return true;
    return same_coordinate(line, other, kX) && same_coordinate(line, other, kY);
}

std::string receptor_text(const PlotLine& line)
{
    return "(" + coordinate_text(line, kX) + ", " + coordinate_text(line, kY) + ")";
}
