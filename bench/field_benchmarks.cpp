// Cost of one real field read or written, and of one data line parsed or
// formatted. Each iteration handles one item, so the reported time is the
// time per item. The items are a few thousand generated ones, cycled through,
// so that the branches see the variety of real files rather than one constant.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "number/real_text.hpp"
#include "plot/data_line.hpp"
#include "plot/real_field.hpp"
#include "plot_text_generator.hpp"

namespace {

// A power of two, so that the sample index wraps with a mask.
constexpr std::size_t kSamples = 4096;
constexpr std::size_t kWrap = kSamples - 1;
constexpr std::uint64_t kSeed = 20261209;

struct FieldText {
    std::string text;
    int decimals;
};

using Line = std::array<char, LINE_WIDTH>;
using Fields = std::array<FieldValue, STANDARD_LAYOUT.field_count()>;

const std::vector<Line>& sample_lines()
{
    static const std::vector<Line> lines = [] {
        std::vector<Line> generated(kSamples);
        PlotTextGenerator generator(kSeed);
        for (std::size_t i = 0; i < kSamples; ++i) {
            generated[i].fill(' ');
            generator.data_line(i, generated[i].data());
        }
        return generated;
    }();
    return lines;
}

// The six real fields of the standard layout, x to the third elevation.
constexpr std::size_t kRealFields = 6;

const std::vector<Fields>& sample_fields()
{
    static const std::vector<Fields> fields = [] {
        std::vector<Fields> parsed(kSamples);
        DataLineParser parser(StandardFields{});
        for (std::size_t i = 0; i < kSamples; ++i) {
            if (parser.read_fields(sample_lines()[i].data(), parsed[i].data())) std::abort();
        }
        return parsed;
    }();
    return fields;
}

std::string_view field_of(const Line& line, const LayoutField& field) { return {line.data() + field.offset, field.width}; }

// The non-blank bytes of a field: what a real field holds once its blanks are
// dropped, as the data line reader does before converting it.
std::string_view without_blanks(std::string_view field, char* scratch)
{
    std::size_t length = 0;
    for (const char c : field) {
        if (c != ' ') scratch[length++] = c;
    }
    return {scratch, length};
}

// One field of every sample line, going round the fields in turn (a
// fields_used of 3 takes the 13-column fields x, y and value only).
std::vector<FieldText> field_texts(std::size_t fields_used, bool keep_blanks)
{
    std::vector<FieldText> texts;
    for (std::size_t i = 0; i < kSamples; ++i) {
        const LayoutField& column = STANDARD_LAYOUT.field(i % fields_used);
        char scratch[16];
        const std::string_view field = field_of(sample_lines()[i], column);
        texts.push_back({std::string(keep_blanks ? field : without_blanks(field, scratch)), column.digits});
    }
    return texts;
}

// Values of 13-column fields: coordinates, concentrations and their risk values.
std::vector<float> wide_values()
{
    std::vector<float> values;
    for (std::size_t i = 0; i < kSamples; ++i) {
        const Fields& fields = sample_fields()[i];
        const float choices[] = {fields[0].real, fields[1].real, fields[2].real, 744.0f * fields[2].real};
        values.push_back(choices[i % 4]);
    }
    return values;
}

std::vector<float> narrow_values()
{
    std::vector<float> values;
    for (std::size_t i = 0; i < kSamples; ++i) {
        const Fields& fields = sample_fields()[i];
        const float choices[] = {fields[3].real, fields[4].real, fields[5].real};
        values.push_back(choices[i % 3]);
    }
    return values;
}

void read_real_text_of_any_field(benchmark::State& state)
{
    const std::vector<FieldText> texts = field_texts(kRealFields, false);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read_real_text(texts[i].text, texts[i].decimals));
        i = (i + 1) & kWrap;
    }
}
BENCHMARK(read_real_text_of_any_field);

void read_real_text_of_concentration(benchmark::State& state)
{
    std::vector<FieldText> texts;
    char scratch[16];
    for (const Line& line : sample_lines()) {
        texts.push_back({std::string(without_blanks(field_of(line, STANDARD_LAYOUT.field(2)), scratch)), 5});
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read_real_text(texts[i].text, texts[i].decimals));
        i = (i + 1) & kWrap;
    }
}
BENCHMARK(read_real_text_of_concentration);

// Through the reader the data line parser uses: blanks and all.
void read_field(benchmark::State& state, std::size_t fields_used)
{
    const std::vector<FieldText> fields = field_texts(fields_used, true);
    std::size_t i = 0;
    for (auto _ : state) {
        float value = 0.0f;
        const bool read = fields[i].decimals == WideReal::decimals
                              ? read_real_field<WideReal>(fields[i].text.data(), value)
                              : read_real_field<NarrowReal>(fields[i].text.data(), value);
        benchmark::DoNotOptimize(read);
        benchmark::DoNotOptimize(value);
        i = (i + 1) & kWrap;
    }
}

void read_13_column_field(benchmark::State& state) { read_field(state, 3); }
BENCHMARK(read_13_column_field);

void read_any_field(benchmark::State& state) { read_field(state, kRealFields); }
BENCHMARK(read_any_field);

template <class Shape>
void format_field(benchmark::State& state, const std::vector<float>& values)
{
    char out[16];
    std::size_t i = 0;
    for (auto _ : state) {
        format_real_field<Shape>(values[i], out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
        i = (i + 1) & kWrap;
    }
}

void format_13_5_field(benchmark::State& state) { format_field<WideReal>(state, wide_values()); }
BENCHMARK(format_13_5_field);

void format_8_2_field(benchmark::State& state) { format_field<NarrowReal>(state, narrow_values()); }
BENCHMARK(format_8_2_field);

void parse_data_line(benchmark::State& state)
{
    const std::vector<Line>& lines = sample_lines();
    DataLineParser parser(StandardFields{});
    Fields fields;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.read_fields(lines[i].data(), fields.data()));
        benchmark::DoNotOptimize(fields);
        i = (i + 1) & kWrap;
    }
}
BENCHMARK(parse_data_line);

void format_data_line(benchmark::State& state)
{
    const std::vector<Fields>& fields = sample_fields();
    const DataLineWriter writer(StandardFields{});
    char out[STANDARD_LAYOUT.width()];
    std::size_t i = 0;
    for (auto _ : state) {
        writer.write(fields[i].data(), &fields[i][2].real, sample_lines()[i].data(), out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
        i = (i + 1) & kWrap;
    }
}
BENCHMARK(format_data_line);

}  // namespace
