// Any 120 bytes are read as a data line; each number field must read as the
// slow reader reads its text with the blanks removed, and the first field that
// it refuses must be the one reported. A line that reads is written, read back
// and written again: the two written texts must match byte for byte, a written
// line must read back exactly when none of its number fields is asterisks, and
// every field that the written text holds exactly must come back unchanged.
// Reading the value alone must agree with reading the whole line, and
// rewriting the value field of a written line must give the line written with
// that value.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/layout.hpp"
#include "plot/layout_record.hpp"
#include "plot/plot_line.hpp"
#include "plot/plot_record.hpp"
#include "slow_real_reader.hpp"

namespace {

struct NumberColumns {
    const char* name;
    std::size_t offset;  // 0-based
    std::size_t width;
    int decimals;  // -1 for the integer field
    float PlotRecord::*member;
};

constexpr NumberColumns kNumberFields[] = {
    {"x", 1, 13, 5, &PlotRecord::x},          {"y", 15, 13, 5, &PlotRecord::y},
    {"value", 29, 13, 5, &PlotRecord::value}, {"aux1", 43, 8, 2, &PlotRecord::aux1},
    {"aux2", 52, 8, 2, &PlotRecord::aux2},    {"aux3", 61, 8, 2, &PlotRecord::aux3},
    {"stamp", 89, 8, -1, nullptr},
};

[[noreturn]] void fail(const char* what, std::string_view first, std::string_view second)
{
    std::fprintf(stderr, "%s\n  first:  [%.*s]\n  second: [%.*s]\n", what, static_cast<int>(first.size()),
                 first.data(), static_cast<int>(second.size()), second.data());
    std::abort();
}

PlotLine as_line(std::string_view text)
{
    PlotLine line;
    line.fill(' ');
    std::memcpy(line.data(), text.data(), std::min(text.size(), line.size()));
    return line;
}

// The first number field of a written line that is all asterisks, if any.
const char* first_asterisk_field(std::string_view written)
{
    for (const NumberColumns& column : kNumberFields) {
        const std::string_view field = written.substr(column.offset, column.width);
        if (field.find_first_not_of('*') == std::string_view::npos) return column.name;
    }
    return nullptr;
}

std::string without_blanks(std::string_view field)
{
    std::string text;
    for (const char c : field) {
        if (c != ' ') text += c;
    }
    return text;
}

std::optional<std::int32_t> slow_read_integer(const std::string& text)
{
    if (text.empty()) return 0;
    const std::size_t digits = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (digits == text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::stol(text));
}

bool same_real(float first, float second)
{
    if (std::isnan(first) || std::isnan(second)) return std::isnan(first) && std::isnan(second);
    return std::memcmp(&first, &second, sizeof first) == 0;
}

// True when value has at most decimals decimal places, so that its written
// text is exact. Scaling by 10^decimals is exact in double for a float.
bool written_exactly(float value, int decimals)
{
    if (!std::isfinite(value)) return true;
    const double scaled = static_cast<double>(value) * std::pow(10.0, decimals);
    return scaled == std::nearbyint(scaled);
}

void expect_real_kept(float before, float after, int decimals, std::string_view written)
{
    if (written_exactly(before, decimals) && !same_real(before, after)) {
        fail("a real field written exactly read back changed", written, written);
    }
}

// Reads the line's number fields the slow way, in column order: false at the
// first that does not convert, which must be the field the tool reported.
bool expect_read_as_slow_reader(const PlotLine& line, const std::optional<FieldFault>& fault,
                                const PlotRecord& record)
{
    const std::string_view text(line.data(), line.size());
    for (const NumberColumns& column : kNumberFields) {
        const std::string field = without_blanks(text.substr(column.offset, column.width));
        bool read = false;
        bool agrees = false;
        if (column.member == nullptr) {
            const std::optional<std::int32_t> stamp = slow_read_integer(field);
            read = stamp.has_value();
            agrees = read && *stamp == record.stamp;
        } else {
            const std::optional<float> value = field.empty() ? 0.0f : slow_read_real(field, column.decimals);
            read = value.has_value();
            agrees = read && same_real(*value, record.*column.member);
        }
        if (!read) {
            if (!fault || fault->field != column.name) fail("a field that is not a number was not reported", text, "");
            return false;
        }
        if (fault && fault->field == column.name) fail("a field that is a number was refused", text, fault->text);
        if (!fault && !agrees) fail("a number field read differently from the slow reader", text, field);
    }
    return true;
}

void expect_fields_kept(const PlotRecord& before, const PlotRecord& after, std::string_view written)
{
    expect_real_kept(before.x, after.x, 5, written);
    expect_real_kept(before.y, after.y, 5, written);
    expect_real_kept(before.value, after.value, 5, written);
    expect_real_kept(before.aux1, after.aux1, 2, written);
    expect_real_kept(before.aux2, after.aux2, 2, written);
    expect_real_kept(before.aux3, after.aux3, 2, written);
    if (before.tag_a != after.tag_a || before.tag_b != after.tag_b || before.tag_c != after.tag_c) {
        fail("a text field changed on the way through", written, written);
    }
    if (before.stamp != after.stamp) fail("the stamp changed on the way through", written, written);
}

void expect_value_read_alike(const PlotLine& line, const std::optional<FieldFault>& record_fault,
                             const PlotRecord& record)
{
    const std::string_view text(line.data(), line.size());
    float value = 0.0f;
    Receptor receptor;
    const std::optional<FieldFault> value_fault = PlotLineReader().read_value(line.data(), receptor, value);
    if (record_fault.has_value() != value_fault.has_value()) fail("the value alone reads differently", text, "");
    if (record_fault) {
        if (record_fault->field != value_fault->field || record_fault->text != value_fault->text) {
            fail("the value alone reports another fault", record_fault->text, value_fault->text);
        }
    } else if (!same_real(value, record.value) || !same_real(receptor.x, record.x) || !same_real(receptor.y, record.y)) {
        fail("the value alone reads as another number", text, "");
    }
}

// The standard layout read and written by the general code of declared
// layouts gives what its own tuned code gives.
void expect_general_layout_alike(const PlotLine& line, const std::optional<FieldFault>& record_fault,
                                 const PlotRecord& record)
{
    const std::string_view text(line.data(), line.size());
    const PlotLayout& layout = today_layout();
    std::vector<FieldValue> values(layout.fields().size());
    const std::optional<FieldFault> fault = parse_layout_line(layout, line.data(), values.data());
    if (record_fault.has_value() != fault.has_value()) fail("the general layout code reads differently", text, "");
    if (record_fault) {
        if (record_fault->text != fault->text) fail("the general layout code reports another fault", record_fault->text, fault->text);
        return;
    }
    char general[RECORD_WIDTH];
    format_layout_line(layout, values.data(), line.data(), general);
    const auto tuned = format_plot_record(record);
    if (std::string_view(general, RECORD_WIDTH) != std::string_view(tuned.data(), tuned.size())) {
        fail("the general layout code writes differently", std::string_view(tuned.data(), tuned.size()),
             std::string_view(general, RECORD_WIDTH));
    }
}

void expect_value_rewritten(PlotRecord record, float value)
{
    auto rewritten = format_plot_record(record);
    format_record_value(value, rewritten);
    record.value = value;
    const auto written = format_plot_record(record);
    if (rewritten != written) {
        fail("a rewritten value field differs from the line written with it",
             std::string_view(written.data(), written.size()), std::string_view(rewritten.data(), rewritten.size()));
    }
}

float float_from_bytes(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, data, std::min(size, sizeof bits));
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PlotLine input = as_line(std::string_view(reinterpret_cast<const char*>(data), size));
    PlotRecord first;
    const std::optional<FieldFault> input_fault = parse_plot_record(input, first);
    expect_value_read_alike(input, input_fault, first);
    expect_general_layout_alike(input, input_fault, first);
    if (!expect_read_as_slow_reader(input, input_fault, first)) return 0;
    expect_value_rewritten(first, 744.0f * first.value);
    expect_value_rewritten(first, float_from_bytes(data, size));

    const auto first_text = format_plot_record(first);
    const std::string_view first_view(first_text.data(), first_text.size());
    PlotRecord second;
    const auto fault = parse_plot_record(as_line(first_view), second);
    const char* asterisks = first_asterisk_field(first_view);
    if (asterisks != nullptr) {
        if (!fault || fault->field != asterisks) fail("a field of asterisks did not stop the reading", first_view, "");
        return 0;
    }
    if (fault) fail("a written line does not read back", first_view, fault->text);

    const auto second_text = format_plot_record(second);
    const std::string_view second_view(second_text.data(), second_text.size());
    if (first_view != second_view) fail("a written line read back is written differently", first_view, second_view);
    expect_fields_kept(first, second, first_view);
    return 0;
}
