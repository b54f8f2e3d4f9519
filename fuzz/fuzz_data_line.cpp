// Any 120 bytes are read as a data line of the standard layout; each number
// field must read as the slow reader reads its text with the blanks removed,
// and the first field that it refuses must be the one reported. A line that
// reads is written, read back and written again: the two written texts must
// match byte for byte (a carried field once written is copied as it stands),
// a written line must read back exactly when none of its number fields is
// asterisks, and every field that the written text holds exactly must come
// back unchanged (a carried real keeps the exact decimal of its text).
// Reading the values alone must agree with reading every field, the run-time
// code of declared layouts must read and write as the standard layout's own
// code, and rewriting the value field of a written line must give the line
// written with that value.
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

#include "number/decimal_text.hpp"
#include "plot/data_line.hpp"
#include "slow_real_reader.hpp"

namespace {

const PlotLayout& kLayout = STANDARD_LAYOUT;

[[noreturn]] void fail(const char* what, std::string_view first, std::string_view second)
{
    std::fprintf(stderr, "%s\n  first:  [%.*s]\n  second: [%.*s]\n", what, static_cast<int>(first.size()),
                 first.data(), static_cast<int>(second.size()), second.data());
    std::abort();
}

std::string as_line(std::string_view text)
{
    std::string line(LINE_WIDTH, ' ');
    std::memcpy(line.data(), text.data(), std::min(text.size(), line.size()));
    return line;
}

// A line read through a parser: its fault, or its fields and the line written from them.
struct Reading {
    std::optional<FieldFault> fault;
    std::vector<FieldValue> fields = std::vector<FieldValue>(kLayout.field_count());
    std::string written;
};

template <class Fields>
Reading read_and_write(Fields fields, const std::string& line)
{
    Reading reading;
    reading.fault = DataLineParser(fields).read_fields(line.data(), reading.fields.data());
    if (reading.fault) return reading;
    const float value = reading.fields[kLayout.value_fields()[0]].real;
    reading.written.assign(kLayout.width(), ' ');
    DataLineWriter(fields).write(reading.fields.data(), &value, line.data(), reading.written.data());
    return reading;
}

bool is_number_field(const LayoutField& field) { return field.kind != FieldKind::Text; }

// The first number field of a written line that is all asterisks, if any.
const LayoutField* first_asterisk_field(std::string_view written)
{
    for (const LayoutField& field : kLayout.fields()) {
        if (!is_number_field(field)) continue;
        if (written.substr(field.offset, field.width).find_first_not_of('*') == std::string_view::npos) return &field;
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

// Reads the line's number fields the slow way, in column order: false at the
// first that does not convert, which must be the field the tool reported.
bool expect_read_as_slow_reader(const std::string& line, const Reading& reading)
{
    for (std::size_t i = 0; i < kLayout.field_count(); ++i) {
        const LayoutField& field = kLayout.field(i);
        if (!is_number_field(field)) continue;
        const std::string text = without_blanks(std::string_view(line).substr(field.offset, field.width));
        bool read = false;
        bool agrees = false;
        if (field.kind == FieldKind::Integer) {
            const std::optional<std::int32_t> value = slow_read_integer(text);
            read = value.has_value();
            agrees = read && *value == reading.fields[i].integer;
        } else {
            const std::optional<float> value = text.empty() ? 0.0f : slow_read_real(text, field.digits);
            read = value.has_value();
            agrees = read && same_real(*value, reading.fields[i].real);
        }
        const bool reported = reading.fault && reading.fault->field == field;
        if (!read) {
            if (!reported) fail("a field that is not a number was not reported", line, "");
            return false;
        }
        if (reported) fail("a field that is a number was refused", line, reading.fault->text);
        if (!reading.fault && !agrees) fail("a number field read differently from the slow reader", line, text);
    }
    return true;
}

// Whether the exact decimal value of a carried real's text fits the field as
// written: at most `digits` decimals in an F field, at most `digits`
// significant digits in an E field. The words Inf and NaN are carried as they
// stand.
bool held_exactly(const LayoutField& field, const std::string& text)
{
    if (text.empty()) return true;
    const std::optional<DecimalText> number = read_decimal_text(text, field.digits);
    if (!number || number->kind != DecimalText::Kind::Number) return true;
    std::string digits;
    number->each_digit([&](char c) { digits += c; });
    std::int64_t exponent = number->exponent;
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return true;
    if (field.kind == FieldKind::Exponent) return digits.size() - first <= field.digits;
    return exponent >= -static_cast<std::int64_t>(field.digits);
}

// A value field written exactly reads back as the same float; a carried real
// whose exact decimal the field holds keeps that value; an integer is kept.
void expect_fields_kept(const std::string& line, const Reading& before, const Reading& after)
{
    const std::string_view written = before.written;
    for (std::size_t i = 0; i < kLayout.field_count(); ++i) {
        const LayoutField& field = kLayout.field(i);
        bool kept = before.fields[i].integer == after.fields[i].integer;
        if (field.is_real() && field.is_value) {
            kept = !written_exactly(before.fields[i].real, field.digits) ||
                   same_real(before.fields[i].real, after.fields[i].real);
        } else if (field.is_real()) {
            const std::string text = without_blanks(std::string_view(line).substr(field.offset, field.width));
            kept = !held_exactly(field, text) ||
                   same_real_value(line.data() + field.offset, written.data() + field.offset, field.width, field.digits);
        }
        if (!kept) fail("a field written exactly read back changed", line, written);
    }
}

void expect_values_read_alike(const std::string& line, const Reading& reading)
{
    float value = 0.0f;
    const std::optional<FieldFault> fault = DataLineParser(StandardFields{}).read_values(line.data(), &value);
    if (reading.fault.has_value() != fault.has_value()) fail("the values alone read differently", line, "");
    if (reading.fault) {
        if (!(reading.fault->field == fault->field) || reading.fault->text != fault->text) {
            fail("the values alone report another fault", reading.fault->text, fault->text);
        }
    } else if (!same_real(value, reading.fields[2].real)) {
        fail("the values alone read as other numbers", line, "");
    }
}

void expect_general_code_alike(const std::string& line, const Reading& reading)
{
    const Reading general = read_and_write(DeclaredFields(kLayout), line);
    if (reading.fault.has_value() != general.fault.has_value()) fail("the run-time code reads differently", line, "");
    if (reading.fault && reading.fault->text != general.fault->text) {
        fail("the run-time code reports another fault", reading.fault->text, general.fault->text);
    }
    if (reading.written != general.written) fail("the run-time code writes differently", reading.written, general.written);
}

void expect_value_rewritten(const std::string& line, const Reading& reading, float value)
{
    const DataLineWriter writer(StandardFields{});
    std::string rewritten = reading.written;
    writer.write_values(&value, rewritten.data());
    std::string written(kLayout.width(), ' ');
    writer.write(reading.fields.data(), &value, line.data(), written.data());
    if (rewritten != written) fail("a rewritten value field differs from the line written with it", written, rewritten);
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
    const std::string input = as_line(std::string_view(reinterpret_cast<const char*>(data), size));
    const Reading first = read_and_write(StandardFields{}, input);
    expect_values_read_alike(input, first);
    expect_general_code_alike(input, first);
    if (!expect_read_as_slow_reader(input, first)) return 0;
    expect_value_rewritten(input, first, 744.0f * first.fields[2].real);
    expect_value_rewritten(input, first, float_from_bytes(data, size));

    const std::string written = as_line(first.written);
    const Reading second = read_and_write(StandardFields{}, written);
    if (const LayoutField* asterisks = first_asterisk_field(first.written)) {
        if (!second.fault || !(second.fault->field == *asterisks)) {
            fail("a field of asterisks did not stop the reading", first.written, "");
        }
        return 0;
    }
    if (second.fault) fail("a written line does not read back", first.written, second.fault->text);
    if (first.written != second.written) fail("a written line read back is written differently", first.written, second.written);
    expect_fields_kept(input, first, second);
    return 0;
}
