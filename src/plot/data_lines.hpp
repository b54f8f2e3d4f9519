#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "plot/layout.hpp"
#include "plot/layout_record.hpp"
#include "plot/plot_record.hpp"

// The data lines of one merge, for the merge to read and write without
// knowing a column: each line's value fields are read as floats, the other
// fields carried from one line (the last input's) into the lines written.
// Two kinds with one interface: the standard layout by its own tuned code,
// and any declared layout.
//
//   value_count()             how many value fields a line has
//   width()                   columns of a written data line
//   read_values(line, r, v)   checks every field; r = the receptor, v[k] = value field k
//   read_carried(line, r, v)  the same, and keeps the other fields to write
//   receptor_text(line)       "(x, y)" as a data line writes them
//   format(v, out)            a data line: the kept fields, value field k = v[k];
//                             returns how many values not zero it wrote as zero
//   format_values(v, out)     rewrites the value fields of a formatted line; the same

class StandardDataLines {
public:
    static constexpr std::size_t value_count() { return 1; }
    static constexpr std::size_t width() { return RECORD_WIDTH; }

    std::optional<FieldFault> read_values(const char* line, Receptor& receptor, float* values)
    {
        return reader_.read_value(line, receptor, values[0]);
    }
    std::optional<FieldFault> read_carried(const char* line, Receptor& receptor, float* values)
    {
        auto fault = reader_.read_record(line, record_);
        receptor = {record_.x, record_.y};
        values[0] = record_.value;
        return fault;
    }
    std::string receptor_text(const char* line) const { return ::receptor_text(line); }
    std::size_t format(const float* values, char* out)
    {
        record_.value = values[0];
        format_plot_record(record_, out);
        return value_writes_as_zero(values[0]);
    }
    std::size_t format_values(const float* values, char* out) const
    {
        format_record_value(values[0], out);
        return value_writes_as_zero(values[0]);
    }

private:
    PlotLineReader reader_;
    PlotRecord record_;
};

class DeclaredDataLines {
public:
    explicit DeclaredDataLines(const PlotLayout& layout)
        : layout_(layout), reader_(layout), fields_(layout.fields().size())
    {
    }

    std::size_t value_count() const { return layout_.value_fields().size(); }
    std::size_t width() const { return layout_.width(); }

    std::optional<FieldFault> read_values(const char* line, Receptor& receptor, float* values)
    {
        return reader_.read_values(line, receptor, values);
    }
    std::optional<FieldFault> read_carried(const char* line, Receptor& receptor, float* values)
    {
        carried_line_ = line;
        auto fault = reader_.read_fields(line, fields_.data());
        receptor = {fields_[0].real, fields_[1].real};
        for (std::size_t k = 0; k < value_count(); ++k) values[k] = fields_[layout_.value_fields()[k]].real;
        return fault;
    }
    std::string receptor_text(const char* line) const { return layout_receptor_text(layout_, line); }
    std::size_t format(const float* values, char* out)
    {
        for (std::size_t k = 0; k < value_count(); ++k) fields_[layout_.value_fields()[k]].real = values[k];
        format_layout_line(layout_, fields_.data(), carried_line_, out);
        return values_written_as_zero(layout_, values);
    }
    std::size_t format_values(const float* values, char* out) const
    {
        format_layout_values(layout_, values, out);
        return values_written_as_zero(layout_, values);
    }

private:
    const PlotLayout& layout_;
    LayoutLineReader reader_;
    std::vector<FieldValue> fields_;
    const char* carried_line_ = nullptr;  // the line of read_carried, which stays until format
};
